// Placeholder until the KC101-Gawn tables are in the calculator.
#include "geometry/kc101_gawn.h"

#include "filelayer/console.h"

namespace korvanti {

void kc101_gawn_series(BladeModel&, SeriesStations&) {
    console_line(" BU SERI HENUZ HAZIR DEGIL - STOP");
    stop();
}

}  // namespace korvanti
