// What the tests of korvanti-solid share: a finished Korvanti run in a
// scratch directory, korvanti-solid run there with arguments, and readers of
// the files as their users' programs read them (OpenCASCADE for STEP, a
// plain binary STL reader, the sections of PERVDAT).
#pragma once

#include <array>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace korvanti::testing {

struct Command {
    int exit_status = -1;
    std::string out, err;
};

// The task of an example with some of its values replaced (empty: as is).
struct Task {
    std::string example;          // examples/NAME.TSK
    std::string blades_and_area;  // line 43
    std::string hand;             // line 47
    std::string report;           // line 67
};

// Writes Korvanti.TSK and WAGBPROP.DAT into dir and runs Korvanti there.
void run_korvanti(const std::filesystem::path& dir, const Task& task);

// Runs korvanti-solid (or `program`) in dir with the arguments (shell words).
Command run_solid(const std::filesystem::path& dir, const std::string& arguments);
Command run_shell(const std::filesystem::path& dir, const std::string& command);

// The summary line "  <label>: <number> ..." as a number.
double summary_figure(const std::string& out, const std::string& label);

struct StlMesh {
    std::vector<std::array<float, 3>> vertices;  // merged where bit-for-bit equal
    std::vector<std::array<int, 3>> triangles;
    long header_count = 0;
};
StlMesh read_binary_stl(const std::filesystem::path& file);
// Edges not used exactly once in each direction.
long open_edges(const StlMesh& mesh);
double enclosed_volume(const StlMesh& mesh);

struct StepSolid {
    int solids = 0;
    bool valid = false;
    double volume = 0;
};
StepSolid read_step(const std::filesystem::path& file);
// The largest distance of the points from the surface of the STEP file's shape.
double largest_distance_from_step(const std::filesystem::path& file,
                                  const std::vector<std::array<double, 3>>& points);

// The parts of PERVDAT the references need.
struct PervdatSections {
    int M = 0, Nc = 0, Z = 0, nodes = 0, panels = 0, hub_panels = 0;
    double D = 0;
    std::vector<double> r;
    std::vector<std::vector<std::array<double, 2>>> back, face;            // (xc, y + r) per radius
    std::vector<std::vector<std::array<double, 3>>> grid_face, grid_back;  // per row
};
PervdatSections read_pervdat(const std::filesystem::path& file);

// The hub profile of PEROF.SON: (x, rH).
std::vector<std::array<double, 2>> read_hub_profile(const std::filesystem::path& file);

// π∫min(rH, limit)² dx over the hub profile (metres), as a natural parametric
// cubic spline in the chord length through its points: the hub's volume with
// no limit, the part of a shaft bore of radius `limit` inside the hub with one.
double hub_volume_within(const std::vector<std::array<double, 2>>& profile,
                         double limit = std::numeric_limits<double>::infinity());

// A natural cubic spline through (x, y), x increasing, in double.
class Spline {
public:
    Spline(std::vector<double> x, std::vector<double> y);
    double operator()(double at) const;

private:
    std::vector<double> x_, y_, m_;
};

}  // namespace korvanti::testing
