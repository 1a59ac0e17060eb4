#include "run/banner.h"

#include <array>
#include <ostream>
#include <string>

#include "filelayer/console.h"
#include "filelayer/record.h"

namespace korvanti {

namespace {

// Line 2 of the banner: 78 characters after the leading blank, "!" last.
std::string banner_title_line() {
    std::string text = "! Program: Korvanti  Versiyon: 29/06/2012   - Korvanti gelistiricileri";
    text.resize(77, ' ');
    return " " + text + "!";
}

std::string banner_text() {
    std::string text;
    text += format_record("(1X,78('='))");
    text += banner_title_line() + "\n";
    text += format_record("(' !',76X,'!')");
    text += format_record(
        "(' !',3X,'Wageningen B, Ka, Kc, Gawn, KCA ve Newton-Rader, Au Serisi "
        "Pervanelerin',2X,'!')");
    text += format_record("(' !',76X,'!')");
    text += format_record("(' !',20X,'Geometrilerini Hesap Programi',27X,'!')");
    text += format_record("(1X,78('='))");
    return text;
}

// The fourteen framed fields of the notice, 42 characters at most each.
constexpr std::array<const char*, 14> notice_fields = {
    " BU PROGRAM, OGRENCILERE PROJE VE",
    " DERSLERINDE YARDIMCI OLMAK AMACIYLA",
    " KORVANTI GELISTIRICILERI TARAFINDAN",
    " AMATOR BIR PROGRAM OLARAK YAZILMISTIR.",
    " E-posta: korvanti@example.org",
    " PROGRAMIN CALISMASIYLA ILGILI SORUNLAR",
    " BU ADRESE BILDIRILINCE CEVAPLANACAKTIR.",
    "",
    " Korvanti Gelistirme Ekibi",
    " Gemi Insaati ve Deniz Bilimleri",
    " Ornek Yerleskesi, Pervane Tasarim Grubu",
    " Ornek Cad. No:1, 00000 Ornekkent",
    " Tel : +90 000 000 00 00",
    " Fax : +90 000 000 00 01",
};

}  // namespace

void show_banner(std::ostream& result, Console& console) {
    const std::string text = banner_text();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        console.line(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }
    result << text;
}

void write_author_notice(std::ostream& out, int n) {
    for (int k = 0; k < n; ++k) write_line(out, "");
    const std::string border = "   " + std::string(42, '-') + " ";
    write_line(out, border);
    for (const char* field : notice_fields) {
        std::string text = field;
        text.resize(42, ' ');
        write_line(out, "  |" + text + "|");
    }
    write_line(out, border);
}

}  // namespace korvanti
