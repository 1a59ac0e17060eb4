// The section report: PEROF.SON read back, the report radii, the sections
// there, their characteristics, the result-file block and PEROF2.SON.
#include "reports/section_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>

#include "filelayer/errors.h"
#include "support/offsets_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

// Out-of-range look-ups are not what these tests look at.
QuietConsole quiet;

namespace fs = std::filesystem;

struct ReadBack {
    OffsetsFileData file;
    HubProfileSpline hub;
};

std::unique_ptr<ReadBack> read_fixture(const FixtureBlade& blade) {
    auto data = std::make_unique<ReadBack>();
    std::istringstream in(offsets_file_text(blade));
    read_offsets_file(in, data->file, data->hub);
    return data;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

TEST(ReadOffsetsFile, ReadsStationsSectionsAndHubProfile) {
    FixtureBlade blade;
    auto data = read_fixture(blade);
    const OffsetsFileData& f = data->file;
    EXPECT_EQ(f.N, 5);
    EXPECT_EQ(f.title, "      FIXTURE BLADE 4.550");  // A25 right-justifies a shorter text
    EXPECT_FLOAT_EQ(f.D, 2.0f);
    EXPECT_EQ(f.Z, 4);
    EXPECT_FLOAT_EQ(f.r(1), 0.2f);
    EXPECT_FLOAT_EQ(f.P(3), 1.84f);
    EXPECT_FLOAT_EQ(f.c(1), 0.44f);
    EXPECT_FLOAT_EQ(f.iT(5), 0.05f);
    EXPECT_FLOAT_EQ(f.xs(2), 0.008f);
    EXPECT_EQ(f.NP(5), 11);
    EXPECT_FLOAT_EQ(f.xc(1, 1), -0.216f);
    EXPECT_FLOAT_EQ(f.xc(1, 11), 0.224f);
    EXPECT_FLOAT_EQ(f.yb(1, 6), 0.23f);  // back 0.03 plus the radius
    EXPECT_FLOAT_EQ(f.yf(1, 6), 0.2f);
    EXPECT_EQ(data->hub.NH, 11);
    EXPECT_FLOAT_EQ(data->hub.rH(6), 0.2f);
}

// The sections of the fixture are centred on their skew shift, so the
// trailing and leading edge cancel and the hub moves by the root rake.
TEST(ReadOffsetsFile, MovesTheHubProfileUnderTheFirstSection) {
    auto data = read_fixture(FixtureBlade{});
    EXPECT_NEAR(hub_profile_shift(data->file), 0.01f, 1e-6f);
    EXPECT_NEAR(data->hub.xH(1), -0.46f + 0.01f, 1e-6f);
    EXPECT_NEAR(data->hub.xH(11), 0.46f + 0.01f, 1e-6f);

    // A section moved towards the leading edge by 0.1 moves the hub aft by
    // 0.1 sin φ1, with sin φ1 = h / sqrt(r1² + h²), h = P1 / 2π.
    std::string text = offsets_file_text(FixtureBlade{});
    std::istringstream in(text);
    ReadBack moved;
    read_offsets_file(in, moved.file, moved.hub);
    for (int j = 1; j <= 11; ++j) moved.file.xc(1, j) += 0.1f;
    float h = 1.68f / 6.2831853f;
    float sin_phi = h / std::sqrt(0.04f + h * h);
    EXPECT_NEAR(hub_profile_shift(moved.file), 0.01f - 0.1f * sin_phi, 1e-6f);
    EXPECT_NEAR(sin_phi, 0.800767f, 1e-5f);
}

TEST(ReadOffsetsFile, RefusesFilesThatDoNotFitTheTables) {
    ReadBack data;
    std::istringstream too_many("  31\n");
    EXPECT_THROW(read_offsets_file(too_many, data.file, data.hub), InputError);

    std::string text = offsets_file_text(FixtureBlade{});
    std::istringstream short_file(text.substr(0, text.size() / 2));
    try {
        read_offsets_file(short_file, data.file, data.hub);
        FAIL() << "a short file was accepted";
    } catch (const InputError& error) {
        EXPECT_NE(std::string(error.what()).find("PEROF.SON"), std::string::npos) << error.what();
    }

    FixtureBlade wide;
    wide.NP = 31;
    std::istringstream too_wide(offsets_file_text(wide));
    EXPECT_THROW(read_offsets_file(too_wide, data.file, data.hub), InputError);
}

TEST(ReportRadii, ModeOneTakesTheFileStationsWithTheChordFromTheSectionEnds) {
    auto data = read_fixture(FixtureBlade{});
    ReportSections s;
    choose_report_radii(data->file, ReportMode::file_stations, 0, s);
    interpolate_sections(data->file, ReportMode::file_stations, s, quiet.console);
    ASSERT_EQ(s.M, 5);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(s.r(k), data->file.r(k));
        EXPECT_EQ(s.P(k), data->file.P(k));
        EXPECT_EQ(s.xc(k, 4), data->file.xc(k, 4));
        EXPECT_EQ(s.c(k), data->file.xc(k, 11) - data->file.xc(k, 1));
    }
    EXPECT_FLOAT_EQ(s.ys(1, 6), 0.23f);
    EXPECT_FLOAT_EQ(s.yc(1, 6), 0.215f);
}

