#include "run/command_line.h"

#include <getopt.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "common/staged_files.h"
#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/freeformat.h"
#include "geometry/task_file.h"
#include "model/blade_model.h"
#include "run/run_driver.h"

namespace korvanti {

namespace {

namespace fs = std::filesystem;

// The layout of the shipped examples; each "@" line takes a value line.
constexpr const char* task_file_layout =
    R"tsk(================================================================================
 KORVANTI - STANDART SERI PERVANE GEOMETRISI GOREV DOSYASI (Korvanti.TSK)
================================================================================
 Bu dosya Korvanti programinin tek girdi dosyasidir. Program yalnizca
 asagida belirtilen satirlardaki sayilari okur; diger butun satirlar
 aciklama icindir ve okunmadan gecilir. Satirlarin yerini degistirmeyiniz,
 satir eklemeyiniz ve silmeyiniz: degerler satir numarasiyla okunur.

 Okunan satirlar:
   40. satir : seri numarasi
   43. satir : kanat sayisi Z ve acinim alani orani Ear
   47. satir : pervane yonu (sag el / sol el)
   50. satir : hatve-cap orani P/D ve pervane capi D (metre)
   57. satir : burun-kuyruk hattina gore duzenleme secenegi
   67. satir : kesit raporu modu ve rapor yaricap sayisi

 Bir satirdaki sayilar bosluk ya da virgul ile ayrilir. Tamsayi istenen
 yerde ondalik nokta kullanmayiniz. Sayilarin arkasina yazilan fazla
 degerler okunmaz.

 Seriler:
   1  Wageningen B serisi (Z ve Ear serbest; WAGBPROP.DAT gerekir)
   2  Wageningen Ka nozullu serisi
   3  Wageningen Kc nozullu serisi
   4  KC101-Gawn serisi (Z=3; Ear = 0.50 - 1.10)
   5  Gawn serisi (Z=3; Ear = 0.20 - 1.10)
   6  Newton-Rader serisi (Z=3; Ear = 0.48 - 0.95, P/D = 1.04 - 2.08)
   7  AU (MAU) serisi (program calisirken bir onay sorusu sorar)

 Program calistiginda Korvanti.SON (sonuc raporu), PEROF.SON, PEROF2.SON,
 SEHAM.DAT, PERVDAT, Korvanti2D_Tecplot.PLT, Korvanti3D_Tecplot.PLT ve
 Korvanti3D_Rhino3_4_Macro.TXT dosyalarini calisma dizinine yazar.

@
--------------------------------------------------------------------------------



 SERI NUMARASI (1:B 2:Ka 3:Kc 4:KC101-Gawn 5:Gawn 6:Newton-Rader 7:AU):
@
--------------------------------------------------------------------------------
 KANAT SAYISI Z (tamsayi)  VE  ACINIM ALANI ORANI Ear:
@
--------------------------------------------------------------------------------

