// Differential test of the record-template interpreter against gfortran.
//
// The test writes one small Fortran program that reads its floats as 32-bit
// patterns (TRANSFER to REAL(4), so both sides hold the identical float),
// writes every case with the same template through a unit opened with
// gfortran's default rounding (no ROUND=: the exact binary value rounded to
// the nearest, exact ties to even, as the interpreter does), and compares the
// text case by case with format_record. gfortran leaves out the blanks of an nX that ends a record,
// so lines are compared with trailing blanks removed; the unit tests check
// the record lengths.
#include "filelayer/record.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>

#include "support/test_support.h"

namespace korvanti {
namespace {

struct Case {
    std::string format;
    std::vector<RecordValue> values;
};

bool gfortran_available() { return std::system("command -v gfortran > /dev/null 2>&1") == 0; }

std::string rstrip(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Fortran character literal in double quotes.
std::string fortran_literal(std::string_view s) {
    std::string out = "\"";
    for (char ch : s) {
        if (ch == '"')
            out += "\"\"";
        else
            out += ch;
    }
    return out + "\"";
}

// ------------------------------------------------------------- values

class Values {
public:
    Values() : rng_(20240611) {}

    std::mt19937& rng() { return rng_; }

    // Floats over many magnitudes, the extremes and special values.
    std::vector<float> general() {
        std::vector<float> v;
        const float fmax = std::numeric_limits<float>::max();
        const float fmin = std::numeric_limits<float>::min();
        const float dmin = std::numeric_limits<float>::denorm_min();
        const float inf = std::numeric_limits<float>::infinity();
        for (float x : {0.0f,
                        -0.0f,
                        dmin,
                        -dmin,
                        fmin,
                        -fmin,
                        fmax,
                        -fmax,
                        inf,
                        -inf,
                        std::numeric_limits<float>::quiet_NaN(),
                        1.0f,
                        -1.0f,
                        0.1f,
                        -0.1f,
                        0.125f,
                        -0.125f,
                        0.375f,
                        0.5f,
                        -0.5f,
                        1.5f,
                        2.5f,
                        -2.5f,
                        0.0625f,
                        0.03125f,
                        1.0005f,
                        9.9995f,
                        0.99995f,
                        99.995f,
                        999.9995f,
                        999.995f,
                        0.35f,
                        0.05f,
                        0.25f,
                        12.0625f,
                        1234565.0f,
                        999999.5f,
                        16777216.0f,
                        0.0001f,
                        -0.0001f,
                        -0.04f,
                        3.1415927f,
                        6.2831855f,
                        1.0e-10f,
                        1.0e-40f,
                        1.0e30f,
                        1.0e-30f})
            v.push_back(x);
        // Around powers of ten.
        for (int j = -8; j <= 10; ++j) {
            float p = std::pow(10.0f, static_cast<float>(j));
            v.push_back(std::nextafter(p, 0.0f));
            v.push_back(p);
            v.push_back(-std::nextafter(p, fmax));
        }
        // Random bit patterns with exponents from about 1e-12 to 1e12.
        std::uniform_int_distribution<std::uint32_t> bits;
        std::uniform_int_distribution<std::uint32_t> exponent(127 - 40, 127 + 40);
        for (int k = 0; k < 150; ++k) {
            std::uint32_t b = (bits(rng_) & 0x807FFFFFu) | (exponent(rng_) << 23);
            v.push_back(std::bit_cast<float>(b));
        }
        // Short decimals like the reports print.
        std::uniform_int_distribution<int> mantissa(-99999, 99999);
        std::uniform_int_distribution<int> scale(0, 7);
        for (int k = 0; k < 60; ++k)
            v.push_back(static_cast<float>(mantissa(rng_)) /
                        std::pow(10.0f, static_cast<float>(scale(rng_))));
        // Dyadic values: exact decimal expansions, many of them ties for some
        // number of digits.
        std::uniform_int_distribution<int> odd(0, 499);
        std::uniform_int_distribution<int> power(-30, 12);
        for (int k = 0; k < 60; ++k) {
            float x = std::ldexp(static_cast<float>(2 * odd(rng_) + 1), power(rng_));
            v.push_back(k % 2 == 0 ? x : -x);
        }
        return v;
    }

    // Exact ties of Fw.d: odd multiples of 2^-(d+1).
    std::vector<float> fixed_ties(int d) {
        std::vector<float> v;
        if (d > 22) return v;
        std::uniform_int_distribution<int> odd(
            0, std::min(1 << 12, (1 << (23 - std::min(d, 11))) - 1));
        for (int k = 0; k < 40; ++k) {
            float x = std::ldexp(static_cast<float>(2 * odd(rng_) + 1), -(d + 1));
            v.push_back(k % 2 == 0 ? x : -x);
        }
        return v;
    }

    // Powers of two and their small odd multiples: decimal expansions ending
    // in 5 with every number of significant digits, so ties of Ew.d.
    std::vector<float> exp_ties() {
        std::vector<float> v;
        for (int k = 1; k <= 40; ++k) {
            for (int n : {1, 3, 5, 7, 9, 11, 13, 15})
                v.push_back(std::ldexp(static_cast<float>(n), -k));
        }
        for (int n : {15, 125, 1235, 12345, 123455, 1234565, 12345675, 999995, 9999995}) {
            v.push_back(static_cast<float>(n));
            v.push_back(-static_cast<float>(n));
        }
        return v;
    }

    std::vector<int> integers() {
        std::vector<int> v = {0,
                              1,
                              -1,
                              9,
                              -9,
                              10,
                              -10,
                              99,
                              -99,
                              100,
                              -100,
                              999,
                              -999,
                              1000,
                              -1000,
                              9999,
                              -9999,
                              99999,
                              1234567,
                              -1234567,
                              std::numeric_limits<int>::max(),
                              std::numeric_limits<int>::min()};
        std::uniform_int_distribution<int> digits(0, 9);
        std::uniform_int_distribution<int> bits;
        for (int k = 0; k < 60; ++k) {
            int x = bits(rng_);
            int shift = digits(rng_) * 3;
            v.push_back(shift >= 31 ? x : x >> shift);
        }
        return v;
    }

    float typical_float() {
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        std::uniform_int_distribution<int> magnitude(-3, 3);
        return u(rng_) * std::pow(10.0f, static_cast<float>(magnitude(rng_)));
    }
    int typical_int() { return std::uniform_int_distribution<int>(-99, 999)(rng_); }
    std::string typical_text() {
        static const char* texts[] = {" (m)",
                                      "  ---",
                                      "   ---",
                                      "BLUE        ",
                                      "RED         ",
                                      "",
                                      "WAGENINGEN B 4.550",
                                      "a",
                                      "it's",
                                      "say \"hi\"",
                                      "abcdefghijklmnopqrstuvwxyz"};
        return texts[std::uniform_int_distribution<int>(0, 10)(rng_)];
    }

private:
    std::mt19937 rng_;
};

// ------------------------------------------------------------- cases

// A template and the types of its values: `pass` for one full pass, `cycle`
// for every pass after a reversion (empty when the reverted part takes no
// values).
struct Shape {
    std::string format;
    std::string pass;
    std::string cycle;
};

std::vector<Shape> record_templates() {
    const std::string geometry_header =
        "2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D     b/D    P/D  theta    iT/D  "
        "  tm/D')";
    std::string pitch_block =
        "(/,' r/R    =',F8.4,/,' RADIUS =',F8.4,A7,/,' PITCH  =',F8.4,A7,11X,'PITCH/D =',F7.4,/,' "
        "CHORD  "
        "=',F8.4,A7,11X,'CHORD/D =',F7.4,/,' RAKE   =',F8.4,A7,11X,' RAKE/D =',F7.4,/,' SKEWB  "
        "=',F8.4,A7,11X,'Sk(deg) =',F7.2,/,' TMAX   =',F8.4,A7,8X,'TMAX/CHORD =',F7.4,/,' FMAX   "
        "=',F8.4,A7,8X,'FMAX/CHORD =',F7.4,/,' TMX_LE =',F8.4,A7,6X,'TMX_LE/CHORD =',F7.4,/,' "
        "FMX_LE "
        "=',F8.4,A7,6X,'FMX_LE/CHORD =',F7.4)";
    std::string pitch_types = "F" + std::string("FA");
    for (int k = 0; k < 8; ++k) pitch_types += "FAF";
    return {
        {"(   16X,'(INTERPOLE EDILMIS)    ')", "", ""},
        {"('        TEK KANADA AIT DEGERLER ' )", "", ""},
        {"('      (cm)     (cm2)      (kg)  (kg*m2)')", "", ""},
        {"('  i   r(i)     Ax(i)      m(i)   Iox(i)')", "", ""},
        {"(' !',20X,'Geometrilerini Hesap Programi',27X,'!')", "", ""},
        {"(' !',3X,'Wageningen B, Ka, Kc, Gawn, KCA ve Newton-Rader, Au Serisi "
         "Pervanelerin',2X,'!')",
         "", ""},
        {"(' !',76X,'!')", "", ""},
        {"(' -- KANAT AGIRLIGI VE ATALET MOMENTININ HESABI --')", "", ""},
        {"(' --------------------------------------')", "", ""},
        {"(' -----------------------------------------' )", "", ""},
        {"(' Iox   = ', F8.2, ' kg*m2 (saft eksenine gore) (',          F6.2,' kg*m2 basit "
         "toplam)')",
         "FF", "FF"},
        {"(' V     = ', F8.0 ,'   cm3  (pervane hacmi)' )", "F", "F"},
        {"(' X(1)=',F20.15,/,' X   =',F20.15,/,' X(N)=',F20.15)", "FFF", "FFF"},
        {"(' Zc    = ', F6.2, ' m (saft eksenine gore)' )", "F", "F"},
        {"(' m     = ', F8.1, ' kg (',F8.1,' kg basit toplam)')", "FF", "FF"},
        {"(' rho_m = ', F6.1, ' kg/m3 (malzeme yogunlugu)' )", "F", "F"},
        {"('r/R',20(F7.4,1X))", std::string(20, 'F'), std::string(20, 'F')},
        {"('xc',1X,20(F7.4,1X))", std::string(20, 'F'), std::string(20, 'F')},
        {"('yb',1X,20(F7.4,1X))", std::string(20, 'F'), std::string(20, 'F')},
        {"('yf',1X,20(F7.4,1X))", std::string(20, 'F'), std::string(20, 'F')},
        {pitch_block, pitch_types, pitch_types},
        {"(/,16X,'PERVANE OFSETI - SAG PERVANE')", "", ""},
        {"(/,16X,'PERVANE OFSETI - SOL PERVANE')", "", ""},
        {"(/,59('='))", "", ""},
        {"(//)", "", ""},
        {"(2/)", "", ""},
        {"(4/)", "", ""},
        {"(59('='))", "", ""},
        {"(74('-'))", "", ""},
        {"(74('='))", "", ""},
        {"(90('-'))", "", ""},
        {"(90('='))", "", ""},
        {"(1X,50('-'))", "", ""},
        {"(1X,78('='))", "", ""},
        {"(1X,' % kort  ',3X,'  (m)    ',3X,'  (m)  ',       4X,' (m) ',4X,'  (m)  ')", "", ""},
        {"(1X,' Konumu  ',3X,' Konumu  ',3X,' Tarafi',       4X,'Hatti',3X,' Tarafi')", "", ""},
        {"(1X,'Kesit Boy',3X,'Kesit Boy',3X,' Emme  ',       4X,'Sehim ',2X,' Basinc ')", "", ""},
        {"(1X,F5.3,1X,F7.5,1X,F7.5,1X,F6.3,1X,F7.5,1X,F6.3)", "FFFFFF", "FFFFFF"},
        {"(1X,F6.2,7X,F7.4,3X,F7.4,3X,F7.4,3X,F7.4)", "FFFFF", "FFFFF"},
        {"(1X,I2,2X,F6.2,2X,F8.3,1X,F8.2,1X,F8.2)", "IFFFF", "IFFFF"},
        {"(1X,I2,2X,F6.2,2X,F8.3,3X,A,3X,A)", "IFFAA", "IFFAA"},
        {"(2(E14.8,1X))", "FF", "FF"},
        {"(25I3)", std::string(25, 'I'), std::string(25, 'I')},
        {"(2F10.5)", "FF", "FF"},
        {"(2I9)", "II", "II"},
        {"(2X,'KC101 - GAWN/BURRILL - Ear = ',F5.3," + geometry_header, "F", ""},
        {"(3(E12.6,1X))", "FFF", "FFF"},
        {"(3(F14.8,1X))", "FFF", "FFF"},
        {"(3/,16X,'PERVANE KESIT OFSETLERI')", "", ""},
        {"(3F10.5)", "FFF", "FFF"},
        {"(3I5)", "III", "III"},
        {"(3X,'L.E.',7X,F7.4,3X,F7.4,3X,F7.4,3X,F7.4)", "FFFF", "FFFF"},
        {"(3X,'T.E.',7X,F7.4,3X,F7.4,3X,F7.4,3X,F7.4)", "FFFF", "FFFF"},
        {"(4I4,2X,3F10.3)", "IIIIFFF", "IIIIFFF"},
        {"(5(E12.6,1X))", "FFFFF", "FFFFF"},
        {"(5I5)", "IIIII", "IIIII"},
        {"(9X,' GAWN - Ear = ',F5.3," + geometry_header, "F", ""},
        {"(9X,' NR - Ear = ',F5.3," + geometry_header, "F", ""},
        {"(9X,'AU(MAU) ',F5.3," + geometry_header, "F", ""},
        {"(9X,'WAGENINGEN B ',F5.3," + geometry_header, "F", ""},
        {"(9X,'WAGENINGEN NOZULLU Ka ',F5.3," + geometry_header, "F", ""},
        {"(9X,'WAGENINGEN NOZULLU Kc ',F5.3," + geometry_header, "F", ""},
        {"(A25)", "A", "A"},
        {"(A40)", "A", "A"},
        {"(A44)", "A", "A"},
        {"(E14.8)", "F", "F"},
        {"(F10.5)", "F", "F"},
        {"(F5.3,2X,3(F6.4,2X),F5.3,2X,F5.1,2X,F6.3,2X,F6.4)", "FFFFFFFF", "FFFFFFF"},
        {"(I10,3F10.5)", "IFFF", "IFFF"},
        {"(I4)", "I", "I"},
        {"(I7)", "I", "I"},
        {"(' ZONE T = \"SUCT. SIDE \" , I=',I3,                              ', F=POINT',', "
         "C=BLACK')",
         "I", "I"},
        {"(' ZONE T = \"PRES. SIDE \" , I=',I3,                              ', F=POINT',', "
         "C=BLACK')",
         "I", "I"},
        {"(' ZONE T = \"TRAILING EDGE\" , I=',I3,                            ', F=POINT',', "
         "C=BLACK')",
         "I", "I"},
        {"(' ZONE T = \"LEADING EDGE\" , I=',I3,                             ', F=POINT',', "
         "C=BLACK')",
         "I", "I"},
        {"(1X,'ZONE T=\"PRESS. SIDE OF HUB\", I=',I3,', J=',I3,',C=',A12,/)", "IIA", "IIA"},
        {"(/,1X,'ZONE T=\"SUCTI. SIDE OF HUB\", I=',I3,', J=',I3,',C=',A12,/)", "IIA", "IIA"},
        {"(/,1X,'ZONE T=\"PRESS. SIDE OF BLADE\", I=',I3,', J=',I3,',C=',A12,/)", "IIA", "IIA"},
        {"(/,1X,'ZONE T=\"SUCTI. SIDE OF BLADE\", I=',I3,', J=',I3,',C=',A12,/)", "IIA", "IIA"},
        // Layout cases of the interpreter itself.
        {"('a'/'b'//'c')", "", ""},
        {"(3('ab'),2X,'|')", "", ""},
        {"(2(1X,2('-')))", "", ""},
        {"('it''s',1X,\"say \"\"hi\"\"\")", "", ""},
        {"(A,2(I2,1X),I3)", "AIII", "II"},
        {"(I4,2(I3,F5.1))", "IIFIF", "IFIF"},
        {"('L',2(I2),'|')", "II", "II"},
        {"(2X,'a',2X,I3,'b')", "I", "I"},
        {"(F5.2,' m',/,' next',F5.2,'x')", "FF", "FF"},
        {"(i3,f6.2,a,e10.3)", "IFAE", "IFAE"},
        {"(1X,F0.3,1X,F0.0,1X,I0)", "FFI", "FFI"},
        {"(2(' [',F9.2,']'),2X)", "FF", "FF"},
    };
}

RecordValue value_of(char type, Values& values) {
    switch (type) {
        case 'I':
            return values.typical_int();
        case 'A':
            return values.typical_text();
        default:
            return values.typical_float();
    }
}

std::vector<Case> build_cases(Values& values) {
    std::vector<Case> cases;
    auto floats_case = [&](const std::string& format, const std::vector<float>& xs) {
        Case c{format, {}};
        for (float x : xs) c.values.emplace_back(x);
        cases.push_back(std::move(c));
    };
    const std::vector<float> general = values.general();

    for (auto [w, d] : std::vector<std::pair<int, int>>{
             {1, 0}, {2, 0},   {2, 1},  {3, 0},   {3, 1},   {4, 3},  {5, 2},   {5, 3},
             {6, 1}, {6, 2},   {6, 3},  {7, 4},   {7, 5},   {8, 0},  {8, 1},   {8, 2},
             {8, 3}, {8, 4},   {10, 3}, {10, 5},  {12, 3},  {14, 8}, {20, 15}, {0, 3},
             {0, 0}, {45, 30}, {50, 3}, {60, 45}, {12, 10}, {25, 20}}) {
        std::string format = "('[',F" + std::to_string(w) + "." + std::to_string(d) + ",']')";
        std::vector<float> xs = general;
        for (float x : values.fixed_ties(d)) xs.push_back(x);
        floats_case(format, xs);
    }
    const std::vector<float> exp_ties = values.exp_ties();
    for (auto [w, d] : std::vector<std::pair<int, int>>{{6, 1},
                                                        {8, 3},
                                                        {9, 2},
                                                        {9, 3},
                                                        {10, 3},
                                                        {12, 1},
                                                        {12, 4},
                                                        {12, 6},
                                                        {14, 8},
                                                        {15, 9},
                                                        {20, 12},
                                                        {40, 35}}) {
        std::string format = "('[',E" + std::to_string(w) + "." + std::to_string(d) + ",']')";
        std::vector<float> xs = general;
        xs.insert(xs.end(), exp_ties.begin(), exp_ties.end());
        floats_case(format, xs);
    }
    // Several fields on a line, with reversion.
    floats_case("(1X,3F9.3,2X,E12.4)", general);

    const std::vector<int> ints = values.integers();
    for (int w : {1, 2, 3, 4, 5, 7, 9, 10, 11, 0}) {
        Case c{"('[',I" + std::to_string(w) + ",']')", {}};
        for (int i : ints) c.values.emplace_back(i);
        cases.push_back(std::move(c));
    }
    for (const char* a : {"A", "A1", "A3", "A7", "A12", "A25"}) {
        Case c{std::string("('[',") + a + ",']')", {}};
        for (int k = 0; k < 11; ++k) c.values.emplace_back(values.typical_text());
        for (const char* s : {"", "x", "abc", "abcdefg", "  ---"})
            c.values.emplace_back(std::string(s));
        cases.push_back(std::move(c));
    }

    // The system's record templates, with no values, too few, exactly one pass
    // and (where the template allows it) more than one pass.
    for (const Shape& shape : record_templates()) {
        std::vector<std::size_t> counts{0};
        std::size_t n = shape.pass.size();
        if (n >= 1) counts.push_back(1);
        if (n >= 3) counts.push_back(n / 2);
        if (n >= 2) counts.push_back(n - 1);
        if (n >= 1) counts.push_back(n);
        if (!shape.cycle.empty()) {
            counts.push_back(n + 1);
            counts.push_back(n + 2 * shape.cycle.size() + 1);
        }
        for (std::size_t count : counts) {
            Case c{shape.format, {}};
            for (std::size_t k = 0; k < count; ++k) {
                char type = k < n ? shape.pass[k] : shape.cycle[(k - n) % shape.cycle.size()];
                c.values.push_back(value_of(type, values));
            }
            cases.push_back(std::move(c));
        }
    }
    return cases;
}

// ------------------------------------------------------------- the Fortran side

struct FortranProgram {
    std::string source;
    std::string data;  // float patterns, then integers
    std::size_t float_count = 0;
};

FortranProgram fortran_program(const std::vector<Case>& cases) {
    std::vector<std::int32_t> float_bits;
    std::vector<int> ints;
    std::ostringstream body;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        body << "  write(10, '(A)') '@@ " << k << "'\n";
        std::vector<std::string> items;
        std::size_t j = 0;
        while (j < c.values.size()) {
            const RecordValue& v = c.values[j];
            if (std::holds_alternative<std::string>(v)) {
                std::string text = std::get<std::string>(v);
                items.push_back(text.empty() ? std::string("''") : fortran_literal(text));
                ++j;
                continue;
            }
            // A run of floats or of integers becomes one implied DO.
            bool is_float = std::holds_alternative<float>(v);
            std::size_t first = (is_float ? float_bits.size() : ints.size()) + 1;
            std::size_t run = 0;
            while (j < c.values.size() && (is_float ? std::holds_alternative<float>(c.values[j])
                                                    : std::holds_alternative<int>(c.values[j]))) {
                if (is_float)
                    float_bits.push_back(std::bit_cast<std::int32_t>(std::get<float>(c.values[j])));
                else
                    ints.push_back(std::get<int>(c.values[j]));
                ++j;
                ++run;
            }
            const char* array = is_float ? "r" : "iv";
            if (run == 1)
                items.push_back(std::string(array) + "(" + std::to_string(first) + ")");
            else
                items.push_back("(" + std::string(array) + "(k), k=" + std::to_string(first) + "," +
                                std::to_string(first + run - 1) + ")");
        }
        body << "  write(10, " << fortran_literal(c.format) << ")";
        for (std::size_t i = 0; i < items.size(); ++i) body << (i == 0 ? " " : ", ") << items[i];
        body << "\n";
    }
    if (float_bits.empty()) float_bits.push_back(0);
    if (ints.empty()) ints.push_back(0);

    FortranProgram program;
    program.float_count = float_bits.size();
    std::ostringstream src;
    src << "program record_diff\n"
        << "  implicit none\n"
        << "  integer, parameter :: nr = " << float_bits.size() << ", ni = " << ints.size() << "\n"
        << "  integer(4) :: rb(nr), iv(ni)\n"
        << "  real(4) :: r(nr)\n"
        << "  integer :: k\n"
        << "  open(11, file='values.txt', status='old', action='read')\n"
        << "  read(11, *) rb\n"
        << "  read(11, *) iv\n"
        << "  close(11)\n"
        << "  r = transfer(rb, 1.0_4, nr)\n"
        << "  open(10, file='out.txt', status='replace', action='write')\n"
        << body.str() << "  write(10, '(A)') '@@ end'\n"
        << "  close(10)\n"
        << "end program record_diff\n";
    program.source = src.str();

    std::ostringstream data;
    for (std::size_t i = 0; i < float_bits.size(); ++i)
        data << float_bits[i] << ((i % 8 == 7) ? "\n" : " ");
    data << "\n";
    for (std::size_t i = 0; i < ints.size(); ++i) data << ints[i] << ((i % 8 == 7) ? "\n" : " ");
    data << "\n";
    program.data = data.str();
    return program;
}

std::string describe_values(const std::vector<RecordValue>& values) {
    std::ostringstream s;
    s.precision(9);
    for (const RecordValue& v : values) {
        if (const float* f = std::get_if<float>(&v))
            s << *f << " [0x" << std::hex << std::bit_cast<std::uint32_t>(*f) << std::dec << "] ";
        else if (const int* i = std::get_if<int>(&v))
            s << *i << " ";
        else
            s << '"' << std::get<std::string>(v) << "\" ";
    }
    return s.str();
}

TEST(RecordGfortran, SameTextAsGfortran) {
    if (!gfortran_available()) GTEST_SKIP() << "gfortran is not installed";
    testing::ScratchDir scratch;

    Values values;
    std::vector<Case> cases = build_cases(values);
    std::size_t value_count = 0;
    for (const Case& c : cases) value_count += c.values.size();
    ASSERT_GT(value_count, 5000u);

    FortranProgram program = fortran_program(cases);
    testing::write_file(scratch.path() / "record_diff.f90", program.source);
    testing::write_file(scratch.path() / "values.txt", program.data);
    int rc = std::system(
        "gfortran -O0 -ffree-line-length-none -o record_diff record_diff.f90 > compile.log 2>&1");
    ASSERT_EQ(rc, 0) << testing::read_file(scratch.path() / "compile.log");
    rc = std::system("./record_diff > run.log 2>&1");
    ASSERT_EQ(rc, 0) << testing::read_file(scratch.path() / "run.log");

    // Split gfortran's output at the case markers.
    std::vector<std::vector<std::string>> theirs(cases.size());
    std::vector<std::string> lines = split_lines(testing::read_file(scratch.path() / "out.txt"));
    ASSERT_FALSE(lines.empty());
    ASSERT_EQ(lines.back(), "@@ end");
    long current = -1;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].rfind("@@ ", 0) == 0) {
            current = std::stol(lines[i].substr(3));
            ASSERT_LT(static_cast<std::size_t>(current), cases.size());
            continue;
        }
        ASSERT_GE(current, 0) << "output before the first marker";
        theirs[current].push_back(rstrip(lines[i]));
    }

    int reported = 0;
    std::size_t compared_lines = 0;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        std::string record = format_record(c.format, std::span<const RecordValue>(c.values));
        ASSERT_FALSE(record.empty());
        ASSERT_EQ(record.back(), '\n');
        std::vector<std::string> ours = split_lines(record);
        for (std::string& line : ours) line = rstrip(line);
        compared_lines += ours.size();
        if (ours == theirs[k]) continue;
        std::ostringstream diff;
        std::size_t n = std::max(ours.size(), theirs[k].size());
        for (std::size_t i = 0; i < n; ++i) {
            std::string a = i < ours.size() ? ours[i] : "<none>";
            std::string b = i < theirs[k].size() ? theirs[k][i] : "<none>";
            if (a != b) {
                diff << "  line " << i + 1 << "\n    ours:     [" << a << "]\n    gfortran: [" << b
                     << "]\n";
                if (i < c.values.size() && c.format.rfind("('[',", 0) == 0)
                    diff << "    value: " << describe_values({c.values[i]}) << "\n";
            }
        }
        ADD_FAILURE() << "case " << k << " " << c.format << " with " << c.values.size()
                      << " values\n"
                      << diff.str();
        if (++reported >= 20) break;
    }
    EXPECT_EQ(reported, 0);
    std::printf("%zu cases, %zu values, %zu lines compared\n", cases.size(), value_count,
                compared_lines);
}

}  // namespace
}  // namespace korvanti
