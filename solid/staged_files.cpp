#include "staged_files.h"

#include <cerrno>
#include <cstring>

#include "list_reader.h"

namespace korvanti_solid {

std::filesystem::path StagedFiles::stage(const std::filesystem::path& final_name) {
    std::error_code error;
    const auto temporary = files_.stage(final_name, error);
    if (!temporary)
        throw InputError(final_name.string() + ": cannot be written here (" + error.message() +
                         ")");
    return *temporary;
}

void StagedFiles::commit() {
    if (const auto failure = files_.commit())
        throw InputError(failure->name.string() + ": cannot be replaced (" +
                         failure->error.message() + ")");
}

void write_bytes(const std::filesystem::path& file, const std::string& bytes,
                 const std::string& name) {
    if (!korvanti::write_whole_file(file, bytes))
        throw InputError(name + ": writing failed (" + std::strerror(errno) + ")");
}

}  // namespace korvanti_solid
