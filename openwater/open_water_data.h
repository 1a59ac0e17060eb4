// The published open-water polynomials as the program reads them from
// data/open-water/: the Wageningen B-series KT and KQ with their Reynolds
// corrections, and the Ka-series in nozzle 19A.
#pragma once

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvanti::openwater {

// A file that cannot be read or holds no usable polynomial; the message
// names the file and the line.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One term c·J^j·(P/D)^p·(Ae/A0)^a·Z^z·L^l of a regression polynomial.
struct Term {
    double c = 0;
    int j = 0, p = 0, a = 0, z = 0, l = 0;
};
using Polynomial = std::vector<Term>;

// The B-series at Rn = 2·10⁶ and its corrections ΔKT, ΔKQ.
struct BSeriesPolynomials {
    Polynomial kt, kq, dkt, dkq;
};

// A ducted propeller of the Ka-series in nozzle 19A: total thrust, nozzle
// thrust and torque in (P/D, J).
struct DuctedPolynomials {
    int blades = 0;
    double area_ratio = 0;
    Polynomial kt, ktn, kq;
};

struct OpenWaterData {
    BSeriesPolynomials b;
    std::map<std::string, DuctedPolynomials> ducted;  // by name: "Ka4-70", "Ka5-75"
};

inline constexpr const char* b_series_file = "wageningen-b-kt-kq.tsv";
inline constexpr const char* reynolds_file = "wageningen-b-reynolds.tsv";
inline constexpr const char* ka_series_file = "ka-nozzle-19a.tsv";

// Reads the three files of `folder`.
OpenWaterData read_open_water_data(const std::filesystem::path& folder);

// The parsers behind it, on the text of one file; `name` is used in the
// messages.
BSeriesPolynomials parse_b_series(const std::string& kt_kq_text, const std::string& reynolds_text,
                                  const std::string& name_kt_kq, const std::string& name_reynolds);
std::map<std::string, DuctedPolynomials> parse_ducted(const std::string& text,
                                                      const std::string& name);

}  // namespace korvanti::openwater
