// The nozzle 19A of the ducted series, as a CAD or CFD user receives it:
// the STEP file read back with OpenCASCADE's XCAF reader (the names a CAD
// program lists), the nozzle checked as a solid and for Boolean work, its
// volume against Pappus's rule on the published profile, its place around
// the blades, its STL read back facet by facet; the program's answers to its
// options and to a missing or damaged profile file.
#include <gtest/gtest.h>

#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRepGProp.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TCollection_AsciiString.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <numbers>
#include <sstream>

#include "boolean_check.h"
#include "solid_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {
namespace fs = std::filesystem;

// The free shapes of a STEP file by the names a CAD program lists.
std::map<std::string, TopoDS_Shape> read_named_step(const fs::path& file) {
    const Handle(XCAFApp_Application) application = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) document;
    application->NewDocument("MDTV-XCAF", document);
    STEPCAFControl_Reader reader;
    reader.SetNameMode(true);
    std::map<std::string, TopoDS_Shape> shapes;
    if (reader.ReadFile(file.c_str()) != IFSelect_RetDone || !reader.Transfer(document))
        return shapes;
    const Handle(XCAFDoc_ShapeTool) tool = XCAFDoc_DocumentTool::ShapeTool(document->Main());
    TDF_LabelSequence labels;
    tool->GetFreeShapes(labels);
    for (const TDF_Label& label : labels) {
        Handle(TDataStd_Name) name;
        std::string text = "(no name)";
        if (label.FindAttribute(TDataStd_Name::GetID(), name))
            text = TCollection_AsciiString(name->Get()).ToCString();
        shapes[text] = tool->GetShape(label);
    }
    application->Close(document);
    return shapes;
}

int count_solids(const TopoDS_Shape& shape) {
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(shape, TopAbs_SOLID, solids);
    return solids.Extent();
}

double volume_of(const TopoDS_Shape& shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props, 1e-6);
    return props.Mass();
}

Bnd_Box box_of(const TopoDS_Shape& shape) {
    Bnd_Box box;
    BRepBndLib::AddOptimal(shape, box, false, false);
    return box;
}

// Pappus's rule on the profile of the data file: its area times the length
// of the circle its centroid describes. The nose and the inner surface as a
// natural parametric cubic spline in the chord length through the rows, the
// trailing edge and the outer surface aft of the table values straight.
double pappus_volume(double D, double inner_radius) {
    std::vector<double> x, yi, yo;
    std::vector<std::string> kind;
    std::istringstream in(read_file(source_path("data/open-water/nozzle-19a.tsv")));
    std::string line;
    bool heading = true;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (heading) {
            heading = false;
            continue;
        }
        std::istringstream fields(line);
        double a = 0, b = 0, c = 0;
        fields >> a >> b >> c;
        std::string k;
        std::getline(fields >> std::ws, k);
        x.push_back(a);
        yi.push_back(b);
        yo.push_back(c);
        kind.push_back(k);
    }
    size_t join = 0;
    while (kind[join + 1] != "straight line") ++join;
    std::vector<double> px, py;
    for (size_t i = join; i > 0; --i) {
        px.push_back(x[i]);
        py.push_back(yo[i]);
    }
    for (size_t i = 0; i < x.size(); ++i) {
        px.push_back(x[i]);
        py.push_back(yi[i]);
    }
    std::vector<double> t{0};
    for (size_t i = 1; i < px.size(); ++i)
        t.push_back(t.back() + std::hypot(px[i] - px[i - 1], py[i] - py[i - 1]));
    const Spline sx(t, px), sy(t, py);
    std::vector<std::array<double, 2>> outline;
    const int n = 20000;
    for (int i = 0; i <= n; ++i) outline.push_back({sx(t.back() * i / n), sy(t.back() * i / n)});
    outline.push_back({x.back(), yo.back()});  // trailing edge, then the straight line back
    const double L = D / 2;
    double twice_area = 0, moment = 0;  // moment: ∫ r dA, r = inner_radius + L·y
    for (size_t i = 0; i < outline.size(); ++i) {
        const auto& a = outline[i];
        const auto& b = outline[(i + 1) % outline.size()];
        const double cross = a[0] * b[1] - b[0] * a[1];
        twice_area += cross;
        moment += cross * (a[1] + b[1]) / 3;  // 2·∫ y dA
    }
    const double area = std::abs(twice_area) / 2;
    const double centroid_y = std::abs(moment) / 2 / area;
    return 2 * std::numbers::pi * (inner_radius + L * centroid_y) * area * L * L;
}

