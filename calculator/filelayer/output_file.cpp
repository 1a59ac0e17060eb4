#include "filelayer/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "filelayer/errors.h"

namespace korvanti {

namespace {

OutputSink*& current_sink() {
    static OutputSink* sink = nullptr;
    return sink;
}

// Gives the finished temporary file its name. An older regular file of that
// name is swapped out in one step and then removed: other programs see the
// old file or the new one, never none, as with a rename over it. A rename
// over an existing file also makes ext4 force the new data out to the disk
// at once, which made a run that replaces the files of an earlier one
// several times slower; the swap does not.
bool take_name(const std::string& partial, const std::string& name) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    struct stat existing;
    if (lstat(name.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, name.c_str(), RENAME_EXCHANGE) == 0) {
        std::remove(partial.c_str());  // the older file, now under the temporary name
        return true;
    }
#endif
    std::error_code error;
    std::filesystem::rename(partial, name, error);
    return !error;
}

void write_to_working_directory(const std::string& name, const std::string& text) {
    const std::string partial = name + ".yaziliyor";
    bool created = false;
    bool written = false;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        created = static_cast<bool>(out);
        if (created) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            out.close();
            written = !out.fail();
        }
    }
    if (!written || !take_name(partial, name)) {
        std::error_code error;
        if (created) std::filesystem::remove(partial, error);
        throw InputError(" HATA: " + name + " dosyasi calisma dizinine yazilamadi");
    }
}

}  // namespace

void MemoryOutput::write(const std::string& name, std::string text) {
    files_[name] = std::move(text);
}

OutputRedirect::OutputRedirect(OutputSink& sink) : saved_(current_sink()) {
    current_sink() = &sink;
}

OutputRedirect::~OutputRedirect() { current_sink() = saved_; }

void write_output_file(const std::string& name, std::string text) {
    if (OutputSink* sink = current_sink()) {
        sink->write(name, std::move(text));
        return;
    }
    write_to_working_directory(name, text);
}

bool output_wanted(const std::string& name) {
    const OutputSink* sink = current_sink();
    return sink == nullptr || sink->wants(name);
}

}  // namespace korvanti
