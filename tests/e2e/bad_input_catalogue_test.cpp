// The catalogue of broken inputs: one row per broken input of either program,
// with the message it must give, its exit status and the files that must and
// may exist afterwards. Every row also holds the rules that apply to all of
// them: the program neither crashes nor hangs, writes nothing outside its
// working directory, leaves its inputs as they were and leaves no file behind
// that is not named in the row (no half-written PERVDAT, script or scratch
// file).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/child_process.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

enum class Program { calculator, drawing };

struct Row {
    std::string name;
    Program program = Program::calculator;
    std::function<void(const fs::path&)> prepare;  // fills the working directory
    std::string input;                             // standard input
    int exit_status = 1;
    std::vector<std::string> messages;           // each must appear on the console
    std::vector<std::string> present;            // files that must exist afterwards
    std::vector<std::string> may;                // files that may exist afterwards
    std::vector<std::string> changed;            // prepared files the run may change
    int result_lines = -1;                       // lines of Korvanti.SON, when checked
    std::function<void(const fs::path&)> check;  // further checks of the directory
    bool unwritable_directory = false;           // a read-only working directory
    long file_size_limit = -1;                   // RLIMIT_FSIZE of the run
    bool without_installed_data = false;         // a copy of the program, no WAGBPROP.DAT beside it
    std::vector<std::string> arguments;          // the command line
    bool one_line = false;                       // the whole output is one line
};

// ---------------------------------------------------------------------------
// Inputs

const fs::path source_dir = KORVANTI_SOURCE_DIR;
#ifdef TELVARO_EXE
const char* const drawing_exe = TELVARO_EXE;
#else
const char* const drawing_exe = nullptr;  // the drawing generator is not built
#endif

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string join_lines(const std::vector<std::string>& lines, size_t count,
                       const std::string& end = "\n") {
    std::string text;
    for (size_t k = 0; k < count && k < lines.size(); ++k) text += lines[k] + end;
    return text;
}

std::string example(const std::string& name) {
    return read_file(source_dir / "examples" / (name + ".TSK"));
}
const std::string b_series_data = read_file(source_dir / "data/WAGBPROP.DAT");
// A real panel data file: the reviewed reference of the B4-55 run.
const std::string panel_data = read_file(source_dir / "tests/regression/reference/B4-55/PERVDAT");
const fs::path b4_55_reference = source_dir / "tests/regression/reference/B4-55";

// Line `number` (from 1) replaced.
std::string with_line(const std::string& text, int number, const std::string& content) {
    auto lines = split_lines(text);
    lines.at(static_cast<size_t>(number - 1)) = content;
    return join_lines(lines, lines.size());
}

std::string first_lines(const std::string& text, int count) {
    return join_lines(split_lines(text), static_cast<size_t>(count));
}

int line_count(const std::string& text) { return static_cast<int>(split_lines(text).size()); }

// Where the records of a panel data file start (line numbers from 1), found
// from the counts the file holds.
struct PanelDataLayout {
    int radii = 0;
    int radius_lines = 0;  // record 3
    int particulars = 0;   // record 6
    int counts = 0;        // record 9
    int vertices = 0;      // record 10
    int panels = 0;        // record 11
    int strip_table = 0;   // record 13, which the drawing generator does not read
    int total = 0;
    int vertex_count = 0;
    int panel_count = 0;
    int hub_panels = 0;
};

PanelDataLayout layout_of(const std::string& text) {
    const auto lines = split_lines(text);
    PanelDataLayout l;
    l.total = static_cast<int>(lines.size());
    l.radii = std::stoi(lines.at(0));
    int line = 2;
    int surface_points = 0;
    for (int k = 0; k < l.radii; ++k) {
        std::istringstream counts(lines.at(static_cast<size_t>(line - 1)));
        int np = 0;
        int nch = 0;
        counts >> np >> nch;
        surface_points += nch;
        line += 1 + 2 * np;
    }
    l.radius_lines = line;
    l.particulars = line + 2 * l.radii + 6 * surface_points;
    l.counts = l.particulars + 2 + 2 * l.radii;
    std::istringstream counts(lines.at(static_cast<size_t>(l.counts - 1)));
    int second_vertices = 0;
    int second_panels = 0;
    counts >> l.vertex_count >> l.panel_count >> second_vertices >> second_panels >> l.hub_panels;
    l.vertices = l.counts + 1;
    l.panels = l.vertices + l.vertex_count;
    l.strip_table = l.panels + l.panel_count + second_vertices + second_panels;
    return l;
}

const PanelDataLayout pervdat = layout_of(panel_data);

// ---------------------------------------------------------------------------
// Expectations

const char* const script = "TELVARO_3B_CIZIMLER.SCR";
// Every finished drawing run writes all five.
const std::vector<std::string> drawing_files = {
    script, "TELVARO_3B_CIZIMLER.dxf", "TELVARO_3B_CIZIMLER.pdf", "TELVARO_3B_CIZIMLER.png",
    "TELVARO_3B_CIZIMLER.svg"};
const std::string old_script = "eski cizim: bir onceki calismanin betigi\n";

// The prepared directory of a calculator run.
std::function<void(const fs::path&)> task_dir(const std::string& task,
                                              const std::string& data = b_series_data) {
    return [task, data](const fs::path& dir) {
        write_file(dir / "Korvanti.TSK", task);
        write_file(dir / "WAGBPROP.DAT", data);
    };
}

// A panel data file and the script of an earlier run beside it.
std::function<void(const fs::path&)> drawing_dir(const std::string& data) {
    return [data](const fs::path& dir) {
        write_file(dir / "PERVDAT", data);
        write_file(dir / script, old_script);
    };
}

std::string name_part(std::string text) {
    for (char& ch : text)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return text;
}