// Facets whose stored normal differs from the unit normal of their vertex
// order (right-hand rule) by more than 1e-3.
long wrong_normals(const fs::path& file) {
    const std::string bytes = read_file(file);
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    long wrong = 0;
    for (size_t t = 0; t < count; ++t) {
        float f[12];
        std::memcpy(f, bytes.data() + 84 + 50 * t, sizeof f);
        const double u[3] = {double(f[6]) - f[3], double(f[7]) - f[4], double(f[8]) - f[5]};
        const double v[3] = {double(f[9]) - f[3], double(f[10]) - f[4], double(f[11]) - f[5]};
        double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                       u[0] * v[1] - u[1] * v[0]};
        const double length = std::hypot(n[0], n[1], n[2]);
        if (!(length > 0)) {
            ++wrong;
            continue;
        }
        if (std::hypot(n[0] / length - f[0], n[1] / length - f[1], n[2] / length - f[2]) > 1e-3)
            ++wrong;
    }
    return wrong;
}

struct Case {
    std::string name;
    Task task;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> cases() {
#ifdef KORVANTI_SOLID_SMALL_MATRIX
    return {{"Ka4_left_mode2", {"Ka4-70-SOL-BK.TSK", "", "", "2   11"}}};
#else
    return {{"Ka4_right_mode1", {"Ka4-70.TSK", "", "", "1   11"}},
            {"Kc4_right_mode2", {"Kc4-70.TSK", "", "", "2   11"}},
            {"Ka4_left_mode1", {"Ka4-70-SOL-BK.TSK", "", "", "1   11"}}};
#endif
}

class DuctedPropeller : public ::testing::TestWithParam<Case> {};

TEST_P(DuctedPropeller, NozzleIsASoundSolidRoundTheBladesAndLeavesThePropellerAsItWas) {
    ScratchDir dir, bare;
    run_korvanti(dir.path(), GetParam().task);
    for (const auto& entry : fs::directory_iterator(dir.path()))
        fs::copy_file(entry.path(), bare.path() / entry.path().filename());
    const Command solid = run_solid(dir.path(), "");
    ASSERT_EQ(solid.exit_status, 0) << solid.out << solid.err;
    EXPECT_EQ(solid.err, "");
    EXPECT_NE(solid.out.find("Files written: Korvanti.step Korvanti.stl Korvanti_panels.vtk "
                             "Korvanti_nozzle.stl\n"),
              std::string::npos)
        << solid.out;
    const double D = std::stod(solid.out.substr(solid.out.find(", D = ") + 6));
    const double gap = 0.005 * D;
    const double volume = summary_figure(solid.out, "volume of the nozzle");
    const double inner = summary_figure(solid.out, "inner diameter of the nozzle");
    const double outer = summary_figure(solid.out, "outer diameter of the nozzle");
    const double measured = summary_figure(solid.out, "smallest gap, blade tips to nozzle");
    EXPECT_NE(solid.out.find("tip gap " + std::to_string(static_cast<int>(gap)) + ".00 mm"),
              std::string::npos)
        << solid.out;
    // The inner cylinder at D/2 + gap at least (further out only as far as
    // the tips of the solid reach beyond D/2); 19A is about 21 % of L thick.
    EXPECT_GE(inner, D + 2 * gap - 0.05);
    EXPECT_LT(inner, D + 2 * gap + 0.01 * D);
    EXPECT_NEAR(outer, inner + 2 * 0.2107 * D / 2, 0.002 * D);

    const std::map<std::string, TopoDS_Shape> step = read_named_step(dir.path() / "Korvanti.step");
    ASSERT_EQ(step.size(), 2u);
    ASSERT_EQ(step.count("propeller"), 1u);
    ASSERT_EQ(step.count("nozzle 19A"), 1u);
    const TopoDS_Shape& nozzle = step.at("nozzle 19A");
    const TopoDS_Shape& propeller = step.at("propeller");
    EXPECT_EQ(count_solids(nozzle), 1);
    EXPECT_TRUE(BRepCheck_Analyzer(nozzle).IsValid());
    const std::vector<std::string> findings = boolean_check_findings(nozzle);
    EXPECT_TRUE(findings.empty()) << findings.size() << " findings, first: " << findings.front();

    EXPECT_NEAR(volume_of(nozzle), volume, 1e-3 * volume);
    EXPECT_NEAR(volume, pappus_volume(D, inner / 2), 0.005 * volume);

    BRepExtrema_DistShapeShape distance(propeller, nozzle);
    ASSERT_TRUE(distance.IsDone());
    EXPECT_NEAR(distance.Value(), gap, 0.02 * gap);
    EXPECT_NEAR(measured, distance.Value(), 0.01);

    // The blade tips (the propeller beyond 0.95 R) lie within the nozzle's
    // length; its mid-length lies between the tip's edges.
    const StlMesh blades = read_binary_stl(dir.path() / "Korvanti.stl");
    double tip_from = 1e30, tip_to = -1e30;
    for (const auto& v : blades.vertices)
        if (std::hypot(v[1], v[2]) > 0.95 * D / 2) {
            tip_from = std::min(tip_from, double(v[0]));
            tip_to = std::max(tip_to, double(v[0]));
        }
    double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
    box_of(nozzle).Get(x0, y0, z0, x1, y1, z1);
    EXPECT_NEAR(x1 - x0, D / 2, 1e-3 * D);
    EXPECT_GT(tip_from, x0);
    EXPECT_LT(tip_to, x1);
    EXPECT_LT(tip_from, (x0 + x1) / 2);
    EXPECT_GT(tip_to, (x0 + x1) / 2);

    // The nozzle's STL: closed, its normals by the right-hand rule.
    const StlMesh stl = read_binary_stl(dir.path() / "Korvanti_nozzle.stl");
    EXPECT_EQ(open_edges(stl), 0);
    EXPECT_NEAR(enclosed_volume(stl), volume, 2e-3 * volume);
    EXPECT_EQ(wrong_normals(dir.path() / "Korvanti_nozzle.stl"), 0);

    // Without the nozzle: the propeller's files and figures as with it.
    const Command without = run_solid(bare.path(), "--no-nozzle");
    ASSERT_EQ(without.exit_status, 0) << without.err;
    EXPECT_EQ(without.out.find("nozzle"), std::string::npos) << without.out;
    EXPECT_EQ(without.out.substr(0, without.out.find("Files written")),
              solid.out.substr(0, solid.out.find("Nozzle 19A")));
    EXPECT_FALSE(fs::exists(bare.path() / "Korvanti_nozzle.stl"));
    EXPECT_EQ(read_file(bare.path() / "Korvanti.stl"), read_file(dir.path() / "Korvanti.stl"));
    const std::map<std::string, TopoDS_Shape> alone =
        read_named_step(bare.path() / "Korvanti.step");
    ASSERT_EQ(alone.size(), 1u);
    ASSERT_EQ(alone.count("propeller"), 1u);
    const double v_with = volume_of(propeller), v_without = volume_of(alone.at("propeller"));
    EXPECT_NEAR(v_with, v_without, 1e-9 * v_without);
    double a0 = 0, b0 = 0, c0 = 0, a1 = 0, b1 = 0, c1 = 0;
    box_of(propeller).Get(x0, y0, z0, x1, y1, z1);
    box_of(alone.at("propeller")).Get(a0, b0, c0, a1, b1, c1);
    for (const auto& [p, q] : {std::pair{x0, a0}, {y0, b0}, {z0, c0}, {x1, a1}, {y1, b1}, {z1, c1}})
        EXPECT_NEAR(p, q, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Series, DuctedPropeller, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

const std::vector<std::string> outputs = {"Korvanti.step", "Korvanti.stl", "Korvanti_panels.vtk",
                                          "Korvanti_nozzle.stl"};

class NozzleOptions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ka_ = new ScratchDir;
        run_korvanti(ka_->path(), {"Ka4-70.TSK", "", "", ""});
    }
    static void TearDownTestSuite() { delete ka_; }
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(ka_->path()))
            fs::copy_file(entry.path(), dir_.path() / entry.path().filename());
    }
    void expect_no_output() const {
        for (const std::string& name : outputs)
            EXPECT_FALSE(fs::exists(dir_.path() / name)) << name;
    }
    // korvanti-solid copied into <root>/bin of a scratch root, as a package
    // unpacked there would hold it; the profile only where the test puts it.
    fs::path installed_program(const std::string& profile) const {
        const fs::path bin = root_.path() / "bin";
        fs::create_directories(bin);
        fs::copy_file(SOLID_EXE, bin / "korvanti-solid");
        if (!profile.empty()) {
            const fs::path share = root_.path() / "share" / "korvanti" / "open-water";
            fs::create_directories(share);
            write_file(share / "nozzle-19a.tsv", profile);
        }
        return bin / "korvanti-solid";
    }

    static ScratchDir* ka_;
    ScratchDir dir_, root_;
};
ScratchDir* NozzleOptions::ka_ = nullptr;

