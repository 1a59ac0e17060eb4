// Series driver: range checks of the three-bladed series, the series routine,
// pitch (with the root reduction of the four-bladed B-series), the optional
// rotation of every section onto its nose-tail line with the matching change
// of pitch angle, and the printed geometry and offset tables.
#include "geometry/series_driver.h"

#include <array>
#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/record.h"
#include "geometry/task_file.h"
#include "series/kc101_gawn.h"
#include "series/series_routines.h"
#include "series/wageningen_b.h"

namespace korvanti {

namespace {

constexpr float pi = 3.1415927f;
constexpr int label_length = 25;

using SeriesRoutine = void (*)(BladeModel&, SeriesStations&, Console&);

struct SeriesEntry {
    const char* label_name;
    SeriesRoutine routine;
    const char* title;  // geometry table heading, one value: Z + Ear or Ear
    bool title_with_blade_count;
};

constexpr std::array<SeriesEntry, 7> series_table = {{
    {" WAGENINGEN B", wageningen_b_series,
     "(9X,'WAGENINGEN B ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D     b/D  "
     "  P/D  theta    iT/D    tm/D')",
     true},
    {" WAGENINGEN Ka", [](BladeModel& m, SeriesStations& s, Console&) { ka_series(m, s); },
     "(9X,'WAGENINGEN NOZULLU Ka ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D "
     "    b/D    P/D  theta    iT/D    tm/D')",
     true},
    {" WAGENINGEN Kc", [](BladeModel& m, SeriesStations& s, Console&) { kc_series(m, s); },
     "(9X,'WAGENINGEN NOZULLU Kc ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D "
     "    b/D    P/D  theta    iT/D    tm/D')",
     true},
    {" KC101 - GAWN", kc101_gawn_series,
     "(2X,'KC101 - GAWN/BURRILL - Ear = ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D  "
     "   a/D     b/D    P/D  theta    iT/D    tm/D')",
     false},
    {" GAWN", [](BladeModel& m, SeriesStations& s, Console&) { gawn_series(m, s); },
     "(9X,' GAWN - Ear = ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D     b/D "
     "   P/D  theta    iT/D    tm/D')",
     false},
    {" NR", [](BladeModel& m, SeriesStations& s, Console&) { newton_rader_series(m, s); },
     "(9X,' NR - Ear = ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D     b/D   "
     " P/D  theta    iT/D    tm/D')",
     false},
    {" AU(MAU)", [](BladeModel& m, SeriesStations& s, Console&) { au_series(m, s); },
     "(9X,'AU(MAU) ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D     b/D    "
     "P/D  theta    iT/D    tm/D')",
     true},
}};

// A formatted record on the console, line by line.
void console_record(Console& console, std::string_view format,
                    std::initializer_list<RecordValue> values = {}) {
    std::istringstream lines(format_record(format, values));
    for (std::string line; std::getline(lines, line);) console.line(line);
}

void console_lines(Console& console, std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) console.line(line);
}

[[noreturn]] void pause_and_stop(Console& console) {
    console.pause();
    console.stop();
}

// Series 4, 5 and 6 cover a limited range of area (and pitch) ratios.
void check_series_range(const BladeModel& model, Console& console) {
    const float ear = model.area_ratio;
    const float pd = model.pitch_ratio;
    switch (model.series) {
        case Series::kc101_gawn:
            if (ear < 0.5f || ear > 1.1f) {
                console_record(console, "(//)");
                console_lines(console, {" KC101-GAWN SERISI PERVANELERIN ACINIM ALANI ORANLARI",
                                        " Ear=0.50-1.1 ARASINDA DEGISMEKTEDIR.",
                                        " Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP"});
                pause_and_stop(console);
            }
            break;
        case Series::gawn:
            if (ear < 0.2f || ear > 1.1f) {
                console_record(console, "(//)");
                console_lines(console, {" GAWN SERISI PERVANELERIN ACINIM ALANI ORANLARI",
                                        " Ear=0.20-1.1 ARASINDA DEGISMEKTEDIR.",
                                        " Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP"});
                pause_and_stop(console);
            }
            break;
        case Series::newton_rader:
            if (ear < 0.48f || ear > 0.95f) {
                console_record(console, "(//)");
                console_lines(console, {" NEWTON-RADER SERISI PERVANELERIN ACINIM ALANLARI",
                                        " Ear=0.48, 0.71, 0.95 DIR. ",
                                        " Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP"});
                pause_and_stop(console);
            }
            if (pd < 1.04f || pd > 2.08f) {
                console_record(console, "(//)");
                console_lines(
                    console,
                    {" NEWTON-RADER SERISI PERVANELERIN PIC IRANLARI",
                     "  Ear      Yuz pici orani -  P/D ", " 0.48     1.05  1.26  1.67  2.08 ",
                     " 0.71     1.05  1.25  1.66  2.06 ", " 0.95     1.04  1.24  1.65  2.04 ", "",
                     " P/D DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP"});
                pause_and_stop(console);
            }
            break;
        default:
            break;
    }
}

// The AU table for information, then one confirmation answer. An empty line
// is no answer; end of input ends the wait. The answer changes nothing.
void confirm_au_values(const BladeModel& model, Console& console) {
    console_record(console, "(//)");
    console_lines(console, {"        AU(MAU) SERISI PERVANELERIN OZELLIKLERI",
                            " Z   :      4             5            6            7",
                            " P/D : 0.5,0.6,0.8   0.4,0.6,0.8  0.5,0.7,0.9      0.8",
                            " P/D : 1.0,1.2       1.0,1.2      1.1",
                            " EAR : 0.40 , 0.55   0.50 , 0.65      0.7       0.55,0.65,0.758",
                            " Rake: 10.0 , 0.0    10.0 , 0.0   10.0 , 0.0      10.0   , 0.0", "",
                            "       Mevcut Pervane Degerleri"});
    console_record(console,
                   "(6X,'Z =',I2,'; P/D =',F4.2,'; Ear =',F5.3,6X,"
                   "'Mevcut Pervane Degerlerini Onayliyor musun? (E/H)')",
                   {model.blade_count, model.pitch_ratio, model.area_ratio});
    std::string answer;
    while (console.keyboard_line(answer)) {
        if (answer.find_first_not_of(" \t") != std::string::npos) break;
    }
}

// The series name followed by Z + Ear in F6.3, padded to 25 characters.
std::string make_series_label(const char* name, const BladeModel& model) {
    std::string value =
        format_record("(F6.3)", {static_cast<float>(model.blade_count) + model.area_ratio});
    if (!value.empty() && value.back() == '\n') value.pop_back();
    std::string label = std::string(name) + value;
    label.resize(label_length, ' ');
    return label;
}

void check_series_counts(const SeriesStations& st) {
    if (st.station_count < 4 || st.station_count > max_stations || st.point_count < 3 ||
        st.point_count > max_points)
        throw InputError(" HATA: seri yordami " + std::to_string(st.station_count) +
                         " istasyon ve " + std::to_string(st.point_count) +
                         " kesit noktasi verdi; 4-30 istasyon ve 3-30 nokta gerekir");
}

// Nominal pitch everywhere; the four-bladed B-series is unloaded at the root.
void set_pitch(BladeModel& model, int station_count) {
    for (int i = 1; i <= station_count; ++i) model.P(i) = model.diameter * model.pitch_ratio;
    if (model.series == Series::wageningen_b && model.blade_count == 4) {
        model.P(1) = 0.822f * model.P(1);
        model.P(2) = 0.887f * model.P(2);
        model.P(3) = 0.95f * model.P(3);
        model.P(4) = 0.992f * model.P(4);
    }
}

// Turns every section by the angle alpha of its nose-tail line so that the
// line becomes the chord, adds alpha to the pitch angle, and lets the mean
// line start at 0 at the trailing edge. The abscissae stay as they are.
void apply_nose_tail_line(BladeModel& model, SeriesStations& st) {
    const int np = st.point_count;
    for (int i = 1; i <= st.station_count; ++i) {
        const float m1 = (st.yb(i, 1) + st.yf(i, 1)) / 2.0f;
        const float mN = (st.yb(i, np) + st.yf(i, np)) / 2.0f;
        const float alpha = std::atan2(mN - m1, st.xc(i, np) - st.xc(i, 1));
        const float cs = std::cos(-alpha);
        const float sn = std::sin(-alpha);
        const float phi = std::atan2(model.P(i), 2.0f * pi * st.r(i));
        model.P(i) = 2.0f * pi * st.r(i) * std::tan(phi + alpha);
        for (int j = 1; j <= np; ++j) {
            const float x = st.xc(i, j);
            st.yf(i, j) = cs * st.yf(i, j) + sn * x;
            st.yb(i, j) = cs * st.yb(i, j) + sn * x;
        }
        const float m1_turned = (st.yb(i, 1) + st.yf(i, 1)) / 2.0f;
        for (int j = 1; j <= np; ++j) {
            st.yb(i, j) = st.yb(i, j) - m1_turned;
            st.yf(i, j) = st.yf(i, j) - m1_turned;
        }
    }
}

void copy_into_model(const SeriesStations& st, BladeModel& model) {
    model.station_count = st.station_count;
    model.point_count = st.point_count;
    for (int i = 1; i <= st.station_count; ++i) {
        model.r(i) = st.r(i);
        model.skew_shift(i) = st.skew_shift(i);
        model.iT(i) = st.iT(i);
        for (int j = 1; j <= st.point_count; ++j) {
            model.xc(i, j) = st.xc(i, j);
            model.yf(i, j) = st.yf(i, j);
            model.yb(i, j) = st.yb(i, j);
        }
    }
    for (int i = 1; i <= st.station_count; ++i)
        model.c(i) = model.xc(i, st.point_count) - model.xc(i, 1);
}

void write_geometry_table(const BladeModel& model, const SeriesEntry& series,
                          std::ostream& result) {
    const float D = model.diameter;
    const float title_value = series.title_with_blade_count
                                  ? static_cast<float>(model.blade_count) + model.area_ratio
                                  : model.area_ratio;
    write_record(result, series.title, {title_value});
    for (int i = 1; i <= model.station_count; ++i) {
        const float c_D = model.c(i) / D;
        const float phi = std::atan2(model.P(i), 2.0f * pi * model.r(i));
        // Skew angle (xs/r)·cos φ·180/π, evaluated from the left.
        const float theta = (model.skew_shift(i) / model.r(i)) * std::cos(phi) * 180.0f / pi;
        write_record(
            result, "(F5.3,2X,3(F6.4,2X),F5.3,2X,F5.1,2X,F6.3,2X,F6.4)",
            {model.r(i) / (0.5f * D), c_D, c_D * model.a_fraction(i), model.b_fraction(i) * c_D,
             model.P(i) / D, theta, model.iT(i) / D, model.tm(i) / D});
    }
    write_record(result, "(59('='))");
}

void write_legend(std::ostream& result) {
    constexpr std::array<std::string_view, 20> lines = {
        "",
        "",
        "",
        " .......  ACIKLAMALAR ........",
        "",
        " D     = Pervane Capi",
        " P/D   = Pervane Hatve-Cap Orani",
        " theta = Skew Acisi(derece)",
        " iT    = Rake (geriye +)",
        " a     = r yaricapinda onder kenar ile doguray hatti",
        "         arasindaki uzaklik",
        " b     = r yaricapinda onder kenar ile maximum kalin_",
        "         ligin yeri arasindaki arasindaki uzaklik",
        " c     = r yaricapinda kesit kort boyu",
        " tm    = r yaricapinda kanat kesit maximum kalinligi",
        " xc    = kesit apsis degerleri (takip kenarindan)",
        " yf    = kesit yuz ordinati (face/pressure side)",
        " yb    = kesit sirt ordinati (back/suction side)",
        "",
        "    Not: Tum uzunluklar metre (m) cinsinden alimistir",
    };
    for (std::string_view line : lines) write_line(result, line);
}

}  // namespace

