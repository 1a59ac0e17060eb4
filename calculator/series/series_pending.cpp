// Placeholders for the series whose tables are not in the calculator yet.
#include "filelayer/console.h"
#include "series/series_routines.h"

namespace korvanti {

namespace {
[[noreturn]] void series_not_available() {
    console_line(" BU SERI HENUZ HAZIR DEGIL - STOP");
    stop();
}
}  // namespace

void ka_series(BladeModel&, SeriesStations&) { series_not_available(); }
void kc_series(BladeModel&, SeriesStations&) { series_not_available(); }
void gawn_series(BladeModel&, SeriesStations&) { series_not_available(); }
void au_series(BladeModel&, SeriesStations&) { series_not_available(); }
void newton_rader_series(BladeModel&, SeriesStations&) { series_not_available(); }

}  // namespace korvanti
