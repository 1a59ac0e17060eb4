#include "run/run_driver.h"

#include <array>
#include <fstream>
#include <memory>
#include <string>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/freeformat.h"
#include "filelayer/output_file.h"
#include "filelayer/record.h"
#include "geometry/blade_model.h"
#include "geometry/series_driver.h"
#include "geometry/task_file.h"
#include "reports/blade_mass.h"
#include "reports/offsets_file.h"
#include "reports/post_processing.h"
#include "run/banner.h"
#include "run/data_files.h"

namespace korvanti {

namespace {

constexpr const char* result_file_name = "Korvanti.SON";

// The series list is information only: the series comes from the task file.
void show_series_menu() {
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
        console_line(line);
    }
}

void run_calculation() {
    std::ifstream task_stream(task_file_name);
    if (!task_stream)
        throw InputError(std::string(" HATA: ") + task_file_name +
                         " dosyasi calisma dizininde bulunamadi ya da okunamadi");
    std::ofstream result(result_file_name, std::ios::trunc);
    if (!result)
        throw InputError(std::string(" HATA: ") + result_file_name + " dosyasi yazilamiyor");

    calculate_propeller(task_stream, result);
    result.flush();
    if (!result)
        throw InputError(std::string(" HATA: ") + result_file_name + " dosyasina yazilamadi");

    console_line("");
    pause(" PROGRAM CALISMASI BITTI.  SONLANDIRMAK ICIN `ENTER` TUSUNA BASINIZ");
    result.close();
    // The closing words of a finished run; only the stops of a rejected run
    // unwind as RunStop.
    console_line(default_stop_text);
}

}  // namespace

void calculate_propeller(std::istream& task_stream, std::ostream& result) {
    // One model for the whole run, zero at the start.
    auto model = std::make_unique<BladeModel>();
    model->b_series_data_path = b_series_data_path();
    start_finite_watch();
    FreeFormatReader task(task_stream, task_file_name);

    show_banner(result);
    show_series_menu();
    read_run_parameters(task, *model);
    write_record(result, "(/,59('='))");
    run_series_driver(*model, task, result);
    write_offsets_file(*model);
    run_post_processing(*model, result);
    write_blade_mass(*model, result);

    write_author_notice(result, 4);
}

int run_calculator() {
    try {
        run_calculation();
    } catch (const RunStop&) {
        return 1;  // the run was stopped: the input was rejected
    } catch (const InputError& error) {
        console_line(error.what());
        return 1;
    }
    return 0;
}

}  // namespace korvanti
