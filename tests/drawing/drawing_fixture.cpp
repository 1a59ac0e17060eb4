#include "drawing_fixture.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "drawing_run.h"
#include "support/test_support.h"

namespace telvaro::testing {

namespace fs = std::filesystem;
using korvanti::testing::read_lines;
using korvanti::testing::write_file;

PervdatFixture small_propeller() {
    PervdatFixture f;
    f.r = {0.15, 1.0, 2.0};
    f.xc = {{0.123, 0.0, -0.117}, {0.30, 0.10, -0.05, -0.24}, {0.05, 0.0, -0.05}};
    f.ys = {{0.15, 0.17, 0.15}, {1.001, 1.03, 1.02, 1.001}, {2.0, 2.005, 2.0}};
    f.yp = {{0.15, 0.14, 0.15}, {1.001, 0.995, 0.998, 1.001}, {2.0, 2.0, 2.0}};
    f.tmax_from_le = {0.1, 0.2, 0.04};
    f.face = {{{0.05, -0.08, 0.13}, {0.0, 0.0, 0.15}, {-0.05, 0.08, 0.13}},
              {{0.12, -0.25, 0.97}, {0.02, 0.05, 1.0}, {-0.10, 0.30, 0.95}},
              {{0.03, -0.04, 1.999}, {0.0, 0.0, 2.0}, {-0.03, 0.05, 1.999}}};
    f.back = f.face;
    for (auto& radius : f.back) radius[1].x += 0.01;
    for (double radius : f.r)
        f.tmax_line.push_back({Point3{0.0, 0.0, radius}, Point3{0.01, 0.0, radius}});
    f.vertices = {{0.1, 0.0, 0.5}, {-0.1, 0.0, 0.5},  {-0.1, 0.5, 0.0},
                  {0.1, 0.5, 0.0}, {0.05, -0.2, 1.0}, {-0.05, 0.2, 1.0}};
    f.panels = {{1, 2, 3, 4}, {2, 1, 5, 6}, {1, 5, 6, 6}};
    f.NH1 = 1;
    return f;
}

namespace {

class RecordWriter {
public:
    void operator()(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        text_ += buffer;
        text_ += '\n';
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

double coordinate(const Point3& p, int u) { return u == 0 ? p.x : u == 1 ? p.y : p.z; }

}  // namespace

std::string pervdat_text(const PervdatFixture& f) {
    RecordWriter out;
    const int M = static_cast<int>(f.r.size());
    out("%5d", M);
    for (int k = 0; k < M; ++k) {
        out("%5d%5d", static_cast<int>(f.xc[k].size()), static_cast<int>(f.face[k].size()));
        for (std::size_t j = 0; j < f.xc[k].size(); ++j)
            out("%10.5f%10.5f", f.xc[k][j], f.ys[k][j]);
        for (std::size_t j = 0; j < f.xc[k].size(); ++j)
            out("%10.5f%10.5f", f.xc[k][j], f.yp[k][j]);
    }
    for (double radius : f.r) out("%10.5f", radius);
    for (double distance : f.tmax_from_le) out("%10.5f", distance);
    for (const auto* side : {&f.face, &f.back})
        for (int u = 0; u < 3; ++u)
            for (const auto& radius : *side)
                for (const Point3& p : radius) out("%10.5f", coordinate(p, u));
    out("%10d%10.5f", f.Z, f.EAR);
    out("%10.5f%10.5f", f.D, f.P_D);
    for (const auto& pair : f.tmax_line)
        for (const Point3& p : pair) out("%10.5f%10.5f%10.5f", p.x, p.y, p.z);
    out("%5d%5d%5d%5d%5d", static_cast<int>(f.vertices.size()), static_cast<int>(f.panels.size()),
        0, 0, f.NH1);
    for (const Point3& v : f.vertices) out("%10.5f%10.5f%10.5f", v.x, v.y, v.z);
    for (const auto& p : f.panels) out("%5d%5d%5d%5d", p[0], p[1], p[2], p[3]);
    // Strip table, which the drawing generator does not read.
    out("%9d", M - 1);
    std::string counts;
    for (int k = 0; k + 1 < M; ++k) {
        char field[16];
        std::snprintf(field, sizeof field, "%3d", static_cast<int>(f.face[k].size()) - 1);
        counts += field;
    }
    out("%s", counts.c_str());
    for (int k = 0; k + 1 < M; ++k) out("%9d%9d", k + 2, k + 3);
    for (int k = 0; k + 1 < M; ++k)
        for (std::size_t w = f.face[k].size() - 1; w >= 1; --w)
            out("%9d%9d", k + 2, static_cast<int>(w));
    return out.text();
}

std::string replace_once(const std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "not in the fixture: " << from;
    if (at == std::string::npos) return text;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos)
        << "more than once in the fixture: " << from;
    return text.substr(0, at) + to + text.substr(at + from.size());
}

std::optional<std::string> ScriptedDialogue::ask(const std::string& prompt,
                                                 const std::string& title,
                                                 const std::string& default_text) {
    questions.push_back({prompt, title, default_text});
    if (next_ >= answers_.size()) return std::nullopt;
    return answers_[next_++];
}

DrawingRun run_with_answers(const fs::path& dir, const std::optional<std::string>& pervdat,
                            const std::vector<std::string>& answers) {
    if (pervdat) write_file(dir / "PERVDAT", *pervdat);
    ScriptedDialogue dialogue(answers);
    DrawingRun run;
    run.status = run_drawing(dialogue, dir);
    if (fs::exists(dir / "TELVARO_3B_CIZIMLER.SCR"))
        run.script = read_lines(dir / "TELVARO_3B_CIZIMLER.SCR");
    run.printed = dialogue.printed;
    run.alerts = dialogue.alerts;
    run.questions = dialogue.questions;
    return run;
}

std::vector<double> point_values(const std::string& line) {
    std::vector<double> values;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) values.push_back(std::stod(field));
    return values;
}

std::optional<double> number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

std::vector<double> numbers(const std::string& line) {
    std::vector<double> values;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) {
        const auto value = number(field);
        if (!value) return {};
        values.push_back(*value);
    }
    return values;
}

bool plain_decimal(const std::string& text) {
    return text.find_first_of("eE ") == std::string::npos;
}

std::vector<Face> faces(const std::vector<std::string>& script) {
    std::vector<Face> result;
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] != "3DFACE") continue;
        EXPECT_LT(i + 5, script.size());
        if (i + 5 >= script.size()) break;
        Face face;
        for (std::size_t c = 1; c <= 4; ++c) {
            face.corners.push_back(numbers(script[i + c]));
            EXPECT_EQ(face.corners.back().size(), 3u)
                << "line " << i + c + 1 << ": " << script[i + c];
            EXPECT_TRUE(plain_decimal(script[i + c])) << script[i + c];
            face.corners.back().resize(3, 0);
        }
        EXPECT_EQ(script[i + 5], "") << "face at line " << i + 1 << " not ended by an Enter";
        result.push_back(face);
    }
    return result;
}

}  // namespace telvaro::testing
