#include "panel_data.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "common/list_input.h"

namespace telvaro {

namespace {

struct ReadError {
    std::string message;
};

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string number_text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

// What a value is, for the messages: a name, "name(i, ...)" with up to four
// indices, or "name p kose c dugum numarasi" for a panel corner. The text is
// put together only when a message needs it.
class What {
public:
    What(const char* name) : name_(name) {}  // implicit: a plain name is a What
    What(const char* name, int i) : name_(name), count_(1), index_{i, 0, 0, 0} {}
    What(const char* name, int i, int j) : name_(name), count_(2), index_{i, j, 0, 0} {}
    What(const char* name, int i, int j, int k, int l)
        : name_(name), count_(4), index_{i, j, k, l} {}
    static What corner(const char* panel, int p, int c) {
        What what(panel, p, c);
        what.corner_ = true;
        return what;
    }

    std::string text() const {
        std::string text = name_;
        if (corner_)
            return text + " " + std::to_string(index_[0]) + " kose " + std::to_string(index_[1]) +
                   " dugum numarasi";
        if (count_ == 0) return text;
        for (int n = 0; n < count_; ++n) text += (n == 0 ? "(" : ",") + std::to_string(index_[n]);
        return text + ")";
    }

private:
    const char* name_;
    int count_ = 0;
    int index_[4] = {};
    bool corner_ = false;
};

// List-directed reading: each record starts on a fresh line, its values are
// separated by blanks or commas, a record with too few values on its line goes
// on to the next line and values left over on a line are ignored.
class RecordReader {
public:
    explicit RecordReader(std::istream& in) : input_(in) {}

    void begin_record() { input_.begin_record(); }

    double real(const What& what) {
        const std::string_view token = next_token(what);
        double value = 0;
        if (!korvanti::read_real_with_d_exponent(token, value) || !std::isfinite(value))
            fail(what.text() + " icin sayi bekleniyordu, " + quoted(token) + " bulundu");
        return value;
    }

    int integer(const What& what) {
        const std::string_view token = next_token(what);
        const char* first = token.data() + (token.size() > 1 && token[0] == '+' ? 1 : 0);
        const char* last = token.data() + token.size();
        int value = 0;
        auto [end, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || end != last)
            fail(what.text() + " icin tamsayi bekleniyordu, " + quoted(token) + " bulundu");
        return value;
    }

    int count(const What& what, int lowest, int highest) {
        int value = integer(what);
        if (value < lowest || value > highest)
            fail(what.text() + " = " + std::to_string(value) + ", " + std::to_string(lowest) +
                 " ile " + std::to_string(highest) + " arasinda olmali");
        return value;
    }

    double positive(const What& what) {
        double value = real(what);
        if (!(value > 0))
            fail(what.text() + " = " + number_text(value) + ", sifirdan buyuk olmali");
        return value;
    }

    [[noreturn]] void fail(const std::string& text) const {
        throw ReadError{"PERVDAT satir " + std::to_string(input_.line_number()) + ": " + text};
    }

private:
    std::string_view next_token(const What& what) {
        const auto item = input_.next_item();
        if (!item)
            throw ReadError{"PERVDAT eksik: " + what.text() + " okunamadan dosya bitti (" +
                            std::to_string(input_.line_number()) + " satir okundu)"};
        return *item;
    }

    korvanti::ListInput input_;
};

void read_sections(RecordReader& in, PanelData& d) {
    in.begin_record();
    d.M = in.count("yaricap sayisi M", 1, kMaxRadii);
    for (int k = 1; k <= d.M; ++k) {
        in.begin_record();
        d.NP(k) = in.count(What("NP", k), 1, kMaxSectionPoints);
        d.NCH(k) = in.count(What("NCH", k), 1, kMaxSurfacePoints);
        for (int j = 1; j <= d.NP(k); ++j) {
            in.begin_record();
            d.xc(k, j) = in.real(What("xc", k, j));
            d.ys(k, j) = in.real(What("ys", k, j));
        }
        for (int j = 1; j <= d.NP(k); ++j) {
            in.begin_record();
            d.xc(k, j) = in.real(What("xc", k, j));
            d.yp(k, j) = in.real(What("yp", k, j));
        }
    }
}

void read_radii_and_surface(RecordReader& in, PanelData& d) {
    for (int k = 1; k <= d.M; ++k) {
        in.begin_record();
        d.r(k) = in.positive(What("yaricap r", k));
    }
    for (int k = 1; k <= d.M; ++k) {
        in.begin_record();
        d.tmax_from_le(k) = in.real(What("TMAX mesafesi", k));
    }
    for (int side = 1; side <= 2; ++side)
        for (int u = 1; u <= 3; ++u)
            for (int k = 1; k <= d.M; ++k)
                for (int w = 1; w <= d.NCH(k); ++w) {
                    in.begin_record();
                    d.S(side, u, k, w) = in.real(What("yuzey noktasi S", side, u, k, w));
                }
}

void read_particulars(RecordReader& in, PanelData& d) {
    in.begin_record();
    d.Z = in.count("kanat sayisi Z", 1, kMaxBladeCount);
    d.EAR = in.real("EAR");
    in.begin_record();
    d.D = in.positive("cap D");
    d.P_D = in.real("P/D");
    for (int k = 1; k <= d.M; ++k)
        for (int i = 1; i <= 2; ++i) {
            in.begin_record();
            for (int u = 1; u <= 3; ++u)
                d.tmax_line(k, i, u) = in.real(What("TMAX cizgisi noktasi", k, i));
        }
}

void read_mesh(RecordReader& in, PanelData& d) {
    in.begin_record();
    d.NV1 = in.count("dugum sayisi NV1", 0, kMaxVertices);
    d.NQ1 = in.count("panel sayisi NQ1", 0, kMaxPanels);
    d.NV2 = in.count("ikinci ag dugum sayisi NV2", 0, kMaxSecondVertices);
    d.NQ2 = in.count("ikinci ag panel sayisi NQ2", 0, kMaxSecondPanels);
    d.NH1 = in.count("gobek panel sayisi NH1", 0, d.NQ1);
    auto read_vertices = [&in](auto& vertex, int count, const char* name) {
        for (int v = 1; v <= count; ++v) {
            in.begin_record();
            for (int u = 1; u <= 3; ++u) vertex(v, u) = in.real(What(name, v));
        }
    };
    auto read_panels = [&in](auto& panel, int count, int vertices, const char* name) {
        for (int p = 1; p <= count; ++p) {
            in.begin_record();
            for (int corner = 1; corner <= 4; ++corner)
                panel(p, corner) = in.count(What::corner(name, p, corner), 1, vertices);
        }
    };
    read_vertices(d.vertex, d.NV1, "dugum");
    read_panels(d.panel, d.NQ1, d.NV1, "panel");
    read_vertices(d.vertex2, d.NV2, "ikinci ag dugum");
    read_panels(d.panel2, d.NQ2, d.NV2, "ikinci ag panel");
}

}  // namespace

std::optional<std::string> read_panel_data(std::istream& stream, PanelData& data) {
    RecordReader in(stream);
    try {
        read_sections(in, data);
        read_radii_and_surface(in, data);
        read_particulars(in, data);
        read_mesh(in, data);
    } catch (const ReadError& error) {
        return error.message;
    }
    return std::nullopt;
}

std::optional<std::string> read_panel_data(const std::filesystem::path& file, PanelData& data) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return "PERVDAT acilamadi (" + file.string() + "); once Korvanti ile PERVDAT uretilmeli";
    return read_panel_data(in, data);
}

}  // namespace telvaro
