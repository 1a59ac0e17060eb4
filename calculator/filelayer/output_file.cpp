#include "filelayer/output_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "filelayer/errors.h"

namespace korvanti {

namespace {

OutputSink*& current_sink() {
    static OutputSink* sink = nullptr;
    return sink;
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
    std::error_code error;
    if (written) std::filesystem::rename(partial, name, error);
    if (!written || error) {
        if (created) std::filesystem::remove(partial, error);
        throw InputError(" HATA: " + name + " dosyasi calisma dizinine yazilamadi");
    }
}

}  // namespace

void MemoryOutput::write(const std::string& name, std::string text) { files_[name] = std::move(text); }

bool MemoryOutput::read(const std::string& name, std::string& text) const {
    auto file = files_.find(name);
    if (file == files_.end()) return false;
    text = file->second;
    return true;
}

OutputRedirect::OutputRedirect(OutputSink& sink) : saved_(current_sink()) { current_sink() = &sink; }

OutputRedirect::~OutputRedirect() { current_sink() = saved_; }

void write_output_file(const std::string& name, std::string text) {
    if (OutputSink* sink = current_sink()) {
        sink->write(name, std::move(text));
        return;
    }
    write_to_working_directory(name, text);
}

bool read_output_file(const std::string& name, std::string& text) {
    if (const OutputSink* sink = current_sink()) return sink->read(name, text);
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace korvanti
