#include "reports/text_file.h"

#include <fstream>

#include "filelayer/errors.h"

namespace korvanti {

void write_text_file(const std::string& name, const std::string& text) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (out) out << text;
    out.close();
    if (!out) throw InputError(" HATA: " + name + " dosyasi yazilamiyor");
}

}  // namespace korvanti
