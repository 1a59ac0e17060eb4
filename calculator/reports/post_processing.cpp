#include "reports/post_processing.h"

#include "reports/panel_data_file.h"
#include "reports/section_report.h"
#include "surfaces/blade_surface.h"
#include "surfaces/surface_exports.h"

namespace korvanti {

void run_post_processing(const BladeModel& model, const std::string& offsets_text,
                         std::ostream& result, Console& console) {
    const auto report = make_section_report(model, offsets_text, console);
    write_section_report(*report, result);
    const auto surfaces = build_surfaces(model, report->sections, report->hub, console);
    write_surface_exports(surfaces->mesh, report->hub, model.blade_count);
    write_panel_data_file(model, surfaces->sections, surfaces->surface, surfaces->mesh);
}

}  // namespace korvanti
