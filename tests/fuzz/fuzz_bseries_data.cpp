// Fuzz target: the B-series data file WAGBPROP.DAT, through whole calculator
// runs of a four-bladed and a three-bladed B-series task (the three-bladed
// one reads the file's last block).
#include <string>

#include "calculator_run.h"
#include "geometry/task_file.h"
#include "series/wageningen_b.h"

using namespace korvanti;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string tasks[] = {
        fuzz::read_file(fuzz::source_path("examples/B4-55.TSK")),
        fuzz::read_file(fuzz::source_path("examples/B3-50.TSK")),
    };
    fuzz::scratch_dir();
    fuzz::write_file(b_series_data_file, fuzz::as_text(data, size));
    for (const std::string& task : tasks) {
        fuzz::write_file(task_file_name, task);
        fuzz::quiet_calculator_run();
    }
    return 0;
}
