#include "staged_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <utility>

namespace korvanti {

namespace fs = std::filesystem;

namespace {

// Gives the finished temporary file its name. An older regular file of that
// name is swapped out in one step and then removed: other programs see the
// old file or the new one, never none, as with a rename over it. A rename
// over an existing file also makes ext4 force the new data out to the disk
// at once, which made a run that replaces the files of an earlier one
// several times slower; the swap does not.
void take_name(const fs::path& temporary, const fs::path& name, std::error_code& error) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    struct stat existing;
    if (lstat(name.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, name.c_str(), RENAME_EXCHANGE) == 0) {
        fs::remove(temporary, error);  // the older file, now under the temporary name
        error.clear();
        return;
    }
#endif
    fs::rename(temporary, name, error);
}

}  // namespace

StagedFiles::StagedFiles(std::string suffix) : suffix_(std::move(suffix)) {}

StagedFiles::~StagedFiles() { remove_temporaries(); }

std::string StagedFiles::default_suffix() { return "." + std::to_string(getpid()) + ".tmp"; }

std::optional<fs::path> StagedFiles::stage(const fs::path& final_name, std::error_code& error) {
    fs::path temporary = final_name;
    temporary += suffix_;
    // Whether it can be created is found out now, by creating it; it is then
    // removed again, so that the writer creates it afresh. A writer that
    // opened the existing empty file would truncate it, and on ext4 a file
    // truncated to nothing is forced out to the disk when it is closed, which
    // made a whole run several times slower in system time.
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error.assign(errno, std::generic_category());
        return std::nullopt;
    }
    close(fd);
    unlink(temporary.c_str());
    error.clear();
    staged_.push_back({temporary, final_name});
    return temporary;
}

std::optional<StagingFailure> StagedFiles::commit() {
    // A rename of a file over a directory fails: find that before any file
    // has been replaced.
    for (const Staged& s : staged_) {
        std::error_code ignored;
        if (fs::is_directory(fs::symlink_status(s.final_name, ignored))) {
            StagingFailure failure{s.final_name, std::make_error_code(std::errc::is_a_directory)};
            remove_temporaries();
            return failure;
        }
    }
    // Within one directory only a file system error makes a rename fail
    // midway; the files renamed before it then stay replaced.
    for (std::size_t i = 0; i < staged_.size(); ++i) {
        std::error_code error;
        take_name(staged_[i].temporary, staged_[i].final_name, error);
        if (error) {
            StagingFailure failure{staged_[i].final_name, error};
            staged_.erase(staged_.begin(), staged_.begin() + static_cast<std::ptrdiff_t>(i));
            remove_temporaries();
            return failure;
        }
    }
    staged_.clear();
    return std::nullopt;
}

void StagedFiles::remove_temporaries() {
    for (const Staged& s : staged_) {
        std::error_code ignored;
        fs::remove(s.temporary, ignored);
    }
    staged_.clear();
}

bool write_whole_file(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace korvanti
