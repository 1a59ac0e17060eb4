// The AutoCAD command script: one command or one answer per line, an empty
// line being an Enter that ends the command in progress.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace telvaro {

// A number in plain decimal notation (never an exponent) with at most
// `significant` significant digits and no trailing zeros: 72.5, -0.125, 240.
std::string decimal_text(double value, int significant = 15);

class Script {
public:
    void line(const std::string& text);
    void enter() { line(""); }
    // A sheet point "x,y": x rounded to a whole sheet unit, y as computed.
    void point(double x, double y);
    // A sheet point with both coordinates as given (points that are not
    // computed from the propeller's data).
    void exact_point(double x, double y);
    // A point in space "x,y,z".
    void point(double x, double y, double z);
    // Writes the sheet point written last once more (it selects the polyline
    // just drawn at a PEDIT prompt).
    void repeat_last_point();
    // Makes room for about `bytes` more characters of script.
    void reserve(std::size_t bytes) { text_.reserve(text_.size() + bytes); }

    // The lines written so far, and the whole script (each line ended by '\n').
    std::vector<std::string> lines() const;
    const std::string& text() const { return text_; }

private:
    std::string text_;
    std::string last_point_;
};

}  // namespace telvaro