TEST_F(NozzleOptions, TipGapIsTheGapMeasuredAndBadValuesEndWithOneLine) {
    const Command wide = run_solid(dir_.path(), "--tip-gap=20 --only step");
    ASSERT_EQ(wide.exit_status, 0) << wide.err;
    EXPECT_NEAR(summary_figure(wide.out, "smallest gap, blade tips to nozzle"), 20, 0.4);
    EXPECT_GE(summary_figure(wide.out, "inner diameter of the nozzle"), 2040 - 0.05);
    EXPECT_NE(wide.out.find("Files written: Korvanti.step\n"), std::string::npos);
    fs::remove(dir_.path() / "Korvanti.step");

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"--tip-gap", "korvanti-solid: option --tip-gap: expected a value after it\n"},
        {"--tip-gap=",
         "korvanti-solid: option --tip-gap: expected a positive number of "
         "millimetres, got ''\n"},
        {"--tip-gap 0",
         "korvanti-solid: option --tip-gap: expected a positive number of "
         "millimetres, got '0'\n"},
        {"--tip-gap -3",
         "korvanti-solid: option --tip-gap: expected a positive number of "
         "millimetres, got '-3'\n"},
        {"--tip-gap 5mm",
         "korvanti-solid: option --tip-gap: expected a positive number of "
         "millimetres, got '5mm'\n"},
        {"--tip-gap nan",
         "korvanti-solid: option --tip-gap: expected a positive number of "
         "millimetres, got 'nan'\n"},
        {"--tip-gap 100",
         "korvanti-solid: option --tip-gap: 100.000 mm is not less than 5 % "
         "of the diameter (100.000 mm)\n"}};
    for (const auto& [arguments, message] : bad) {
        const Command run = run_solid(dir_.path(), arguments);
        EXPECT_EQ(run.exit_status, 2) << arguments;
        EXPECT_EQ(run.err, message) << arguments;
        expect_no_output();
    }
}

