// The solid as a CAD user works on it after reading Korvanti.step: a shaft
// bore cut through the hub, and the STL as admesh, a mesh repair tool, reads
// it.
#include <gtest/gtest.h>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <GProp_GProps.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <gp_Ax2.hxx>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <regex>

#include "solid_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

TopoDS_Shape step_shape(const std::filesystem::path& file) {
    STEPControl_Reader reader;
    if (reader.ReadFile(file.c_str()) != IFSelect_RetDone) return {};
    reader.TransferRoots();
    return reader.OneShape();
}

double volume_of(const TopoDS_Shape& shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props, 1e-6);
    return props.Mass();
}

TEST(SolidDownstream, ShaftBoreCutFromTheStepSolidIsOneValidSolid) {
    ScratchDir dir;
    run_korvanti(dir.path(), {"B4-55.TSK", "", "", ""});
    const Command solid = run_solid(dir.path(), "--only step");
    ASSERT_EQ(solid.exit_status, 0) << solid.err;
    const TopoDS_Shape shape = step_shape(dir.path() / "Korvanti.step");
    ASSERT_FALSE(shape.IsNull());

    // A bore of 40 % of the hub's largest radius, from before its aft end to
    // beyond its nose: it leaves the hub through both rounded ends.
    const std::vector<std::array<double, 2>> profile = read_hub_profile(dir.path() / "PEROF.SON");
    double largest = 0;
    for (const auto& p : profile) largest = std::max(largest, p[1]);
    const double bore = 0.4 * largest;
    const double length = profile.back()[0] - profile.front()[0];
    const gp_Ax2 axis(gp_Pnt(-0.1 * length * 1000, 0, 0), gp_Dir(1, 0, 0));
    const TopoDS_Shape cylinder =
        BRepPrimAPI_MakeCylinder(axis, bore * 1000, 1.2 * length * 1000).Shape();
    BRepAlgoAPI_Cut cut(shape, cylinder);
    ASSERT_TRUE(cut.IsDone());
    EXPECT_FALSE(cut.HasErrors());
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(cut.Shape(), TopAbs_SOLID, solids);
    EXPECT_EQ(solids.Extent(), 1);
    EXPECT_TRUE(BRepCheck_Analyzer(cut.Shape()).IsValid());
    const double before = volume_of(shape);
    const double share = hub_volume_within(profile, bore) * 1e9;
    EXPECT_GT(share, 0.05 * before);  // a real bore, not a scratch
    EXPECT_NEAR(volume_of(cut.Shape()), before - share, 1e-3 * before);
}

// admesh's count in its results, e.g. "Normals fixed         :     8".
long admesh_count(const std::string& out, const std::string& label) {
    const std::regex line(label + R"(\s*:\s*(\d+))");
    std::smatch m;
    if (!std::regex_search(out, m, line))
        throw std::runtime_error("no \"" + label + "\" in " + out);
    return std::stol(m[1]);
}

TEST(SolidDownstream, AdmeshFindsNothingToMendInTheStl) {
    ScratchDir dir;
    if (run_shell(dir.path(), "command -v admesh").exit_status != 0)
        GTEST_SKIP() << "admesh is not installed: the STL cannot be checked with it";
    run_korvanti(dir.path(), {"B4-55.TSK", "", "", ""});
    ASSERT_EQ(run_solid(dir.path(), "--only stl").exit_status, 0);
    const Command admesh = run_shell(dir.path(), "admesh Korvanti.stl");
    ASSERT_EQ(admesh.exit_status, 0) << admesh.out << admesh.err;
    for (const char* label :
         {"Normals fixed", "Facets reversed", "Backwards edges", "Degenerate facets", "Edges fixed",
          "Facets removed", "Facets added", "Total disconnected facets"})
        EXPECT_EQ(admesh_count(admesh.out, label), 0) << label << "\n" << admesh.out;
    EXPECT_EQ(admesh_count(admesh.out, "Number of parts"), 1);
}

}  // namespace
}  // namespace korvanti::testing
