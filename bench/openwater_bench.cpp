// Time of korvanti-openwater's two jobs, in process, with the data read once
// before the timing:
//   Selection/Keller   a selection over Z = 3..7 with Keller's area ratio
//                      (T = 250 kN, VA = 6 m/s, n = 150 rpm, D up to 3.5 m,
//                      the Reynolds correction on);
//   Selection/Power    the same with the power given and the diameter fixed;
//   Curves/B4-55       the table of one propeller at the step 0.01 with its
//                      operating point and highest efficiency (no files);
//   Curves/Ka4-70      the same for the ducted propeller.
// The targets are 20 ms of CPU time for the selection and 5 ms for the
// curves. Run with --benchmark_repetitions=N for medians.
#include <benchmark/benchmark.h>

#include "openwater/selection.h"

namespace {

using namespace korvanti::openwater;

const OpenWaterData& data() {
    static const OpenWaterData d = read_open_water_data(KORVANTI_SOURCE_DIR "/data/open-water");
    return d;
}

const ChordTable& chords() {
    static const ChordTable c = read_chord_table(KORVANTI_SOURCE_DIR "/data/WAGBPROP.DAT");
    return c;
}

void selection(benchmark::State& state, bool thrust_given) {
    Need need;
    need.thrust_given = thrust_given;
    need.value = thrust_given ? 250e3 : 2000e3;
    need.speed = 6;
    need.rpm_given = thrust_given;
    need.rps = 2.5;
    need.diameter = thrust_given ? 0 : 3.0;
    need.max_diameter = thrust_given ? 3.5 : 0;
    SelectionSettings s;
    s.blades = {3, 4, 5, 6, 7};
    s.immersion_known = true;
    s.cavitation = {true, 3.0, Screws::single};
    for (auto _ : state) benchmark::DoNotOptimize(select_propeller(data(), chords(), need, s));
}

void curves(benchmark::State& state, Propeller p) {
    for (auto _ : state) {
        const OpenWaterModel model(data(), p);
        const double rn =
            p.series == OpenWaterSeries::b
                ? reynolds_number(chord_at_075(chords(), p, 2.0), 6.0, 4.0, 2.0, sea_water)
                : reference_reynolds;
        benchmark::DoNotOptimize(open_water_curves(model, 0.01, rn));
        benchmark::DoNotOptimize(highest_efficiency(model, rn));
        benchmark::DoNotOptimize(operating_point(model, 2.0, 4.0, 6.0, rn, sea_water));
    }
}

}  // namespace

BENCHMARK_CAPTURE(selection, Keller, true)->Name("Selection/Keller")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(selection, Power, false)->Name("Selection/Power")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(curves, B4_55, Propeller{OpenWaterSeries::b, 4, 0.55, 1.0})
    ->Name("Curves/B4-55")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(curves, Ka4_70, Propeller{OpenWaterSeries::ka, 4, 0.70, 1.0})
    ->Name("Curves/Ka4-70")
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
