#include "geometry/task_file.h"

#include <cmath>
#include <string>

namespace korvanti {

namespace {

// "inf" and "nan" read as numbers, but no step can work with them.
constexpr const char* not_finite = "sonlu bir sayi bekleniyordu (inf ya da nan olamaz)";

void fail_on(FreeFormatReader& task, const std::string& problem) {
    if (!problem.empty()) task.fail(problem);
}

}  // namespace

std::string series_number_problem(int series_number) {
    if (series_number < 1 || series_number > 7)
        return "seri numarasi 1 ile 7 arasinda olmali, okunan " + std::to_string(series_number);
    return {};
}

std::string blades_and_area_problem(int blade_count, float area_ratio) {
    if (blade_count < 1) return "kanat sayisi Z en az 1 olmali";
    if (blade_count > max_blade_count)
        return "kanat sayisi Z en cok " + std::to_string(max_blade_count) + " olabilir, okunan " +
               std::to_string(blade_count);
    if (!std::isfinite(area_ratio)) return not_finite;
    if (!(area_ratio > 0.0f)) return "acinim alani orani Ear sifirdan buyuk olmali";
    return {};
}

std::string handedness_problem(float handedness) {
    return std::isfinite(handedness) ? std::string() : not_finite;
}

std::string pitch_and_diameter_problem(float pitch_ratio, float diameter) {
    if (!std::isfinite(pitch_ratio) || !std::isfinite(diameter)) return not_finite;
    if (!(pitch_ratio > 0.0f)) return "hatve-cap orani P/D sifirdan buyuk olmali";
    if (!(diameter > 0.0f)) return "pervane capi D sifirdan buyuk olmali";
    return {};
}

std::string report_mode_problem(int mode, int radii) {
    if (mode != 1 && mode != 2)
        return "kesit raporu modu 1 ya da 2 olmali, okunan " + std::to_string(mode);
    if (mode == 2 && (radii < min_report_radii || radii > max_report_radii))
        return "mod 2 icin yaricap sayisi " + std::to_string(min_report_radii) + " ile " +
               std::to_string(max_report_radii) + " arasinda olmali, okunan " +
               std::to_string(radii);
    return {};
}

void read_run_parameters(FreeFormatReader& task, BladeModel& model) {
    task.skip_lines(39);
    int series_number = 0;
    task.read("seri numarasi (tamsayi)", series_number);
    fail_on(task, series_number_problem(series_number));
    model.series = static_cast<Series>(series_number);
    task.skip_lines(2);
    task.read("kanat sayisi Z (tamsayi) ve acinim alani orani Ear", model.blade_count,
              model.area_ratio);
    fail_on(task, blades_and_area_problem(model.blade_count, model.area_ratio));
    task.skip_lines(3);
    task.read("pervane yonu (sol el icin 0.5'ten kucuk bir sayi)", model.handedness);
    fail_on(task, handedness_problem(model.handedness));
    task.skip_lines(2);
    task.read("hatve-cap orani P/D ve pervane capi D (m)", model.pitch_ratio, model.diameter);
    fail_on(task, pitch_and_diameter_problem(model.pitch_ratio, model.diameter));
}

void read_report_parameters(FreeFormatReader& task, BladeModel& model) {
    task.skip_lines(6);
    task.read("burun-kuyruk secenegi (tamsayi)", model.nose_tail_option);
    task.skip_lines(9);
    int mode = 0;
    task.read("kesit raporu modu ve yaricap sayisi (iki tamsayi)", mode,
              model.section_report_radii);
    fail_on(task, report_mode_problem(mode, model.section_report_radii));
    model.section_report_mode = static_cast<ReportMode>(mode);
}

}  // namespace korvanti