// Three rows (xc, yb, yf) per point. The model itself stays right-handed.
void write_offset_table(const BladeModel& model, std::ostream& result) {
    const int n = model.station_count;
    const float hand = model.left_hand() ? -1.0f : 1.0f;
    write_record(result, model.left_hand() ? "(/,16X,'PERVANE OFSETI - SOL PERVANE')"
                                           : "(/,16X,'PERVANE OFSETI - SAG PERVANE')");
    const char* rule = model.series == Series::wageningen_b    ? "(90('='))"
                       : model.series == Series::wageningen_ka ? "(74('='))"
                                                               : nullptr;
    const char* point_rule = model.series == Series::wageningen_b    ? "(90('-'))"
                             : model.series == Series::wageningen_ka ? "(74('-'))"
                                                                     : nullptr;
    std::vector<RecordValue> row;
    if (rule) write_record(result, rule);
    for (int i = 1; i <= n; ++i) row.emplace_back(model.r(i) / (0.5f * model.diameter));
    write_record(result, "('r/R',20(F7.4,1X))", row);
    if (rule) write_record(result, rule);
    for (int j = 1; j <= model.point_count; ++j) {
        row.clear();
        for (int i = 1; i <= n; ++i) row.emplace_back(hand * model.xc(i, j));
        write_record(result, "('xc',1X,20(F7.4,1X))", row);
        row.clear();
        for (int i = 1; i <= n; ++i) row.emplace_back(model.yb(i, j));
        write_record(result, "('yb',1X,20(F7.4,1X))", row);
        row.clear();
        for (int i = 1; i <= n; ++i) row.emplace_back(model.yf(i, j));
        write_record(result, "('yf',1X,20(F7.4,1X))", row);
        if (point_rule) write_record(result, point_rule);
    }
}

void run_series_driver(BladeModel& model, FreeFormatReader& task, std::ostream& result,
                       Console& console) {
    const SeriesEntry& series =
        series_table.at(static_cast<size_t>(static_cast<int>(model.series) - 1));
    SeriesStations stations;

    if (model.series == Series::au)
        confirm_au_values(model, console);
    else
        check_series_range(model, console);
    model.series_label = make_series_label(series.label_name, model);
    series.routine(model, stations, console);
    check_series_counts(stations);
    set_pitch(model, stations.station_count);
    if (is_three_bladed(model.series) && model.blade_count != 3) model.blade_count = 3;

    read_report_parameters(task, model);
    if (model.nose_tail_option == 1) apply_nose_tail_line(model, stations);
    console.line("");
    copy_into_model(stations, model);

    write_geometry_table(model, series, result);
    write_offset_table(model, result);
    write_legend(result);
}

}  // namespace korvanti
