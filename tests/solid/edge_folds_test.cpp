// The test for blades folded over at an edge, on solids whose edges are
// known: a box is convex at every edge, an L-shaped prism is concave along
// the one edge in its inner corner.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepPrimAPI_MakeBox.hxx>

#include "edge_folds.h"

namespace {

TEST(EdgeFolds, ConvexEdgesHaveNoneAndTheInnerCornerIsOne) {
    EXPECT_TRUE(korvanti_solid::radii_of_folds(BRepPrimAPI_MakeBox(10, 20, 30).Shape()).empty());

    // Two boxes on the X axis: the inner corner of the L runs along X at
    // Y = 4, Z = 4, at a distance of √32 from the axis.
    BRepAlgoAPI_Fuse fuse(BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 10, 10, 4).Shape(),
                          BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 10, 4, 10).Shape());
    fuse.SimplifyResult();
    ASSERT_TRUE(fuse.IsDone());
    const std::vector<double> folds = korvanti_solid::radii_of_folds(fuse.Shape());
    ASSERT_FALSE(folds.empty());
    for (double r : folds) EXPECT_NEAR(r, std::sqrt(32.0), 1e-9);
}

}  // namespace
