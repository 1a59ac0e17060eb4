// Output files written completely before any of them appears: each goes to a
// temporary file in its own directory, and all are renamed over their final
// names only at commit. Until then, and on any failure, a file of the same
// name stays as it was; the temporary files are removed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvanti_solid {

class StagedFiles {
public:
    StagedFiles() = default;
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;
    ~StagedFiles();

    // A new empty temporary file for `final_name`; returns its path.
    std::filesystem::path stage(const std::filesystem::path& final_name);
    // Renames every staged file to its final name.
    void commit();

private:
    struct Staged {
        std::filesystem::path temporary, final_name;
    };
    std::vector<Staged> staged_;
};

// Writes `bytes` to `file` (a staged path) as a whole; an InputError naming
// `name` if not.
void write_bytes(const std::filesystem::path& file, const std::string& bytes,
                 const std::string& name);

}  // namespace korvanti_solid
