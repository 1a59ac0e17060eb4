#include "fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvanti::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path& scratch_path() {
    static fs::path path;
    return path;
}

void remove_scratch_dir() {
    std::error_code ec;
    if (!scratch_path().empty()) fs::remove_all(scratch_path(), ec);
}

}  // namespace

const fs::path& scratch_dir() {
    if (scratch_path().empty()) {
        std::string pattern = (fs::temp_directory_path() / "korvanti-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        scratch_path() = pattern;
        fs::current_path(scratch_path());
        std::atexit(remove_scratch_dir);
    }
    return scratch_path();
}

void write_file(const fs::path& file, std::string_view text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string read_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path source_path(const std::string& relative) {
    return fs::path(KORVANTI_SOURCE_DIR) / relative;
}

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace korvanti::fuzz
