// Numbers as text for lines assembled from pieces (the Rhino macro): the
// text a formatted write gives, without its leading and trailing blanks.
#pragma once

#include <string>

namespace korvanti {

// The digits of value as the edit I7 writes them ("-12" for -12).
std::string integer_to_text(int value);

// value with the edit Fw.d, w = integer_digits + decimals + 1. integer_digits
// is widened to 3 above 99.99 and to 4 above 999.99, and the caller sees the
// widened count. A value that does not fit comes out as w asterisks.
std::string real_to_text(float value, int& integer_digits, int decimals);

}  // namespace korvanti
