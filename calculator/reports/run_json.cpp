// Korvanti.json written with nlohmann-json. Every real of the run is a float;
// it is written as the shortest decimal that reads back as that float (so
// 0.55f appears as 0.55, not as the digits of the double nearest to it).
#include "reports/run_json.h"

#include <charconv>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>

#include "reports/offsets_file.h"

namespace korvanti {

namespace {

using nlohmann::ordered_json;

// The shortest decimal of the float, as the double that prints as it.
double decimal(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}

const char* series_name(Series series) {
    switch (series) {
        case Series::wageningen_b:
            return "B";
        case Series::wageningen_ka:
            return "Ka";
        case Series::wageningen_kc:
            return "Kc";
        case Series::kc101_gawn:
            return "KC101";
        case Series::gawn:
            return "Gawn";
        case Series::newton_rader:
            return "NR";
        case Series::au:
            return "AU";
    }
    return "";
}

ordered_json units() {
    return {{"length", "m"},
            {"angle", "deg"},
            {"area", "m2"},
            {"volume", "m3"},
            {"mass", "kg"},
            {"density", "kg/m3"},
            {"moment_of_inertia", "kg*m2"},
            {"ratios", "1 (r/R, P/D, fractions of the chord)"}};
}

ordered_json particulars(const BladeModel& m) {
    return {{"series_number", static_cast<int>(m.series)},
            {"series", series_name(m.series)},
            {"series_label", m.series_label},
            {"blade_count", m.blade_count},
            {"area_ratio", decimal(m.area_ratio)},
            {"pitch_ratio", decimal(m.pitch_ratio)},
            {"diameter_m", decimal(m.diameter)},
            {"hand", m.left_hand() ? "left" : "right"},
            {"rake_angle_deg", decimal(m.rake_angle)},
            {"nose_tail_option", m.nose_tail_option},
            {"section_report_mode", static_cast<int>(m.section_report_mode)},
            {"section_report_radii", m.section_report_radii}};
}

// One station from its values and its section (point 1 the trailing edge).
struct StationValues {
    float r, c, P, xs, iT, tm, b_fraction, skew_deg;
    int points;
    View1<const float> xc, yb, yf;
};

ordered_json station(const StationValues& s, float diameter) {
    ordered_json x = ordered_json::array(), back = ordered_json::array(),
                 face = ordered_json::array();
    for (int j = 1; j <= s.points; ++j) {
        x.push_back(decimal(s.xc(j)));
        back.push_back(decimal(s.yb(j)));
        face.push_back(decimal(s.yf(j)));
    }
    ordered_json value = {{"r_m", decimal(s.r)},
                          {"r_R", decimal(s.r / (diameter / 2.0f))},
                          {"chord_m", decimal(s.c)},
                          {"pitch_m", decimal(s.P)},
                          {"pitch_ratio", decimal(s.P / diameter)},
                          {"skew_shift_m", decimal(s.xs)},
                          {"skew_angle_deg", decimal(s.skew_deg)},
                          {"rake_m", decimal(s.iT)},
                          {"max_thickness_m", decimal(s.tm)}};
    if (s.b_fraction >= 0.0f) value["max_thickness_position"] = decimal(s.b_fraction);
    value["offsets"] = {{"x_m", x}, {"back_m", back}, {"face_m", face}};
    return value;
}

ordered_json stations(const BladeModel& m, const std::vector<float>& skew, const BladeMass& mass) {
    ordered_json list = ordered_json::array();
    for (int i = 1; i <= m.station_count; ++i) {
        ordered_json s = station(
            {m.r(i), m.c(i), m.P(i), m.skew_shift(i), m.iT(i), m.tm(i), m.b_fraction(i),
             skew[static_cast<size_t>(i)], m.point_count, m.xc.row(i), m.yb.row(i), m.yf.row(i)},
            m.diameter);
        s["section_area_m2"] = decimal(mass.A(i));
        list.push_back(std::move(s));
    }
    return list;
}

ordered_json root_station(const BladeModel& m, const RootStation& root, float skew) {
    // The root station has no position of the maximum thickness of its own.
    return station({root.r, root.c, root.P, root.xs, root.iT, root.tm, -1.0f, skew, m.point_count,
                    root.xc.view(), root.yb.view(), root.yf.view()},
                   m.diameter);
}

ordered_json hub_profile(const HubProfile& hub) {
    ordered_json x = ordered_json::array(), radius = ordered_json::array();
    for (int k = 1; k <= hub.count; ++k) {
        x.push_back(decimal(hub.x(k)));
        radius.push_back(decimal(hub.rH(k)));
    }
    return {{"x_m", x}, {"radius_m", radius}};
}

ordered_json blade(const BladeMass& mass) {
    return {{"density_kg_m3", decimal(blade_density)},
            {"volume_m3", decimal(mass.V)},
            {"mass_kg", decimal(mass.m)},
            {"mass_strip_sum_kg", decimal(mass.m_sum)},
            {"centroid_radius_m", decimal(mass.Zc)},
            {"inertia_shaft_axis_kg_m2", decimal(mass.Iox)},
            {"inertia_strip_sum_kg_m2", decimal(mass.I_sum)}};
}

}  // namespace

std::string run_json_text(const RunResult& run) {
    const BladeModel& m = run.model;
    const std::vector<float> skew = summary_skew_angles(m, run.ends.root);
    ordered_json doc;
    doc["format"] = "korvanti-run";
    doc["format_version"] = 1;
    doc["program"] = "Korvanti";
    doc["version"] = run.version;
    doc["units"] = units();
    doc["particulars"] = particulars(m);
    doc["stations"] = stations(m, skew, run.mass);
    doc["root_station"] = has_root_station(m.series) ? root_station(m, run.ends.root, skew[0])
                                                     : ordered_json(nullptr);
    doc["hub_profile"] = hub_profile(run.ends.hub);
    doc["blade"] = blade(run.mass);
    doc["files"] = run.files;
    return doc.dump(1) + "\n";
}

}  // namespace korvanti
