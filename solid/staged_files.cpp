#include "staged_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "list_reader.h"

namespace korvanti_solid {

StagedFiles::~StagedFiles() {
    for (const Staged& s : staged_) {
        std::error_code ignored;
        std::filesystem::remove(s.temporary, ignored);
    }
}

std::filesystem::path StagedFiles::stage(const std::filesystem::path& final_name) {
    const std::filesystem::path dir = final_name.parent_path();
    std::string pattern = (dir / ("." + final_name.filename().string() + ".tmp-XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw InputError(final_name.string() + ": cannot be written here (" + std::strerror(errno) +
                         ")");
    // mkstemp makes the file private; give it the mode a new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    staged_.push_back({pattern, final_name});
    return pattern;
}

void StagedFiles::commit() {
    for (const Staged& s : staged_)
        if (std::rename(s.temporary.c_str(), s.final_name.c_str()) != 0)
            throw InputError(s.final_name.string() + ": cannot be replaced (" +
                             std::strerror(errno) + ")");
    staged_.clear();
}

void write_bytes(const std::filesystem::path& file, const std::string& bytes,
                 const std::string& name) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw InputError(name + ": writing failed (" + std::strerror(errno) + ")");
}

}  // namespace korvanti_solid
