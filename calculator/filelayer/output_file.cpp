#include "filelayer/output_file.h"

#include <algorithm>
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

OutputRecord*& current_record() {
    static OutputRecord* record = nullptr;
    return record;
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

OutputRecord::OutputRecord() : saved_(current_record()) { current_record() = this; }

OutputRecord::~OutputRecord() { current_record() = saved_; }

void OutputRecord::add(const std::string& name) {
    if (std::find(names_.begin(), names_.end(), name) == names_.end()) names_.push_back(name);
}

void write_output_file(const std::string& name, std::string text) {
    if (OutputRecord* record = current_record()) record->add(name);
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