// An input error of the calculator: message, status 1, and Korvanti.SON with
// the banner (7 lines), also the separator (9 lines) from line 51 on.
Row task_error(const std::string& name, const std::string& task, const std::string& message,
               int result_lines) {
    Row row;
    row.name = name;
    row.prepare = task_dir(task);
    row.messages = {message};
    row.present = {"Korvanti.SON"};
    row.result_lines = result_lines;
    return row;
}

// A finished calculator run: every output file written.
Row finished_run(const std::string& name, std::function<void(const fs::path&)> prepare,
                 const std::string& input = "") {
    Row row;
    row.name = name;
    row.prepare = std::move(prepare);
    row.input = input;
    row.exit_status = 0;
    row.messages = {"PROGRAM CALISMASI BITTI"};
    row.present = calculator_outputs;
    return row;
}

// The outputs of a run of the B4-55 task equal the reviewed references.
void same_as_b4_55_reference(const fs::path& dir) {
    for (const std::string& file : calculator_outputs)
        EXPECT_TRUE(read_file(dir / file) == read_file(b4_55_reference / file))
            << file << " differs";
}

Row drawing_error(const std::string& name, const std::string& data, const std::string& message) {
    Row row;
    row.name = name;
    row.program = Program::drawing;
    row.prepare = drawing_dir(data);
    row.input = "1\n0.1\n";
    row.messages = {message, "CIZIM DOSYASI YAZILMADI"};
    return row;
}

// A finished drawing run on the B4-55 panel data with the answers `input`:
// the script written over the earlier one.
Row finished_drawing(const std::string& name, const std::string& input,
                     std::vector<std::string> messages) {
    Row row;
    row.name = name;
    row.program = Program::drawing;
    row.prepare = drawing_dir(panel_data);
    row.input = input;
    row.exit_status = 0;
    row.messages = std::move(messages);
    row.present = drawing_files;
    row.changed = {script};
    return row;
}

std::string pervdat_with_line(int number, const std::string& content) {
    return with_line(panel_data, number, content);
}

// ---------------------------------------------------------------------------
// The catalogue