 PERVANE YONU (0: SOL EL PERVANE, 1: SAG EL PERVANE; 0.5'ten kucukse sol el):
@
--------------------------------------------------------------------------------
 HATVE-CAP ORANI P/D  VE  PERVANE CAPI D (metre):
@
--------------------------------------------------------------------------------
 Asagidaki secenek 1 ise her kesit, burun ve kuyruk noktalarini birlestiren
 dogruya (burun-kuyruk hattina) gore yeniden olculur ve hatve bu hatta gore
 duzeltilir. Kesit kort boylari ve apsisleri degismez. Baska her deger
 serinin kendi kesitlerini oldugu gibi birakir.
 BURUN-KUYRUK HATTINA GORE DUZENLEME (1: EVET, 0: HAYIR):
@
--------------------------------------------------------------------------------
 Kesit raporu modu 1: rapor, yuzeyler ve panel verisi ofset dosyasinin
 kendi istasyonlarinda hazirlanir (ikinci sayi kullanilmaz).
 Kesit raporu modu 2: kanat, koku ile ucu arasinda esit aralikli ikinci
 sayi kadar yaricapta yeniden hesaplanir; yuzeyler de kesit basina bu
 sayida nokta kullanir (en az 3, en cok 22).
 Son satirdan sonraki satirlar okunmaz.

 KESIT RAPORU MODU (1 veya 2)  VE  RAPOR YARICAP SAYISI:
@
================================================================================
)tsk";

constexpr int description_line = 34;

enum OptionCode {
    opt_series = 1000,
    opt_blades,
    opt_area_ratio,
    opt_hand,
    opt_pitch_ratio,
    opt_diameter,
    opt_nose_tail,
    opt_report_radii,
    opt_no_pause,
    opt_json,
    opt_version,
};

constexpr option long_options[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, opt_version},
    {"directory", required_argument, nullptr, 'C'},
    {"series", required_argument, nullptr, opt_series},
    {"blades", required_argument, nullptr, opt_blades},
    {"area-ratio", required_argument, nullptr, opt_area_ratio},
    {"hand", required_argument, nullptr, opt_hand},
    {"pitch-ratio", required_argument, nullptr, opt_pitch_ratio},
    {"diameter", required_argument, nullptr, opt_diameter},
    {"nose-tail", no_argument, nullptr, opt_nose_tail},
    {"report-radii", required_argument, nullptr, opt_report_radii},
    {"no-pause", no_argument, nullptr, opt_no_pause},
    {"json", no_argument, nullptr, opt_json},
    {nullptr, 0, nullptr, 0},
};

// The option as messages name it.
std::string option_name(int code) {
    if (code == 'C') return "-C (--directory)";
    for (const option& o : long_options)
        if (o.name != nullptr && o.val == code) return std::string("--") + o.name;
    return "?";
}

[[noreturn]] void bad_value(int code, const std::string& problem) {
    throw UsageError(" HATA: " + option_name(code) + " secenegi: " + problem);
}

// A number is read by the task file's own reader, so that the task file
// written with its text reads it back to the same value. It must be one
// item: no blanks, commas, slashes or repeat counts.
template <class T>
bool read_number(const std::string& text, T& value) {
    if (text.empty() || text.find_first_of(" \t\r\n,/*") != std::string::npos) return false;
    std::istringstream in(text);
    FreeFormatReader reader(in, "");
    try {
        reader.read("", value);
    } catch (const InputError&) {
        return false;
    }
    return true;
}

int integer_value(int code, const std::string& text, const std::string& what) {
    int value = 0;
    if (!read_number(text, value))
        bad_value(code, what + " bekleniyordu; '" + text + "' bir tamsayi degil");
    return value;
}

float real_value(int code, const std::string& text, const std::string& what) {
    float value = 0.0f;
    if (!read_number(text, value))
        bad_value(code, what + " bekleniyordu; '" + text + "' bir sayi degil");
    return value;
}

void check(int code, const std::string& problem) {
    if (!problem.empty()) bad_value(code, problem);
}

std::string lower_case(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

struct SeriesName {
    const char* option;  // as given on the command line
    const char* title;   // in the task file's description line
};

constexpr SeriesName series_names[] = {
    {"B", "Wageningen B"},
    {"Ka", "Wageningen Ka nozullu"},
    {"Kc", "Wageningen Kc nozullu"},
    {"KC101", "KC101-Gawn"},
    {"Gawn", "Gawn"},
    {"NR", "Newton-Rader"},
    {"AU", "AU (MAU)"},
};

int series_value(const std::string& text) {
    for (int n = 1; n <= 7; ++n)
        if (lower_case(text) == lower_case(series_names[n - 1].option)) return n;
    int number = 0;
    if (!read_number(text, number))
        bad_value(opt_series,
                  "seri numarasi (1..7) ya da adi (B, Ka, Kc, KC101, Gawn, NR, AU) "
                  "bekleniyordu; '" +
                      text + "' bilinmiyor");
    check(opt_series, series_number_problem(number));
    return number;
}

// Takes one run value; each is checked as soon as it is read.
void take_run_value(int code, const std::string& text, TaskValues& task) {
    switch (code) {
        case opt_series:
            task.series_number = series_value(text);
            break;
        case opt_blades:
            check(code, blades_and_area_problem(
                            integer_value(code, text, "kanat sayisi Z (tamsayi)"), 1.0f));
            task.blade_count = text;
            break;
        case opt_area_ratio:
            check(code,
                  blades_and_area_problem(1, real_value(code, text, "acinim alani orani Ear")));
            task.area_ratio = text;
            break;
        case opt_hand:
            if (text != "left" && text != "right")
                bad_value(code, "left ya da right bekleniyordu; '" + text + "' bilinmiyor");
            task.left_hand = text == "left";
            break;
        case opt_pitch_ratio:
            check(code,
                  pitch_and_diameter_problem(real_value(code, text, "hatve-cap orani P/D"), 1.0f));
            task.pitch_ratio = text;
            break;
        case opt_diameter:
            check(code,
                  pitch_and_diameter_problem(1.0f, real_value(code, text, "pervane capi D (m)")));
            task.diameter = text;
            break;
        case opt_nose_tail:
            task.nose_tail = true;
            break;
        case opt_report_radii:
            check(code, report_mode_problem(
                            2, integer_value(code, text, "rapor yaricap sayisi (tamsayi)")));
            task.report_radii = text;
            break;
        default:
            break;
    }
}

// Given any run value, the task needs the others that have no default.
void require_complete(const TaskValues& task) {
    auto require = [](bool given, int code, const std::string& what) {
        if (!given)
            throw UsageError(" HATA: " + option_name(code) +
                             " secenegi eksik: calisma degerleri verildiginde " + what +
                             " de verilmeli");
    };
    require(task.series_number != 0, opt_series, "seri");
    require(!task.blade_count.empty() || is_three_bladed(static_cast<Series>(task.series_number)),
            opt_blades, "kanat sayisi Z");
    require(!task.area_ratio.empty(), opt_area_ratio, "acinim alani orani Ear");
    require(!task.pitch_ratio.empty(), opt_pitch_ratio, "hatve-cap orani P/D");
    require(!task.diameter.empty(), opt_diameter, "pervane capi D");
}

// The message for an option getopt did not accept.
[[noreturn]] void bad_option(int result, const std::vector<char*>& argv) {
    const std::string given = optind > 0 && optind - 1 < static_cast<int>(argv.size()) - 1
                                  ? argv[static_cast<size_t>(optind - 1)]
                                  : "";
    if (result == ':') {
        throw UsageError(" HATA: " + option_name(optopt) + " secenegi bir deger bekliyor");
    }
    const std::string shown =
        optopt != 0 && optopt < 256 ? "-" + std::string(1, static_cast<char>(optopt)) : given;
    throw UsageError(" HATA: '" + shown +
                     "' gecerli bir secenek degil (bilinmiyor, belirsiz ya da deger almaz); "
                     "secenekler: Korvanti --help");
}

std::string series_title(int series_number) { return series_names[series_number - 1].title; }

std::string description(const TaskValues& t, const std::string& blades) {
    std::string text = " KOMUT SATIRINDAN: " + series_title(t.series_number) + ", Z=" + blades +
                       ", Ear=" + t.area_ratio + ", P/D=" + t.pitch_ratio + ", D=" + t.diameter +
                       " m, " + (t.left_hand ? "sol el" : "sag el");
    if (t.nose_tail) text += ", burun-kuyruk hatti";
    if (!t.report_radii.empty()) text += ", rapor modu 2 (" + t.report_radii + " yaricap)";
    return text;
}

// Writes the task file beside its final name and renames it into place, so
// that an earlier task file is replaced whole or not at all.
void write_task_file(const std::string& text) {
    StagedFiles files;
    std::error_code error;
    const auto temporary = files.stage(task_file_name, error);
    if (!temporary || !write_whole_file(*temporary, text) || files.commit())
        throw InputError(std::string(" HATA: ") + task_file_name + " dosyasi yazilamiyor");
}

// -C: the directory must exist and take the files of the run.
void enter_directory(const std::string& directory) {
    std::error_code ec;
    if (!fs::is_directory(directory, ec))
        throw UsageError(" HATA: -C (--directory) secenegi: '" + directory +
                         "' bir dizin olmali; yok ya da dizin degil");
    if (access(directory.c_str(), W_OK | X_OK) != 0 || chdir(directory.c_str()) != 0)
        throw UsageError(" HATA: -C (--directory) secenegi: '" + directory +
                         "' dizinine yazilabilmeli; bu dizine yazilamiyor");
}

}  // namespace

CalculatorCommand parse_calculator_command(const std::vector<std::string>& arguments) {
    std::vector<std::string> storage = arguments;
    storage.insert(storage.begin(), "Korvanti");
    std::vector<char*> argv;
    for (std::string& text : storage) argv.push_back(text.data());
    argv.push_back(nullptr);

    CalculatorCommand command;
    TaskValues task;
    bool any_run_value = false;
    optind = 0;  // getopt starts afresh
    opterr = 0;
    for (;;) {
        const int code = getopt_long(static_cast<int>(argv.size()) - 1, argv.data(),
                                     ":hC:", long_options, nullptr);
        if (code == -1) break;
        switch (code) {
            case 'h':
                command.action = CalculatorCommand::Action::help;
                return command;
            case opt_version:
                command.action = CalculatorCommand::Action::version;
                return command;
            case 'C':
                if (*optarg == '\0') bad_value('C', "bir dizin adi bekleniyordu");
                command.directory = optarg;
                break;
            case opt_no_pause:
                command.no_pause = true;
                break;
            case opt_json:
                command.run.json = true;
                break;
            case '?':
            case ':':
                bad_option(code, argv);
            default:
                take_run_value(code, optarg != nullptr ? optarg : "", task);
                any_run_value = true;
                break;
        }
    }
    if (optind < static_cast<int>(argv.size()) - 1)
        throw UsageError(std::string(" HATA: beklenmeyen arguman '") +
                         argv[static_cast<size_t>(optind)] +
                         "': Korvanti yalnizca secenek alir; secenekler: Korvanti --help");
    if (any_run_value) {
        require_complete(task);
        command.task = task;
    }
    return command;
}

std::string task_file_text(const TaskValues& t) {
    const std::string blades = t.blade_count.empty() ? "3" : t.blade_count;
    const std::map<int, std::string> values = {
        {description_line, description(t, blades)},
        {40, std::to_string(t.series_number)},
        {43, blades + "   " + t.area_ratio},
        {47, t.left_hand ? "0" : "1"},
        {50, t.pitch_ratio + "   " + t.diameter},
        {57, t.nose_tail ? "1" : "0"},
        {67, t.report_radii.empty() ? "1   11" : "2   " + t.report_radii},
    };
    std::istringstream layout(task_file_layout);
    std::string text;
    int number = 0;
    for (std::string line; std::getline(layout, line);) {
        ++number;
        const auto value = values.find(number);
        text += value != values.end() ? value->second : line;
        text += '\n';
    }
    return text;
}

std::string calculator_help_text() {
    return R"help(Usage: Korvanti [OPTION]...
Compute the complete geometry of a standard-series marine screw propeller.

Without run values Korvanti reads the task file Korvanti.TSK of the working
directory. Given run values, it first writes Korvanti.TSK in the standard
layout with them (an existing task file is replaced only when every value is
valid) and then runs on it, exactly as on that file.

Options:
  -C, --directory=DIR     work in DIR instead of the working directory
      --series=S          series: 1 to 7 or its name: B (Wageningen B),
                            Ka, Kc (ducted), KC101 (KC101-Gawn), Gawn,
                            NR (Newton-Rader), AU
      --blades=Z          blade count Z (1 to 20; may be left out for
                            KC101, Gawn and NR, which are three-bladed)
      --area-ratio=EAR    expanded area ratio Ear
      --hand=left|right   hand of the propeller (default right)
      --pitch-ratio=PD    pitch ratio P/D
      --diameter=D        propeller diameter D in metres
      --nose-tail         re-reference every section and its pitch to its
                            nose-tail line
      --report-radii=N    section report at N equally spaced radii (report
                            mode 2, N from 3 to 22); without it the report
                            uses the stations of the offsets file (mode 1)
      --no-pause          end without waiting for Enter (as whenever standard
                            input is not a terminal)
      --json              also write the whole result as Korvanti.json
  -h, --help              display this help and exit
      --version           output version information and exit

Given any run value, --series, --area-ratio, --pitch-ratio and --diameter
are needed, and --blades except for the three-bladed series. Values are
checked as the task file's are.

Files:
  Korvanti.TSK   the task: read; written first when run values are given
  WAGBPROP.DAT   the B-series tables (series 1): read from the working
                 directory or, when it is not there, the copy installed with
                 Korvanti (the console then names the file read)
  Korvanti.SON   the result report, written in the working directory with
                 PEROF.SON, PEROF2.SON, SEHAM.DAT, PERVDAT (for the drawing
                 generator), Korvanti2D_Tecplot.PLT, Korvanti3D_Tecplot.PLT
                 and Korvanti3D_Rhino3_4_Macro.TXT
  Korvanti.json  with --json: the particulars, stations, sections, root
                 station, hub profile, mass and inertia and the names of the
                 files written, in SI units

Exit status:
  0  the run finished
  1  the run was stopped: input that cannot be used, or values outside the
     range of the series
  2  a bad option; no file was written or changed

Example:
  Korvanti -C B4-55 --series=B --blades=4 --area-ratio=0.55 \
      --pitch-ratio=1.0 --diameter=2.0 --no-pause
)help";
}

