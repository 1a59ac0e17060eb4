#include <system_error>

#include "openwater/open_water_data.h"
#include "openwater/openwater_run.h"

namespace korvanti::openwater {

namespace fs = std::filesystem;

namespace {

fs::path program_directory() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program.parent_path();
}

bool is_file(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

bool is_build_program(const fs::path& dir) {
    std::error_code ec;
    return !dir.empty() && fs::equivalent(dir, KORVANTI_BUILD_PROGRAM_DIR, ec);
}

}  // namespace

fs::path open_water_data_folder() {
    const fs::path dir = program_directory();
    if (!dir.empty()) {
        const fs::path installed = (dir / KORVANTI_DATA_FROM_BIN / "open-water").lexically_normal();
        if (is_file(installed / b_series_file)) return installed;
        if (is_build_program(dir)) return KORVANTI_SOURCE_DATA_DIR "/open-water";
        return installed;  // its absence is reported by the reader
    }
    return KORVANTI_SOURCE_DATA_DIR "/open-water";
}

fs::path b_series_tables_file() {
    const fs::path here = "WAGBPROP.DAT";
    std::error_code ec;
    if (fs::exists(here, ec) || ec) return here;
    const fs::path dir = program_directory();
    if (dir.empty()) return here;
    const fs::path installed = (dir / KORVANTI_DATA_FROM_BIN / here).lexically_normal();
    if (is_file(installed)) return installed;
    if (is_build_program(dir) && is_file(KORVANTI_SOURCE_DATA_DIR "/WAGBPROP.DAT"))
        return KORVANTI_SOURCE_DATA_DIR "/WAGBPROP.DAT";
    return here;
}

}  // namespace korvanti::openwater
