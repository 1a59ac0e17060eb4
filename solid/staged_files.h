// The output files of a run, written completely before any of them appears
// (korvanti::StagedFiles of common/), with this program's messages.
#pragma once

#include <filesystem>
#include <string>

#include "common/staged_files.h"

namespace korvanti_solid {

class StagedFiles {
public:
    // A new empty temporary file for `final_name`; returns its path.
    std::filesystem::path stage(const std::filesystem::path& final_name);
    // Renames every staged file to its final name.
    void commit();

private:
    korvanti::StagedFiles files_;
};

// Writes `bytes` to `file` (a staged path) as a whole; an InputError naming
// `name` if not.
void write_bytes(const std::filesystem::path& file, const std::string& bytes,
                 const std::string& name);

}  // namespace korvanti_solid