TEST(ReportRadii, ModeTwoIsEquallySpacedBetweenTheFirstAndLastStation) {
    auto data = read_fixture(FixtureBlade{});
    ReportSections two;
    choose_report_radii(data->file, ReportMode::equally_spaced, 2, two);
    ASSERT_EQ(two.M, 2);
    EXPECT_EQ(two.r(1), data->file.r(1));
    EXPECT_EQ(two.r(2), data->file.r(5));

    ReportSections nine;
    choose_report_radii(data->file, ReportMode::equally_spaced, 9, nine);
    ASSERT_EQ(nine.M, 9);
    EXPECT_EQ(nine.r(1), data->file.r(1));
    EXPECT_EQ(nine.r(9), data->file.r(5));
    for (int k = 1; k <= 9; ++k) EXPECT_NEAR(nine.r(k), 0.2f + 0.1f * (k - 1), 1e-6f);

    ReportSections none;
    EXPECT_THROW(choose_report_radii(data->file, ReportMode::equally_spaced, 1, none), InputError);
    EXPECT_THROW(choose_report_radii(data->file, ReportMode::equally_spaced, 31, none), InputError);
}

// Pitch, rake and skew are linear in r, the chord and the abscissae
// quadratic, the ordinates linear: the not-a-knot spline through five
// stations reproduces all of them.
TEST(ReportRadii, ModeTwoInterpolatesEverySectionAcrossTheStations) {
    FixtureBlade blade;
    auto data = read_fixture(blade);
    ReportSections s;
    choose_report_radii(data->file, ReportMode::equally_spaced, 9, s);
    interpolate_sections(data->file, ReportMode::equally_spaced, s, quiet.console);
    // r = 0.3: P = 1.72, iT = 0.015, xs = 0.006, c = 0.445, tmax = 0.027.
    EXPECT_NEAR(s.P(2), 1.72f, 2e-6f);
    EXPECT_NEAR(s.iT(2), 0.015f, 1e-7f);
    EXPECT_NEAR(s.xs(2), 0.006f, 1e-7f);
    EXPECT_NEAR(s.c(2), 0.445f, 2e-6f);
    EXPECT_NEAR(s.xc(2, 1), 0.006f - 0.2225f, 2e-6f);
    EXPECT_NEAR(s.ys(2, 6) - s.r(2), 0.027f, 2e-6f);
    EXPECT_NEAR(s.yp(2, 6) - s.r(2), 0.0f, 2e-6f);
    EXPECT_NEAR(s.yc(2, 6) - s.r(2), 0.0135f, 2e-6f);
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(s.NP(k), 11);
    // The end radii reproduce the end stations.
    EXPECT_NEAR(s.xc(9, 11), data->file.xc(5, 11), 1e-6f);
    EXPECT_NEAR(s.P(1), data->file.P(1), 1e-6f);
}

TEST(SectionCharacteristics, ThicknessAndCamberFromTheDiscretePoints) {
    auto data = read_fixture(FixtureBlade{});
    ReportSections s;
    choose_report_radii(data->file, ReportMode::file_stations, 0, s);
    interpolate_sections(data->file, ReportMode::file_stations, s, quiet.console);
    section_characteristics(s);
    // Station 1: tmax 0.03 at mid-chord of a 0.44 chord; camber half of it.
    EXPECT_NEAR(s.tmax_chord(1), 0.03f / 0.44f, 1e-6f);
    EXPECT_NEAR(s.tmx_le_chord(1), 0.5f, 1e-6f);
    EXPECT_NEAR(s.fmax_chord(1), 0.015f / 0.44f, 1e-6f);
    EXPECT_NEAR(s.fmx_le_chord(1), 0.5f, 1e-6f);
}

