// The series tables are written down row by row as they are published; these
// helpers turn such rows into the 1-based tables the routines index, and hold
// the checks every table-held series makes on the particulars it reads.
#pragma once

#include <string>
#include <string_view>

#include "common/one_based.h"
#include "model/blade_model.h"

namespace korvanti {

// R published rows of C values as the table (row, column), both from 1.
template <int R, int C>
Array2<float, R, C> table_from_rows(const float (&rows)[R][C]) {
    Array2<float, R, C> table;
    for (int i = 1; i <= R; ++i)
        for (int j = 1; j <= C; ++j) table(i, j) = rows[i - 1][j - 1];
    return table;
}

// N published values as the list 1..N.
template <int N>
Array1<float, N> list_from_values(const float (&values)[N]) {
    Array1<float, N> list;
    for (int i = 1; i <= N; ++i) list(i) = values[i - 1];
    return list;
}

// Column j of a table as a list of its own (a radial distribution).
template <int R, int C>
Array1<float, R> table_column(const Array2<float, R, C>& table, int j) {
    Array1<float, R> column;
    for (int i = 1; i <= R; ++i) column(i) = table(i, j);
    return column;
}

// A value as it is named in a message (shortest form, "%g").
std::string value_text(float value);

// Ends the run with an input error naming the series and what it cannot meet.
[[noreturn]] void reject_series_request(std::string_view series_name, const std::string& what);

// Rejects a diameter, area ratio or (where the series reads it) blade count
// that would take the series routine into a division by zero: D and Ear
// finite and above zero, Z at least 1. The message names the series.
void require_series_particulars(const BladeModel& model, std::string_view series_name,
                                bool reads_blade_count);

// Rejects an area ratio outside [low, high], the span of the series' tables.
void require_area_ratio_within(const BladeModel& model, std::string_view series_name, float low,
                               float high);

}  // namespace korvanti
