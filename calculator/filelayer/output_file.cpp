#include "filelayer/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "filelayer/errors.h"
#include "filelayer/record.h"

namespace korvanti {

namespace {

// The count of non-finite values written when the watch started.
thread_local unsigned long long finite_watch_start = 0;

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

void start_finite_watch() { finite_watch_start = non_finite_values_written(); }

void check_finite_output(const std::string& name) {
    if (non_finite_values_written() == finite_watch_start) return;
    start_finite_watch();
    throw InputError(" HATA: hesaplanan degerlerde sayi olmayan (NaN) ya da sonsuz deger cikti; " +
                     name + " yazilmadi. Ear, P/D ve D degerlerini denetleyin");
}

void write_output_file(const std::string& name, std::string text) {
    check_finite_output(name);
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

std::ostringstream text_stream(std::size_t bytes) {
    std::string buffer;
    buffer.reserve(bytes);
    return std::ostringstream(std::move(buffer));
}

}  // namespace korvanti
