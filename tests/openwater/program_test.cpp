// korvanti-openwater as a program: the table of a propeller and its files
// (the CSV read back with Python's csv module, the PDF with pdfinfo, the PNG
// pixel by pixel), the operating point, a selection and its task file, bad
// input (one line, exit status 2 or 1, nothing written) and a copy installed
// under a prefix of its own.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "openwater_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

const char* const b4_55 = "--blades 4 --area-ratio 0.55 --pitch-ratio 1.0";

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The printed table: the lines from the column titles to the line of zero
// thrust.
std::vector<std::string> printed_table(const std::string& out) {
    std::vector<std::string> rows;
    bool in_table = false;
    for (const std::string& line : lines_of(out)) {
        if (line.rfind("     J       KT", 0) == 0) {
            in_table = true;
            continue;
        }
        if (in_table && line.rfind("KT reaches 0", 0) == 0) break;
        if (in_table) rows.push_back(line);
    }
    return rows;
}

TEST(OpenWaterProgram, HelpAndVersion) {
    ScratchDir dir;
    const ProgramResult help = openwater(dir.path(), "--help");
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_EQ(help.out.rfind("Usage: korvanti-openwater [OPTION]...\n", 0), 0u);
    for (const char* option : {"--thrust=T", "--power=P", "--immersion=H", "--screws=KIND",
                               "--choose=Z", "--no-reynolds-correction", "--extrapolate"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const ProgramResult version = openwater(dir.path(), "--version");
    EXPECT_EQ(version.out, "korvanti-openwater 1.0.0\n");
    EXPECT_TRUE(names_in(dir.path()).empty());
}

// The B4-55 of the published check values at the step 0.2, and the CSV
// read back with Python's csv module to the printed rows.
TEST(OpenWaterProgram, TableCsvPdfAndPng) {
    ScratchDir dir;
    const ProgramResult run = openwater(dir.path(), std::string(b4_55) + " --step 0.2");
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> expected = {
        "0.0000  0.42425  0.61290  0.0000", "0.2000  0.37156  0.54775  0.2159",
        "0.4000  0.30380  0.46552  0.4155", "0.6000  0.22410  0.36569  0.5852",
        "0.8000  0.13555  0.24773  0.6967", "1.0000  0.04129  0.11110  0.5914",
        "1.0855  0.00000  0.04685  0.0000"};
    EXPECT_EQ(printed_table(run.out), expected);
    EXPECT_NE(run.out.find("KT reaches 0 at J = 1.0855; the highest eta0 is 0.7065 at J = 0.861\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Rn = 2.000e6"), std::string::npos);
    EXPECT_EQ(names_in(dir.path()),
              (std::set<std::string>{"Korvanti_openwater.csv", "Korvanti_openwater.pdf",
                                     "Korvanti_openwater.png"}));
    const std::string csv = read_file(dir.path() / "Korvanti_openwater.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "J [-],KT [-],10KQ [-],eta0 [-]");

    if (on_path("python3")) {
        write_file(dir.path() / "read.py",
                   "import csv\n"
                   "rows = list(csv.reader(open('Korvanti_openwater.csv', newline='')))\n"
                   "for row in rows[1:]:\n"
                   "    assert len(row) == len(rows[0])\n"
                   "    print('  '.join(row))\n");
        const ProgramResult back = run_in(dir.path(), "python3 read.py");
        ASSERT_EQ(back.exit_status, 0) << back.err;
        EXPECT_EQ(lines_of(back.out), expected);
        fs::remove(dir.path() / "read.py");
    }
    if (on_path("pdfinfo")) {
        const ProgramResult info = run_in(dir.path(), "pdfinfo Korvanti_openwater.pdf");
        ASSERT_EQ(info.exit_status, 0) << info.err;
        const size_t pages = info.out.find("Pages:");
        ASSERT_NE(pages, std::string::npos) << info.out;
        EXPECT_EQ(std::stoi(info.out.substr(pages + 6)), 1) << info.out;
    }
    // Coloured pixels of the curves inside the plot area (grid and text are
    // grey and black).
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> png(
        cairo_image_surface_create_from_png((dir.path() / "Korvanti_openwater.png").c_str()),
        cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
    const int width = cairo_image_surface_get_width(png.get());
    const int height = cairo_image_surface_get_height(png.get());
    EXPECT_EQ(width, 1683);
    EXPECT_EQ(height, 1190);
    const unsigned char* data = cairo_image_surface_get_data(png.get());
    const int stride = cairo_image_surface_get_stride(png.get());
    int coloured = 0;
    for (int y = 240; y < 1040; ++y)
        for (int x = 170; x < 1330; ++x) {
            const unsigned char* p = data + y * stride + x * 4;  // B, G, R
            const int spread = std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
            if (spread > 60) ++coloured;
        }
    EXPECT_GT(coloured, 5000);
}

// Given the rate of revolutions and the speed, the operating point and the
// Reynolds number; KT rises above its value at 2·10⁶.
TEST(OpenWaterProgram, OperatingPointFromTheTaskFile) {
    ScratchDir dir;
    prepare_run(dir.path(), "B4-55.TSK");
    const ProgramResult run = openwater(dir.path(), "--rpm 240 --speed 6");
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("Particulars from Korvanti.TSK\n"), std::string::npos);
    EXPECT_NE(run.out.find("at the operating point: the Reynolds correction applies"),
              std::string::npos)
        << run.out;
    const size_t at = run.out.find("  J = ");
    ASSERT_NE(at, std::string::npos);
    double j = 0, kt = 0, kq = 0, eta = 0, t = 0, q = 0, p = 0;
    ASSERT_EQ(std::sscanf(run.out.c_str() + at,
                          "  J = %lf, KT = %lf, KQ = %lf, eta0 = %lf\n  T = %lf kN, Q = %lf kN.m, "
                          "P = %lf kW",
                          &j, &kt, &kq, &eta, &t, &q, &p),
              7);
    EXPECT_DOUBLE_EQ(j, 0.75);
    const double n = 4.0;
    EXPECT_NEAR(t, kt * 1025.9 * n * n * 16 / 1000, 0.01);
    EXPECT_NEAR(q, kq * 1025.9 * n * n * 32 / 1000, 0.005);
    EXPECT_NEAR(p, 2 * M_PI * n * q, 0.05);
    EXPECT_NEAR(eta, j * kt / (2 * M_PI * kq), 1e-4);
    EXPECT_GT(kt, 0.15875);  // B4-55 at J = 0.75 and Rn = 2e6: KT 0.1583...

    const ProgramResult fixed =
        openwater(dir.path(), "--rpm 240 --speed 6 --no-reynolds-correction");
    ASSERT_EQ(fixed.exit_status, 0) << fixed.err;
    EXPECT_NE(fixed.out.find("Rn = 2.000e6 (--no-reynolds-correction); at the operating point"),
              std::string::npos);
}

TEST(OpenWaterProgram, DuctedPropellerSaysItsSource) {
    ScratchDir dir;
    const ProgramResult run =
        openwater(dir.path(), "--series Ka --blades 4 --area-ratio 0.70 --pitch-ratio 1.0");
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("single published transcription"), std::string::npos);
    const std::vector<std::string> rows = printed_table(run.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], "0.0000  0.52568  0.44244  0.0000  0.26882");
    const std::string csv = read_file(dir.path() / "Korvanti_openwater.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "J [-],KT [-],10KQ [-],eta0 [-],KTN [-]");
}

TEST(OpenWaterProgram, ExtrapolationAndTwoBlades) {
    ScratchDir dir;
    const ProgramResult refused =
        openwater(dir.path(), "--blades 4 --area-ratio 0.55 --pitch-ratio 1.5");
    EXPECT_EQ(refused.exit_status, 2);
    EXPECT_EQ(refused.err,
              "korvanti-openwater: pitch ratio P/D = 1.5 is outside the B-series range 0.5 to 1.4 "
              "(--extrapolate to accept)\n");
    EXPECT_TRUE(names_in(dir.path()).empty());
    const ProgramResult run =
        openwater(dir.path(), "--blades 4 --area-ratio 0.55 --pitch-ratio 1.5 --extrapolate");
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("(extrapolated)"), std::string::npos);
    EXPECT_NE(read_file(dir.path() / "Korvanti_openwater.csv").find("KT [-] (extrapolated)"),
              std::string::npos);
    const ProgramResult two =
        openwater(dir.path(), "--blades 2 --area-ratio 0.30 --pitch-ratio 1.0");
    EXPECT_EQ(two.exit_status, 0);
    EXPECT_NE(two.err.find("warning: the B-series fit is poor for Z = 2"), std::string::npos);
}

// One line naming the option, exit status 2, nothing written.
TEST(OpenWaterProgram, BadOptions) {
    ScratchDir dir;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--speed -1 --rpm 100 --thrust 100",
         "option --speed: the speed of advance VA in m/s must be above zero, got '-1'"},
        {"--speed 6 --rpm 0 --thrust 100",
         "option --rpm: the rate of revolutions in rpm must be above zero, got '0'"},
        {"--speed 6 --rpm 100 --thrust abc",
         "option --thrust: the thrust in kN expected; 'abc' is not a number"},
        {"--speed 6 --diameter 0 --power 100",
         "option --diameter: the diameter D in metres must be above zero, got '0'"},
        {"--speed 6 --rpm 100 --thrust 100 --blades 3-x",
         "option --blades: a blade count Z (a whole number) expected; 'x' is not one"},
        {"--speed 6 --rpm 100 --thrust 100 --blades 6-3",
         "option --blades: a range Z1-Z2 needs Z1 <= Z2, got 6-3"},
        {"--speed 6 --rpm 100 --thrust 100 --power 100",
         "option --power: give the thrust or the power, not both"},
        {"--rpm 100 --thrust 100", "option --speed: a selection needs the speed of advance"},
        {"--speed 6 --rpm 100 --thrust 100 --screws triple --immersion 2",
         "option --screws: single, twin or fast-twin expected; 'triple' is not known"},
        {"--speed 6 --rpm 100 --thrust 100 --pitch-ratio 1",
         "option --pitch-ratio: the selection finds P/D itself"},
        {"--speed 6 --rpm 100 --thrust 100",
         "option --area-ratio: give the area ratio, or "
         "--immersion for the smallest Keller's criterion "
         "allows"},
        {"--step 0", "option --step: the step of J must be above zero, got '0'"},
        {"--water salt", "option --water: sea or fresh expected; 'salt' is not known"},
        {"--rpm 100", "option --speed: the operating point needs both --rpm and --speed"},
        {"--blades 4 --pitch-ratio 1",
         "option --area-ratio: given the particulars, the area "
         "ratio is needed too"},
        {"--frobnicate", "unknown option --frobnicate (see korvanti-openwater --help)"},
        {"--speed", "option --speed: expected a value after it"},
        {"extra",
         "unexpected argument 'extra': the program takes options only (see "
         "korvanti-openwater --help)"},
        {"--series X",
         "option --series: a series 1 to 7 or B, Ka, Kc, KC101, Gawn, NR, AU "
         "expected; 'X' is not known"},
        {"-C /nonexistent/dir", "option -C (--directory): '/nonexistent/dir' is not a directory"},
    };
    for (const auto& [arguments, message] : cases) {
        const ProgramResult run = openwater(dir.path(), arguments);
        EXPECT_EQ(run.exit_status, 2) << arguments;
        EXPECT_EQ(run.err, "korvanti-openwater: " + message + "\n") << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
}