TEST_F(NozzleOptions, OnlyAndNoNozzleChooseTheFiles) {
    const Command vtk = run_solid(dir_.path(), "--only vtk");
    EXPECT_EQ(vtk.exit_status, 0) << vtk.err;
    EXPECT_EQ(vtk.out, "Files written: Korvanti_panels.vtk\n");
    fs::remove(dir_.path() / "Korvanti_panels.vtk");
    const Command stl = run_solid(dir_.path(), "--only stl --tip-gap 15");
    ASSERT_EQ(stl.exit_status, 0) << stl.err;
    EXPECT_NE(stl.out.find("Files written: Korvanti.stl Korvanti_nozzle.stl\n"), std::string::npos)
        << stl.out;
    EXPECT_EQ(open_edges(read_binary_stl(dir_.path() / "Korvanti_nozzle.stl")), 0);
    EXPECT_FALSE(fs::exists(dir_.path() / "Korvanti.step"));
    fs::remove(dir_.path() / "Korvanti_nozzle.stl");
    const Command bare = run_solid(dir_.path(), "--no-nozzle --only stl");
    ASSERT_EQ(bare.exit_status, 0) << bare.err;
    EXPECT_EQ(bare.out.find("ozzle"), std::string::npos) << bare.out;
    EXPECT_FALSE(fs::exists(dir_.path() / "Korvanti_nozzle.stl"));
}

