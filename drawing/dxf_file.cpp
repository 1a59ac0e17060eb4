// DXF through dxflib (Debian libdxflib-dev), its records collected in memory
// so that the file is written like every other file of the program.
#include "dxf_file.h"

#include <dl_dxf.h>
#include <dl_writer_ascii.h>

#include <charconv>
#include <cmath>

namespace telvaro {

namespace {

// dxflib's writer with its group codes and values kept in a string (the
// stream it would open is never opened: its file name is empty).
class MemoryWriter : public DL_WriterA {
public:
    MemoryWriter() : DL_WriterA("", DL_Codes::AC1009) {}

    void dxfReal(int gc, double value) const override {
        code(gc);
        char buffer[400];
        if (!std::isfinite(value)) value = 0;
        char* end =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
        text_.append(buffer, static_cast<std::size_t>(end - buffer));
        if (std::string_view(buffer, static_cast<std::size_t>(end - buffer)).find('.') ==
            std::string_view::npos)
            text_ += ".0";
        text_ += '\n';
    }
    void dxfInt(int gc, int value) const override {
        code(gc);
        std::string number = std::to_string(value);
        if (number.size() < 6) text_.append(6 - number.size(), ' ');
        text_ += number;
        text_ += '\n';
    }
    void dxfHex(int gc, int value) const override {
        code(gc);
        char buffer[16];
        char* end =
            std::to_chars(buffer, buffer + sizeof buffer, static_cast<unsigned>(value), 16).ptr;
        for (char* c = buffer; c != end; ++c)
            if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
        text_.append(buffer, static_cast<std::size_t>(end - buffer));
        text_ += '\n';
    }
    void dxfString(int gc, const char* value) const override {
        code(gc);
        text_ += value;
        text_ += '\n';
    }
    void dxfString(int gc, const std::string& value) const override {
        code(gc);
        text_ += value;
        text_ += '\n';
    }

    std::string take() { return std::move(text_); }

private:
    void code(int gc) const {
        if (gc < 10)
            text_ += "  ";
        else if (gc < 100)
            text_ += ' ';
        text_ += std::to_string(gc);
        text_ += '\n';
    }
    mutable std::string text_;
};

constexpr int kFitVerticesPerSegment = 7;

class DxfWriter {
public:
    explicit DxfWriter(const Drawing& drawing) : drawing_(drawing) {
        // dxflib takes the version for its records from the writer it opens:
        // asked to open no file, it keeps the version and opens nothing.
        delete dxf_.out("", DL_Codes::AC1009);
    }

    std::string text() {
        dxf_.writeHeader(out_);
        out_.sectionEnd();
        tables();
        blocks();
        out_.sectionEntities();
        for (const Entity& e : drawing_.entities()) {
            const DL_Attributes attributes(drawing_.layers()[static_cast<std::size_t>(e.layer)],
                                           e.colour, 0, "BYLAYER", 1.0);
            std::visit([&](const auto& shape) { write(shape, attributes); }, e.shape);
        }
        out_.sectionEnd();
        out_.dxfEOF();
        return out_.take();
    }

private:
    // Each layer takes the colour of its first entity (7 when it has none).
    int layer_colour(int layer) const {
        for (const Entity& e : drawing_.entities())
            if (e.layer == layer) return e.colour;
        return 7;
    }

    void tables() {
        out_.sectionTables();
        dxf_.writeVPort(out_);
        out_.tableLinetypes(1);
        dxf_.writeLinetype(out_, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
        out_.tableEnd();
        const auto& layers = drawing_.layers();
        out_.tableLayers(static_cast<int>(layers.size()));
        for (std::size_t i = 0; i < layers.size(); ++i)
            dxf_.writeLayer(
                out_, DL_LayerData(layers[i], 0),
                DL_Attributes("", layer_colour(static_cast<int>(i)), 0, "CONTINUOUS", 1.0));
        out_.tableEnd();
        out_.tableStyle(2);
        dxf_.writeStyle(out_, DL_StyleData("STANDARD", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
        dxf_.writeStyle(out_, DL_StyleData("COMPLEX", 0, 3.5, 1.0, 0.0, 0, 3.5, "complex", ""));
        out_.tableEnd();
        dxf_.writeView(out_);
        dxf_.writeUcs(out_);
        out_.tableAppid(1);
        dxf_.writeAppid(out_, "ACAD");
        out_.tableEnd();
        dxf_.writeDimStyle(out_, 2.5, 1.25, 0.625, 0.625, 2.5);
        out_.sectionEnd();
    }

    void blocks() {
        out_.sectionBlocks();
        dxf_.writeBlock(out_, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
        dxf_.writeEndBlock(out_, "*Model_Space");
        dxf_.writeBlock(out_, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
        dxf_.writeEndBlock(out_, "*Paper_Space");
        out_.sectionEnd();
    }

    void vertex(Point2 p, int flags) {
        dxf_.writeVertex(out_, DL_VertexData(p.x, p.y, 0, 0));
        if (flags != 0) out_.dxfInt(70, flags);
    }

    void write(const Polyline& p, const DL_Attributes& attributes) {
        const auto curve = p.fitted ? fitted_curve(p.points) : std::vector<Bezier>{};
        const int count = static_cast<int>(p.points.size() + curve.size() * kFitVerticesPerSegment);
        dxf_.writePolyline(out_, DL_PolylineData(count, 0, 0, p.fitted ? 2 : 0), attributes);
        if (curve.empty()) {
            for (const Point2& point : p.points) vertex(point, 0);
        } else {
            for (const Bezier& segment : curve) {
                vertex(segment.p0, 0);
                for (int i = 1; i <= kFitVerticesPerSegment; ++i)
                    vertex(segment.at(i / (kFitVerticesPerSegment + 1.0)), 1);  // curve-fit vertex
            }
            vertex(p.points.back(), 0);
        }
        dxf_.writePolylineEnd(out_);
    }

    void write(const LineChain& chain, const DL_Attributes& attributes) {
        const auto& p = chain.points;
        for (std::size_t i = 0; i + 1 < p.size(); ++i)
            dxf_.writeLine(out_, DL_LineData(p[i].x, p[i].y, 0, p[i + 1].x, p[i + 1].y, 0),
                           attributes);
        if (chain.closed && p.size() > 2)
            dxf_.writeLine(out_, DL_LineData(p.back().x, p.back().y, 0, p[0].x, p[0].y, 0),
                           attributes);
    }

    void write(const Circle& c, const DL_Attributes& attributes) {
        dxf_.writeCircle(out_, DL_CircleData(c.centre.x, c.centre.y, 0, c.radius), attributes);
    }

    void write(const Text& t, const DL_Attributes& attributes) {
        dxf_.writeText(out_,
                       DL_TextData(t.at.x, t.at.y, 0, t.at.x, t.at.y, 0, t.style.height, 1, 0, 0, 0,
                                   t.text, t.style.name, 0),
                       attributes);
    }

    void write(const Face& f, const DL_Attributes& attributes) {
        const auto& c = f.corners;
        dxf_.write3dFace(out_,
                         DL_3dFaceData(c[0].x, c[0].y, c[0].z, c[1].x, c[1].y, c[1].z, c[2].x,
                                       c[2].y, c[2].z, c[3].x, c[3].y, c[3].z, 0),
                         attributes);
    }

    const Drawing& drawing_;
    DL_Dxf dxf_;
    MemoryWriter out_;
};

}  // namespace

std::string dxf_text(const Drawing& drawing) { return DxfWriter(drawing).text(); }

}  // namespace telvaro
