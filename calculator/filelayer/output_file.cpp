#include "filelayer/output_file.h"

#include <system_error>
#include <utility>

#include "common/staged_files.h"
#include "filelayer/errors.h"

namespace korvanti {

namespace {

OutputSink*& current_sink() {
    static OutputSink* sink = nullptr;
    return sink;
}

void write_to_working_directory(const std::string& name, const std::string& text) {
    StagedFiles files(".yaziliyor");
    std::error_code error;
    const auto partial = files.stage(name, error);
    if (!partial || !write_whole_file(*partial, text) || files.commit())
        throw InputError(" HATA: " + name + " dosyasi calisma dizinine yazilamadi");
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
