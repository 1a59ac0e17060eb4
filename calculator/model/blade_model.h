// The blade geometry model: run parameters from the task file, the per-station
// values of the blade and the section offsets. Filled once per run, in order:
// task file, series routine, series driver, and the B-series tip section of
// the blade ends; read by every later step.
#pragma once

#include <string>

#include "common/one_based.h"

namespace korvanti {

inline constexpr int max_stations = 30;
inline constexpr int max_points = 30;

// The standard series, numbered as the task file names them.
enum class Series : int {
    wageningen_b = 1,
    wageningen_ka = 2,  // ducted
    wageningen_kc = 3,  // ducted
    kc101_gawn = 4,
    gawn = 5,
    newton_rader = 6,
    au = 7,
};

// The Wageningen blades end short of the hub: the offsets file starts with a
// station on the hub, extrapolated from the innermost three.
constexpr bool has_root_station(Series series) {
    return series == Series::wageningen_b || series == Series::wageningen_ka ||
           series == Series::wageningen_kc;
}

// KC101-Gawn, Gawn and Newton-Rader are three-bladed series.
constexpr bool is_three_bladed(Series series) {
    return series == Series::kc101_gawn || series == Series::gawn || series == Series::newton_rader;
}

// Where the interpolated section report is made: at the stations of the
// offsets file (1), or at equally spaced radii from the root to the tip (2).
enum class ReportMode : int { file_stations = 1, equally_spaced = 2 };

using StationArray = Array1<float, max_stations>;
using SectionTable = Array2<float, max_stations, max_points>;  // (station i, point j)

struct BladeModel {
    // Run parameters.
    Series series = Series::wageningen_b;
    int blade_count = 0;       // Z
    float area_ratio = 0.0f;   // Ear
    float handedness = 0.0f;   // below 0.5: left hand
    float pitch_ratio = 0.0f;  // P/D
    float diameter = 0.0f;     // D, metres
    float rake_angle = 0.0f;   // degrees
    int nose_tail_option = 0;
    ReportMode section_report_mode = ReportMode::file_stations;
    int section_report_radii = 0;
    std::string series_label;  // 25 characters
    // The B-series tables: WAGBPROP.DAT of the working directory, or the copy
    // the run driver found in its place when there is none.
    std::string b_series_data_path = "WAGBPROP.DAT";

    // Counts.
    int station_count = 0;  // N
    int point_count = 0;    // NP, the same for every station

    // Per station, root to tip.
    StationArray r;           // radius
    StationArray c;           // chord
    StationArray P;           // pitch
    StationArray skew_shift;  // mid-chord from the generator line, along the helix
    StationArray iT;          // rake, positive aft
    StationArray a_fraction;  // leading edge to generator line, / chord
    StationArray b_fraction;  // leading edge to max thickness, / chord
    StationArray tm;          // maximum thickness

    // Section offsets: point 1 trailing edge, point NP leading edge.
    SectionTable xc;  // abscissa from the generator line, + towards the leading edge
    SectionTable yb;  // back (suction side) ordinate
    SectionTable yf;  // face (pressure side) ordinate

    bool left_hand() const { return handedness < 0.5f; }
};

// What a series routine hands to the series driver: its stations and sections,
// kept apart from the model until the driver copies them in.
struct SeriesStations {
    int point_count = 0;    // NP
    int station_count = 0;  // NR
    SectionTable xc, yb, yf;
    StationArray r, skew_shift, iT;
};

}  // namespace korvanti