std::string calculator_version_text() {
    return "Korvanti " KORVANTI_VERSION
           "\n"
           "Standard-series propeller geometry: Wageningen B, Ka, Kc, KC101-Gawn, Gawn,\n"
           "Newton-Rader and AU.\n";
}

int run_korvanti(int argc, char** argv) {
    CalculatorCommand command;
    try {
        command = parse_calculator_command(std::vector<std::string>(argv + 1, argv + argc));
        if (command.action == CalculatorCommand::Action::help) {
            std::cout << calculator_help_text();
            return 0;
        }
        if (command.action == CalculatorCommand::Action::version) {
            std::cout << calculator_version_text();
            return 0;
        }
        if (!command.directory.empty()) enter_directory(command.directory);
    } catch (const UsageError& error) {
        std::cerr << error.what() << '\n';
        return usage_error_status;
    }
    Console console(std::cout, std::cin, isatty(STDIN_FILENO) != 0);
    if (command.task) {
        try {
            write_task_file(task_file_text(*command.task));
        } catch (const InputError& error) {
            console.line(error.what());
            return 1;
        }
    }
    if (!command.no_pause) return run_calculator(console, command.run);
    // No pause waits: the keyboard is at its end, as for a run on /dev/null.
    std::istringstream no_keyboard;
    Console quiet_keyboard(std::cout, no_keyboard, false);
    return run_calculator(quiet_keyboard, command.run);
}

}  // namespace korvanti
