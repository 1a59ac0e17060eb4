#include "command_line.h"

#include <getopt.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>

#include "drawing_run.h"

namespace telvaro {

namespace {

enum OptionCode {
    kOptFormPlans = 1000,
    kOptScale,
    kOptPanelView,
    kOptOneBlade,
    kOptVersion,
};

constexpr option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kOptVersion},
    {"directory", required_argument, nullptr, 'C'},
    {"form-plans", no_argument, nullptr, kOptFormPlans},
    {"scale", required_argument, nullptr, kOptScale},
    {"panel-view", required_argument, nullptr, kOptPanelView},
    {"one-blade", no_argument, nullptr, kOptOneBlade},
    {nullptr, 0, nullptr, 0},
};

std::string option_name(int code) {
    if (code == 'C') return "-C (--directory)";
    for (const option& o : kLongOptions)
        if (o.name != nullptr && o.val == code) return std::string("--") + o.name;
    return "?";
}

[[noreturn]] void bad(const std::string& message) { throw UsageError("HATA: " + message); }

// The panelling answer of the dialogue: 1 blade, 2 hub, 3 both.
std::string panelling_answer(const std::string& text) {
    if (text == "blade") return "1";
    if (text == "hub") return "2";
    if (text == "both") return "3";
    bad("--panel-view secenegi: blade, hub ya da both bekleniyordu; '" + text + "' bilinmiyor");
}

[[noreturn]] void bad_option(int result, char* const* argv) {
    if (result == ':') bad(option_name(optopt) + " secenegi bir deger bekliyor");
    const std::string given = optopt != 0 && optopt < 256
                                  ? "-" + std::string(1, static_cast<char>(optopt))
                                  : std::string(argv[optind - 1]);
    bad("'" + given +
        "' gecerli bir secenek degil (bilinmiyor, belirsiz ya da deger almaz); "
        "secenekler: TELVARO_3B_CIZIMLER --help");
}

}  // namespace

DrawingCommand parse_drawing_command(const std::vector<std::string>& arguments) {
    std::vector<std::string> storage = arguments;
    storage.insert(storage.begin(), "TELVARO_3B_CIZIMLER");
    std::vector<char*> argv;
    for (std::string& text : storage) argv.push_back(text.data());
    argv.push_back(nullptr);

    DrawingCommand command;
    bool form_plans = false;
    bool one_blade = false;
    std::optional<std::string> scale;
    std::optional<std::string> panelling;
    optind = 0;  // getopt starts afresh
    opterr = 0;
    for (;;) {
        const int code = getopt_long(static_cast<int>(argv.size()) - 1, argv.data(),
                                     ":hC:", kLongOptions, nullptr);
        if (code == -1) break;
        switch (code) {
            case 'h':
                command.action = DrawingCommand::Action::help;
                return command;
            case kOptVersion:
                command.action = DrawingCommand::Action::version;
                return command;
            case 'C':
                if (*optarg == '\0') bad("-C (--directory) secenegi: bir dizin adi bekleniyordu");
                command.directory = optarg;
                break;
            case kOptFormPlans:
                form_plans = true;
                break;
            case kOptScale: {
                const auto value = answer_number(optarg);
                if (!value || *value < 0)
                    bad(std::string("--scale secenegi: sifir ya da sifirdan buyuk bir sayi "
                                    "bekleniyordu; '") +
                        optarg + "' degil");
                scale = optarg;
                break;
            }
            case kOptPanelView:
                panelling = panelling_answer(optarg);
                break;
            case kOptOneBlade:
                one_blade = true;
                break;
            default:
                bad_option(code, argv.data());
        }
    }
    if (optind < static_cast<int>(argv.size()) - 1)
        bad(std::string("beklenmeyen arguman '") + argv[static_cast<size_t>(optind)] +
            "': TELVARO_3B_CIZIMLER yalnizca secenek alir; secenekler: TELVARO_3B_CIZIMLER "
            "--help");
    if (form_plans && panelling)
        bad("--form-plans ve --panel-view secenekleri birlikte verilemez; biri bekleniyordu");
    if (scale && !form_plans) bad("--scale secenegi yalnizca --form-plans ile verilir");
    if (one_blade && !panelling) bad("--one-blade secenegi yalnizca --panel-view ile verilir");
    // The same answers as typed in the dialogue: option 1 and the scale, or
    // option 2, the panelling and whether every blade is drawn.
    if (form_plans) command.answers = "1\n" + scale.value_or("1") + "\n";
    if (panelling) command.answers = "2\n" + *panelling + "\n" + (one_blade ? "H" : "E") + "\n";
    return command;
}

void enter_directory(const std::string& directory) {
    std::error_code ec;
    if (!std::filesystem::is_directory(directory, ec))
        bad("-C (--directory) secenegi: '" + directory +
            "' bir dizin olmali; yok ya da dizin degil");
    if (access(directory.c_str(), W_OK | X_OK) != 0 || chdir(directory.c_str()) != 0)
        bad("-C (--directory) secenegi: '" + directory +
            "' dizinine yazilabilmeli; bu dizine yazilamiyor");
}

std::optional<int> settle_command_line(const DrawingCommand& command, std::ostream& out) {
    if (command.action == DrawingCommand::Action::help) {
        out << drawing_help_text();
        return 0;
    }
    if (command.action == DrawingCommand::Action::version) {
        out << drawing_version_text();
        return 0;
    }
    if (!command.directory.empty()) enter_directory(command.directory);
    return std::nullopt;
}

std::string drawing_help_text() {
    return R"help(Usage: TELVARO_3B_CIZIMLER [OPTION]...
Draw a propeller from the panel data file PERVDAT that Korvanti wrote: its
form plans on an A3 sheet or a 3D view of its panels, as an AutoCAD script,
a DXF file, a PDF page and a PNG picture.

Without options the program asks for the drawing in a window (when DISPLAY is
set) or on the console. Given the drawing as options, it asks nothing and
opens no window; the script is the same as for the same answers.

Options:
  -C, --directory=DIR       work in DIR instead of the working directory
      --form-plans          draw the form plans (drawing option 1)
      --scale=S             scale of the form plans (default 1; 0 keeps the
                              default; at most 0.2/(D/2), larger scales are
                              reduced to it)
      --panel-view=WHAT     draw the 3D view of the panels (drawing option 2)
                              of the blade, the hub or both
      --one-blade           in the 3D view, draw the first blade only
  -h, --help                display this help and exit
      --version             output version information and exit

Files:
  PERVDAT                   the panel data, read
  TELVARO_3B_CIZIMLER.SCR   the AutoCAD script, written
  TELVARO_3B_CIZIMLER.dxf   the same drawing as DXF (AutoCAD R12), written
  TELVARO_3B_CIZIMLER.pdf   the drawing on one A3 landscape page, written
  TELVARO_3B_CIZIMLER.png   the same page as a picture, written
  TELVARO_3B_CIZIMLER.svg   the same drawing as SVG (for web pages), written
  The five are renamed into place only when all are complete.

Exit status:
  0  the drawing files were written
  1  no drawing: PERVDAT missing or damaged, or a file could not be written
  2  a bad option, or the dialogue was closed before the drawing was complete;
     no file was written

Example:
  TELVARO_3B_CIZIMLER -C B4-55 --form-plans --scale=0.1
)help";
}

std::string drawing_version_text() {
    return "TELVARO_3B_CIZIMLER " KORVANTI_VERSION
           "\n"
           "Drawings of a propeller (AutoCAD script, DXF, PDF, PNG) from Korvanti's panel data.\n";
}

}  // namespace telvaro
