#include "geometry/task_file.h"

#include <cmath>
#include <initializer_list>
#include <string>

namespace korvanti {

namespace {

// "inf" and "nan" read as numbers, but no step can work with them.
void require_finite(FreeFormatReader& task, std::initializer_list<float> values) {
    for (float value : values)
        if (!std::isfinite(value)) task.fail("sonlu bir sayi bekleniyordu (inf ya da nan olamaz)");
}

}  // namespace

void read_run_parameters(FreeFormatReader& task, BladeModel& model) {
    task.skip_lines(39);
    int series_number = 0;
    task.read("seri numarasi (tamsayi)", series_number);
    if (series_number < 1 || series_number > 7)
        task.fail("seri numarasi 1 ile 7 arasinda olmali, okunan " + std::to_string(series_number));
    model.series = static_cast<Series>(series_number);
    task.skip_lines(2);
    task.read("kanat sayisi Z (tamsayi) ve acinim alani orani Ear", model.blade_count,
              model.area_ratio);
    if (model.blade_count < 1) task.fail("kanat sayisi Z en az 1 olmali");
    if (model.blade_count > max_blade_count)
        task.fail("kanat sayisi Z en cok " + std::to_string(max_blade_count) +
                  " olabilir, okunan " + std::to_string(model.blade_count));
    require_finite(task, {model.area_ratio});
    if (!(model.area_ratio > 0.0f)) task.fail("acinim alani orani Ear sifirdan buyuk olmali");
    task.skip_lines(3);
    task.read("pervane yonu (sol el icin 0.5'ten kucuk bir sayi)", model.handedness);
    require_finite(task, {model.handedness});
    task.skip_lines(2);
    task.read("hatve-cap orani P/D ve pervane capi D (m)", model.pitch_ratio, model.diameter);
    require_finite(task, {model.pitch_ratio, model.diameter});
    if (!(model.pitch_ratio > 0.0f)) task.fail("hatve-cap orani P/D sifirdan buyuk olmali");
    if (!(model.diameter > 0.0f)) task.fail("pervane capi D sifirdan buyuk olmali");
}

void read_report_parameters(FreeFormatReader& task, BladeModel& model) {
    task.skip_lines(6);
    task.read("burun-kuyruk secenegi (tamsayi)", model.nose_tail_option);
    task.skip_lines(9);
    int mode = 0;
    task.read("kesit raporu modu ve yaricap sayisi (iki tamsayi)", mode,
              model.section_report_radii);
    if (mode != 1 && mode != 2)
        task.fail("kesit raporu modu 1 ya da 2 olmali, okunan " + std::to_string(mode));
    model.section_report_mode = static_cast<ReportMode>(mode);
    if (model.section_report_mode == ReportMode::equally_spaced &&
        (model.section_report_radii < min_report_radii ||
         model.section_report_radii > max_report_radii))
        task.fail("mod 2 icin yaricap sayisi " + std::to_string(min_report_radii) + " ile " +
                  std::to_string(max_report_radii) + " arasinda olmali, okunan " +
                  std::to_string(model.section_report_radii));
}

}  // namespace korvanti