// A task file that cannot be read: the line named, exit status 1, the files
// of an earlier run left as they were.
TEST(OpenWaterProgram, BadTaskFileAndSeriesWithoutModel) {
    ScratchDir dir;
    prepare_run(dir.path(), "B4-55.TSK");
    ASSERT_EQ(openwater(dir.path(), "").exit_status, 0);
    const std::string csv = read_file(dir.path() / "Korvanti_openwater.csv");
    std::vector<std::string> lines = lines_of(read_file(dir.path() / "Korvanti.TSK"));
    lines.at(49) = "1.0   two";
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    write_file(dir.path() / "Korvanti.TSK", text);
    const std::set<std::string> before = names_in(dir.path());
    const ProgramResult bad = openwater(dir.path(), "");
    EXPECT_EQ(bad.exit_status, 1);
    EXPECT_EQ(bad.err,
              "korvanti-openwater: Korvanti.TSK line 50: the diameter D in metres expected (a "
              "number), read 'two'\n");
    EXPECT_EQ(read_file(dir.path() / "Korvanti_openwater.csv"), csv);
    EXPECT_EQ(names_in(dir.path()), before);

    prepare_run(dir.path(), "Kc4-70.TSK");
    const ProgramResult kc = openwater(dir.path(), "");
    EXPECT_EQ(kc.exit_status, 1);
    EXPECT_EQ(kc.err,
              "korvanti-openwater: no open-water model for the Wageningen Kc series: only "
              "Wageningen B and Ka (Ka4-70, Ka5-75 in nozzle 19A) have one\n");
    const ProgramResult gawn = openwater(dir.path(),
                                         "--series Gawn --thrust 100 --speed 5 --rpm 200 "
                                         "--area-ratio 0.6");
    EXPECT_EQ(gawn.exit_status, 1);
    EXPECT_NE(gawn.err.find("no open-water model for the Gawn series"), std::string::npos);
    EXPECT_EQ(names_in(dir.path()), before);
}

