// The drawing on an A3 landscape page, drawn with cairo: the form plans at
// true sheet size (1 drawing millimetre = 1 mm of paper), the 3D view fitted
// to the page as seen from its view point, faces shaded and in depth order.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "drawing_model.h"

namespace telvaro {

constexpr double kPageWidth = 420;   // A3 landscape, mm
constexpr double kPageHeight = 297;  //
constexpr double kPngPixelsPerMm = 4;

// The page as a one-page PDF or as a PNG of 4 pixels per millimetre; a
// message when the file cannot be written.
std::optional<std::string> write_pdf(const Drawing& drawing, const std::string& path);
std::optional<std::string> write_png(const Drawing& drawing, const std::string& path);

// A face of the 3D view projected along the view direction onto the plane
// whose horizontal axis is level (perpendicular to the Z axis).
struct ProjectedFace {
    std::array<Point2, 4> corners;
    double depth;
    double light;  // cosine of the angle between the normal and the light, 0 to 1
    int colour;
    std::size_t entity;  // index of its entity in the drawing
};

// The faces of the drawing, farthest first (by their mean depth): the order
// that paints nearer faces over the ones they hide.
std::vector<ProjectedFace> projected_faces(const Drawing& drawing);

// The colour a face is painted in: its entity's colour shaded by the light.
std::array<double, 3> face_colour(const ProjectedFace& face);

// The page drawn into width x height pixels (red, green, blue, row by row),
// kept in proportion and centred on white.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};
Image render_image(const Drawing& drawing, int width, int height);

}  // namespace telvaro
