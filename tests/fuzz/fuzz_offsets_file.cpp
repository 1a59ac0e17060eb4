// Fuzz target: PEROF.SON as the post-processing reads it back, followed by
// the whole post-processing (section report, surfaces, hub mesh, exports,
// PERVDAT) for a right-hand blade in report mode 1 and a left-hand blade in
// report mode 2.
#include <sstream>
#include <string>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "fuzz_support.h"
#include "model/blade_model.h"
#include "reports/offsets_file.h"
#include "reports/post_processing.h"

using namespace korvanti;

namespace {

BladeModel post_model(int mode, int radii, int blade_count, float handedness) {
    BladeModel model;
    model.series = Series::wageningen_b;
    model.blade_count = blade_count;
    model.area_ratio = 0.55f;
    model.handedness = handedness;
    model.pitch_ratio = 1.0f;
    model.diameter = 2.0f;
    model.section_report_mode = static_cast<ReportMode>(mode);
    model.section_report_radii = radii;
    return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const BladeModel models[] = {post_model(1, 11, 4, 1.0f), post_model(2, 11, 5, 0.0f)};
    fuzz::scratch_dir();
    const std::string offsets_text(fuzz::as_text(data, size));
    fuzz::NullStream out;
    std::istringstream keyboard;
    Console quiet(out, keyboard);
    for (const BladeModel& model : models) {
        try {
            fuzz::NullStream result;
            run_post_processing(model, offsets_text, result, quiet);
        } catch (const InputError&) {
        } catch (const RunStop&) {
        }
    }
    return 0;
}
