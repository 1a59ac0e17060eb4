// Readers of the 3D Tecplot file and the Rhino macro, strict about layout:
// every deviation from the expected lines is reported as an error text.
#pragma once

#include <array>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace korvanti::testing {

using Point = std::array<double, 3>;

inline std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct TecplotZone {
    bool blank_before_header = false;
    std::string title;          // e.g. PRESS. SIDE OF HUB
    int I = 0;
    int J = 0;
    std::string colour;         // 12 characters
    std::vector<int> row_sizes; // points of every row
    std::vector<Point> points;  // all rows, in order
};

struct TecplotFile {
    std::vector<TecplotZone> zones;
    std::vector<std::string> errors;
};

// One point line: three F14.8 fields, each followed by one blank.
inline bool read_point_line(const std::string& line, Point& point) {
    static const std::regex field(R"( *-?[0-9]+\.[0-9]{8})");
    if (line.size() != 45) return false;
    for (int f = 0; f < 3; ++f) {
        std::string text = line.substr(15 * f, 14);
        if (line[15 * f + 14] != ' ' || !std::regex_match(text, field)) return false;
        point[f] = std::stod(text);
    }
    return true;
}

inline TecplotFile parse_tecplot_3d(const std::string& text) {
    static const std::string variables = R"( VARIABLES = "X","Y","Z")";
    static const std::regex header(R"re( ZONE T="([A-Z. ]+)", I=([ 0-9]{3}), J=([ 0-9]{3}),C=(.{12}))re");
    TecplotFile file;
    if (text.empty() || text.back() != '\n') file.errors.push_back("file does not end a line");
    std::vector<std::string> lines = split_lines(text);
    size_t n = 0;
    auto fail = [&](const std::string& what) {
        file.errors.push_back("line " + std::to_string(n + 1) + ": " + what);
    };
    while (n < lines.size() && file.errors.empty()) {
        TecplotZone zone;
        if (lines[n] != variables) { fail("expected the VARIABLES line"); break; }
        ++n;
        if (n < lines.size() && lines[n].empty()) { zone.blank_before_header = true; ++n; }
        std::smatch m;
        if (n >= lines.size() || !std::regex_match(lines[n], m, header)) { fail("expected a zone header"); break; }
        zone.title = m[1];
        zone.I = std::stoi(m[2]);
        zone.J = std::stoi(m[3]);
        zone.colour = m[4];
        ++n;
        if (n >= lines.size() || !lines[n].empty()) { fail("no blank line after the header"); break; }
        ++n;
        while (n < lines.size() && lines[n] != variables) {
            int size = 0;
            Point p;
            while (n < lines.size() && read_point_line(lines[n], p)) {
                zone.points.push_back(p);
                ++size;
                ++n;
            }
            if (size == 0) { fail("expected a point line"); break; }
            if (n >= lines.size() || !lines[n].empty()) { fail("row not ended by a blank line"); break; }
            ++n;
            zone.row_sizes.push_back(size);
        }
        if (zone.row_sizes != std::vector<int>(zone.J, zone.I))
            fail("zone " + zone.title + ": rows do not match I=" + std::to_string(zone.I) +
                 ", J=" + std::to_string(zone.J));
        file.zones.push_back(zone);
    }
    return file;
}

// The macro's lines without their leading blank (an error text for a line
// that has none).
inline std::vector<std::string> macro_lines(const std::string& text, std::vector<std::string>& errors) {
    std::vector<std::string> lines = split_lines(text);
    for (std::string& line : lines) {
        if (line.empty() || line[0] != ' ') errors.push_back("line without a leading blank: " + line);
        else line.erase(0, 1);
    }
    return lines;
}

// x,y,z with six decimals each and nothing else.
inline bool read_macro_point(const std::string& line, Point& point) {
    static const std::regex form(R"((-?[0-9]+\.[0-9]{6}),(-?[0-9]+\.[0-9]{6}),(-?[0-9]+\.[0-9]{6}))");
    std::smatch m;
    if (!std::regex_match(line, m, form)) return false;
    for (int f = 0; f < 3; ++f) point[f] = std::stod(m[f + 1]);
    return true;
}

// The macro with every run of point lines replaced by "<points>" and the
// grid sizes (the count after each Keeppoints=YES) by "<count>"; the runs'
// points and the counts are collected in order.
struct MacroSkeleton {
    std::vector<std::string> lines;
    std::vector<std::vector<std::string>> point_runs;
    std::vector<int> counts;
};

inline MacroSkeleton macro_skeleton(const std::vector<std::string>& lines) {
    static const std::regex digits("[0-9]+");
    MacroSkeleton s;
    for (size_t n = 0; n < lines.size(); ++n) {
        Point p;
        if (read_macro_point(lines[n], p)) {
            if (s.lines.empty() || s.lines.back() != "<points>") {
                s.lines.push_back("<points>");
                s.point_runs.emplace_back();
            }
            s.point_runs.back().push_back(lines[n]);
        } else if (n > 0 && lines[n - 1] == "Keeppoints=YES" && std::regex_match(lines[n], digits)) {
            s.lines.push_back("<count>");
            s.counts.push_back(std::stoi(lines[n]));
        } else {
            s.lines.push_back(lines[n]);
        }
    }
    return s;
}

}  // namespace korvanti::testing
