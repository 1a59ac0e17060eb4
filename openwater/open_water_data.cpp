// Readers of the open-water polynomials (tab-separated, "#" comment lines, one
// header row): the Wageningen B-series after Oosterveld & van Oossanen (1975)
// as tabulated by Bernitsas, Ray & Kinley (1981), and the Ka-series in
// nozzle 19A after Oosterveld (1970) and Kuiper (1992).
#include "openwater/open_water_data.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace korvanti::openwater {

namespace {

std::string file_text(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw DataError(file.string() + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) fields.push_back(field);
    return fields;
}

// Calls `row` with the fields of every data row (after the header row) and
// the line number.
template <class Row>
void for_each_row(const std::string& text, const std::string& name, size_t columns, Row row) {
    std::istringstream in(text);
    bool header_seen = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = fields_of(line);
        if (fields.size() != columns)
            throw DataError(name + " line " + std::to_string(number) + ": expected " +
                            std::to_string(columns) + " tab-separated fields");
        if (!header_seen) {
            header_seen = true;
            continue;
        }
        row(fields, number);
    }
}

double real_field(const std::string& field, const std::string& where) {
    double value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size())
        throw DataError(where + ": '" + field + "' is not a number");
    return value;
}

int exponent_field(const std::string& field, const std::string& where) {
    int value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size() || value < 0 || value > 6)
        throw DataError(where + ": '" + field + "' is not an exponent from 0 to 6");
    return value;
}

void require_terms(const Polynomial& p, const std::string& name, const std::string& quantity) {
    if (p.empty()) throw DataError(name + ": no " + quantity + " terms");
}

}  // namespace

BSeriesPolynomials parse_b_series(const std::string& kt_kq_text, const std::string& reynolds_text,
                                  const std::string& name_kt_kq, const std::string& name_reynolds) {
    BSeriesPolynomials b;
    for_each_row(kt_kq_text, name_kt_kq, 6, [&](const std::vector<std::string>& f, int line) {
        const std::string where = name_kt_kq + " line " + std::to_string(line);
        Term t{real_field(f[1], where),     exponent_field(f[2], where),
               exponent_field(f[3], where), exponent_field(f[4], where),
               exponent_field(f[5], where), 0};
        if (f[0] == "KT")
            b.kt.push_back(t);
        else if (f[0] == "KQ")
            b.kq.push_back(t);
        else
            throw DataError(where + ": quantity '" + f[0] + "' is neither KT nor KQ");
    });
    for_each_row(reynolds_text, name_reynolds, 7, [&](const std::vector<std::string>& f, int line) {
        const std::string where = name_reynolds + " line " + std::to_string(line);
        Term t{real_field(f[1], where),     exponent_field(f[2], where),
               exponent_field(f[3], where), exponent_field(f[4], where),
               exponent_field(f[5], where), exponent_field(f[6], where)};
        if (t.j > 2 || t.l > 2) throw DataError(where + ": J and L exponents go up to 2");
        if (f[0] == "dKT")
            b.dkt.push_back(t);
        else if (f[0] == "dKQ")
            b.dkq.push_back(t);
        else
            throw DataError(where + ": quantity '" + f[0] + "' is neither dKT nor dKQ");
    });
    require_terms(b.kt, name_kt_kq, "KT");
    require_terms(b.kq, name_kt_kq, "KQ");
    require_terms(b.dkt, name_reynolds, "dKT");
    require_terms(b.dkq, name_reynolds, "dKQ");
    return b;
}

std::map<std::string, DuctedPolynomials> parse_ducted(const std::string& text,
                                                      const std::string& name) {
    std::map<std::string, DuctedPolynomials> ducted;
    for_each_row(text, name, 5, [&](const std::vector<std::string>& f, int line) {
        const std::string where = name + " line " + std::to_string(line);
        // "Ka4-70": four blades, Ae/A0 = 0.70.
        int blades = 0, area = 0;
        char dash = 0;
        std::istringstream id(f[0].size() > 2 ? f[0].substr(2) : "");
        if (f[0].rfind("Ka", 0) != 0 || !(id >> blades >> dash >> area) || dash != '-' ||
            blades < 2 || blades > 7 || area <= 0)
            throw DataError(where + ": propeller '" + f[0] + "' is not named as Ka4-70");
        DuctedPolynomials& d = ducted[f[0]];
        d.blades = blades;
        d.area_ratio = area / 100.0;
        // x is the exponent of P/D, y that of J.
        Term t{real_field(f[2], where),
               exponent_field(f[4], where),
               exponent_field(f[3], where),
               0,
               0,
               0};
        if (f[1] == "KT")
            d.kt.push_back(t);
        else if (f[1] == "KTN")
            d.ktn.push_back(t);
        else if (f[1] == "KQ")
            d.kq.push_back(t);
        else
            throw DataError(where + ": quantity '" + f[1] + "' is not KT, KTN or KQ");
    });
    if (ducted.empty()) throw DataError(name + ": no propeller");
    for (const auto& [id, d] : ducted) {
        require_terms(d.kt, name, id + " KT");
        require_terms(d.ktn, name, id + " KTN");
        require_terms(d.kq, name, id + " KQ");
    }
    return ducted;
}

OpenWaterData read_open_water_data(const std::filesystem::path& folder) {
    OpenWaterData data;
    const auto kt_kq = folder / b_series_file;
    const auto reynolds = folder / reynolds_file;
    const auto ka = folder / ka_series_file;
    // One after the other, so that the first missing file is the one named.
    const std::string kt_kq_text = file_text(kt_kq);
    const std::string reynolds_text = file_text(reynolds);
    data.b = parse_b_series(kt_kq_text, reynolds_text, kt_kq.string(), reynolds.string());
    data.ducted = parse_ducted(file_text(ka), ka.string());
    return data;
}

}  // namespace korvanti::openwater
