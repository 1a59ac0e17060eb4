// Checks of the particulars shared by the table-held series routines.
#include "series/series_tables.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "filelayer/errors.h"

namespace korvanti {

std::string value_text(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

void reject_series_request(std::string_view series_name, const std::string& what) {
    throw InputError(" HATA: " + std::string(series_name) + " serisi: " + what);
}

void require_series_particulars(const BladeModel& model, std::string_view series_name,
                                bool reads_blade_count) {
    if (!(std::isfinite(model.diameter) && model.diameter > 0.0f))
        reject_series_request(
            series_name, "pervane capi D sifirdan buyuk olmali, D = " + value_text(model.diameter));
    if (!(std::isfinite(model.area_ratio) && model.area_ratio > 0.0f))
        reject_series_request(series_name, "acinim alani orani Ear sifirdan buyuk olmali, Ear = " +
                                               value_text(model.area_ratio));
    if (reads_blade_count && model.blade_count < 1)
        reject_series_request(
            series_name, "kanat sayisi Z en az 1 olmali, Z = " + std::to_string(model.blade_count));
}

void require_area_ratio_within(const BladeModel& model, std::string_view series_name, float low,
                               float high) {
    if (!(model.area_ratio >= low && model.area_ratio <= high))
        reject_series_request(
            series_name, "acinim alani orani Ear = " + value_text(model.area_ratio) +
                             " tablolarin disinda (" + value_text(low) + " - " + value_text(high) +
                             ")");
}

}  // namespace korvanti
