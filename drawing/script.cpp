#include "script.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace telvaro {

std::string decimal_text(double value, int significant) {
    if (!std::isfinite(value)) return "0";
    if (value == 0) return "0";
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(significant - 1 - exponent, 0, 40);
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text.find_first_not_of("-0") == std::string::npos) return "0";
    return text;
}

void Script::line(const std::string& text) { lines_.push_back(text); }

void Script::point(double x, double y) { exact_point(std::round(x), y); }

void Script::exact_point(double x, double y) {
    last_point_ = decimal_text(x) + "," + decimal_text(y);
    line(last_point_);
}

void Script::point(double x, double y, double z) {
    line(decimal_text(x) + "," + decimal_text(y) + "," + decimal_text(z));
}

void Script::repeat_last_point() { line(last_point_); }

std::string Script::text() const {
    std::string text;
    for (const std::string& l : lines_) {
        text += l;
        text += '\n';
    }
    return text;
}

}  // namespace telvaro
