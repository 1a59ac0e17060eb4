#include "reports/post_processing.h"

#include <memory>

#include "reports/panel_data_file.h"
#include "reports/section_report.h"
#include "surfaces/blade_surface.h"

namespace korvanti {

void run_post_processing(const BladeModel& model, std::ostream& result) {
    auto post = std::make_unique<PostProcessing>();
    write_section_report(model, post->file, post->hub, post->sections, result);
    build_blade_surface(model, *post);
    write_panel_data_file(model, post->sections, post->surface, post->mesh);
}

}  // namespace korvanti
