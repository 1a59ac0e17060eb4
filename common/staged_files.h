// Output files that appear whole or not at all. Each file is written to a
// temporary file beside its final name; commit() renames all of them into
// place once every one is complete. Until then, and on any failure, a file of
// the final name stays as it was, and no temporary file is left behind.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace korvanti {

// Which final name could not be given, and why.
struct StagingFailure {
    std::filesystem::path name;
    std::error_code error;
};

class StagedFiles {
public:
    // The temporary file of `name` is `name` followed by `suffix`.
    explicit StagedFiles(std::string suffix = default_suffix());
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;
    // Removes the temporary files not yet committed.
    ~StagedFiles();

    // The path of the temporary file of `final_name`, for the caller to
    // create and write; nothing, with the reason in `error`, when it cannot
    // be created there (found out by creating it once).
    std::optional<std::filesystem::path> stage(const std::filesystem::path& final_name,
                                               std::error_code& error);
    // Renames every staged file to its final name; the first name that
    // could not be given, if any (the temporary files are then removed).
    std::optional<StagingFailure> commit();

    // ".<process id>.tmp": unique among the programs running at once.
    static std::string default_suffix();

private:
    struct Staged {
        std::filesystem::path temporary, final_name;
    };
    void remove_temporaries();

    std::string suffix_;
    std::vector<Staged> staged_;
};

// Writes `bytes` as the whole content of `file`; false when that fails
// (errno then tells why).
bool write_whole_file(const std::filesystem::path& file, std::string_view bytes);

}  // namespace korvanti