TEST(SectionCharacteristics, NoPositiveCamberGivesZeroAndTiesKeepTheFirstPoint) {
    FixtureBlade below;
    below.face_below = true;
    auto data = read_fixture(below);
    ReportSections s;
    choose_report_radii(data->file, ReportMode::file_stations, 0, s);
    interpolate_sections(data->file, ReportMode::file_stations, s, quiet.console);
    // A flat top from point 5 to 7: the first of them is the position.
    s.ys(2, 5) = s.ys(2, 6);
    s.ys(2, 7) = s.ys(2, 6);
    s.yp(2, 5) = s.yp(2, 6);
    s.yp(2, 7) = s.yp(2, 6);
    section_characteristics(s);
    for (int k = 1; k <= s.M; ++k) {
        EXPECT_EQ(s.fmax_chord(k), 0.0f);
        EXPECT_EQ(s.fmx_le_chord(k), 0.0f);
        EXPECT_GT(s.tmax_chord(k), 0.0f);
    }
    EXPECT_NEAR(s.tmx_le_chord(2), 0.6f, 1e-6f);
}

TEST(SectionBlock, HeadingsDataLinesAndPointColumns) {
    auto data = read_fixture(FixtureBlade{});
    ReportSections s;
    choose_report_radii(data->file, ReportMode::file_stations, 0, s);
    interpolate_sections(data->file, ReportMode::file_stations, s, quiet.console);
    section_characteristics(s);
    std::ostringstream out;
    write_section_block(s, 2.0f, out);
    auto lines = split_lines(out.str());
    ASSERT_GT(lines.size(), 30u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[3], std::string(16, ' ') + "PERVANE KESIT OFSETLERI");
    EXPECT_EQ(lines[4], std::string(16, ' ') + "(INTERPOLE EDILMIS)    ");

    size_t at = 0;
    while (at < lines.size() && lines[at].rfind(" r/R", 0) != 0) ++at;
    ASSERT_LT(at + 30, lines.size());
    EXPECT_EQ(lines[at - 1], "");
    EXPECT_EQ(lines[at + 0], " r/R    =  0.2000");
    EXPECT_EQ(lines[at + 1], " RADIUS =  0.2000 m     ");
    EXPECT_EQ(lines[at + 2],
              " PITCH  =  1.6800 m     " + std::string(11, ' ') + "PITCH/D = 0.8400");
    EXPECT_EQ(lines[at + 3],
              " CHORD  =  0.4400 m     " + std::string(11, ' ') + "CHORD/D = 0.2200");
    EXPECT_EQ(lines[at + 4],
              " RAKE   =  0.0100 m     " + std::string(11, ' ') + " RAKE/D = 0.0050");
    EXPECT_EQ(lines[at + 5],
              " SKEWB  =  0.0040 m     " + std::string(11, ' ') + "Sk(deg) =   0.69");
    EXPECT_EQ(lines[at + 6],
              " TMAX   =  0.0300 m     " + std::string(8, ' ') + "TMAX/CHORD = 0.0682");
    EXPECT_EQ(lines[at + 7],
              " FMAX   =  0.0150 m     " + std::string(8, ' ') + "FMAX/CHORD = 0.0341");
    EXPECT_EQ(lines[at + 8],
              " TMX_LE =  0.2200 m     " + std::string(6, ' ') + "TMX_LE/CHORD = 0.5000");
    EXPECT_EQ(lines[at + 9],
              " FMX_LE =  0.2200 m     " + std::string(6, ' ') + "FMX_LE/CHORD = 0.5000");
    EXPECT_EQ(lines[at + 10], " " + std::string(50, '-'));
    EXPECT_EQ(lines[at + 11], " Kesit Boy   Kesit Boy    Emme      Sehim    Basinc ");
    EXPECT_EQ(lines[at + 12], "  Konumu      Konumu      Tarafi    Hatti    Tarafi");
    EXPECT_EQ(lines[at + 13], "  % kort       (m)         (m)       (m)       (m)  ");
    EXPECT_EQ(lines[at + 14], " " + std::string(50, '-'));
    EXPECT_EQ(lines[at + 15], "   T.E.       -0.2160    0.0000    0.0000    0.0000");
    EXPECT_EQ(lines[at + 16], "  10.00       -0.1720    0.0108    0.0054    0.0000");
    EXPECT_EQ(lines[at + 20], "  50.00        0.0040    0.0300    0.0150    0.0000");
    EXPECT_EQ(lines[at + 25], "   L.E.        0.2240    0.0000    0.0000    0.0000");
    EXPECT_EQ(lines[at + 26], " " + std::string(50, '-'));
    // Five radii, each opened by one " r/R" line.
    int blocks = 0;
    for (const auto& line : lines) blocks += line.rfind(" r/R    =", 0) == 0;
    EXPECT_EQ(blocks, 5);
}

