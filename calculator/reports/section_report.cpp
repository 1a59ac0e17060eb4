// Interpolated section report: the blade of PEROF.SON carried to the report
// radii by not-a-knot cubic splines across the stations (one spline per
// chordwise point index and per radial distribution), with the maximum
// thickness and camber of every section taken over its discrete points.
#include "reports/section_report.h"

#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>

#include "filelayer/errors.h"
#include "filelayer/file_text.h"
#include "filelayer/freeformat.h"
#include "filelayer/output_file.h"
#include "filelayer/record.h"
#include "numeric/cubic_spline.h"
#include "surfaces/blade_surface.h"
#include "surfaces/mesh.h"

namespace korvanti {

namespace {

constexpr float pi = 3.1415927f;
constexpr const char* length_label = " m     ";
constexpr const char* perof_name = "PEROF.SON";
constexpr const char* perof2_name = "PEROF2.SON";

void check_count(FreeFormatReader& in, const char* what, int value, int low, int high) {
    if (value < low || value > high)
        in.fail(std::string(what) + " " + std::to_string(low) + " ile " + std::to_string(high) +
                " arasinda olmali, okunan " + std::to_string(value));
}

void read_stations(FreeFormatReader& in, OffsetsFileData& file) {
    for (int i = 1; i <= file.N; ++i)
        in.read("istasyon degerleri r, P, c, iT, xs", file.r(i), file.P(i), file.c(i), file.iT(i),
                file.xs(i));
}

void read_sections(FreeFormatReader& in, OffsetsFileData& file) {
    for (int i = 1; i <= file.N; ++i) {
        in.read("kesit nokta sayisi", file.NP(i));
        check_count(in, "kesit nokta sayisi", file.NP(i), 2, report_capacity);
        for (int j = 1; j <= file.NP(i); ++j)
            in.read("kesit noktasi xc, yb+r, yf+r", file.xc(i, j), file.yb(i, j), file.yf(i, j));
    }
}

void read_hub_profile(FreeFormatReader& in, HubProfileSpline& hub) {
    in.read("gobek profili nokta sayisi", hub.NH);
    check_count(in, "gobek profili nokta sayisi", hub.NH, 2, hub_profile_capacity);
    for (int m = 1; m <= hub.NH; ++m)
        in.read("gobek profili noktasi x, rH", hub.xH(m), hub.spline(1, m));
}

// One not-a-knot spline across the file's stations, evaluated at every
// report radius. A radius outside the stations leaves its value at 0.
void interpolate_across_stations(const OffsetsFileData& file, const ReportSections& sections,
                                 const StationArray& values, View1<float> out, Console& console) {
    SplineCoefficients<max_stations> spline;
    for (int i = 1; i <= file.N; ++i) spline(1, i) = values(i);
    cubic_spline_fit(file.r.view(), spline, file.N, 0, 0);
    for (int k = 1; k <= sections.M; ++k) {
        float y = 0.0f;
        int found = 0;
        cubic_spline_value(file.N, sections.r(k), y, file.r.view(), spline, found, console);
        out(k) = y;
    }
}

void interpolate_point_column(const OffsetsFileData& file, ReportSections& sections, int j,
                              Console& console) {
    StationArray xc, yb, yf;
    for (int i = 1; i <= file.N; ++i) {
        xc(i) = file.xc(i, j);
        yb(i) = file.yb(i, j);
        yf(i) = file.yf(i, j);
    }
    StationArray out;
    interpolate_across_stations(file, sections, xc, out.view(), console);
    for (int k = 1; k <= sections.M; ++k) sections.xc(k, j) = out(k);
    interpolate_across_stations(file, sections, yb, out.view(), console);
    for (int k = 1; k <= sections.M; ++k) sections.ys(k, j) = out(k);
    interpolate_across_stations(file, sections, yf, out.view(), console);
    for (int k = 1; k <= sections.M; ++k) sections.yp(k, j) = out(k);
}

void copy_file_stations(const OffsetsFileData& file, ReportSections& sections) {
    for (int k = 1; k <= sections.M; ++k) {
        sections.P(k) = file.P(k);
        sections.iT(k) = file.iT(k);
        sections.xs(k) = file.xs(k);
        for (int j = 1; j <= file.NP(k); ++j) {
            sections.xc(k, j) = file.xc(k, j);
            sections.ys(k, j) = file.yb(k, j);
            sections.yp(k, j) = file.yf(k, j);
        }
    }
}

// Camber line and chord from the section ends, for every report radius.
void finish_sections(ReportSections& sections) {
    for (int k = 1; k <= sections.M; ++k) {
        for (int j = 1; j <= sections.NP(k); ++j)
            sections.yc(k, j) = (sections.ys(k, j) + sections.yp(k, j)) / 2.0f;
        sections.c(k) = sections.xc(k, sections.NP(k)) - sections.xc(k, 1);
    }
}

void write_section_data(const ReportSections& s, int k, float D, std::ostream& result) {
    float r = s.r(k);
    float c = s.c(k);
    float phi = std::atan2(s.P(k), pi * 2.0f * r);
    float skew_degrees = std::cos(phi) * s.xs(k) / r * 57.29578f;
    write_record(
        result,
        "(/,' r/R    =',F8.4,/,' RADIUS =',F8.4,A7,/,' PITCH  =',F8.4,A7,11X,'PITCH/D =',F7.4,/,"
        "' CHORD  =',F8.4,A7,11X,'CHORD/D =',F7.4,/,' RAKE   =',F8.4,A7,11X,' RAKE/D =',F7.4,/,"
        "' SKEWB  =',F8.4,A7,11X,'Sk(deg) =',F7.2,/,' TMAX   =',F8.4,A7,8X,'TMAX/CHORD =',F7.4,/,"
        "' FMAX   =',F8.4,A7,8X,'FMAX/CHORD =',F7.4,/,' TMX_LE =',F8.4,A7,6X,'TMX_LE/CHORD "
        "=',F7.4,/,"
        "' FMX_LE =',F8.4,A7,6X,'FMX_LE/CHORD =',F7.4)",
        {r / (D / 2.0f),
         r,
         length_label,
         s.P(k),
         length_label,
         s.P(k) / D,
         c,
         length_label,
         c / D,
         s.iT(k),
         length_label,
         s.iT(k) / D,
         s.xs(k),
         length_label,
         skew_degrees,
         s.tmax_chord(k) * c,
         length_label,
         s.tmax_chord(k),
         s.fmax_chord(k) * c,
         length_label,
         s.fmax_chord(k),
         s.tmx_le_chord(k) * c,
         length_label,
         s.tmx_le_chord(k),
         s.fmx_le_chord(k) * c,
         length_label,
         s.fmx_le_chord(k)});
}

void write_column_heading(std::ostream& result) {
    write_record(result, "(1X,50('-'))");
    write_record(result,
                 "(1X,'Kesit Boy',3X,'Kesit Boy',3X,' Emme  ',       4X,'Sehim ',2X,' Basinc ')");
    write_record(result,
                 "(1X,' Konumu  ',3X,' Konumu  ',3X,' Tarafi',       4X,'Hatti',3X,' Tarafi')");
    write_record(result,
                 "(1X,' % kort  ',3X,'  (m)    ',3X,'  (m)  ',       4X,' (m) ',4X,'  (m)  ')");
    write_record(result, "(1X,50('-'))");
}

void write_section_points(const ReportSections& s, int k, std::ostream& result) {
    int np = s.NP(k);
    for (int j = 1; j <= np; ++j) {
        float x = s.xc(k, j);
        float suction = s.ys(k, j) - s.r(k);
        float pressure = s.yp(k, j) - s.r(k);
        float camber = (suction + pressure) / 2.0f;
        if (j == 1) {
            write_record(result, "(3X,'T.E.',7X,F7.4,3X,F7.4,3X,F7.4,3X,F7.4)",
                         {x, suction, camber, pressure});
        } else if (j == np) {
            write_record(result, "(3X,'L.E.',7X,F7.4,3X,F7.4,3X,F7.4,3X,F7.4)",
                         {x, suction, camber, pressure});
        } else {
            float percent = 100.0f * (s.xc(k, j) - s.xc(k, 1)) / s.c(k);
            write_record(result, "(1X,F6.2,7X,F7.4,3X,F7.4,3X,F7.4,3X,F7.4)",
                         {percent, x, suction, camber, pressure});
        }
    }
    write_record(result, "(1X,50('-'))");
}

}  // namespace

void read_offsets_file(std::istream& stream, OffsetsFileData& file, HubProfileSpline& hub) {
    FreeFormatReader in(stream, perof_name);
    in.read("istasyon sayisi", file.N);
    check_count(in, "istasyon sayisi", file.N, 2, max_stations);
    file.title = in.read_text(25, "baslik");
    in.read("pervane capi", file.D);
    in.read("kanat sayisi", file.Z);
    read_stations(in, file);
    read_sections(in, file);
    read_hub_profile(in, hub);

    float shift = hub_profile_shift(file);
    for (int m = 1; m <= hub.NH; ++m) hub.xH(m) = hub.xH(m) + shift;
    cubic_spline_fit(hub.xH.view(), hub.spline, hub.NH, 0, 0);
}

// The hub profile is centred axially between the trailing and leading edge
// of the first section, on its pitch helix, with its skew and rake.
float hub_profile_shift(const OffsetsFileData& file) {
    float r1 = file.r(1);
    float P1 = file.P(1);
    float h = P1 / (pi * 2.0f);
    float sin_phi = h / std::sqrt(r1 * r1 + h * h);
    float a_te = -file.xc(1, 1) * sin_phi;
    float a_le = -file.xc(1, file.NP(1)) * sin_phi;
    return file.xs(1) * sin_phi + file.iT(1) + (a_te + a_le) / 2.0f;
}

void choose_report_radii(const OffsetsFileData& file, ReportMode mode, int radii,
                         ReportSections& sections) {
    int N = file.N;
    if (mode != ReportMode::equally_spaced) {
        sections.M = N;
        for (int k = 1; k <= N; ++k) sections.r(k) = file.r(k);
        return;
    }
    if (radii < 2 || radii > report_capacity)
        throw InputError(" HATA: kesit raporu icin yaricap sayisi 2 ile " +
                         std::to_string(report_capacity) + " arasinda olmali, okunan " +
                         std::to_string(radii));
    int M = radii;
    sections.M = M;
    // Fractions of the tip radius r0 + ((k - 1)(1 - r0))/(M - 1), product before the
    // division; the end radii are then set to the end stations exactly.
    float r0 = file.r(1) / file.r(N);
    for (int k = 1; k <= M; ++k) {
        float fraction =
            (k == M) ? 1.0f
                     : r0 + static_cast<float>(k - 1) * (1.0f - r0) / static_cast<float>(M - 1);
        sections.r(k) = fraction * file.r(N);
    }
    sections.r(1) = file.r(1);
    sections.r(M) = file.r(N);
}

void interpolate_sections(const OffsetsFileData& file, ReportMode mode, ReportSections& sections,
                          Console& console) {
    int M = sections.M;
    for (int k = 1; k <= M; ++k) sections.NP(k) = (M > file.N) ? file.NP(file.N) : file.NP(k);
    if (mode != ReportMode::equally_spaced) {
        copy_file_stations(file, sections);
    } else {
        int points = file.NP(file.N);
        for (int j = 1; j <= points; ++j) interpolate_point_column(file, sections, j, console);
        interpolate_across_stations(file, sections, file.P, sections.P.view(), console);
        interpolate_across_stations(file, sections, file.iT, sections.iT.view(), console);
        interpolate_across_stations(file, sections, file.xs, sections.xs.view(), console);
    }
    finish_sections(sections);
}

void section_characteristics(ReportSections& s) {
    for (int k = 1; k <= s.M; ++k) {
        int np = s.NP(k);
        float c = s.c(k);
        float fmax = 0.0f, fmx_le = 0.0f, tmax = 0.0f, tmx_le = 0.0f;
        for (int j = 1; j <= np; ++j) {
            float f = (s.yc(k, j) - s.r(k)) / c;
            if (f > fmax) {
                fmax = f;
                fmx_le = (s.xc(k, np) - s.xc(k, j)) / c;
            }
            float t = std::fabs(s.ys(k, j) - s.yp(k, j)) / c;
            if (t > tmax) {
                tmax = t;
                tmx_le = (s.xc(k, np) - s.xc(k, j)) / c;
            }
        }
        s.fmax_chord(k) = fmax;
        s.fmx_le_chord(k) = fmx_le;
        s.tmax_chord(k) = tmax;
        s.tmx_le_chord(k) = tmx_le;
    }
}

void check_post_capacities(const ReportSections& sections, ReportMode mode, int blade_count) {
    int Nc = surface_point_count(mode, sections);
    if (Nc < 3 || Nc > max_surface_points)
        throw InputError(" HATA: yuzeyin veter boyu nokta sayisi Nc = " + std::to_string(Nc) +
                         "; gobek izgarasi 3 ile " + std::to_string(max_surface_points) +
                         " arasinda nokta alabilir");
    if (sections.M < 2 || sections.M > blade_row_capacity)
        throw InputError(" HATA: kesit raporu yaricap sayisi " + std::to_string(sections.M) +
                         "; yuzey 2 ile " + std::to_string(blade_row_capacity) +
                         " arasinda yaricap alabilir");
    MeshCounts counts = mesh_counts(blade_count, Nc, sections.M);
    int nodes = counts.hub_nodes + counts.blade_nodes;
    int panels = counts.hub_panels + counts.blade_panels;
    if (nodes > mesh_node_capacity || panels > mesh_panel_capacity)
        throw InputError(" HATA: panel agi " + std::to_string(nodes) + " dugum ve " +
                         std::to_string(panels) + " panel gerektiriyor; en fazla " +
                         std::to_string(mesh_node_capacity) + " dugum ve " +
                         std::to_string(mesh_panel_capacity) + " panel yazilabilir");
}

void write_section_block(const ReportSections& sections, float D, std::ostream& result) {
    write_record(result, "(3/,16X,'PERVANE KESIT OFSETLERI')");
    write_record(result, "(   16X,'(INTERPOLE EDILMIS)    ')");
    for (int k = 1; k <= sections.M; ++k) {
        write_record(result, "(2/)");
        write_section_data(sections, k, D, result);
        write_column_heading(result);
        write_section_points(sections, k, result);
    }
}

std::string interpolated_offsets_text(const ReportSections& s, float D, int Z) {
    FileText out(perof2_name);
    out.record("(I4)", {s.M});
    out.record("(A44)", {std::string("ACIKLAMA ICIN PEROF.SON ISIMLI DOSYAYA BAKIN")});
    out.record("(E14.8)", {D});
    out.record("(I4)", {Z});
    for (int k = 1; k <= s.M; ++k)
        out.record("(5(E12.6,1X))", {s.r(k), s.P(k), s.c(k), s.iT(k), s.xs(k)});
    for (int k = 1; k <= s.M; ++k) {
        out.record("(I4)", {s.NP(k)});
        for (int j = 1; j <= s.NP(k); ++j)
            out.record("(3(E12.6,1X))", {s.xc(k, j), s.ys(k, j), s.yp(k, j)});
    }
    out.record("(A40)", {std::string("HUB BILGISINI PEROF.SON DOSYASINDAN ALIN")});
    return std::move(out).finish();
}

std::unique_ptr<SectionReport> make_section_report(const BladeModel& model,
                                                   const std::string& offsets_text,
                                                   Console& console) {
    auto report = std::make_unique<SectionReport>();
    std::istringstream offsets(offsets_text);
    read_offsets_file(offsets, report->file, report->hub);
    ReportMode mode = model.section_report_mode;
    choose_report_radii(report->file, mode, model.section_report_radii, report->sections);
    interpolate_sections(report->file, mode, report->sections, console);
    check_post_capacities(report->sections, mode, model.blade_count);
    section_characteristics(report->sections);
    return report;
}

void write_section_report(const SectionReport& report, std::ostream& result) {
    const float D = report.file.D;
    write_section_block(report.sections, D, result);
    build_output_file(perof2_name,
                      [&] { return interpolated_offsets_text(report.sections, D, report.file.Z); });
}

}  // namespace korvanti