std::vector<Row> calculator_rows() {
    std::vector<Row> rows;
    const std::string b4_55 = example("B4-55");
    const std::string b3_50 = example("B3-50");

    // Missing files, and inputs that are directories.
    {
        Row row;
        row.name = "missing_task_file";
        row.prepare = [](const fs::path& dir) { write_file(dir / "WAGBPROP.DAT", b_series_data); };
        row.messages = {"Korvanti.TSK dosyasi calisma dizininde bulunamadi"};
        rows.push_back(row);
    }
    {
        Row row = task_error("task_file_is_a_directory", "",
                             "Korvanti.TSK dosyasi 0 satirdan sonra bitiyor", 7);
        row.prepare = [](const fs::path& dir) {
            fs::create_directory(dir / "Korvanti.TSK");
            write_file(dir / "WAGBPROP.DAT", b_series_data);
        };
        rows.push_back(row);
    }
    {
        Row row = task_error("missing_b_series_data", b4_55,
                             "WAGBPROP.DAT dosyasi calisma dizininde bulunamadi", 9);
        row.prepare = [b4_55](const fs::path& dir) { write_file(dir / "Korvanti.TSK", b4_55); };
        row.without_installed_data = true;
        rows.push_back(row);
    }
    {
        Row row = task_error("b_series_data_is_a_directory", b4_55,
                             "WAGBPROP.DAT dosyasi 0 satirdan sonra bitiyor", 9);
        row.prepare = [b4_55](const fs::path& dir) {
            write_file(dir / "Korvanti.TSK", b4_55);
            fs::create_directory(dir / "WAGBPROP.DAT");
        };
        rows.push_back(row);
    }
    {
        const std::string ka = example("Ka4-70");
        rows.push_back(
            finished_run("other_series_need_no_b_series_data",
                         [ka](const fs::path& dir) { write_file(dir / "Korvanti.TSK", ka); }));
    }

    // The task file cut after every line up to the last one read, and inside
    // a value line; a file whose last line has no line end is whole.
    for (int n = 0; n <= 66; ++n)
        rows.push_back(
            task_error("task_file_cut_after_line_" + std::to_string(n), first_lines(b4_55, n),
                       "Korvanti.TSK dosyasi " + std::to_string(n) + " satirdan sonra bitiyor",
                       n < 50 ? 7 : 9));
    rows.push_back(task_error("task_file_ends_inside_line_43", first_lines(b4_55, 42) + "4",
                              "Korvanti.TSK dosyasi 43 satirdan sonra bitiyor", 7));
    rows.push_back(task_error("task_file_ends_inside_line_67", first_lines(b4_55, 66) + "1",
                              "Korvanti.TSK dosyasi 67 satirdan sonra bitiyor", 9));
    {
        Row row = finished_run("task_file_without_a_last_line_end",
                               task_dir(first_lines(b4_55, 66) + "1   11"));
        row.check = same_as_b4_55_reference;
        rows.push_back(row);
    }
    {
        Row row = finished_run("task_file_with_crlf_line_ends",
                               task_dir(join_lines(split_lines(b4_55), 1000, "\r\n")));
        row.check = same_as_b4_55_reference;
        rows.push_back(row);
    }
    {
        Row row =
            finished_run("b_series_data_with_crlf_line_ends",
                         task_dir(b4_55, join_lines(split_lines(b_series_data), 1000, "\r\n")));
        row.check = same_as_b4_55_reference;
        rows.push_back(row);
    }

    // WAGBPROP.DAT cut after every line: with Z = 3 every block is read.
    const int data_lines = line_count(b_series_data);
    for (int n = 0; n < data_lines; ++n) {
        Row row =
            task_error("b_series_data_cut_after_line_" + std::to_string(n), b3_50,
                       "WAGBPROP.DAT dosyasi " + std::to_string(n) + " satirdan sonra bitiyor", 9);
        row.prepare = task_dir(b3_50, first_lines(b_series_data, n));
        rows.push_back(row);
    }
    // Block 4 (the last N1 lines) is read only for Z = 3.
    rows.push_back(finished_run("b_series_data_without_block_4_for_z_4",
                                task_dir(b4_55, first_lines(b_series_data, data_lines - 9))));

    // Values that are not numbers, or not finite.
    const std::vector<std::pair<int, std::string>> not_numbers = {
        {40, "bir"},     {43, "dort 0.55"},    {43, "4 x"},      {43, "4.5 0.55"},
        {47, "sag"},     {50, "1.0 iki"},      {50, "1,0 2,0"},  {57, "evet"},
        {67, "1 onbir"}, {67, "bir 11"},       {43, "4 inf"},    {43, "4 nan"},
        {47, "nan"},     {50, "1.0 Infinity"}, {50, "1e39 2.0"}, {43, "99999999999 0.55"}};
    for (const auto& [line, value] : not_numbers)
        rows.push_back(task_error("task_line_" + std::to_string(line) + "_" + name_part(value),
                                  with_line(b4_55, line, value),
                                  "Korvanti.TSK, satir " + std::to_string(line),
                                  line <= 50 ? 7 : 9));
    // Counts of 0 and beyond what the program holds; zero and negative
    // dimensions.
    const std::vector<std::pair<int, std::string>> out_of_range = {{40, "0"},
                                                                   {40, "8"},
                                                                   {40, "-1"},
                                                                   {43, "0 0.55"},
                                                                   {43, "-4 0.55"},
                                                                   {43, "21 0.55"},
                                                                   {43, "2147483647 0.55"},
                                                                   {43, "4 0"},
                                                                   {43, "4 -0.55"},
                                                                   {50, "0 2.0"},
                                                                   {50, "-1.0 2.0"},
                                                                   {50, "1.0 0"},
                                                                   {50, "1.0 -2.0"},
                                                                   {67, "0 11"},
                                                                   {67, "3 11"},
                                                                   {67, "2 2"},
                                                                   {67, "2 0"},
                                                                   {67, "2 -5"},
                                                                   {67, "2 23"},
                                                                   {67, "2 2147483647"}};
    for (const auto& [line, value] : out_of_range)
        rows.push_back(task_error("task_line_" + std::to_string(line) + "_" + name_part(value),
                                  with_line(b4_55, line, value),
                                  "Korvanti.TSK, satir " + std::to_string(line),
                                  line <= 50 ? 7 : 9));
    // Values the task file takes but the geometry cannot follow: a pitch
    // ratio or an area ratio so far out that NaN comes out of the sections.
    // No file is written with a NaN in it: the run ends at the first such
    // file, and the files before it are whole.
    {
        Row row = task_error("task_line_50_pitch_ratio_1e30", with_line(b4_55, 50, "1e30 2.0"),
                             "NaN) ya da sonsuz deger cikti; PEROF.SON yazilmadi", -1);
        rows.push_back(row);
    }
    {
        Row row = task_error("task_line_43_area_ratio_1e-30", with_line(b4_55, 43, "4 1e-30"),
                             "NaN) ya da sonsuz deger cikti; Korvanti3D_Tecplot.PLT yazilmadi", -1);
        row.present = {"Korvanti.SON", "PEROF.SON", "SEHAM.DAT", "PEROF2.SON"};
        row.check = [](const fs::path& dir) {
            for (const char* file : {"PEROF.SON", "SEHAM.DAT", "PEROF2.SON"})
                EXPECT_EQ(read_file(dir / file).find("NaN"), std::string::npos) << file;
        };
        rows.push_back(row);
    }
    // Counts that break the B-series data file.
    const std::vector<std::pair<int, std::string>> bad_data = {
        {1, "0"},
        {1, "5"},
        {1, "13"},
        {1, "nokta"},
        {2, "0.2 1.662 0.617 x 0.0526 0.0040"},
        {3, "0.2 1.882 0.613 0.350 0.0464 0.0035"},  // r/R not rising
        {11, "11 9"},
        {11, "2 9"},
        {11, "9 8"},
        {11, "9 10"},
        {21, "11"},
        {21, "0"},
        {31, "13"},
        {31, "0"},
        {31, "-3"}};
    for (const auto& [line, value] : bad_data) {
        Row row = task_error("b_series_data_line_" + std::to_string(line) + "_" + name_part(value),
                             b3_50, "WAGBPROP.DAT, satir " + std::to_string(line), 9);
        row.prepare = task_dir(b3_50, with_line(b_series_data, line, value));
        rows.push_back(row);
    }
    // The B-series thickness Ar - Br*Z must stay positive.
    rows.push_back(
        task_error("b_series_with_z_20", with_line(b4_55, 43, "20 0.55"), "WAGBPROP.DAT", 9));

    // The orderly stops of the three-bladed series: status 1 (the run did not
    // finish), only the banner and the separator.
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> stops = {
        {"kc101_area_ratio_049", "KC101-80", "3 0.49", "KC101-GAWN SERISI"},
        {"gawn_area_ratio_12", "Gawn3-65", "3 1.2", "GAWN SERISI"},
        {"newton_rader_area_ratio_04", "NR3-71", "3 0.4",
         "NEWTON-RADER SERISI PERVANELERIN ACINIM"}};
    for (const auto& [name, base, line43, message] : stops) {
        rows.push_back(task_error(name, with_line(example(base), 43, line43), message, 9));
    }
    {
        Row row =
            task_error("newton_rader_pitch_ratio_21", with_line(example("NR3-71"), 50, "2.1 2.0"),
                       "P/D DEGERINI SINIRLAR DAHILINDE GIRINIZ", 9);
        rows.push_back(row);
    }
    // The AU confirmation: empty answers and then the end of the input.
    rows.push_back(
        finished_run("au_confirmation_never_answered", task_dir(example("AU4-55")), "\n\n\n"));

    // Output files that cannot be created: a directory holds the name.
    {
        Row row = task_error("result_file_cannot_be_created", b4_55,
                             "Korvanti.SON dosyasi yazilamiyor", -1);
        row.prepare = [b4_55](const fs::path& dir) {
            task_dir(b4_55)(dir);
            fs::create_directory(dir / "Korvanti.SON");
        };
        row.present.clear();
        rows.push_back(row);
    }
    for (size_t k = 1; k < calculator_outputs.size(); ++k) {
        const std::string blocked = calculator_outputs[k];
        Row row = task_error("output_cannot_be_created_" + name_part(blocked), b4_55,
                             "HATA: " + blocked + " dosyasi", -1);
        row.prepare = [b4_55, blocked](const fs::path& dir) {
            task_dir(b4_55)(dir);
            fs::create_directory(dir / blocked);
        };
        // The files written before the blocked one are whole; none after it.
        row.present.assign(calculator_outputs.begin(),
                           calculator_outputs.begin() + static_cast<long>(k));
        rows.push_back(row);
    }
    {
        Row row = task_error("read_only_working_directory", b4_55,
                             "Korvanti.SON dosyasi yazilamiyor", -1);
        row.present.clear();
        row.unwritable_directory = true;
        rows.push_back(row);
    }
    // A full disk: no room for PERVDAT (with one blade the 3D Tecplot file is
    // smaller than PERVDAT), and no room for anything.
    {
        Row row = task_error("disk_full_at_the_panel_data_file", with_line(b4_55, 43, "1 0.55"),
                             "HATA: PERVDAT dosyasi", -1);
        row.present = {"Korvanti.SON",
                       "PEROF.SON",
                       "SEHAM.DAT",
                       "PEROF2.SON",
                       "Korvanti3D_Tecplot.PLT",
                       "Korvanti3D_Rhino3_4_Macro.TXT"};
        row.file_size_limit = 59000;
        row.check = [](const fs::path& dir) {
            EXPECT_LT(fs::file_size(dir / "Korvanti3D_Tecplot.PLT"), 59000u)
                << "the limit no longer hits PERVDAT first";
        };
        rows.push_back(row);
    }
    {
        Row row = task_error("disk_full_from_the_start", b4_55, "HATA: PEROF.SON dosyasi", -1);
        row.present.clear();
        row.may = {"Korvanti.SON"};
        row.file_size_limit = 0;
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> drawing_rows() {
    std::vector<Row> rows;
    {
        Row row = drawing_error("missing_panel_data_file", "", "PERVDAT acilamadi");
        row.prepare = [](const fs::path& dir) { write_file(dir / script, old_script); };
        rows.push_back(row);
    }
    {
        Row row = drawing_error("panel_data_file_is_a_directory", "", "PERVDAT eksik");
        row.prepare = [](const fs::path& dir) {
            fs::create_directory(dir / "PERVDAT");
            write_file(dir / script, old_script);
        };
        rows.push_back(row);
    }
    rows.push_back(drawing_error("empty_panel_data_file", "", "PERVDAT eksik"));

    // PERVDAT cut: after each of the first lines, at every record boundary
    // and at a stride through the rest of what the drawing generator reads.
    std::set<int> cuts;
    for (int n = 1; n <= 45; ++n) cuts.insert(n);
    for (int start : {pervdat.radius_lines, pervdat.particulars, pervdat.counts, pervdat.vertices,
                      pervdat.panels, pervdat.strip_table})
        for (int n : {start - 2, start - 1, start}) cuts.insert(n);
    for (int n = 1; n < pervdat.strip_table; n += 97) cuts.insert(n);
    for (int n : cuts) {
        // Lines 1 to strip_table - 1 are all the drawing generator reads.
        if (n < 1 || n >= pervdat.strip_table - 1) continue;
        rows.push_back(drawing_error("panel_data_cut_after_line_" + std::to_string(n),
                                     first_lines(panel_data, n), "PERVDAT eksik"));
    }
    rows.push_back(drawing_error("panel_data_ends_inside_line_3",
                                 first_lines(panel_data, 2) + "  -0.16659", "PERVDAT eksik"));
    {
        // The strip table at the end serves another program and is not read.
        Row row = drawing_error("panel_data_cut_in_the_strip_table",
                                first_lines(panel_data, pervdat.strip_table + 3), "");
        row.exit_status = 0;
        row.messages = {"CIZIM DOSYASI YAZILDI"};
        row.present = drawing_files;
        row.changed = {script};
        row.check = [](const fs::path& dir) {
            EXPECT_TRUE(read_file(dir / script) ==
                        read_file(b4_55_reference / "TELVARO_3B_CIZIMLER.form-plans.SCR"));
        };
        rows.push_back(row);
    }

    // Values that are not numbers, counts of 0 and beyond the capacities,
    // zero and negative dimensions, vertex numbers outside the vertex list.
    const int first_vertex = pervdat.vertices;
    const int first_panel = pervdat.panels;
    auto counts_with = [](int v1, int q1, int v2, int q2, int h1) {
        char text[64];
        std::snprintf(text, sizeof text, "%5d%5d%5d%5d%5d", v1, q1, v2, q2, h1);
        return std::string(text);
    };
    auto panel_line = [](int c1, int c2, int c3, int c4) {
        char text[64];
        std::snprintf(text, sizeof text, "%5d%5d%5d%5d", c1, c2, c3, c4);
        return std::string(text);
    };
    const int nv = pervdat.vertex_count;
    const int nq = pervdat.panel_count;
    const int nh = pervdat.hub_panels;
    const std::vector<std::tuple<std::string, int, std::string, std::string>> damaged = {
        {"radius_count_not_a_number", 1, "  on", "tamsayi bekleniyordu"},
        {"radius_count_0", 1, "    0", "M = 0"},
        {"radius_count_31", 1, "   31", "M = 31"},
        {"radius_count_negative", 1, "   -1", "M = -1"},
        {"section_points_0", 2, "    0   20", "NP(1) = 0"},
        {"section_points_31", 2, "   31   20", "NP(1) = 31"},
        {"surface_points_31", 2, "   20   31", "NCH(1) = 31"},
        {"section_point_not_a_number", 3, "  -0.16659   abc", "sayi bekleniyordu"},
        {"section_point_nan", 3, "  -0.16659   nan", "sayi bekleniyordu"},
        {"section_point_overflow", 3, "  -0.16659   1e999", "sayi bekleniyordu"},
        {"radius_0", pervdat.radius_lines, "   0.00000", "sifirdan buyuk olmali"},
        {"radius_negative", pervdat.radius_lines, "  -0.16700", "sifirdan buyuk olmali"},
        {"blade_count_0", pervdat.particulars, "         0   0.55000", "kanat sayisi Z = 0"},
        {"blade_count_21", pervdat.particulars, "        21   0.55000", "kanat sayisi Z = 21"},
        {"diameter_0", pervdat.particulars + 1, "   0.00000   1.00000", "cap D = 0"},
        {"diameter_negative", pervdat.particulars + 1, "  -2.00000   1.00000", "cap D = -2"},
        {"vertex_count_over_3000", pervdat.counts, counts_with(3001, nq, 0, 0, nh), "NV1 = 3001"},
        {"panel_count_over_3000", pervdat.counts, counts_with(nv, 3001, 0, 0, nh), "NQ1 = 3001"},
        {"hub_panels_over_the_panel_count", pervdat.counts, counts_with(nv, nq, 0, 0, nq + 1),
         "NH1"},
        {"second_mesh_over_2000", pervdat.counts, counts_with(nv, nq, 2001, 0, nh), "NV2 = 2001"},
        // With no vertices the first vertex line is read as a panel.
        {"vertex_count_0", pervdat.counts, counts_with(0, nq, 0, 0, nh), "tamsayi bekleniyordu"},
        {"counts_not_numbers", pervdat.counts, "  dugum panel", "tamsayi bekleniyordu"},
        {"vertex_not_a_number", first_vertex, "   0.84522   x   0.00000", "sayi bekleniyordu"},
        {"panel_vertex_0", first_panel, panel_line(0, 1, 1, 2), "kose 1 dugum numarasi"},
        {"panel_vertex_beyond_the_list", first_panel, panel_line(1, 1, 1, nv + 1),
         "kose 4 dugum numarasi"},
    };
    for (const auto& [name, line, content, message] : damaged)
        rows.push_back(
            drawing_error("panel_data_" + name, pervdat_with_line(line, content), message));

    {
        Row row = drawing_error("panel_data_with_crlf_line_ends",
                                join_lines(split_lines(panel_data), 100000, "\r\n"), "");
        row.exit_status = 0;
        row.messages = {"CIZIM DOSYASI YAZILDI"};
        row.present = drawing_files;
        row.changed = {script};
        row.check = [](const fs::path& dir) {
            EXPECT_TRUE(read_file(dir / script) ==
                        read_file(b4_55_reference / "TELVARO_3B_CIZIMLER.form-plans.SCR"));
        };
        rows.push_back(row);
    }

    // The script cannot be written.
    {
        Row row = drawing_error("script_cannot_be_created", panel_data, "YAZILAMADI");
        row.prepare = [](const fs::path& dir) {
            write_file(dir / "PERVDAT", panel_data);
            fs::create_directory(dir / script);
        };
        rows.push_back(row);
    }
    {
        Row row = drawing_error("drawing_in_a_read_only_directory", panel_data, "YAZILAMADI");
        row.unwritable_directory = true;
        rows.push_back(row);
    }
    {
        Row row = drawing_error("disk_full_at_the_script", panel_data, "YAZILAMADI");
        row.file_size_limit = 4096;
        rows.push_back(row);
    }

    // Answers: anything but a number asks again, so does an option other than
    // 0, 1, 2 and a negative scale; the end of the input takes the defaults.
    {
        Row row = finished_drawing(
            "answers_not_numbers_then_scale_0_05", "bir\n3\n-2\n1\n-1\nolcek\n0.05\n",
            {"GECERSIZ CEVAP \"bir\"", "OLCEK SIFIR YA DA SIFIRDAN BUYUK OLMALI",
             "GECERSIZ CEVAP \"olcek\"", "CIZIM DOSYASI YAZILDI"});
        row.check = [](const fs::path& dir) {
            // The tip radius line of a 2 m propeller at scale 0.05.
            EXPECT_NE(read_file(dir / script).find("\nLINE\n70,90\n335,90\n\n"), std::string::npos);
        };
        rows.push_back(row);
    }
    {
        Row row =
            finished_drawing("answers_end_at_once_defaults_taken", "", {"CIZIM DOSYASI YAZILDI"});
        row.check = [](const fs::path& dir) {
            // Option 1 and scale 1, held to the largest scale 0.2.
            EXPECT_NE(read_file(dir / script).find("\nLINE\n70,240\n335,240\n\n"),
                      std::string::npos);
        };
        rows.push_back(row);
    }
    {
        Row row = finished_drawing("panel_view_answers_out_of_range_then_one_blade",
                                   "2\n9\nkanat\n-1\n1\nH\n",
                                   {"GECERSIZ CEVAP \"kanat\"", "CIZIM DOSYASI YAZILDI"});
        row.check = [](const fs::path& dir) {
            const std::string text = read_file(dir / script);
            size_t faces = 0;
            for (size_t at = text.find("3DFACE"); at != std::string::npos;
                 at = text.find("3DFACE", at + 1))
                ++faces;
            EXPECT_EQ(faces, static_cast<size_t>(pervdat.panel_count - pervdat.hub_panels));
        };
        rows.push_back(row);
    }
    return rows;
}

// Bad command lines: status 2, one line naming the option and what was
// expected, and the files of the directory as they were (an earlier task file
// or script is not replaced).
Row bad_option(const std::string& name, Program program, std::vector<std::string> arguments,
               const std::string& message) {
    Row row;
    row.name = "option_" + name;
    row.program = program;
    row.prepare =
        program == Program::calculator ? task_dir(example("B4-55")) : drawing_dir(panel_data);
    row.arguments = std::move(arguments);
    row.exit_status = 2;
    row.messages = {message};
    row.one_line = true;
    return row;
}

// The options of a valid B4-55 task, with `extra` after them.
std::vector<std::string> task_options(std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments = {"--series",     "B",    "--blades",      "4",
                                          "--area-ratio", "0.55", "--pitch-ratio", "1.0",
                                          "--diameter",   "2.0"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

std::vector<Row> bad_option_rows() {
    const Program calc = Program::calculator;
    const Program draw = Program::drawing;
    const std::string number = " bekleniyordu; '";
    std::vector<Row> rows = {
        bad_option("unknown", calc, task_options({"--colour=red"}),
                   " HATA: '--colour=red' gecerli bir secenek degil"),
        bad_option("unknown_short", calc, {"-x"}, " HATA: '-x' gecerli bir secenek degil"),
        bad_option("ambiguous", calc, task_options({"--no"}), "'--no' gecerli bir secenek degil"),
        // An unambiguous abbreviation is the option itself, as in GNU programs.
        bad_option("abbreviated_option_checked", calc, {"--ser=9"},
                   " HATA: --series secenegi: seri numarasi 1 ile 7 arasinda olmali, okunan 9"),
        bad_option("flag_with_value", calc, task_options({"--nose-tail=1"}),
                   "'--nose-tail=1' gecerli bir secenek degil"),
        bad_option("missing_value", calc, task_options({"--diameter"}),
                   " HATA: --diameter secenegi bir deger bekliyor"),
        bad_option("argument", calc, task_options({"B4-55"}), " HATA: beklenmeyen arguman 'B4-55'"),
        bad_option("series_unknown", calc, {"--series", "C"},
                   " HATA: --series secenegi: seri numarasi (1..7) ya da adi (B, Ka, Kc, KC101, "
                   "Gawn, NR, AU) bekleniyordu; 'C' bilinmiyor"),
        bad_option("series_8", calc, {"--series", "8"},
                   " HATA: --series secenegi: seri numarasi 1 ile 7 arasinda olmali, okunan 8"),
        bad_option("blades_not_integer", calc, {"--blades=4.5"},
                   " HATA: --blades secenegi: kanat sayisi Z (tamsayi)" + number +
                       "4.5' bir tamsayi degil"),
        bad_option("blades_0", calc, {"--blades", "0"},
                   " HATA: --blades secenegi: kanat sayisi Z en az 1 olmali"),
        bad_option("blades_21", calc, {"--blades", "21"},
                   " HATA: --blades secenegi: kanat sayisi Z en cok 20 olabilir, okunan 21"),
        bad_option("area_ratio_text", calc, {"--area-ratio", "abc"},
                   " HATA: --area-ratio secenegi: acinim alani orani Ear" + number +
                       "abc' bir sayi degil"),
        bad_option("area_ratio_two_values", calc, {"--area-ratio", "0.5 0.7"},
                   "--area-ratio secenegi: acinim alani orani Ear" + number + "0.5 0.7'"),
        bad_option("area_ratio_empty", calc, {"--area-ratio="},
                   "--area-ratio secenegi: acinim alani orani Ear" + number + "' bir sayi degil"),
        bad_option("area_ratio_0", calc, {"--area-ratio", "0"},
                   " HATA: --area-ratio secenegi: acinim alani orani Ear sifirdan buyuk olmali"),
        bad_option("area_ratio_nan", calc, {"--area-ratio", "nan"},
                   " HATA: --area-ratio secenegi: sonlu bir sayi bekleniyordu"),
        bad_option("pitch_ratio_negative", calc, {"--pitch-ratio", "-1"},
                   " HATA: --pitch-ratio secenegi: hatve-cap orani P/D sifirdan buyuk olmali"),
        bad_option("diameter_0", calc, {"--diameter", "0.0"},
                   " HATA: --diameter secenegi: pervane capi D sifirdan buyuk olmali"),
        bad_option("diameter_inf", calc, {"--diameter", "inf"},
                   " HATA: --diameter secenegi: sonlu bir sayi bekleniyordu"),
        bad_option("hand", calc, {"--hand", "sol"},
                   " HATA: --hand secenegi: left ya da right" + number + "sol' bilinmiyor"),
        bad_option("report_radii_2", calc, {"--report-radii", "2"},
                   " HATA: --report-radii secenegi: mod 2 icin yaricap sayisi 3 ile 22 arasinda "
                   "olmali, okunan 2"),
        bad_option("report_radii_23", calc, {"--report-radii", "23"}, "okunan 23"),
        bad_option("area_ratio_left_out", calc, {"--series", "B", "--blades", "4"},
                   " HATA: --area-ratio secenegi eksik"),
        bad_option("blades_left_out", calc, {"--series=Ka", "--area-ratio=0.7"},
                   " HATA: --blades secenegi eksik"),
        bad_option("directory_missing", calc, task_options({"-C", "yok"}),
                   " HATA: -C (--directory) secenegi: 'yok' bir dizin olmali"),
        bad_option("directory_is_a_file", calc, {"--directory=Korvanti.TSK"},
                   "'Korvanti.TSK' bir dizin olmali"),
        bad_option("directory_empty", calc, {"-C", ""}, "bir dizin adi bekleniyordu"),
        bad_option("drawing_unknown", draw, {"--plans", "--scale=1"},
                   "HATA: '--plans' gecerli bir secenek degil"),
        bad_option("drawing_scale_negative", draw, {"--form-plans", "--scale", "-1"},
                   "HATA: --scale secenegi: sifir ya da sifirdan buyuk bir sayi bekleniyordu"),
        bad_option("drawing_scale_text", draw, {"--form-plans", "--scale", "bir"},
                   "HATA: --scale secenegi"),
        bad_option("drawing_scale_without_form_plans", draw, {"--scale", "0.1"},
                   "HATA: --scale secenegi yalnizca --form-plans ile verilir"),
        bad_option("drawing_panel_view_unknown", draw, {"--panel-view", "all"},
                   "HATA: --panel-view secenegi: blade, hub ya da both" + number + "all'"),
        bad_option("drawing_panel_view_missing_value", draw, {"--panel-view"},
                   "HATA: --panel-view secenegi bir deger bekliyor"),
        bad_option("drawing_both_drawings", draw, {"--form-plans", "--panel-view=hub"},
                   "HATA: --form-plans ve --panel-view secenekleri birlikte verilemez"),
        bad_option("drawing_one_blade_alone", draw, {"--one-blade"},
                   "HATA: --one-blade secenegi yalnizca --panel-view ile verilir"),
        bad_option("drawing_directory_missing", draw, {"-C", "yok", "--panel-view=blade"},
                   "HATA: -C (--directory) secenegi: 'yok' bir dizin olmali"),
    };
    // -C to a directory that cannot be written, for either program.
    for (const Program program : {calc, draw}) {
        Row row =
            bad_option(program == calc ? "directory_read_only" : "drawing_directory_read_only",
                       program, {"-C", "."}, "'.' dizinine yazilabilmeli");
        row.unwritable_directory = true;
        rows.push_back(row);
    }
    // Run values in a working directory that cannot be written: the task
    // file cannot be, and the run ends at once with status 1.
    {
        Row row = bad_option("task_file_in_read_only_directory", calc, task_options(),
                             " HATA: Korvanti.TSK dosyasi yazilamiyor");
        row.exit_status = 1;
        row.unwritable_directory = true;
        rows.push_back(row);
    }
    return rows;
}

const std::vector<Row>& catalogue() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> all = calculator_rows();
        for (Row& row : bad_option_rows()) all.push_back(std::move(row));
        for (Row& row : drawing_rows()) {
            row.name = "drawing_" + row.name;
            all.push_back(std::move(row));
        }
        return all;
    }();
    return rows;
}

// ---------------------------------------------------------------------------
// Running a row

struct Snapshot {
    std::map<std::string, std::string> files;  // name -> content ("<dir>" for directories)
};

Snapshot snapshot(const fs::path& dir) {
    Snapshot s;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        s.files[name] = entry.is_directory() ? std::string("<dir>") : read_file(entry.path());
    }
    return s;
}

// How a working directory is made read-only: mode 555 stops writes, except
// for root; for root the immutable attribute (chattr +i, on file systems
// that have it) does.
enum class DirectoryLock { mode_555, immutable, none };

// Whether a new file cannot be created in dir (a file made by the probe is
// removed again).
bool writes_stopped_in(const fs::path& dir) {
    const fs::path probe_file = dir / "yazma-denemesi";
    const bool stopped = !std::ofstream(probe_file);
    std::error_code ignored;
    fs::remove(probe_file, ignored);
    return stopped;
}

bool shell(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string quoted_path(const fs::path& dir) { return "'" + dir.string() + "'"; }

DirectoryLock directory_lock() {
    static const DirectoryLock lock = [] {
        const fs::path root = fs::temp_directory_path();
        std::string pattern = (root / "korvanti-lock-probe-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return DirectoryLock::none;
        const fs::path dir = pattern;
        DirectoryLock found = DirectoryLock::none;
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        if (writes_stopped_in(dir)) found = DirectoryLock::mode_555;
        fs::permissions(dir, fs::perms::owner_all);
        if (found == DirectoryLock::none &&
            shell("chattr +i " + quoted_path(dir) + " >/dev/null 2>&1")) {
            if (writes_stopped_in(dir)) found = DirectoryLock::immutable;
            shell("chattr -i " + quoted_path(dir) + " >/dev/null 2>&1");
        }
        std::error_code ignored;
        fs::remove_all(dir, ignored);
        return found;
    }();
    return lock;
}

void lock_directory(const fs::path& dir) {
    if (directory_lock() == DirectoryLock::immutable)
        shell("chattr +i " + quoted_path(dir) + " >/dev/null 2>&1");
    else
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read |
                                 fs::perms::others_exec);
}

void unlock_directory(const fs::path& dir) {
    if (directory_lock() == DirectoryLock::immutable)
        shell("chattr -i " + quoted_path(dir) + " >/dev/null 2>&1");
    std::error_code ignored;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
}

class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "korvanti-bad-input-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        fs::create_directory(work());
        fs::create_directory(home());
        fs::create_directory(tmp());
    }
    ~Scratch() {
        unlock_directory(work());
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    fs::path root() const { return root_; }
    fs::path work() const { return root_ / "work"; }
    fs::path home() const { return root_ / "home"; }
    fs::path tmp() const { return root_ / "tmp"; }

private:
    fs::path root_;
};

bool contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

void run_row(const Row& row) {
    Scratch scratch;
    const fs::path dir = scratch.work();
    row.prepare(dir);
    const Snapshot before = snapshot(dir);

    if (row.unwritable_directory) lock_directory(dir);

    ChildOptions options;
    options.input = row.input;
    options.file_size_limit = row.file_size_limit;
    options.arguments = row.arguments;
    options.environment = {{"HOME", scratch.home().string()}, {"TMPDIR", scratch.tmp().string()}};
    std::string exe = row.program == Program::calculator ? KORVANTI_EXE : drawing_exe;
    if (row.without_installed_data) exe = program_without_installed_data(exe);
    const ChildResult run = run_child(exe, dir, options);
    if (row.unwritable_directory) unlock_directory(dir);

    // Neither crash nor hang nor sanitizer report, and the promised ending.
    ASSERT_FALSE(run.timed_out) << "no end within the time limit:\n" << run.output;
    ASSERT_EQ(run.signal, 0) << "ended by signal " << run.signal << ":\n" << run.output;
    EXPECT_EQ(run.output.find("Sanitizer"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("runtime error:"), std::string::npos) << run.output;
    EXPECT_EQ(run.exit_status, row.exit_status) << run.output;
    if (row.one_line) {
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_EQ(run.output.back(), '\n') << run.output;
    }
    for (const std::string& message : row.messages)
        EXPECT_NE(run.output.find(message), std::string::npos)
            << "missing \"" << message << "\" in:\n"
            << run.output;

    // Nothing outside the working directory.
    std::set<std::string> outside;
    for (const auto& entry : fs::directory_iterator(scratch.root()))
        outside.insert(entry.path().filename().string());
    EXPECT_EQ(outside, (std::set<std::string>{"home", "tmp", "work"}));
    EXPECT_TRUE(fs::is_empty(scratch.home()));
    EXPECT_TRUE(fs::is_empty(scratch.tmp()));

    // The files: inputs unchanged, the promised ones there, nothing else.
    const Snapshot after = snapshot(dir);
    for (const auto& [name, content] : before.files) {
        const auto found = after.files.find(name);
        if (found == after.files.end()) {
            ADD_FAILURE() << name << " was removed";
            continue;
        }
        if (!contains(row.changed, name) && !contains(row.present, name) &&
            !contains(row.may, name)) {
            EXPECT_TRUE(found->second == content) << name << " was changed";
        }
    }
    for (const std::string& name : row.present)
        EXPECT_EQ(after.files.count(name), 1u) << name << " is missing";
    for (const auto& [name, content] : after.files) {
        if (before.files.count(name) != 0) continue;
        EXPECT_TRUE(contains(row.present, name) || contains(row.may, name))
            << name << " was left in the working directory";
    }
    if (row.result_lines >= 0) {
        ASSERT_EQ(after.files.count("Korvanti.SON"), 1u);
        std::istringstream text(after.files.at("Korvanti.SON"));
        int lines = 0;
        for (std::string line; std::getline(text, line);) ++lines;
        EXPECT_EQ(lines, row.result_lines) << "lines of Korvanti.SON";
    }
    if (row.check) row.check(dir);
}

// The rows run in groups, one test each.
std::string group_of(const Row& row) {
    if (row.unwritable_directory) return "read_only_working_directory";
    for (const char* prefix : {"task_file_cut_after_line_", "b_series_data_cut_after_line_",
                               "drawing_panel_data_cut_after_line_"})
        if (row.name.rfind(prefix, 0) == 0)
            return std::string(prefix).substr(0, std::string(prefix).size() - 12);
    return row.program == Program::calculator ? "calculator" : "drawing";
}

class BadInputCatalogue : public ::testing::TestWithParam<std::string> {};

TEST_P(BadInputCatalogue, EveryRowGivesItsMessageStatusAndFiles) {
    const std::string group = GetParam();
    if (group == "read_only_working_directory" && directory_lock() == DirectoryLock::none)
        GTEST_SKIP() << "this user (root) writes into a directory of mode 555 and the file "
                        "system has no immutable attribute, so a read-only working directory "
                        "cannot be set up here";
    int rows = 0;
    for (const Row& row : catalogue()) {
        if (group_of(row) != group) continue;
        if (row.program == Program::drawing && drawing_exe == nullptr) continue;
        SCOPED_TRACE("row " + row.name);
        run_row(row);
        ++rows;
    }
    if (rows == 0) GTEST_SKIP() << "the drawing generator is not built";
}

INSTANTIATE_TEST_SUITE_P(Groups, BadInputCatalogue,
                         ::testing::Values("calculator", "task_file_cut", "b_series_data_cut",
                                           "drawing", "drawing_panel_data_cut",
                                           "read_only_working_directory"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

// The catalogue itself: unique names, and the cut rows reach every line.
TEST(BadInputCatalogueRows, CoverEveryCutAndHaveUniqueNames) {
    const std::vector<Row>& rows = catalogue();
    std::set<std::string> names;
    for (const Row& row : rows) EXPECT_TRUE(names.insert(row.name).second) << row.name;
    std::map<std::string, int> groups;
    for (const Row& row : rows) ++groups[group_of(row)];
    EXPECT_EQ(groups.size(), 6u);
    for (const auto& [group, count] : groups) EXPECT_GT(count, 0) << group;
    for (int n = 0; n <= 66; ++n)
        EXPECT_EQ(names.count("task_file_cut_after_line_" + std::to_string(n)), 1u);
    for (int n = 0; n < line_count(b_series_data); ++n)
        EXPECT_EQ(names.count("b_series_data_cut_after_line_" + std::to_string(n)), 1u);
    // The layout read from the counts: the strip table follows the panels
    // (the second mesh is empty) and starts with the strip count M - 1.
    EXPECT_EQ(pervdat.strip_table, pervdat.panels + pervdat.panel_count);
    EXPECT_EQ(std::stoi(split_lines(panel_data).at(static_cast<size_t>(pervdat.strip_table - 1))),
              pervdat.radii - 1);
}

}  // namespace
}  // namespace korvanti::testing
