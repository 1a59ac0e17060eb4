#include "numeric/numeric_failure.h"

#include "filelayer/record.h"

namespace korvanti {

namespace {

// The free-format line of a zero pivot, its row number in a 12-column field.
std::string zero_pivot_line(int row) {
    std::string line = format_record("(' problem at',I12,'  .line - stop')", {row});
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

}  // namespace

ZeroPivot::ZeroPivot(int row) : NumericFailure({zero_pivot_line(row)}, false), row_(row) {}

NotIncreasing::NotIncreasing(const std::string& routine, int entry)
    : InputError(" HATA: " + routine + ": apsisler artan sirada degil (" + std::to_string(entry) +
                 ". deger bir oncekinden buyuk degil). Ear, P/D ve D degerlerini denetleyin") {}

}  // namespace korvanti
