#include "common/one_based.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace korvanti {
namespace {

std::string fault(auto&& access) {
    try {
        access();
    } catch (const std::out_of_range& error) {
        return error.what();
    }
    return "";
}

// The last index runs fastest, as in PERVDAT's S(side, coordinate, k, w):
// a table filled in that order holds its values in that order.
TEST(OneBasedArray, IndicesFromOneWithTheLastRunningFastest) {
    Array<int, 2, 3, 4> t;
    int n = 0;
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 3; ++j)
            for (int k = 1; k <= 4; ++k) t(i, j, k) = n++;
    for (int m = 0; m < 24; ++m) EXPECT_EQ(t.data()[m], m);

    Array2<float, 3, 2> a;
    a(2, 1) = 1.5f;
    a(2, 2) = 2.5f;
    const View1<const float> row = a.row(2);
    EXPECT_EQ(row.size(), 2);
    EXPECT_EQ(row(1), 1.5f);
    EXPECT_EQ(row(2), 2.5f);
}

TEST(OneBasedArray, AnIndexOutsideItsDimensionIsAFaultNamingIt) {
    Array<double, 2, 3, 4> t;
    EXPECT_EQ(fault([&] { t(0, 1, 1); }), "table index 0 outside 1..2");
    EXPECT_EQ(fault([&] { t(1, 4, 1); }), "table index 4 outside 1..3");
    EXPECT_EQ(fault([&] { t(2, 3, 5); }), "table index 5 outside 1..4");
    EXPECT_EQ(fault([&] { t(2, 3, 4); }), "");
    Array1<int, 5> v;
    EXPECT_EQ(fault([&] { v.view()(6); }), "table index 6 outside 1..5");
}

}  // namespace
}  // namespace korvanti
