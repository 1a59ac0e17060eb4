#include "run/data_files.h"

#include <filesystem>
#include <system_error>

#include "series/wageningen_b.h"

namespace korvanti {

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The folder of the running program itself.
fs::path program_directory() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program.parent_path();
}

bool same_directory(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return !a.empty() && fs::equivalent(a, b, ec);
}

}  // namespace

std::string b_series_data_path() {
    std::error_code ec;
    if (fs::exists(b_series_data_file, ec) || ec) return b_series_data_file;
    const fs::path program_dir = program_directory();
    if (program_dir.empty()) return b_series_data_file;
    const fs::path installed =
        (program_dir / KORVANTI_DATA_FROM_BIN / b_series_data_file).lexically_normal();
    if (is_file(installed)) return installed.string();
    if (same_directory(program_dir, KORVANTI_BUILD_PROGRAM_DIR) &&
        is_file(KORVANTI_SOURCE_DATA_FILE))
        return KORVANTI_SOURCE_DATA_FILE;
    return b_series_data_file;
}

}  // namespace korvanti
