#include "run/run_driver.h"

#include <unistd.h>

#include <array>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/freeformat.h"
#include "filelayer/output_file.h"
#include "filelayer/record.h"
#include "geometry/blade_ends.h"
#include "geometry/series_driver.h"
#include "geometry/task_file.h"
#include "model/blade_model.h"
#include "numeric/numeric_failure.h"
#include "reports/blade_mass.h"
#include "reports/offsets_file.h"
#include "reports/post_processing.h"
#include "reports/run_json.h"
#include "run/banner.h"
#include "run/data_files.h"

namespace korvanti {

namespace {

constexpr const char* result_file_name = "Korvanti.SON";

// The series list is information only: the series comes from the task file.
void show_series_menu(Console& console) {
    constexpr std::array<const char*, 12> lines = {
        "",
        " ASAGIDAKI STANDART SERI PERVANELERIN OFSETLERINI HAZIRLAMA PROGRAMI",
        "",
        "     <1> WAGENINGEN B",
        "     <2> WAGENINGEN Ka-NOZULLU",
        "     <3> WAGENINGEN Kc-NOZULLU",
        "     <4> KC101-GAWN Ear=0.50-1.1",
        "     <5> GAWN Ear=0.20-1.1",
        "     <6> NEWTON-RADER Ear=0.48, 0.71, 0.95",
        "     <7> AU(MAU)",
        "",
        " **** PROGRAM CALISIYOR. BIRAZ BEKLEYIN.  *****",
    };
    for (const char* text : lines) {
        std::string line = text;
        if (line.size() < 49) line.resize(49, ' ');
        console.line(line);
    }
}

void calculate_steps(std::istream& task_stream, std::ostream& result, Console& console,
                     const RunOptions& options) {
    // One model for the whole run, zero at the start.
    auto model = std::make_unique<BladeModel>();
    model->b_series_data_path = b_series_data_path();
    FreeFormatReader task(task_stream, task_file_name);
    OutputRecord written;

    show_banner(result, console);
    show_series_menu(console);
    read_run_parameters(task, *model);
    write_record(result, "(/,59('='))");
    run_series_driver(*model, task, result, console);
    make_b_series_tip(*model);
    const BladeEnds ends = blade_ends(*model);
    const std::string offsets_text = write_offsets_file(*model, ends);
    run_post_processing(*model, offsets_text, result, console);
    const BladeMass mass = write_blade_mass(*model, result);
    if (options.json) {
        std::vector<std::string> files = written.names();
        files.insert(files.begin(), result_file_name);
        files.push_back(run_json_file_name);
        write_output_file(run_json_file_name,
                          run_json_text({*model, ends, mass, KORVANTI_VERSION, files}));
    }

    write_author_notice(result, 4);
}

void run_calculation(Console& console, const RunOptions& options) {
    std::ifstream task_stream(task_file_name);
    if (!task_stream)
        throw InputError(std::string(" HATA: ") + task_file_name +
                         " dosyasi calisma dizininde bulunamadi ya da okunamadi");
    std::ofstream result(result_file_name, std::ios::trunc);
    if (!result)
        throw InputError(std::string(" HATA: ") + result_file_name + " dosyasi yazilamiyor");

    calculate_propeller(task_stream, result, console, options);
    result.flush();
    if (!result)
        throw InputError(std::string(" HATA: ") + result_file_name + " dosyasina yazilamadi");

    console.line("");
    console.pause(" PROGRAM CALISMASI BITTI.  SONLANDIRMAK ICIN `ENTER` TUSUNA BASINIZ");
    result.close();
    // The closing words of a finished run; only the stops of a rejected run
    // unwind as RunStop.
    console.line(default_stop_text);
}

}  // namespace

void calculate_propeller(std::istream& task_stream, std::ostream& result, Console& console,
                         const RunOptions& options) {
    try {
        calculate_steps(task_stream, result, console, options);
    } catch (const NumericFailure& failure) {
        stop_after_numeric_failure(failure, console);
    }
}

void stop_after_numeric_failure(const NumericFailure& failure, Console& console) {
    const std::vector<std::string>& lines = failure.lines();
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k == 0 && failure.pauses())
            console.pause(lines[k]);
        else
            console.line(lines[k]);
    }
    console.stop();
}

int run_calculator(Console& console, const RunOptions& options) {
    try {
        run_calculation(console, options);
    } catch (const RunStop&) {
        return 1;  // the run was stopped: the input was rejected
    } catch (const InputError& error) {
        console.line(error.what());
        return 1;
    }
    return 0;
}

int run_calculator() {
    Console console(std::cout, std::cin, isatty(STDIN_FILENO) != 0);
    return run_calculator(console);
}

}  // namespace korvanti
