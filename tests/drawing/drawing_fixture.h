// A small propeller written as PERVDAT in the calculator's record layout,
// with numbers simple enough to check the drawn coordinates by hand, and a
// dialogue that answers from a list.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dialogue.h"

namespace telvaro::testing {

struct Point3 {
    double x, y, z;
};

struct PervdatFixture {
    std::vector<double> r;                        // report radii
    std::vector<std::vector<double>> xc, ys, yp;  // per radius, trailing edge first
    std::vector<double> tmax_from_le;
    // Surface grid per side (0 face, 1 back), radius and point.
    std::vector<std::vector<Point3>> face, back;
    int Z = 4;
    double EAR = 0.55, D = 4.0, P_D = 1.0;
    std::vector<std::array<Point3, 2>> tmax_line;
    std::vector<Point3> vertices;
    std::vector<std::array<int, 4>> panels;
    int NH1 = 1;
};

// Three radii 0.15, 1.0 and 2.0 m of a 4 m propeller with 4 blades; sections
// of 3, 4 and 3 points, 3 surface points per radius; a mesh of 6 vertices,
// one hub panel and two blade panels (the last a triangle with a repeated
// corner). Vertex 1 is (0.1, 0, 0.5).
PervdatFixture small_propeller();

// The file text, record by record as the calculator writes it, strip table
// included.
std::string pervdat_text(const PervdatFixture& fixture);

// Replaces the single occurrence of `from` in `text`; fails the test when it
// is not there exactly once.
std::string replace_once(const std::string& text, const std::string& from, const std::string& to);

class ScriptedDialogue : public Dialogue {
public:
    struct Question {
        std::string prompt, title, default_text;
    };

    explicit ScriptedDialogue(std::vector<std::string> answers) : answers_(std::move(answers)) {}

    void print(const std::string& line) override { printed.push_back(line); }
    void alert(const std::string& message) override { alerts.push_back(message); }
    // Answers in order; once the list is used up the user cancels.
    std::optional<std::string> ask(const std::string& prompt, const std::string& title,
                                   const std::string& default_text) override;

    std::vector<std::string> printed;
    std::vector<std::string> alerts;
    std::vector<Question> questions;

private:
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
};

struct DrawingRun {
    int status = -1;
    std::vector<std::string> script;  // lines of the script, empty when none was written
    std::vector<std::string> printed;
    std::vector<std::string> alerts;
    std::vector<ScriptedDialogue::Question> questions;
};

// Writes `pervdat` (if given) into `dir`, runs the drawing generator there
// with `answers` and reads the script back.
DrawingRun run_with_answers(const std::filesystem::path& dir,
                            const std::optional<std::string>& pervdat,
                            const std::vector<std::string>& answers);

// Point line "x,y" or "x,y,z" as numbers.
std::vector<double> point_values(const std::string& line);

// A number that is the whole text, or nothing.
std::optional<double> number(const std::string& text);
// The comma-separated numbers of a point line; empty when it is not one.
std::vector<double> numbers(const std::string& line);
// A number written without exponent and without blanks.
bool plain_decimal(const std::string& text);

// One 3DFACE of a script: its four corners.
struct Face {
    std::vector<std::vector<double>> corners;
};

// The faces of a 3D script: "3DFACE", four lines "x,y,z" in plain decimal
// form, an empty line. Fails the calling test on a malformed face block.
std::vector<Face> faces(const std::vector<std::string>& script);

}  // namespace telvaro::testing