TEST(OpenWaterProgram, SelectionWritesTheTaskFileOfTheBest) {
    ScratchDir dir;
    const ProgramResult run = openwater(dir.path(),
                                        "--thrust 250 --speed 6 --rpm 150 --max-diameter 3.5 "
                                        "--blades 3-6 --immersion 3");
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"Korvanti.TSK"});
    const std::vector<std::string> task = lines_of(read_file(dir.path() / "Korvanti.TSK"));
    EXPECT_EQ(task.at(33),
              " ACIK SU SECIMI (korvanti-openwater): T=250 kN, VA=6 m/s, n=150 rpm, "
              "D<=3.5 m, Z=3-6, Ear Keller h=3 m");
    // The best row is marked, and the task file holds its values.
    std::string best;
    for (const std::string& line : lines_of(run.out))
        if (line.rfind(" * ", 0) == 0) best = line;
    ASSERT_FALSE(best.empty()) << run.out;
    int z = 0;
    double ae = 0, pd = 0, d = 0;
    ASSERT_EQ(std::sscanf(best.c_str(), " * %d %lf %lf %lf", &z, &ae, &pd, &d), 4);
    double ae_file = 0, pd_file = 0, d_file = 0;
    int z_file = 0;
    std::sscanf(task.at(42).c_str(), "%d %lf", &z_file, &ae_file);
    std::sscanf(task.at(49).c_str(), "%lf %lf", &pd_file, &d_file);
    EXPECT_EQ(z_file, z);
    EXPECT_EQ(ae_file, ae);
    EXPECT_EQ(pd_file, pd);
    EXPECT_EQ(d_file, d);
    EXPECT_EQ(task.at(39), "1");

    const ProgramResult chosen = openwater(dir.path(),
                                           "--thrust 250 --speed 6 --rpm 150 --max-diameter "
                                           "3.5 --blades 3-6 --immersion 3 --choose 3");
    ASSERT_EQ(chosen.exit_status, 0) << chosen.err;
    EXPECT_EQ(lines_of(read_file(dir.path() / "Korvanti.TSK")).at(42).substr(0, 2), "3 ");

    // Too much thrust for the largest diameter: said plainly, nothing written.
    const std::string before = read_file(dir.path() / "Korvanti.TSK");
    const ProgramResult none = openwater(dir.path(),
                                         "--thrust 2500 --speed 6 --rpm 150 --max-diameter 3.5 "
                                         "--blades 4 --area-ratio 0.6");
    EXPECT_EQ(none.exit_status, 1);
    EXPECT_EQ(none.err,
              "korvanti-openwater: no propeller of the range meets the need (T=2500 kN, VA=6 m/s, "
              "n=150 rpm, D<=3.5 m); the table says the nearest each blade count does\n");
    EXPECT_NE(none.out.find("at most "), std::string::npos);
    EXPECT_EQ(read_file(dir.path() / "Korvanti.TSK"), before);
}

