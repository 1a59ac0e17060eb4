// Numbers of the script. Sheet numbers are printf's "%.*f" with the decimals
// that give the significant digits asked (the decimal exponent being
// floor(log10|v|) as std::log10 gives it), trailing zeros cut; std::to_chars
// with a precision rounds exactly as printf does. Points in space are the
// shortest text that reads back as the value (std::to_chars without one).
#include "script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <type_traits>

namespace telvaro {

namespace {

// Room for any double in fixed notation: 309 integer digits, a sign, a point
// and up to 40 decimals, or the 327 characters of the shortest subnormal.
constexpr std::size_t kNumberRoom = 400;

void append_decimal_text(std::string& out, double value, int significant) {
    if (!std::isfinite(value) || value == 0) {
        out += '0';
        return;
    }
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(significant - 1 - exponent, 0, 40);
    char buffer[kNumberRoom];
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    if (text.find('.') != std::string_view::npos) {
        text.remove_suffix(text.size() - (text.find_last_not_of('0') + 1));
        if (text.back() == '.') text.remove_suffix(1);
    }
    if (text.find_first_not_of("-0") == std::string_view::npos) {
        out += '0';  // a value that rounds to zero, either sign
        return;
    }
    out += text;
}

void append_shortest_text(std::string& out, double value) {
    if (!std::isfinite(value) || value == 0) {
        out += '0';
        return;
    }
    char buffer[kNumberRoom];
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
    out.append(buffer, static_cast<std::size_t>(end - buffer));
}

void append_point(std::string& out, Point2 p) {
    append_decimal_text(out, p.x, 15);
    out += ',';
    append_decimal_text(out, p.y, 15);
}

class ScriptWriter {
public:
    explicit ScriptWriter(const Drawing& drawing) : drawing_(drawing) {}

    std::string text() {
        const auto& entities = drawing_.entities();
        const auto& settings = drawing_.settings();
        std::size_t next_setting = 0;
        for (std::size_t i = 0; i <= entities.size(); ++i) {
            while (next_setting < settings.size() && settings[next_setting].before == i)
                setting(settings[next_setting++]);
            if (i < entities.size())
                std::visit([this](const auto& s) { shape(s); }, entities[i].shape);
        }
        return std::move(out_);
    }

private:
    void line(std::string_view text) {
        out_ += text;
        out_ += '\n';
    }
    void point_line(Point2 p) {
        append_point(out_, p);
        out_ += '\n';
    }

    void setting(const Setting& s) {
        switch (s.kind) {
            case SettingKind::sheet_setup:
                line("ltscale 10");
                line("OSMODE 0");
                line("SNAP OFF");
                line("erase w 0,0 397,252  limits 0,0 397,252");
                line("grid 10 zoom a layer set 0");
                line(" regenauto off");
                break;
            case SettingKind::new_layer: {
                const std::string& name = drawing_.layers()[static_cast<std::size_t>(s.value)];
                line("layer new " + name + " set " + name + " ");
                break;
            }
            case SettingKind::colour:
                line("COLOR " + std::to_string(s.value));
                break;
            case SettingKind::zoom_all:
                line("Zoom A");
                break;
            case SettingKind::zoom_extents:
                line("Zoom E");
                break;
            case SettingKind::view_point: {
                const Point3 v = drawing_.view_point();
                line("VPOINT " + decimal_text(v.x) + "," + decimal_text(v.y) + "," +
                     decimal_text(v.z));
                break;
            }
            case SettingKind::hide:
                line("HIDE");
                break;
        }
    }

    void shape(const Polyline& p) {
        line("PLINE");
        for (const Point2& point : p.points) point_line(point);
        line("");
        const char* option = p.fitted ? "F " : "D ";
        switch (p.pick) {
            case PolylinePick::last:
                line("PEDIT L");
                line(option);
                break;
            case PolylinePick::last_same_line:
                line("PEDIT");
                line(std::string("L ") + option);
                break;
            case PolylinePick::by_last_point:
                line("PEDIT");
                point_line(p.points.back());
                line(option);
                break;
        }
    }

    void shape(const LineChain& chain) {
        if (chain.closed) {  // one line: "LINE x,y x,y ... C"
            out_ += "LINE";
            for (const Point2& point : chain.points) {
                out_ += ' ';
                append_point(out_, point);
            }
            line(" C");
            return;
        }
        line("LINE");
        for (const Point2& point : chain.points) point_line(point);
        line("");
    }

    void shape(const Circle& c) {
        line("CIRCLE");
        point_line(c.centre);
        line(decimal_text(c.radius));
    }

    void shape(const Text& t) {
        if (!style_ || !(*style_ == t.style)) {
            line("STYLE " + t.style.name + " " + t.style.font + " " + decimal_text(t.style.height) +
                 " 1 0 N N N");
            style_ = &t.style;
        }
        line("TEXT");
        point_line(t.at);
        line(t.text);
    }

    void shape(const Face& f) {
        line("3DFACE");
        for (const Point3& c : f.corners) {
            append_shortest_text(out_, c.x);
            out_ += ',';
            append_shortest_text(out_, c.y);
            out_ += ',';
            append_shortest_text(out_, c.z);
            out_ += '\n';
        }
        line("");
    }

    const Drawing& drawing_;
    std::string out_;
    const TextStyle* style_ = nullptr;
};

}  // namespace

std::string decimal_text(double value, int significant) {
    std::string text;
    append_decimal_text(text, value, significant);
    return text;
}

std::string shortest_text(double value) {
    std::string text;
    append_shortest_text(text, value);
    return text;
}

std::string script_text(const Drawing& drawing) { return ScriptWriter(drawing).text(); }

}  // namespace telvaro
