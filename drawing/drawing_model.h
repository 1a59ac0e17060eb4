// The drawing as a list of entities in drawing order, each with its layer and
// colour: what the form plans and the 3D panel view draw, before any file is
// written. The writers (AutoCAD script, DXF, PDF and PNG) turn it into files.
//
// Beside the entities the drawing keeps the settings the AutoCAD script
// states between them (sheet set-up, a new layer, a colour, the view
// commands), each placed before the entity it precedes, so that the script
// writer can say them where the script always has; the other writers read the
// layer and colour stamped on each entity.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace telvaro {

struct Point2 {
    double x, y;
};

struct Point3 {
    double x, y, z;
};

// How the script's PEDIT command picks the polyline just drawn; the polyline
// is the same every way.
enum class PolylinePick {
    last,            // "PEDIT L", then the option
    last_same_line,  // "PEDIT", then "L" and the option on one line
    by_last_point,   // "PEDIT", then the polyline's last point, then the option
};

// A polyline through its points, fitted to a smooth curve through them or
// left straight.
struct Polyline {
    std::vector<Point2> points;
    bool fitted;
    PolylinePick pick;
};

// A chain of straight segments; a closed chain returns to its first point.
struct LineChain {
    std::vector<Point2> points;
    bool closed;
};

struct Circle {
    Point2 centre;
    double radius;
};

struct TextStyle {
    std::string name;
    std::string font;
    double height;

    bool operator==(const TextStyle&) const = default;
};

// A line of text with its insertion point at the left end of its baseline.
struct Text {
    Point2 at;
    std::string text;
    TextStyle style;
};

// A plane or twisted quadrilateral in space (a triangle repeats a corner).
struct Face {
    std::array<Point3, 4> corners;
};

using Shape = std::variant<Polyline, LineChain, Circle, Text, Face>;

struct Entity {
    int layer;   // index into Drawing::layers()
    int colour;  // AutoCAD colour number: 1 red, 2 yellow, 3 green, 4 cyan, 5 blue, 6 magenta, 7
                 // white (black on paper)
    Shape shape;
};

enum class SettingKind {
    sheet_setup,   // the sheet's limits, grid and snap
    new_layer,     // a layer made and set current (value: its index)
    colour,        // the current colour (value: the colour number)
    zoom_all,      // view commands of the 3D view
    zoom_extents,  //
    view_point,    // the viewing direction, Drawing::view_point()
    hide,          // hidden lines removed
};

struct Setting {
    std::size_t before;  // index of the entity it precedes (the entity count at the end)
    SettingKind kind;
    int value;
};

class Drawing {
public:
    // Width and height of the sheet of the form plans, in millimetres.
    static constexpr double kSheetWidth = 397;
    static constexpr double kSheetHeight = 252;

    // Starts the sheet of the form plans: its set-up, layer "0" current.
    void sheet_setup();
    void new_layer(const std::string& name);
    void colour(int number);
    void zoom_all() { setting(SettingKind::zoom_all, 0); }
    void zoom_extents() { setting(SettingKind::zoom_extents, 0); }
    // The direction from which the 3D view is looked at (towards the origin).
    void view_from(const Point3& direction);
    void hide() { setting(SettingKind::hide, 0); }

    // Adds an entity on the current layer in the current colour.
    void add(Shape shape);
    void reserve(std::size_t entities) { entities_.reserve(entities_.size() + entities); }

    // True for the form plans, drawn on the sheet in millimetres; false for
    // the 3D view, drawn in space in metres.
    bool on_sheet() const { return on_sheet_; }
    const std::vector<Entity>& entities() const { return entities_; }
    const std::vector<Setting>& settings() const { return settings_; }
    const std::vector<std::string>& layers() const { return layers_; }
    Point3 view_point() const { return view_point_; }

private:
    void setting(SettingKind kind, int value) {
        settings_.push_back({entities_.size(), kind, value});
    }

    bool on_sheet_ = false;
    std::vector<Entity> entities_;
    std::vector<Setting> settings_;
    std::vector<std::string> layers_{"0"};
    int layer_ = 0;
    int colour_ = 7;
    Point3 view_point_{0, 0, 1};
};

// The colour of an AutoCAD colour number on white paper, red, green and blue
// from 0 to 1 (7, white on the screen, is black on paper; yellow and cyan
// are darkened to stay legible).
std::array<double, 3> paper_colour(int number);

}  // namespace telvaro

namespace telvaro {

// One cubic Bézier segment of a fitted polyline.
struct Bezier {
    Point2 p0, c1, c2, p3;
    Point2 at(double t) const;
};

// The smooth curve through the points of a fitted polyline, as every writer
// draws it: one cubic segment between neighbouring points with the tangents
// of the Catmull-Rom spline (at an inner point parallel to the chord of its
// two neighbours, at an end along its chord). Empty for fewer than two points.
std::vector<Bezier> fitted_curve(const std::vector<Point2>& points);

}  // namespace telvaro
