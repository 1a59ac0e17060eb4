// Helpers shared by the fuzz targets: a private scratch working directory,
// files of the source tree, and streams that swallow everything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace korvanti::fuzz {

// The scratch directory of this process, created on first use, made the
// working directory and removed at exit. The calculator and the drawing
// generator read and write their files there.
const std::filesystem::path& scratch_dir();

// The bytes of a fuzz input as text.
inline std::string_view as_text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

void write_file(const std::filesystem::path& file, std::string_view text);
std::string read_file(const std::filesystem::path& file);

// A file of the source tree (examples/, data/, tests/fuzz/corpus/...).
std::filesystem::path source_path(const std::string& relative);

// The lines of a text, without their line ends.
std::vector<std::string> split_lines(std::string_view text);

// An output stream that drops everything written to it.
class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(nullptr) {}
};

}  // namespace korvanti::fuzz

// Every target defines this (libFuzzer's entry point).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
