// Readers of the 3D Tecplot file and the Rhino macro, strict about layout:
// every deviation from the expected lines is reported as an error text.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
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
    std::string title;  // e.g. PRESS. SIDE OF HUB
    int I = 0;
    int J = 0;
    std::string colour;          // 12 characters
    std::vector<int> row_sizes;  // points of every row
    std::vector<Point> points;   // all rows, in order
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
    static const std::regex header(
        R"re( ZONE T="([A-Z. ]+)", I=([ 0-9]{3}), J=([ 0-9]{3}),C=(.{12}))re");
    TecplotFile file;
    if (text.empty() || text.back() != '\n') file.errors.push_back("file does not end a line");
    std::vector<std::string> lines = split_lines(text);
    size_t n = 0;
    auto fail = [&](const std::string& what) {
        file.errors.push_back("line " + std::to_string(n + 1) + ": " + what);
    };
    while (n < lines.size() && file.errors.empty()) {
        TecplotZone zone;
        if (lines[n] != variables) {
            fail("expected the VARIABLES line");
            break;
        }
        ++n;
        if (n < lines.size() && lines[n].empty()) {
            zone.blank_before_header = true;
            ++n;
        }
        std::smatch m;
        if (n >= lines.size() || !std::regex_match(lines[n], m, header)) {
            fail("expected a zone header");
            break;
        }
        zone.title = m[1];
        zone.I = std::stoi(m[2]);
        zone.J = std::stoi(m[3]);
        zone.colour = m[4];
        ++n;
        if (n >= lines.size() || !lines[n].empty()) {
            fail("no blank line after the header");
            break;
        }
        ++n;
        while (n < lines.size() && lines[n] != variables) {
            int size = 0;
            Point p;
            while (n < lines.size() && read_point_line(lines[n], p)) {
                zone.points.push_back(p);
                ++size;
                ++n;
            }
            if (size == 0) {
                fail("expected a point line");
                break;
            }
            if (n >= lines.size() || !lines[n].empty()) {
                fail("row not ended by a blank line");
                break;
            }
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

// The Tecplot file holds 2·Z hub zones (blade by blade) and then 2·Z blade
// zones; blade b should be blade 1 turned about the X axis so that its
// polar angle atan2(Z, Y) is smaller by (b - 1)·2π/Z. Returns the largest
// deviation found, over the change of X, of the distance from the axis and
// (for points off the axis) of the angle; infinity when the zones do not
// pair up.
inline double turning_deviation(const TecplotFile& file, int blade_count) {
    const double full_turn = 2.0 * 3.14159265358979323846;
    double worst = 0.0;
    if (file.zones.size() != static_cast<size_t>(4 * blade_count)) return INFINITY;
    for (int b = 2; b <= blade_count; ++b) {
        double turn = (b - 1) * full_turn / blade_count;
        for (int part = 0; part < 4; ++part) {
            int base = part < 2 ? part : 2 * blade_count + (part - 2);
            const std::vector<Point>& first = file.zones[base].points;
            const std::vector<Point>& turned = file.zones[base + 2 * (b - 1)].points;
            if (first.size() != turned.size()) return INFINITY;
            for (size_t p = 0; p < first.size(); ++p) {
                double rho1 = std::hypot(first[p][1], first[p][2]);
                double rhob = std::hypot(turned[p][1], turned[p][2]);
                worst = std::max(
                    {worst, std::fabs(turned[p][0] - first[p][0]), std::fabs(rhob - rho1)});
                if (rho1 < 1e-3) continue;
                double angle =
                    std::atan2(turned[p][2], turned[p][1]) - std::atan2(first[p][2], first[p][1]);
                worst = std::max(worst, std::fabs(std::remainder(angle + turn, full_turn)));
            }
        }
    }
    return worst;
}

// The macro's lines without their leading blank (an error text for a line
// that has none).
inline std::vector<std::string> macro_lines(const std::string& text,
                                            std::vector<std::string>& errors) {
    std::vector<std::string> lines = split_lines(text);
    for (std::string& line : lines) {
        if (line.empty() || line[0] != ' ')
            errors.push_back("line without a leading blank: " + line);
        else
            line.erase(0, 1);
    }
    return lines;
}

// x,y,z with six decimals each and nothing else.
inline bool read_macro_point(const std::string& line, Point& point) {
    static const std::regex form(
        R"((-?[0-9]+\.[0-9]{6}),(-?[0-9]+\.[0-9]{6}),(-?[0-9]+\.[0-9]{6}))");
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
        } else if (n > 0 && lines[n - 1] == "Keeppoints=YES" &&
                   std::regex_match(lines[n], digits)) {
            s.lines.push_back("<count>");
            s.counts.push_back(std::stoi(lines[n]));
        } else {
            s.lines.push_back(lines[n]);
        }
    }
    return s;
}

}  // namespace korvanti::testing