TEST(InterpolatedOffsetsFile, LayoutOfPerof2) {
    auto data = read_fixture(FixtureBlade{});
    ReportSections s;
    choose_report_radii(data->file, ReportMode::file_stations, 0, s);
    interpolate_sections(data->file, ReportMode::file_stations, s, quiet.console);
    auto lines = split_lines(interpolated_offsets_text(s, 2.0f, 4));
    ASSERT_EQ(lines.size(), 4u + 5u + 5u * 12u + 1u);
    EXPECT_EQ(lines[0], "   5");
    EXPECT_EQ(lines[1], "ACIKLAMA ICIN PEROF.SON ISIMLI DOSYAYA BAKIN");
    EXPECT_EQ(lines[2], "0.20000000E+01");
    EXPECT_EQ(lines[3], "   4");
    EXPECT_EQ(lines[4].substr(0, 64),
              "0.200000E+00 0.168000E+01 0.440000E+00 0.100000E-01 0.400000E-02");
    EXPECT_EQ(lines[9], "  11");
    EXPECT_EQ(lines[10].substr(0, 38), "-.216000E+00 0.200000E+00 0.200000E+00");
    EXPECT_EQ(lines[15].substr(13, 25), "0.230000E+00 0.200000E+00");
    EXPECT_EQ(lines.back(), "HUB BILGISINI PEROF.SON DOSYASINDAN ALIN");
}

// Whatever is too large for the hub grid or the mesh is refused before the
// result file or PEROF2.SON gets a line.
TEST(SectionReport, RefusesTooManySurfacePointsBeforeWritingAnything) {
    ScratchDir dir;
    FixtureBlade blade;
    blade.NP = 23;
    BladeModel model = fixture_model(blade, 1, 0);
    std::ostringstream result;
    try {
        write_section_report(*make_section_report(model, offsets_file_text(blade), quiet.console),
                             result);
        FAIL() << "23 chordwise points were accepted";
    } catch (const InputError& error) {
        EXPECT_NE(std::string(error.what()).find("22"), std::string::npos) << error.what();
    }
    EXPECT_EQ(result.str(), "");
    EXPECT_FALSE(fs::exists("PEROF2.SON"));

    blade.NP = 22;
    EXPECT_NO_THROW(write_section_report(
        *make_section_report(model, offsets_file_text(blade), quiet.console), result));
    EXPECT_TRUE(fs::exists("PEROF2.SON"));
}

TEST(SectionReport, MeshCapacityFollowsTheCountsOfTheGrid) {
    ReportSections s;
    s.M = 11;
    s.NP(1) = 11;
    EXPECT_NO_THROW(check_post_capacities(s, ReportMode::equally_spaced, 4));
    s.M = 30;
    s.NP(1) = 22;
    EXPECT_NO_THROW(check_post_capacities(s, ReportMode::file_stations,
                                          2));  // the largest mesh: 2632 nodes, 2590 panels
    MeshCounts largest = mesh_counts(2, 22, 30);
    EXPECT_EQ(largest.hub_nodes + largest.blade_nodes, 2632);
    EXPECT_EQ(largest.hub_panels + largest.blade_panels, 2590);
    s.NP(1) = 2;
    EXPECT_THROW(check_post_capacities(s, ReportMode::file_stations, 4), InputError);
    s.M = 23;
    EXPECT_THROW(check_post_capacities(s, ReportMode::equally_spaced, 4), InputError);
}

}  // namespace
}  // namespace korvanti::testing