TEST_F(NozzleOptions, OpenPropellerHasNoNozzleAndSaysTheOptionsDoNothing) {
    ScratchDir b4;
    run_korvanti(b4.path(), {"B4-55.TSK", "", "", ""});
    const Command run = run_solid(b4.path(), "--tip-gap 5 --only step");
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Note: this series is an open propeller without a nozzle: --tip-gap "
                            "and --no-nozzle have no effect\n",
                            0),
              0u)
        << run.out;
    EXPECT_EQ(run.out.find("Nozzle 19A"), std::string::npos);
    const std::map<std::string, TopoDS_Shape> step = read_named_step(b4.path() / "Korvanti.step");
    ASSERT_EQ(step.size(), 1u);
    EXPECT_EQ(step.count("propeller"), 1u);
    // Without either option, no note.
    EXPECT_EQ(run_solid(b4.path(), "--only vtk").out, "Files written: Korvanti_panels.vtk\n");
}

TEST_F(NozzleOptions, InstalledProgramFindsTheProfileBesideItOrSaysWhichFileIsAmiss) {
    const std::string profile = read_file(source_path("data/open-water/nozzle-19a.tsv"));
    // A program outside the build tree with no profile installed beside it.
    const fs::path alone = installed_program("");
    const fs::path expected = root_.path() / "share" / "korvanti" / "open-water" / "nozzle-19a.tsv";
    Command run = run_shell(dir_.path(), "'" + alone.string() + "' </dev/null");
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, "korvanti-solid: " + fs::weakly_canonical(expected).string() +
                           ": cannot be opened (the nozzle profile belongs to the installation)\n");
    EXPECT_EQ(run.out, "");
    expect_no_output();
    // Damaged: a row cut short, a number that is not one, rows out of order.
    fs::create_directories(expected.parent_path());
    const std::string cut = profile.substr(0, profile.find("0.5000"));
    std::string letter = profile;
    letter.replace(letter.find("0.1928"), 6, "0.19x8");
    std::string order = profile;
    order.replace(order.find("0.7000\t"), 7, "0.3500\t");
    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {cut,
              ": the profile does not run from a leading edge at x/L = 0 to a table row at "
              "x/L = 1\n"},
             {letter, ", line 17: \"0.19x8\" is not a number\n"},
             {order, ", line 24: x/L does not increase\n"}}) {
        write_file(expected, text);
        run = run_shell(dir_.path(), "'" + alone.string() + "' </dev/null");
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_EQ(run.err, "korvanti-solid: " + fs::weakly_canonical(expected).string() + message);
        expect_no_output();
    }
    // The good copy installed: found, the nozzle written.
    write_file(expected, profile);
    run = run_shell(dir_.path(), "'" + alone.string() + "' --only step </dev/null");
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("Nozzle 19A"), std::string::npos);
}

}  // namespace
}  // namespace korvanti::testing
