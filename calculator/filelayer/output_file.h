// Output files are written whole: the text is built in memory first and
// replaces the file on disk only once it has been written completely, so a
// failed run never leaves a half-written file behind.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace korvanti {

// Where whole output files go. Without a sink they go to the working
// directory; an OutputRedirect puts a sink in their place, for example a
// MemoryOutput that keeps the texts (the files are still built in full).
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual void write(const std::string& name, std::string text) = 0;
    // Whether the file is to be built at all; a sink may decline the files it
    // has no use for (a run that wants the numbers, not the files). Only
    // files made through build_output_file can be declined: PEROF.SON, the
    // hand-over to the post-processing, is always written.
    virtual bool wants(const std::string& /*name*/) const { return true; }
};

// Keeps every file in memory by name; a later file of the same name replaces
// the earlier one.
class MemoryOutput : public OutputSink {
public:
    void write(const std::string& name, std::string text) override;
    const std::map<std::string, std::string>& files() const { return files_; }

private:
    std::map<std::string, std::string> files_;
};

// Sends whole output files to `sink` for the lifetime of the object.
class OutputRedirect {
public:
    explicit OutputRedirect(OutputSink& sink);
    ~OutputRedirect();
    OutputRedirect(const OutputRedirect&) = delete;
    OutputRedirect& operator=(const OutputRedirect&) = delete;

private:
    OutputSink* saved_;
};

// Keeps the names of the whole output files written (or handed to a sink)
// for the lifetime of the object, in the order written, each once.
class OutputRecord {
public:
    OutputRecord();
    ~OutputRecord();
    OutputRecord(const OutputRecord&) = delete;
    OutputRecord& operator=(const OutputRecord&) = delete;

    void add(const std::string& name);
    const std::vector<std::string>& names() const { return names_; }

private:
    OutputRecord* saved_;
    std::vector<std::string> names_;
};

// Creates or overwrites `name` in the working directory with `text` (or
// hands it to the sink in place). The text goes to a temporary file beside
// it first, which then takes the name. A file that cannot be written is an
// input error naming it; an older file of that name is then left as it was,
// and no temporary file stays behind.
void write_output_file(const std::string& name, std::string text);

// write_output_file(name, build()) for a file that is wanted (every file
// unless the sink in place declines it); build is not called otherwise.
template <class Build>
void build_output_file(const std::string& name, Build&& build);

// Whether the file is to be built: false only when the sink in place declines it.
bool output_wanted(const std::string& name);

template <class Build>
void build_output_file(const std::string& name, Build&& build) {
    if (output_wanted(name)) write_output_file(name, build());
}

}  // namespace korvanti
