// Wageningen B-series blade geometry after Oosterveld and van Oossanen (1975)
// and Kuiper (1992): chord c = K·D·Ear/Z, generator line and maximum
// thickness at a/c and b/c of the chord from the leading edge, thickness
// t/D = Ar - Br·Z, face and back from the ordinate functions V1 and V2 of the
// chordwise position, 15 degrees of rake. The skew of the three tip stations
// is carried on by the parabola through the three stations inside each.
#include "series/wageningen_b.h"

#include <array>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/freeformat.h"
#include "numeric/local_interpolation.h"
#include "numeric/quadratic.h"

namespace korvanti {

namespace {

constexpr int min_b_stations = 6;  // the tip skew step needs three stations inside the last three
constexpr int max_b_stations = 12;
constexpr int max_v1_rows = 10;
constexpr int max_v2_rows = 12;
constexpr int trailing_columns = 9;  // V1, V2 columns from the trailing edge to the max thickness
constexpr int leading_columns = 10;  // and from the max thickness to the leading edge
constexpr int max_thickness_point = trailing_columns + 1;
constexpr int section_points = trailing_columns + 1 + leading_columns;

// Chordwise positions of the section points: trailing edge -1, maximum
// thickness 0, leading edge +1.
constexpr std::array<float, section_points> position = {
    -1.0f, -0.95f, -0.9f, -0.8f, -0.7f, -0.6f, -0.5f, -0.4f, -0.2f, 0.0f,
    0.2f,  0.4f,   0.5f,  0.6f,  0.7f,  0.8f,  0.85f, 0.9f,  0.95f, 1.0f};

// Edge thickness as a fraction of the maximum thickness, against r/R.
constexpr std::array<float, 10> edge_radius = {0.15f, 0.2f, 0.3f, 0.4f, 0.5f,
                                               0.6f,  0.7f, 0.8f, 0.9f, 1.0f};
constexpr std::array<float, 10> trailing_edge_fraction = {0.057f, 0.057f, 0.068f, 0.075f, 0.085f,
                                                          0.1f,   0.12f,  0.152f, 0.245f, 0.245f};
constexpr std::array<float, 10> leading_edge_fraction = {0.12f,  0.12f,  0.124f, 0.127f, 0.13f,
                                                         0.134f, 0.143f, 0.17f,  0.245f, 0.245f};

View1<const float> table_view(const std::array<float, 10>& table) {
    return View1<const float>(table.data(), static_cast<int>(table.size()));
}

// Blade dimensions, one row per station from the root to the tip.
struct BladeRows {
    int count = 0;
    Array1<float, max_b_stations> x, K, a_c, b_c, Ar, Br;  // x = r/R
};

// An ordinate function V1 or V2: rows by r/R increasing (the file has them
// from the tip inwards), one column per section point.
struct OrdinateTable {
    int rows = 0;
    Array1<float, max_v2_rows> x;                      // r/R
    Array2<float, section_points, max_v2_rows> value;  // (point j, row k)
};

struct BSeriesTables {
    BladeRows blade;
    OrdinateTable V1, V2;
};

std::string block_name(int block) { return "blok " + std::to_string(block); }

void read_count(FreeFormatReader& in, int block, const std::string& what, int& count, int low,
                int high) {
    in.read(block_name(block) + ": " + what + " (tamsayi)", count);
    if (count < low || count > high)
        in.fail(block_name(block) + ": " + what + " " + std::to_string(low) + " ile " +
                std::to_string(high) + " arasinda olmali, okunan " + std::to_string(count));
}

// `check_thickness` is set for the block that the blade count uses: its
// thickness Ar - Br·Z must stay positive at every station.
void read_blade_rows(FreeFormatReader& in, int block, int count, int blade_count,
                     bool check_thickness, BladeRows& rows) {
    rows.count = count;
    const std::string name = block_name(block);
    for (int i = 1; i <= count; ++i) {
        in.read(name + ": istasyon satiri (r/R, K, a/c, b/c, Ar, Br)", rows.x(i), rows.K(i),
                rows.a_c(i), rows.b_c(i), rows.Ar(i), rows.Br(i));
        if (i > 1 && !(rows.x(i) > rows.x(i - 1)))
            in.fail(name + ": istasyonlarin r/R degerleri kokten uca artmali");
        if (i < count && !(rows.K(i) > 0.0f))
            in.fail(name + ": kort katsayisi K sifirdan buyuk olmali (yalniz uc istasyonunda 0)");
        if (check_thickness && !(rows.Ar(i) - rows.Br(i) * static_cast<float>(blade_count) > 0.0f))
            in.fail(name + ": Z = " + std::to_string(blade_count) +
                    " icin kalinlik Ar - Br*Z sifir ya da negatif");
    }
}

// The trailing-edge side: per row r/R and the values of points 1 to 9.
void read_trailing_side(FreeFormatReader& in, int block, const std::string& table, int rows,
                        OrdinateTable& t) {
    t.rows = rows;
    for (int n = 1; n <= rows; ++n) {
        const int k = rows + 1 - n;
        std::vector<FreeFormatReader::Target> targets{&t.x(k)};
        for (int j = 1; j <= trailing_columns; ++j) targets.emplace_back(&t.value(j, k));
        in.read_targets(block_name(block) + ": " + table + " satiri (r/R ve takip kenari " +
                            "tarafindaki " + std::to_string(trailing_columns) + " deger)",
                        targets);
        if (n > 1 && !(t.x(k) < t.x(k + 1)))
            in.fail(block_name(block) + ": " + table + " satirlari r/R azalarak siralanmali");
    }
}

// The leading-edge side: per row the values of points 11 to 20; the point of
// maximum thickness in between takes `at_max_thickness`.
void read_leading_side(FreeFormatReader& in, int block, const std::string& table,
                       float at_max_thickness, OrdinateTable& t) {
    for (int n = 1; n <= t.rows; ++n) {
        const int k = t.rows + 1 - n;
        std::vector<FreeFormatReader::Target> targets;
        for (int j = max_thickness_point + 1; j <= section_points; ++j)
            targets.emplace_back(&t.value(j, k));
        in.read_targets(block_name(block) + ": " + table + " satiri (onder kenar tarafindaki " +
                            std::to_string(leading_columns) + " deger)",
                        targets);
        t.value(max_thickness_point, k) = at_max_thickness;
    }
}

void read_tables(const std::string& path, int blade_count, BSeriesTables& tables,
                 Console& console) {
    std::ifstream file(path);
    if (!file)
        throw InputError(std::string(" HATA: ") + b_series_data_file +
                         " dosyasi calisma dizininde bulunamadi ya da okunamadi");
    // A copy from elsewhere is named on the console; errors name it in full.
    if (path != b_series_data_file)
        console.line(" WAGBPROP.DAT CALISMA DIZININDE YOK; OKUNAN DOSYA: " + path);
    FreeFormatReader in(file, path);
    const bool three_bladed = blade_count == 3;

    int n1 = 0;
    read_count(in, 1, "istasyon sayisi N1", n1, min_b_stations, max_b_stations);
    read_blade_rows(in, 1, n1, blade_count, !three_bladed, tables.blade);

    int n2 = 0;
    int n3 = 0;
    in.read(block_name(2) + ": V1 satir sayisi N2 ve takip kenari sutun sayisi N3 (iki tamsayi)",
            n2, n3);
    if (n2 < 3 || n2 > max_v1_rows)
        in.fail(block_name(2) + ": V1 satir sayisi N2 3 ile " + std::to_string(max_v1_rows) +
                " arasinda olmali, okunan " + std::to_string(n2));
    if (n3 != trailing_columns)
        in.fail(block_name(2) + ": takip kenari sutun sayisi N3 " +
                std::to_string(trailing_columns) + " olmali, okunan " + std::to_string(n3));
    read_trailing_side(in, 2, "V1", n2, tables.V1);
    int n4 = 0;
    read_count(in, 2, "onder kenar sutun sayisi N4", n4, leading_columns, leading_columns);
    read_leading_side(in, 2, "V1", 0.0f, tables.V1);

    int n5 = 0;
    read_count(in, 3, "V2 satir sayisi N5", n5, 3, max_v2_rows);
    read_trailing_side(in, 3, "V2", n5, tables.V2);
    read_leading_side(in, 3, "V2", 1.0f, tables.V2);

    if (three_bladed) read_blade_rows(in, 4, n1, blade_count, true, tables.blade);
}

// Chord, generator line, thickness and abscissae of station i.
void build_station(const BladeRows& rows, int i, BladeModel& model, SeriesStations& st) {
    constexpr float pi_rake = 3.14159f;
    const float Z = static_cast<float>(model.blade_count);
    const float D = model.diameter;
    const float x = rows.x(i);
    const float c = rows.K(i) * D * model.area_ratio / Z;
    const float a = rows.a_c(i) * c;
    const float b = rows.b_c(i) * c;
    const float tm = (rows.Ar(i) - rows.Br(i) * Z) * D;
    st.r(i) = x * D / 2.0f;
    st.skew_shift(i) = a - c / 2.0f;
    st.iT(i) = std::tan(15.0f * pi_rake / 180.0f) * x * D / 2.0f;
    // The maximum thickness at s from the generator line; the trailing edge
    // lands at a - c, the leading edge at a.
    const float s = a - b;
    for (int j = 1; j <= max_thickness_point; ++j) st.xc(i, j) = (c - b) * position[j - 1] + s;
    for (int j = max_thickness_point + 1; j <= section_points; ++j)
        st.xc(i, j) = b * position[j - 1] + s;
    model.a_fraction(i) = rows.a_c(i);
    model.b_fraction(i) = rows.b_c(i);
    model.tm(i) = tm;
}

// The three tip stations take the skew of the parabola through the three
// stations inside each; earlier rounds feed the later ones.
void smooth_tip_skew(int n, SeriesStations& st) {
    for (int i = n - 2; i <= n; ++i) {
        float s = 0.0f;
        quadratic_through_three_points(st.r(i - 3), st.r(i - 2), st.r(i - 1), st.skew_shift(i - 3),
                                       st.skew_shift(i - 2), st.skew_shift(i - 1), st.r(i), s);
        const float mid_chord = (st.xc(i, section_points) + st.xc(i, 1)) / 2.0f;
        const float shift = s - mid_chord;
        for (int j = 1; j <= section_points; ++j) st.xc(i, j) = st.xc(i, j) + shift;
        st.skew_shift(i) = (st.xc(i, section_points) + st.xc(i, 1)) / 2.0f;
    }
}

// Face yf = (tm - te)·V1 and back yb = (tm - te)·(V1 + V2) + te, with te the
// edge thickness of the half of the section that holds the point. A radius
// outside a table keeps the value of the previous look-up.
void build_ordinates(const BSeriesTables& tables, const BladeModel& model, SeriesStations& st,
                     Console& console) {
    float V1 = 0.0f;
    float V2 = 0.0f;
    float f = 0.0f;
    for (int i = 1; i <= tables.blade.count; ++i) {
        const float x = tables.blade.x(i);
        const float tm = model.tm(i);
        for (int j = 1; j <= section_points; ++j) {
            three_point_interpolate(tables.V1.rows, tables.V1.x.view(), tables.V1.value.row(j), x,
                                    V1, 2, console);
            three_point_interpolate(tables.V2.rows, tables.V2.x.view(), tables.V2.value.row(j), x,
                                    V2, 2, console);
            const auto& edge =
                j <= max_thickness_point ? trailing_edge_fraction : leading_edge_fraction;
            three_point_interpolate(10, table_view(edge_radius), table_view(edge), x, f, 1,
                                    console);
            const float te = f * tm;
            st.yf(i, j) = (tm - te) * V1;
            st.yb(i, j) = (tm - te) * (V1 + V2) + te;
        }
    }
}

}  // namespace

void wageningen_b_series(BladeModel& model, SeriesStations& stations, Console& console) {
    BSeriesTables tables;
    read_tables(model.b_series_data_path, model.blade_count, tables, console);
    model.rake_angle = 15.0f;
    const int n = tables.blade.count;
    for (int i = 1; i <= n; ++i) build_station(tables.blade, i, model, stations);
    smooth_tip_skew(n, stations);
    build_ordinates(tables, model, stations, console);
    stations.point_count = section_points;
    stations.station_count = n;
}

}  // namespace korvanti
