// The real TELVARO_3B_CIZIMLER program: on the console when there is no
// display, and in its FLTK window under Xvfb answered by keystrokes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "drawing_fixture.h"
#include "support/test_support.h"

namespace telvaro::testing {
namespace {

namespace fs = std::filesystem;
using korvanti::testing::read_file;
using korvanti::testing::read_lines;
using korvanti::testing::run_program;
using korvanti::testing::ScratchDir;
using korvanti::testing::write_file;

class Program : public ::testing::Test {
protected:
    // Without a display the program must fall back to the console.
    void SetUp() override {
        if (const char* display = std::getenv("DISPLAY")) saved_display_ = display;
        unsetenv("DISPLAY");
    }
    void TearDown() override {
        if (!saved_display_.empty()) setenv("DISPLAY", saved_display_.c_str(), 1);
    }
    std::string saved_display_;
};

TEST_F(Program, ConsoleAnswersFromStandardInput) {
    ScratchDir dir;
    write_file(dir.path() / "PERVDAT", pervdat_text(small_propeller()));
    const auto run = run_program(TELVARO_EXE, dir.path(), "1\n0.05\n");
    EXPECT_EQ(run.exit_status, 0) << run.output;
    EXPECT_NE(
        run.output.find(
            "Cizim Secenegi\nCIZIM SECENEGINI GIRIN\n<1> PERVANE FORM PLANLARI\n<2> 3D GORUNUM\n"
            "CIZIM SECENEGI GIRINIZ [1]: 1\n"
            "A3 KAGIDI CIZIM OLCEGINI GIRINIZ <OLCEK=1> - MINIMUM OLCEK 0.1 OLMALI [1]: 0.05\n"),
        std::string::npos)
        << run.output;
    const auto script = read_lines(dir.path() / "TELVARO_3B_CIZIMLER.SCR");
    ASSERT_GT(script.size(), 10u);
    EXPECT_EQ(script.front(), "ltscale 10");
    EXPECT_EQ(script.back(), "LINE 10,10 387,10 387,242 10,242 C");
    // Tip radius line at 40 + 0.05·1000·2.
    EXPECT_NE(read_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR").find("LINE\n70,140\n335,140\n\n"),
              std::string::npos);
}

TEST_F(Program, EmptyAnswersTakeTheDefaultsOfThe3DView) {
    ScratchDir dir;
    write_file(dir.path() / "PERVDAT", pervdat_text(small_propeller()));
    const auto run = run_program(TELVARO_EXE, dir.path(), "0\n\n\n");
    EXPECT_EQ(run.exit_status, 0) << run.output;
    const auto script = read_lines(dir.path() / "TELVARO_3B_CIZIMLER.SCR");
    EXPECT_EQ(std::count(script.begin(), script.end(), "3DFACE"),
              3 * 4);  // all panels, all 4 blades
    EXPECT_EQ(script.back(), "HIDE");
}

TEST_F(Program, MissingPanelDataEndsWithAMessageAndFailureStatus) {
    ScratchDir dir;
    write_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR", "earlier script\n");
    const auto run = run_program(TELVARO_EXE, dir.path(), "1\n1\n");
    EXPECT_NE(run.exit_status, 0);
    EXPECT_NE(run.output.find("HATA: PERVDAT acilamadi"), std::string::npos) << run.output;
    EXPECT_EQ(read_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR"), "earlier script\n");
}

// A display that cannot be reached, and a program copied away from its
// window module: both times the questions go to the console; the missing
// module is named in a warning.
TEST_F(Program, WithoutItsWindowTheProgramAsksOnTheConsole) {
    ScratchDir dir;
    write_file(dir.path() / "PERVDAT", pervdat_text(small_propeller()));
    setenv("DISPLAY", ":4711", 1);
    const auto unreachable = run_program(TELVARO_EXE, dir.path(), "1\n0.05\n");
    EXPECT_EQ(unreachable.exit_status, 0) << unreachable.output;
    EXPECT_EQ(unreachable.output.find("UYARI"), std::string::npos) << unreachable.output;
    EXPECT_NE(unreachable.output.find("CIZIM SECENEGI GIRINIZ [1]: 1"), std::string::npos);

    const fs::path alone = dir.path() / "alone" / "TELVARO_3B_CIZIMLER";
    fs::create_directory(alone.parent_path());
    fs::copy_file(TELVARO_EXE, alone);
    fs::remove(dir.path() / "TELVARO_3B_CIZIMLER.SCR");
    const auto without_module = run_program(alone.string(), dir.path(), "1\n0.05\n");
    EXPECT_EQ(without_module.exit_status, 0) << without_module.output;
    EXPECT_NE(without_module.output.find("UYARI: PENCERE YUKLENEMEDI ("), std::string::npos)
        << without_module.output;
    EXPECT_NE(without_module.output.find("TELVARO_3B_CIZIMLER_window.so"), std::string::npos);
    EXPECT_NE(without_module.output.find("); SORULAR KONSOLDA SORULACAK\n"), std::string::npos);
    EXPECT_EQ(read_lines(dir.path() / "TELVARO_3B_CIZIMLER.SCR").back(),
              "LINE 10,10 387,10 387,242 10,242 C");
}

bool on_path(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A binary PPM image (P6, 8 bits), as convert writes it.
struct Pixmap {
    int width = 0, height = 0;
    std::string rgb;
};

Pixmap read_ppm(const fs::path& file) {
    std::istringstream in(read_file(file));
    Pixmap image;
    std::string magic;
    in >> magic;
    int header[3] = {0, 0, 0};  // width, height, largest value; '#' starts a comment
    for (int& value : header) {
        while ((in >> std::ws).peek() == '#') in.ignore(1 << 20, '\n');
        in >> value;
    }
    in.get();
    image.width = header[0];
    image.height = header[1];
    const int maximum = header[2];
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maximum, 255);
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    in.read(image.rgb.data(), static_cast<std::streamsize>(image.rgb.size()));
    EXPECT_TRUE(in) << "short image " << file;
    return image;
}

// Starts the program in a fresh X server and answers its two input boxes by
// keystrokes: option 1, scale 0.05. Each answer waits for a box to appear,
// types into it, presses Enter and waits until the box is gone. Then the
// window with the drawing appears: its picture is taken (xwd) and it is
// closed with Enter, its button's key.
TEST(ProgramWindow, AnsweredByKeystrokesUnderXvfbAndShowsTheDrawing) {
    for (const char* tool : {"xvfb-run", "Xvfb", "xauth", "xdotool", "timeout", "xwd", "convert"})
        if (!on_path(tool)) GTEST_SKIP() << tool << " is not installed";
    ScratchDir dir;
    write_file(dir.path() / "PERVDAT", pervdat_text(small_propeller()));
    write_file(dir.path() / "drive.sh",
               "exe=\"$1\"\n"
               "\"$exe\" > program.log 2>&1 &\n"
               "pid=$!\n"
               "answer() {\n"
               "  id=$(xdotool search --sync --onlyvisible --class TelvaroSoru | head -n 1)\n"
               "  xdotool windowfocus --sync \"$id\"\n"
               "  xdotool type --delay 20 \"$1\"\n"
               "  xdotool key Return\n"
               "  while xdotool getwindowname \"$id\" >/dev/null 2>&1; do sleep 0.05; done\n"
               "}\n"
               "xdotool search --sync --onlyvisible --name '^Cizim Secenegi$' > window.id\n"
               "answer 1\n"
               "answer 0.05\n"
               "id=$(xdotool search --sync --onlyvisible --class TelvaroCizim | head -n 1)\n"
               "sleep 0.5\n"
               "xwd -id \"$id\" -silent > preview.xwd\n"
               "convert xwd:preview.xwd preview.ppm\n"
               "xdotool windowfocus --sync \"$id\"\n"
               "xdotool key Return\n"
               "wait $pid\n"
               "echo $? > status\n");
    const std::string command =
        "cd '" + dir.path().string() +
        "' && timeout 60 xvfb-run -a -s '-screen 0 1280x1024x24' sh drive.sh '" +
        std::string(TELVARO_EXE) + "' > xvfb.log 2>&1";
    const int rc = std::system(command.c_str());
    ASSERT_EQ(rc, 0) << read_file(dir.path() / "xvfb.log")
                     << (fs::exists(dir.path() / "program.log")
                             ? read_file(dir.path() / "program.log")
                             : "");
    EXPECT_FALSE(read_file(dir.path() / "window.id").empty())
        << "no window with the caption Cizim Secenegi";
    EXPECT_EQ(read_file(dir.path() / "status"), "0\n");
    const std::string script = read_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR");
    EXPECT_EQ(script.rfind("ltscale 10\n", 0), 0u);
    EXPECT_NE(script.find("LINE\n70,140\n335,140\n\n"), std::string::npos) << "drawn at scale 0.05";
    for (const char* name : {"TELVARO_3B_CIZIMLER.dxf", "TELVARO_3B_CIZIMLER.pdf",
                             "TELVARO_3B_CIZIMLER.png", "TELVARO_3B_CIZIMLER.svg"})
        EXPECT_TRUE(fs::is_regular_file(dir.path() / name)) << name;

    // The preview area (840 x 594 pixels at 10, 10) shows the page: white
    // paper with the drawing's coloured lines on it, the sheet frame among them.
    const Pixmap shot = read_ppm(dir.path() / "preview.ppm");
    ASSERT_GE(shot.width, 850);
    ASSERT_GE(shot.height, 604);
    long white = 0, drawn = 0, red = 0;
    for (int y = 10; y < 604; ++y)
        for (int x = 10; x < 850; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(
                shot.rgb.data() + (static_cast<std::size_t>(y) * shot.width + x) * 3);
            if (p[0] > 240 && p[1] > 240 && p[2] > 240)
                ++white;
            else
                ++drawn;
            if (p[0] > 150 && p[1] < 120 && p[2] < 120) ++red;
        }
    const double area = 840.0 * 594.0;
    EXPECT_GT(white / area, 0.8) << "the paper is white";
    EXPECT_GT(drawn / area, 0.003) << "lines are drawn in the preview";
    EXPECT_GT(red, 1000) << "the red frame and radius lines";
}

}  // namespace
}  // namespace telvaro::testing
