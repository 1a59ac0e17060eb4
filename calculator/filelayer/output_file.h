// Output files are written whole: the text is built in memory first and
// replaces the file on disk only once it has been written completely, so a
// failed run never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <map>
#include <sstream>
#include <string>

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

// Output files hold finite numbers only. A run starts the watch with
// start_finite_watch(); from then on, once a record (of a file or of the
// report) has been written with a NaN or an infinite value, the next output
// file is refused: check_finite_output throws an input error naming it
// (write_output_file calls it first), and the file is not written.
void start_finite_watch();
void check_finite_output(const std::string& name);

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

// A stream for the text of a whole output file with room for about `bytes`
// characters from the start, so that a large text is not copied again and
// again while it grows. Take the text with std::move(stream).str().
std::ostringstream text_stream(std::size_t bytes);

// Whether the file is to be built: false only when the sink in place declines it.
bool output_wanted(const std::string& name);

template <class Build>
void build_output_file(const std::string& name, Build&& build) {
    if (output_wanted(name)) write_output_file(name, build());
}

}  // namespace korvanti
