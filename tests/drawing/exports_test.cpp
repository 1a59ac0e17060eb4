// The drawing files as a user gets them: Korvanti run on a propeller of
// every series, right and left hand, then the drawing generator on its
// PERVDAT, on the console, for the form plans at the scales 0.1, 1 and the
// automatic one (0: the largest that fits) and for every answer of the 3D
// view (blade, hub, both; every blade or one). Each run writes four files:
// the DXF is read back with ezdxf and compared with the script, the PDF is
// measured with pdfinfo and pdftotext, the PNG is looked at pixel by pixel.
#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>

#include "support/test_support.h"

namespace telvaro::testing {
namespace {

namespace fs = std::filesystem;
using korvanti::testing::prepare_run;
using korvanti::testing::read_file;
using korvanti::testing::read_lines;
using korvanti::testing::run_program;
using korvanti::testing::source_path;
using korvanti::testing::write_file;

const char* const kFormPlanAnswers[] = {"1\n0.1\n", "1\n1\n", "1\n0\n"};
const char* const kViewAnswers[] = {"2\n1\nE\n", "2\n1\nH\n", "2\n2\nE\n",
                                    "2\n2\nH\n", "2\n3\nE\n", "2\n3\nH\n"};
// One example per series: Wageningen B, Ka, Kc, KC101-Gawn, Gawn, Newton-Rader, AU.
const char* const kSeries[] = {"B4-55",    "Ka4-70", "Kc4-70", "KC101-80",
                               "Gawn3-65", "NR3-71", "AU4-55"};

struct DrawingRun {
    std::string name;  // directory under the suite's root holding the four files
    bool sheet;        // the form plans (or the 3D view)
};

std::string command_output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

bool on_path(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

class DrawingExports : public ::testing::Test {
protected:
    // Runs everything once: 14 propellers, each drawn as form plans and as a
    // 3D view (the answers taken in turn, so that each comes up at least
    // twice), and the right-hand B4-55 with every answer.
    static void SetUpTestSuite() {
        const char* unset = getenv("DISPLAY");
        if (unset != nullptr) saved_display_ = unset;
        unsetenv("DISPLAY");
        std::string pattern = (fs::temp_directory_path() / "korvanti-exports-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        int turn = 0;
        for (const char* series : kSeries)
            for (const bool left : {false, true}) {
                const fs::path dir = root_ / (std::string(series) + (left ? "-left" : "-right"));
                fs::create_directory(dir);
                prepare_run(dir, std::string(series) + ".TSK");
                auto lines = read_lines(dir / "Korvanti.TSK");
                ASSERT_GE(lines.size(), 47u);
                lines[46] = left ? "0" : "1";  // line 47: the hand
                std::string task;
                for (const auto& line : lines) task += line + "\n";
                write_file(dir / "Korvanti.TSK", task);
                const auto calculator = run_program(KORVANTI_EXE, dir, "E\n");
                ASSERT_EQ(calculator.exit_status, 0) << series << calculator.output;
                if (std::string(series) == "B4-55" && !left) {
                    for (const char* answers : kFormPlanAnswers) draw(dir, answers, true);
                    for (const char* answers : kViewAnswers) draw(dir, answers, false);
                } else {
                    draw(dir, kFormPlanAnswers[turn % 3], true);
                    draw(dir, kViewAnswers[turn % 6], false);
                }
                ++turn;
            }
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        if (!saved_display_.empty()) setenv("DISPLAY", saved_display_.c_str(), 1);
    }

    static void draw(const fs::path& dir, const std::string& answers, bool sheet) {
        const auto run = run_program(TELVARO_EXE, dir, answers);
        ASSERT_EQ(run.exit_status, 0) << run.output;
        std::string name = dir.filename().string() + "-";
        for (char c : answers) name += c == '\n' ? '_' : c;
        const fs::path keep = root_ / name;
        fs::create_directory(keep);
        for (const char* extension : {".SCR", ".dxf", ".pdf", ".png", ".svg"}) {
            const std::string file = std::string("TELVARO_3B_CIZIMLER") + extension;
            ASSERT_NE(run.output.find(std::string(" YAZILDI: ") + (dir / file).string()),
                      std::string::npos)
                << "the file name is printed: " << run.output;
            fs::rename(dir / file, keep / file);
        }
        runs_.push_back({name, sheet});
    }

    static fs::path file(const DrawingRun& run, const char* extension) {
        return root_ / run.name / (std::string("TELVARO_3B_CIZIMLER") + extension);
    }

    static inline fs::path root_;
    static inline std::vector<DrawingRun> runs_;
    static inline std::string saved_display_;
};

// ezdxf reads every DXF back: its audit finds no error, its entities by kind
// and layer are the script's and their coordinates the script's to 1e-6.
TEST_F(DrawingExports, DxfReadsBackWithEzdxfAsTheScriptDraws) {
    if (std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ezdxf (Debian python3-ezdxf) is not installed for /usr/bin/python3";
    std::string command =
        "/usr/bin/python3 '" + source_path("tests/drawing/check_dxf.py").string() + "'";
    for (const auto& run : runs_)
        command += " '" + file(run, ".SCR").string() + "' '" + file(run, ".dxf").string() + "'";
    const std::string output = command_output(command + " 2>&1");
    std::istringstream lines(output);
    int ok = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("OK ", 0) == 0)
            ++ok;
        else
            ADD_FAILURE() << line;
    }
    EXPECT_EQ(ok, static_cast<int>(runs_.size())) << output;
}

// Every SVG has the entities per layer of the DXF beside it (ezdxf reads
// the DXF, the SVG is read as XML).
TEST_F(DrawingExports, SvgHasTheEntitiesPerLayerOfTheDxf) {
    if (std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ezdxf (Debian python3-ezdxf) is not installed for /usr/bin/python3";
    std::string command =
        "/usr/bin/python3 '" + source_path("tests/drawing/check_svg.py").string() + "'";
    for (const auto& run : runs_)
        command += " '" + file(run, ".dxf").string() + "' '" + file(run, ".svg").string() + "'";
    const std::string output = command_output(command + " 2>&1");
    std::istringstream lines(output);
    int ok = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("OK ", 0) == 0)
            ++ok;
        else
            ADD_FAILURE() << line;
    }
    EXPECT_EQ(ok, static_cast<int>(runs_.size())) << output;
}

// LibreCAD, a second reader, prints the DXF of the form plans and of the 3D
// view of B4-55 to a one-page PDF.
TEST_F(DrawingExports, LibreCadPrintsTheDxf) {
    if (!on_path("librecad")) GTEST_SKIP() << "LibreCAD (Debian librecad) is not installed";
    if (!on_path("pdfinfo")) GTEST_SKIP() << "pdfinfo (Debian poppler-utils) is not installed";
    for (const char* name : {"B4-55-right-1_0.1_", "B4-55-right-2_3_E_"}) {
        // In a directory of its own: dxf2pdf names the PDF after the DXF.
        const fs::path dir = root_ / name / "librecad";
        fs::create_directory(dir);
        fs::copy_file(root_ / name / "TELVARO_3B_CIZIMLER.dxf", dir / "TELVARO_3B_CIZIMLER.dxf");
        const std::string output = command_output(
            "cd '" + dir.string() +
            "' && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=. timeout 120 librecad dxf2pdf -a "
            "TELVARO_3B_CIZIMLER.dxf 2>&1");
        ASSERT_NE(output.find("DONE"), std::string::npos) << name << output;
        const std::string info =
            command_output("pdfinfo '" + (dir / "TELVARO_3B_CIZIMLER.pdf").string() + "' 2>&1");
        EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << name << info;
    }
}

// One A3 landscape page; the form plans at true size: the label of the tip
// radius starts at x = 337 mm of the sheet, which lies 11.5 mm in from the
// page's left edge.
TEST_F(DrawingExports, PdfIsOneA3LandscapePageAtTrueSheetSize) {
    if (!on_path("pdfinfo") || !on_path("pdftotext"))
        GTEST_SKIP() << "pdfinfo and pdftotext (Debian poppler-utils) are not installed";
    const double mm = 72 / 25.4;
    for (const auto& run : runs_) {
        const std::string pdf = file(run, ".pdf").string();
        const std::string info = command_output("pdfinfo '" + pdf + "' 2>&1");
        EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << run.name << info;
        EXPECT_NE(info.find("Page size:       1190.55 x 841.89 pts (A3)\n"), std::string::npos)
            << run.name << info;
        if (!run.sheet) continue;
        const std::string words = command_output("pdftotext -bbox '" + pdf + "' - 2>&1");
        const auto at = words.find(">1.000</word>");
        ASSERT_NE(at, std::string::npos) << run.name << words;
        const auto start = words.rfind("<word", at);
        double x_min = 0;
        ASSERT_EQ(std::sscanf(words.c_str() + words.find("xMin=\"", start) + 6, "%lf", &x_min), 1);
        // "r/R = 1.000" after a leading blank: the digits lie right of 337 mm
        // by the width of "r/R = " and less than 25 mm.
        EXPECT_GT(x_min, (11.5 + 337 + 5) * mm) << run.name;
        EXPECT_LT(x_min, (11.5 + 337 + 25) * mm) << run.name;
    }
}

// Share of pixels that are not white paper.
double drawn_share(const fs::path& png, int& width, int& height) {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
        cairo_image_surface_create_from_png(png.c_str()), cairo_surface_destroy);
    EXPECT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS) << png;
    width = cairo_image_surface_get_width(image.get());
    height = cairo_image_surface_get_height(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    const unsigned char* data = cairo_image_surface_get_data(image.get());
    if (data == nullptr || width == 0) return 0;
    long drawn = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, 4);
            if ((pixel & 0xFFFFFF) != 0xFFFFFF) ++drawn;
        }
    return static_cast<double>(drawn) / (static_cast<double>(width) * height);
}

// The PNG is the A3 page at 4 pixels per millimetre, not blank: the thin
// lines of the form plans cover a few per cent of the sheet, the shaded
// faces of the 3D view, fitted to the page, a large part of it.
TEST_F(DrawingExports, PngShowsTheDrawing) {
    ASSERT_EQ(runs_.size(), 2u * 14 + 7);
    for (const auto& run : runs_) {
        int width = 0, height = 0;
        const double share = drawn_share(file(run, ".png"), width, height);
        EXPECT_EQ(width, 1680) << run.name;
        EXPECT_EQ(height, 1188) << run.name;
        if (run.sheet) {
            EXPECT_GT(share, 0.01) << run.name;
            EXPECT_LT(share, 0.15) << run.name;
        } else {
            EXPECT_GT(share, 0.08) << run.name;
            EXPECT_LT(share, 0.75) << run.name;
        }
    }
}

}  // namespace
}  // namespace telvaro::testing
