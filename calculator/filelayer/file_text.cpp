#include "filelayer/file_text.h"

#include <cmath>
#include <utility>
#include <variant>

#include "filelayer/errors.h"

namespace korvanti {

FileText::FileText(std::string name, std::size_t bytes) : name_(std::move(name)) {
    text_.reserve(bytes);
}

void FileText::check(float value) {
    if (!std::isfinite(value)) finite_ = false;
}

void FileText::check(std::span<const RecordValue> values) {
    for (const RecordValue& value : values)
        if (const float* real = std::get_if<float>(&value)) check(*real);
}

void FileText::record(std::string_view format, std::initializer_list<RecordValue> values) {
    record(format, std::span<const RecordValue>(values.begin(), values.size()));
}

void FileText::record(std::string_view format, std::span<const RecordValue> values) {
    check(values);
    append_record(text_, format, values);
}

void FileText::line(std::string_view text) {
    text_.append(text);
    text_ += '\n';
}

std::string FileText::finish() && {
    if (!finite_) throw InputError(non_finite_message(name_));
    return std::move(text_);
}

std::string non_finite_message(const std::string& name) {
    return " HATA: hesaplanan degerlerde sayi olmayan (NaN) ya da sonsuz deger cikti; " + name +
           " yazilmadi. Ear, P/D ve D degerlerini denetleyin";
}

}  // namespace korvanti