// Installed under a prefix of its own (as unpacked from a package): the data
// are found beside the program's bin folder; without them it says which file
// is missing.
TEST(OpenWaterProgram, InstalledCopyFindsItsData) {
    ScratchDir dir;
    const fs::path root = dir.path() / "root";
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "usr/share/korvanti/open-water");
    fs::copy_file(OPENWATER_EXE, root / "usr/bin/korvanti-openwater");
    const fs::path work = dir.path() / "work";
    fs::create_directories(work);
    const std::string program = quote((root / "usr/bin/korvanti-openwater").string());
    const ProgramResult missing = run_in(work, program + " " + b4_55);
    EXPECT_EQ(missing.exit_status, 1);
    EXPECT_EQ(missing.err,
              "korvanti-openwater: " +
                  (root / "usr/share/korvanti/open-water/wageningen-b-kt-kq.tsv").string() +
                  ": cannot be read\n");
    for (const char* file :
         {"wageningen-b-kt-kq.tsv", "wageningen-b-reynolds.tsv", "ka-nozzle-19a.tsv"})
        fs::copy_file(source_path(std::string("data/open-water/") + file),
                      root / "usr/share/korvanti/open-water" / file);
    fs::copy_file(source_path("data/WAGBPROP.DAT"), root / "usr/share/korvanti/WAGBPROP.DAT");
    const ProgramResult run =
        run_in(work, program + " " + b4_55 + " --diameter 2 --rpm 240 --speed 6");
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("the Reynolds correction applies"), std::string::npos);
}

}  // namespace
}  // namespace korvanti::testing
