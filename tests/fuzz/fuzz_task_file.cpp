// Fuzz target: the task file Korvanti.TSK, through the whole calculator run
// (task lines, series, offsets file, post-processing, mass report), with the
// real WAGBPROP.DAT beside it. Input errors and orderly stops are expected
// ends; anything else that escapes the run is a fault.
#include "calculator_run.h"
#include "geometry/task_file.h"
#include "series/wageningen_b.h"

using namespace korvanti;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        fuzz::scratch_dir();
        fuzz::write_file(b_series_data_file,
                         fuzz::read_file(fuzz::source_path("data/WAGBPROP.DAT")));
        return true;
    }();
    (void)ready;
    fuzz::write_file(task_file_name, fuzz::as_text(data, size));
    fuzz::quiet_calculator_run();
    return 0;
}
