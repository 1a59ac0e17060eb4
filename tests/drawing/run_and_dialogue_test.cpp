// The option loop, cancelling, damaged input and the console dialogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "console_dialogue.h"
#include "drawing_fixture.h"
#include "drawing_run.h"
#include "script.h"
#include "support/test_support.h"

namespace telvaro::testing {
namespace {

namespace fs = std::filesystem;
using korvanti::testing::read_file;
using korvanti::testing::ScratchDir;
using korvanti::testing::write_file;

std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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
        EXPECT_EQ(entries(dir.path()),
                  (std::vector<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR"}));
    }
}

TEST(OptionLoop, CompleteRunReplacesTheScriptAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    write_file(dir.path() / "TELVARO_3B_CIZIMLER.SCR", "earlier script\n");
    const DrawingRun run =
        run_with_answers(dir.path(), pervdat_text(small_propeller()), {"2", "3", "H"});
    EXPECT_EQ(run.status, kExitScriptWritten);
    EXPECT_EQ(run.script.front(), "COLOR 1");
    EXPECT_EQ(entries(dir.path()),
              (std::vector<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR"}));
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
    EXPECT_EQ(entries(dir.path()),
              (std::vector<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR"}));
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

TEST(ScriptNumbers, SheetPointsRoundXOnly) {
    Script script;
    script.point(292.3, 55.25);
    script.point(282.5, 40);
    script.point(-0.4, -3.5);
    script.exact_point(130, 72.5);
    script.point(0.1, -0.2, 1);
    script.repeat_last_point();
    EXPECT_EQ(script.lines(), (std::vector<std::string>{"292,55.25", "283,40", "0,-3.5", "130,72.5",
                                                        "0.1,-0.2,1", "130,72.5"}));
}

}  // namespace
}  // namespace telvaro::testing
