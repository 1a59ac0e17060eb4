#include "drawing_run.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <memory>
#include <system_error>
#include <vector>

#include "common/staged_files.h"
#include "dxf_file.h"
#include "form_plans.h"
#include "panel_data.h"
#include "panel_view.h"
#include "script.h"
#include "sheet_render.h"
#include "svg_file.h"

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
bool draw_3d_view(Dialogue& dialogue, Drawing& drawing, const PanelData& d) {
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
    draw_panel_view(drawing, d, panel_range(d, panelling), copies);
    return true;
}

std::optional<std::string> write_text(const std::string& text, const fs::path& path) {
    if (!korvanti::write_whole_file(path, text)) return std::string();
    return std::nullopt;
}

// One output file: its name and what writes it to a given path (a message,
// possibly empty, when that fails).
struct OutputFile {
    const char* name;
    std::function<std::optional<std::string>(const fs::path&)> write;
};

// Writes every file beside its final name, and only when all are complete
// renames them into place, so that a final name only ever holds a complete
// file and a run that cannot write them all replaces none of them.
std::optional<std::string> write_files(const fs::path& dir, const std::vector<OutputFile>& files) {
    korvanti::StagedFiles staged;
    for (const OutputFile& file : files) {
        std::error_code ec;
        const auto temporary = staged.stage(dir / file.name, ec);
        // A temporary file that cannot be made is reported as a text file
        // that cannot be written: without a reason.
        const std::optional<std::string> error =
            temporary ? file.write(*temporary) : std::optional<std::string>(std::string());
        if (error)
            return "HATA: " + (dir / file.name).string() + " YAZILAMADI" +
                   (error->empty() ? "" : " (" + *error + ")") + kNoScript;
    }
    if (const auto failure = staged.commit())
        return "HATA: " + failure->name.string() + " YAZILAMADI (" + failure->error.message() +
               ")" + kNoScript;
    return std::nullopt;
}

std::vector<OutputFile> drawing_files(const Drawing& drawing) {
    return {
        {kScriptFile, [&](const fs::path& p) { return write_text(script_text(drawing), p); }},
        {kDxfFile, [&](const fs::path& p) { return write_text(dxf_text(drawing), p); }},
        {kPdfFile, [&](const fs::path& p) { return write_pdf(drawing, p.string()); }},
        {kPngFile, [&](const fs::path& p) { return write_png(drawing, p.string()); }},
        {kSvgFile, [&](const fs::path& p) { return write_text(svg_text(drawing), p); }},
    };
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
    Drawing drawing;
    bool complete = choice.has_value();
    if (complete && choice->option == 1) draw_form_plans(drawing, *data, choice->scale);
    if (complete && choice->option == 2) complete = draw_3d_view(dialogue, drawing, *data);
    if (!complete) {
        dialogue.print(std::string("CIZIM IPTAL EDILDI") + kNoScript);
        return kExitCancelled;
    }
    if (const auto error = write_files(dir, drawing_files(drawing))) {
        dialogue.alert(*error);
        return kExitNoScript;
    }
    std::vector<std::string> written;
    for (const char* name : {kScriptFile, kDxfFile, kPdfFile, kPngFile, kSvgFile})
        written.push_back((dir / name).string());
    dialogue.print("CIZIM DOSYASI YAZILDI: " + written[0]);
    dialogue.print("DXF DOSYASI YAZILDI: " + written[1]);
    dialogue.print("PDF DOSYASI YAZILDI: " + written[2]);
    dialogue.print("PNG DOSYASI YAZILDI: " + written[3]);
    dialogue.print("SVG DOSYASI YAZILDI: " + written[4]);
    dialogue.show_drawing(
        [&drawing](int width, int height) { return render_image(drawing, width, height); },
        written);
    return kExitScriptWritten;
}

}  // namespace telvaro
