#include "drawing_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <system_error>

#include "form_plans.h"
#include "panel_data.h"
#include "panel_view.h"
#include "script.h"

namespace telvaro {

namespace fs = std::filesystem;

namespace {

const char* const kNoScript = " - CIZIM DOSYASI YAZILMADI.";

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Asks until the answer is a number; nothing when the user cancels.
std::optional<double> ask_number(Dialogue& dialogue, const std::string& prompt,
                                 const std::string& default_text) {
    for (;;) {
        const auto answer = dialogue.ask(prompt, " ", default_text);
        if (!answer) return std::nullopt;
        if (const auto value = answer_number(*answer)) return value;
        if (trimmed(*answer).empty())
            dialogue.alert("CEVAP BOS: LUTFEN BIR SAYI GIRINIZ.");
        else
            dialogue.alert("GECERSIZ CEVAP \"" + *answer + "\": LUTFEN BIR SAYI GIRINIZ.");
    }
}

// The drawing scale: a non-zero answer becomes the scale, 0 keeps it, and no
// scale exceeds the limit at which the blade radius is drawn 200 mm long.
std::optional<double> ask_scale(Dialogue& dialogue, double D, double s) {
    const double s_max = scale_limit(D);
    const std::string prompt = "A3 KAGIDI CIZIM OLCEGINI GIRINIZ <OLCEK=1> - MINIMUM OLCEK " +
                               decimal_text(s_max, 6) + " OLMALI";
    for (;;) {
        const auto answer = ask_number(dialogue, prompt, "1");
        if (!answer) return std::nullopt;
        if (*answer < 0) {
            dialogue.alert("OLCEK SIFIR YA DA SIFIRDAN BUYUK OLMALI.");
            continue;
        }
        if (*answer != 0) s = *answer;
        return s > s_max ? s_max : s;
    }
}

struct Choice {
    int option = 0;
    double scale = 1;
};

// Option loop: 1 form plans (then the scale), 2 or 0 the 3D view; any other
// answer asks again.
std::optional<Choice> ask_option(Dialogue& dialogue, const PanelData& d) {
    Choice choice;
    for (;;) {
        const auto answer = ask_number(dialogue, "CIZIM SECENEGI GIRINIZ ", "1");
        if (!answer) return std::nullopt;
        choice.option = *answer == 1 ? 1 : (*answer == 2 || *answer == 0) ? 2 : 0;
        if (choice.option == 1) {
            const auto scale = ask_scale(dialogue, d.D, choice.scale);
            if (!scale) return std::nullopt;
            choice.scale = *scale;
        }
        if (choice.option != 0) return choice;
    }
}

// Panelling answers 1 to 5 (0 counts as 4); 0 for any other answer.
int panelling_choice(double answer) {
    if (answer == 0) return 4;
    for (int choice = 1; choice <= 5; ++choice)
        if (answer == choice) return choice;
    return 0;
}

// The 3D view: which panels, and whether every blade is drawn.
bool write_3d_view(Dialogue& dialogue, Script& script, const PanelData& d) {
    dialogue.print("<1> KANAT PANELLEMESI");
    dialogue.print("<2> GOBEK PANELLEMESI");
    dialogue.print("<3> KANAT ve GOBEK PANELLEMESI");
    int panelling = 0;
    while (panelling == 0) {
        const auto answer = ask_number(dialogue, "ÇİZİM SEÇENEĞİ GİRİŞİ", "3");
        if (!answer) return false;
        panelling = panelling_choice(*answer);
    }
    const auto other_blades =
        dialogue.ask("DİĞER KANATLARI ÇİZMEK İSTER MİSİNİZ (E/H) <E>", " ", "E");
    if (!other_blades) return false;
    const std::string yes = trimmed(*other_blades);
    const int copies = (yes == "E" || yes == "e" || yes == "0") ? d.Z : 1;
    write_panel_view(script, d, panel_range(d, panelling), copies);
    return true;
}

// Gives the finished script its final name. An older regular file of that
// name is swapped out in one step and then removed: readers see the old or
// the new script, never none, as with a rename over it; but a rename over an
// existing file makes ext4 force the new data out to the disk at once.
void take_final_name(const fs::path& temporary, const fs::path& final_path, std::error_code& ec) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    struct stat existing;
    if (lstat(final_path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, final_path.c_str(), RENAME_EXCHANGE) ==
            0) {
        std::error_code ignored;
        fs::remove(temporary, ignored);  // the older script, now under the temporary name
        ec.clear();
        return;
    }
#endif
    fs::rename(temporary, final_path, ec);
}

// Writes the script beside its final name and renames it into place, so that
// the final name only ever holds a complete script.
std::optional<std::string> write_script_file(const fs::path& dir, const Script& script) {
    const fs::path final_path = dir / kScriptFile;
    const fs::path temporary =
        dir / (std::string(kScriptFile) + "." + std::to_string(getpid()) + ".tmp");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << script.text();
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return "HATA: " + final_path.string() + " YAZILAMADI" + kNoScript;
        }
    }
    std::error_code ec;
    take_final_name(temporary, final_path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return "HATA: " + final_path.string() + " YAZILAMADI (" + ec.message() + ")" + kNoScript;
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> answer_number(const std::string& answer) {
    const std::string text = trimmed(answer);
    const char* first = text.data() + (text.size() > 1 && text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    double value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int run_drawing(Dialogue& dialogue, const fs::path& dir) {
    const auto data = std::make_unique<PanelData>();
    if (const auto error = read_panel_data(dir / kPanelDataFile, *data)) {
        dialogue.alert("HATA: " + *error + kNoScript);
        return kExitNoScript;
    }
    dialogue.print("CIZIM SECENEGINI GIRIN");
    dialogue.print("<1> PERVANE FORM PLANLARI");
    dialogue.print("<2> 3D GORUNUM");
    const auto choice = ask_option(dialogue, *data);
    Script script;
    bool complete = choice.has_value();
    if (complete && choice->option == 1) write_form_plans(script, *data, choice->scale);
    if (complete && choice->option == 2) complete = write_3d_view(dialogue, script, *data);
    if (!complete) {
        dialogue.print(std::string("CIZIM IPTAL EDILDI") + kNoScript);
        return kExitCancelled;
    }
    if (const auto error = write_script_file(dir, script)) {
        dialogue.alert(*error);
        return kExitNoScript;
    }
    dialogue.print("CIZIM DOSYASI YAZILDI: " + (dir / kScriptFile).string());
    return kExitScriptWritten;
}

}  // namespace telvaro
