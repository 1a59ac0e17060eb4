// Blade mass and inertia from the section areas A(r): each area is the
// integral of the thickness over the chord, and the radial integrals of A,
// r·A and rho·A·r² give volume, centroid radius and the moment of inertia of
// one blade about the shaft axis. All integrals use the piecewise-parabolic
// three-point rule; the strip column uses trapezoidal strips between
// neighbouring stations (mass at the strip's mid radius).
#include "reports/blade_mass.h"

#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>

#include "filelayer/file_text.h"
#include "filelayer/output_file.h"
#include "filelayer/record.h"
#include "numeric/local_interpolation.h"

namespace korvanti {

namespace {

// The three-point rule needs three points; two points take the trapezoid
// (exact for the straight line they define), one point has no extent.
float integrate_table(int n, View1<const float> x, View1<const float> y) {
    if (n >= 3) return integrate_three_point(n, x, y);
    if (n == 2) return (y(1) + y(2)) / 2.0f * (x(2) - x(1));
    return 0.0f;
}

struct MassValues {
    StationArray A;       // section area, m2
    StationArray ms, Ix;  // per strip k = 2..N: mass and ms·rm²
    float V = 0.0f, Zc = 0.0f, m = 0.0f, m_sum = 0.0f, Iox = 0.0f, I_sum = 0.0f;
};

void section_areas(const BladeModel& model, MassValues& mv) {
    Array1<float, max_points> t;
    for (int i = 1; i <= model.station_count; ++i) {
        for (int j = 1; j <= model.point_count; ++j) t(j) = model.yb(i, j) - model.yf(i, j);
        mv.A(i) = std::fabs(integrate_table(model.point_count, model.xc.row(i), t.view()));
    }
}

// Iox = integral of (rho·A)·(r·r) over r; I_sum = sum of ms·(rm·rm).
void radial_integrals(const BladeModel& model, MassValues& mv) {
    const int n = model.station_count;
    StationArray rA, rhoAr2;
    for (int i = 1; i <= n; ++i) {
        rA(i) = model.r(i) * mv.A(i);
        rhoAr2(i) = blade_density * mv.A(i) * (model.r(i) * model.r(i));
    }
    mv.V = integrate_table(n, model.r.view(), mv.A.view());
    mv.Zc = integrate_table(n, model.r.view(), rA.view()) / mv.V;
    mv.m = blade_density * mv.V;
    mv.Iox = integrate_table(n, model.r.view(), rhoAr2.view());
    for (int k = 2; k <= n; ++k) {
        const float dr = model.r(k) - model.r(k - 1);
        const float Vs = (mv.A(k - 1) + mv.A(k)) * dr / 2.0f;
        const float rm = (model.r(k - 1) + model.r(k)) / 2.0f;
        mv.ms(k) = blade_density * Vs;
        mv.Ix(k) = mv.ms(k) * (rm * rm);
        mv.m_sum = mv.m_sum + mv.ms(k);
        mv.I_sum = mv.I_sum + mv.Ix(k);
    }
}

void write_mass_block(const BladeModel& model, const MassValues& mv, std::ostream& result) {
    write_record(result, "(4/)");
    write_record(result, "(' -- KANAT AGIRLIGI VE ATALET MOMENTININ HESABI --')");
    write_record(result, "(' --------------------------------------')");
    write_record(result, "('  i   r(i)     Ax(i)      m(i)   Iox(i)')");
    write_record(result, "('      (cm)     (cm2)      (kg)  (kg*m2)')");
    write_record(result, "(' --------------------------------------')");
    write_record(
        result, "(1X,I2,2X,F6.2,2X,F8.3,3X,A,3X,A)",
        {1, model.r(1) * 100.0f, mv.A(1) * 10000.0f, std::string("  ---"), std::string("   ---")});
    for (int k = 2; k <= model.station_count; ++k)
        write_record(result, "(1X,I2,2X,F6.2,2X,F8.3,1X,F8.2,1X,F8.2)",
                     {k, model.r(k) * 100.0f, mv.A(k) * 10000.0f, mv.ms(k), mv.Ix(k)});
    write_record(result, "(' --------------------------------------')");
    write_record(result, "(//)");
    write_record(result, "('        TEK KANADA AIT DEGERLER ' )");
    write_record(result, "(' -----------------------------------------' )");
    write_record(result, "(' m     = ', F8.1, ' kg (',F8.1,' kg basit toplam)')", {mv.m, mv.m_sum});
    write_record(result,
                 "(' Iox   = ', F8.2, ' kg*m2 (saft eksenine gore) (',          F6.2,' kg*m2 basit "
                 "toplam)')",
                 {mv.Iox, mv.I_sum});
    write_record(result, "(' V     = ', F8.0 ,'   cm3  (pervane hacmi)' )", {mv.V * 1000000.0f});
    write_record(result, "(' Zc    = ', F6.2, ' m (saft eksenine gore)' )", {mv.Zc});
    write_record(result, "(' rho_m = ', F6.1, ' kg/m3 (malzeme yogunlugu)' )", {blade_density});
}

// Sides of every section, then the trailing and leading edges along the
// radius; ordinates from the shaft axis, abscissae mirrored for a left hand.
std::string tecplot_2d_text(const BladeModel& model) {
    const float hand = model.left_hand() ? -1.0f : 1.0f;
    const int n = model.station_count;
    const int np = model.point_count;
    FileText out(tecplot_2d_file_name);
    auto point = [&](float x, float y) { out.record("(2(E14.8,1X))", {hand * x, y}); };
    for (int i = 1; i <= n; ++i) {
        out.record(
            "(' ZONE T = \"SUCT. SIDE \" , I=',I3,                              ', "
            "F=POINT',', C=BLACK')",
            {np});
        for (int j = 1; j <= np; ++j) point(model.xc(i, j), model.yb(i, j) + model.r(i));
        out.record(
            "(' ZONE T = \"PRES. SIDE \" , I=',I3,                              ', "
            "F=POINT',', C=BLACK')",
            {np});
        for (int j = 1; j <= np; ++j) point(model.xc(i, j), model.yf(i, j) + model.r(i));
    }
    auto edge_zone = [&](const char* zone, int j) {
        out.record(zone, {n});
        for (int i = 1; i <= n; ++i)
            point(model.xc(i, j),
                  ((model.yb(i, j) + model.r(i)) + (model.yf(i, j) + model.r(i))) / 2.0f);
    };
    edge_zone(
        "(' ZONE T = \"TRAILING EDGE\" , I=',I3,                            ', F=POINT',', "
        "C=BLACK')",
        1);
    edge_zone(
        "(' ZONE T = \"LEADING EDGE\" , I=',I3,                             ', F=POINT',', "
        "C=BLACK')",
        np);
    return std::move(out).finish();
}

}  // namespace

BladeMass write_blade_mass(const BladeModel& model, std::ostream& result) {
    MassValues mv;
    section_areas(model, mv);
    radial_integrals(model, mv);
    write_mass_block(model, mv, result);
    build_output_file(tecplot_2d_file_name, [&] { return tecplot_2d_text(model); });
    BladeMass figures;
    figures.A = mv.A;
    figures.V = mv.V;
    figures.Zc = mv.Zc;
    figures.m = mv.m;
    figures.m_sum = mv.m_sum;
    figures.Iox = mv.Iox;
    figures.I_sum = mv.I_sum;
    return figures;
}

}  // namespace korvanti
