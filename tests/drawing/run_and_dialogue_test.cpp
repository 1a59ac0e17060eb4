// The option loop, cancelling, damaged input and the console dialogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "console_dialogue.h"
#include "drawing_fixture.h"
#include "drawing_model.h"
#include "drawing_run.h"
#include "script.h"
#include "support/test_support.h"

namespace telvaro::testing {
namespace {

namespace fs = std::filesystem;
using korvanti::testing::names_in;
using korvanti::testing::read_file;
using korvanti::testing::ScratchDir;
using korvanti::testing::write_file;

TEST(OptionLoop, OtherAnswersAskAgainAndNonNumbersAreReported) {
    ScratchDir dir;
    const DrawingRun run = run_with_answers(dir.path(), pervdat_text(small_propeller()),
                                            {"3", "abc", "", "-1", "1.5", "1", "0.05"});
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.questions.size(), 7u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(run.questions[i].prompt, "CIZIM SECENEGI GIRINIZ ");
        EXPECT_EQ(run.questions[i].title, " ");
        EXPECT_EQ(run.questions[i].default_text, "1");
    }
    EXPECT_EQ(run.alerts,
              (std::vector<std::string>{"GECERSIZ CEVAP \"abc\": LUTFEN BIR SAYI GIRINIZ.",
                                        "CEVAP BOS: LUTFEN BIR SAYI GIRINIZ."}));
    EXPECT_EQ(run.script.front(), "ltscale 10");
}

TEST(OptionLoop, CancellingLeavesAnEarlierScriptAlone) {
    for (const std::vector<std::string>& answers :
         {std::vector<std::string>{}, {"1"}, {"2"}, {"2", "1"}, {"abc"}}) {
        ScratchDir dir;
        write_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR", "earlier script\n");
        const DrawingRun run =
            run_with_answers(dir.path(), pervdat_text(small_propeller()), answers);
        EXPECT_EQ(run.status, kExitCancelled);
        EXPECT_EQ(read_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR"), "earlier script\n");
        EXPECT_EQ(names_in(dir.path()),
                  (std::set<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR"}));
    }
}

TEST(OptionLoop, CompleteRunReplacesTheScriptAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    write_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR", "earlier script\n");
    const DrawingRun run =
        run_with_answers(dir.path(), pervdat_text(small_propeller()), {"2", "3", "H"});
    EXPECT_EQ(run.status, kExitScriptWritten);
    EXPECT_EQ(run.script.front(), "COLOR 1");
    EXPECT_EQ(names_in(dir.path()),
              (std::set<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR",
                                     "TELVARO_3B_CIZIMLER.dxf", "TELVARO_3B_CIZIMLER.pdf",
                                     "TELVARO_3B_CIZIMLER.png", "TELVARO_3B_CIZIMLER.svg"}));
    EXPECT_EQ(std::vector<std::string>(run.printed.end() - 5, run.printed.end()),
              (std::vector<std::string>{
                  "CIZIM DOSYASI YAZILDI: " + (dir.path() / "TELVARO_3B_CIZIMLER.SCR").string(),
                  "DXF DOSYASI YAZILDI: " + (dir.path() / "TELVARO_3B_CIZIMLER.dxf").string(),
                  "PDF DOSYASI YAZILDI: " + (dir.path() / "TELVARO_3B_CIZIMLER.pdf").string(),
                  "PNG DOSYASI YAZILDI: " + (dir.path() / "TELVARO_3B_CIZIMLER.png").string(),
                  "SVG DOSYASI YAZILDI: " + (dir.path() / "TELVARO_3B_CIZIMLER.svg").string()}));
}

TEST(DamagedPanelData, OneMessageNoQuestionsAndTheEarlierScriptKept) {
    const std::string good = pervdat_text(small_propeller());
    const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
        {std::nullopt, "HATA: PERVDAT acilamadi ("},
        {"", "HATA: PERVDAT eksik: yaricap sayisi M okunamadan dosya bitti (0 satir okundu)"},
        {good.substr(0, good.size() / 2), "HATA: PERVDAT eksik: "},
        {replace_once(good, "    2    1    5    6", "    2    1    9    6"),
         "HATA: PERVDAT satir 101: panel 2 kose 3 dugum numarasi = 9, 1 ile 6 arasinda olmali"},
    };
    for (const auto& [pervdat, message] : cases) {
        ScratchDir dir;
        write_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR", "earlier script\n");
        const DrawingRun run = run_with_answers(dir.path(), pervdat, {"1", "1"});
        EXPECT_EQ(run.status, kExitNoScript);
        ASSERT_EQ(run.alerts.size(), 1u);
        EXPECT_EQ(run.alerts[0].rfind(message, 0), 0u) << run.alerts[0];
        EXPECT_NE(run.alerts[0].find("CIZIM DOSYASI YAZILMADI."), std::string::npos);
        EXPECT_TRUE(run.questions.empty());
        EXPECT_EQ(read_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR"), "earlier script\n");
    }
}

// A directory in the way of the script: the rename fails and the
// temporary file goes away again.
TEST(DamagedPanelData, ScriptThatCannotBeWrittenGivesAMessage) {
    ScratchDir dir;
    fs::create_directories(dir.path() / "TELVARO_3B_CIZIMLER.SCR" / "in-the-way");
    const DrawingRun run =
        run_with_answers(dir.path(), pervdat_text(small_propeller()), {"2", "3", "H"});
    EXPECT_EQ(run.status, kExitNoScript);
    ASSERT_EQ(run.alerts.size(), 1u);
    EXPECT_EQ(run.alerts[0].rfind(
                  "HATA: " + (dir.path() / "TELVARO_3B_CIZIMLER.SCR").string() + " YAZILAMADI", 0),
              0u)
        << run.alerts[0];
    EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR"}));
}

// A directory in the way of the last file, the PNG: no file is replaced,
// the earlier script stays, nothing temporary is left.
TEST(DamagedPanelData, NoFileReplacedWhenOneOfThemCannotBeWritten) {
    ScratchDir dir;
    write_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR", "earlier script\n");
    fs::create_directories(dir.path() / "TELVARO_3B_CIZIMLER.png" / "in-the-way");
    const DrawingRun run =
        run_with_answers(dir.path(), pervdat_text(small_propeller()), {"1", "0.1"});
    EXPECT_EQ(run.status, kExitNoScript);
    ASSERT_EQ(run.alerts.size(), 1u);
    EXPECT_EQ(run.alerts[0], "HATA: " + (dir.path() / "TELVARO_3B_CIZIMLER.png").string() +
                                 " YAZILAMADI (Is a directory) - CIZIM DOSYASI YAZILMADI.");
    EXPECT_EQ(read_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR"), "earlier script\n");
    EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR",
                                                           "TELVARO_3B_CIZIMLER.png"}));
}

TEST(ConsoleDialogue, PromptShowsTheDefaultAndAnEmptyAnswerTakesIt) {
    std::istringstream in("2\n\n  \nH\r\n");
    std::ostringstream out, err;
    ConsoleDialogue console(in, out, err, false);
    console.print("<2> 3D GORUNUM");
    EXPECT_EQ(console.ask("CIZIM SECENEGI GIRINIZ ", " ", "1"), "2");
    EXPECT_EQ(console.ask("ÇİZİM SEÇENEĞİ GİRİŞİ", " ", "3"), "3");
    EXPECT_EQ(console.ask("DİĞER KANATLARI ÇİZMEK İSTER MİSİNİZ (E/H) <E>", " ", "E"), "E");
    EXPECT_EQ(console.ask("SORU", "BASLIK", "E"), "H");
    console.alert("HATA: bir mesaj");
    EXPECT_EQ(
        out.str(),
        "Cizim Secenegi\n<2> 3D GORUNUM\nCIZIM SECENEGI GIRINIZ [1]: ÇİZİM SEÇENEĞİ GİRİŞİ [3]: "
        "DİĞER KANATLARI ÇİZMEK İSTER MİSİNİZ (E/H) <E> [E]: BASLIK\nSORU [E]: ");
    EXPECT_EQ(err.str(), "HATA: bir mesaj\n");
}

TEST(ConsoleDialogue, EndOfInputTakesTheDefaultAndEchoesIt) {
    std::istringstream in("0.05\n");
    std::ostringstream out, err;
    ConsoleDialogue console(in, out, err, true);
    EXPECT_EQ(console.ask("OLCEK ", " ", "1"), "0.05");
    EXPECT_EQ(console.ask("SECENEK ", " ", "1"), "1");
    EXPECT_EQ(console.ask("SECENEK ", " ", "1"), "1");
    EXPECT_EQ(out.str(), "Cizim Secenegi\nOLCEK [1]: 0.05\nSECENEK [1]: 1\nSECENEK [1]: 1\n");
}

// A run on the console with its input at the end takes every default:
// option 1, scale 1 clamped to the limit.
TEST(ConsoleDialogue, WholeRunWithoutInputDrawsTheFormPlans) {
    ScratchDir dir;
    write_file(dir.path() / "PERVDAT", pervdat_text(small_propeller()));
    std::istringstream in("");
    std::ostringstream out, err;
    ConsoleDialogue console(in, out, err, true);
    EXPECT_EQ(run_drawing(console, dir.path()), kExitScriptWritten);
    const std::string script = read_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR");
    EXPECT_EQ(script.rfind("ltscale 10\n", 0), 0u);
    EXPECT_NE(script.find("\nLINE\n70,240\n335,240\n\n"), std::string::npos);
    EXPECT_TRUE(err.str().empty()) << err.str();
}

TEST(Answers, NumbersWithBlanksOnly) {
    EXPECT_EQ(answer_number(" 0.05 "), 0.05);
    EXPECT_EQ(answer_number("+2"), 2);
    EXPECT_EQ(answer_number("-1e-1"), -0.1);
    EXPECT_EQ(answer_number("-.5"), -0.5);
    EXPECT_FALSE(answer_number(""));
    EXPECT_FALSE(answer_number("  "));
    EXPECT_FALSE(answer_number("1,5"));
    EXPECT_FALSE(answer_number("2 3"));
    EXPECT_FALSE(answer_number("E"));
    EXPECT_FALSE(answer_number("nan"));
    EXPECT_FALSE(answer_number("inf"));
}

TEST(ScriptNumbers, PlainDecimalsWithoutNoiseOrExponent) {
    EXPECT_EQ(decimal_text(72.5), "72.5");
    EXPECT_EQ(decimal_text(240), "240");
    EXPECT_EQ(decimal_text(-0.0), "0");
    EXPECT_EQ(decimal_text(-0.125), "-0.125");
    EXPECT_EQ(decimal_text(40 + 0.1 * 1000 * 0.35), "75");
    EXPECT_EQ(decimal_text(0.1 + 0.2), "0.3");
    EXPECT_EQ(decimal_text(1.5e-7), "0.00000015");
    EXPECT_EQ(decimal_text(-2.3e-8), "-0.000000023");
    EXPECT_EQ(decimal_text(1234567.25), "1234567.25");
    EXPECT_EQ(decimal_text(1.0 / 12.0, 6), "0.0833333");
}

// The script writer says each setting where it stands among the entities,
// writes sheet points with 15 significant digits and points in space in
// their shortest form, and states a text style only when it changes.
TEST(ScriptWriter, EveryEntityInItsScriptForm) {
    Drawing drawing;
    drawing.new_layer("Katman");
    drawing.colour(3);
    drawing.add(Polyline{{{292, 55.25}, {283, 1.0 / 3}}, true, PolylinePick::last});
    drawing.add(Polyline{{{1, 2}, {3, 4}}, false, PolylinePick::by_last_point});
    drawing.add(Polyline{{{1, 2}, {5, 6}}, true, PolylinePick::last_same_line});
    drawing.add(LineChain{{{130, 72.5}, {130, 7.5}}, false});
    drawing.add(LineChain{{{10, 10}, {387, 10}, {387, 242}}, true});
    drawing.add(Circle{{292, 55}, 0.1 * 4.0 / 2});
    const TextStyle complex{"COMPLEX", "COMPLEX", 3.5};
    drawing.add(Text{{337, 240}, " r/R = 1.000", complex});
    drawing.add(Text{{337, 140}, " r/R = 0.500", complex});
    drawing.zoom_all();
    drawing.add(telvaro::Face{
        {telvaro::Point3{0.1, -0.0, 0.5}, {-0.01072, 1e-7, 0.1 + 0.2}, {1, 2, 3}, {1, 2, 3}}});
    drawing.view_from({-1, -1, 1});
    drawing.hide();
    EXPECT_EQ(script_text(drawing),
              "layer new Katman set Katman \nCOLOR 3\n"
              "PLINE\n292,55.25\n283,0.333333333333333\n\nPEDIT L\nF \n"
              "PLINE\n1,2\n3,4\n\nPEDIT\n3,4\nD \n"
              "PLINE\n1,2\n5,6\n\nPEDIT\nL F \n"
              "LINE\n130,72.5\n130,7.5\n\n"
              "LINE 10,10 387,10 387,242 C\n"
              "CIRCLE\n292,55\n0.2\n"
              "STYLE COMPLEX COMPLEX 3.5 1 0 N N N\nTEXT\n337,240\n r/R = 1.000\n"
              "TEXT\n337,140\n r/R = 0.500\n"
              "Zoom A\n"
              "3DFACE\n0.1,0,0.5\n-0.01072,0.0000001,0.30000000000000004\n1,2,3\n1,2,3\n\n"
              "VPOINT -1,-1,1\nHIDE\n");
}

// Each entity carries the layer and colour current when it was added.
TEST(DrawingModel, EntitiesCarryTheirLayerAndColour) {
    Drawing drawing;
    drawing.sheet_setup();
    drawing.colour(4);
    drawing.add(Circle{{1, 1}, 1});
    drawing.new_layer("A");
    drawing.colour(5);
    drawing.add(Circle{{1, 1}, 1});
    drawing.new_layer("B");
    drawing.new_layer("A");
    drawing.add(Circle{{1, 1}, 1});
    EXPECT_EQ(drawing.layers(), (std::vector<std::string>{"0", "A", "B"}));
    ASSERT_EQ(drawing.entities().size(), 3u);
    EXPECT_EQ(drawing.entities()[0].layer, 0);
    EXPECT_EQ(drawing.entities()[0].colour, 4);
    EXPECT_EQ(drawing.entities()[1].layer, 1);
    EXPECT_EQ(drawing.entities()[1].colour, 5);
    EXPECT_EQ(drawing.entities()[2].layer, 1);
    EXPECT_TRUE(drawing.on_sheet());
}

// The fitted curve passes through every point, leaves an inner point along
// the chord of its neighbours and an end along its own chord.
TEST(DrawingModel, FittedCurveThroughThePoints) {
    const std::vector<Point2> points = {{0, 0}, {1, 1}, {3, 1}, {4, 0}};
    const auto curve = fitted_curve(points);
    ASSERT_EQ(curve.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(curve[i].at(0).x, points[i].x);
        EXPECT_EQ(curve[i].at(1).y, points[i + 1].y);
    }
    // At (1, 1) the tangent is parallel to (3, 1) - (0, 0).
    EXPECT_DOUBLE_EQ(curve[1].c1.x - 1, 3.0 / 6);
    EXPECT_DOUBLE_EQ(curve[1].c1.y - 1, 1.0 / 6);
    EXPECT_DOUBLE_EQ(curve[0].c1.x, 1.0 / 6);  // first end: along its chord
    EXPECT_DOUBLE_EQ(curve[0].c1.y, 1.0 / 6);
    EXPECT_TRUE(fitted_curve({{1, 1}}).empty());
}

}  // namespace
}  // namespace telvaro::testing
