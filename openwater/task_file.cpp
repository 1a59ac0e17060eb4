#include "openwater/task_file.h"

#include <charconv>
#include <cmath>
#include <map>
#include <sstream>

#include "common/list_input.h"

namespace korvanti::openwater {

namespace {

// The layout of the shipped examples; each "@" line takes a value.
constexpr const char* layout =
    R"tsk(================================================================================
 KORVANTI - STANDART SERI PERVANE GEOMETRISI GOREV DOSYASI (Korvanti.TSK)
================================================================================
 Bu dosya Korvanti programinin tek girdi dosyasidir. Program yalnizca
 asagida belirtilen satirlardaki sayilari okur; diger butun satirlar
 aciklama icindir ve okunmadan gecilir. Satirlarin yerini degistirmeyiniz,
 satir eklemeyiniz ve silmeyiniz: degerler satir numarasiyla okunur.

 Okunan satirlar:
   40. satir : seri numarasi
   43. satir : kanat sayisi Z ve acinim alani orani Ear
   47. satir : pervane yonu (sag el / sol el)
   50. satir : hatve-cap orani P/D ve pervane capi D (metre)
   57. satir : burun-kuyruk hattina gore duzenleme secenegi
   67. satir : kesit raporu modu ve rapor yaricap sayisi

 Bir satirdaki sayilar bosluk ya da virgul ile ayrilir. Tamsayi istenen
 yerde ondalik nokta kullanmayiniz. Sayilarin arkasina yazilan fazla
 degerler okunmaz.

 Seriler:
   1  Wageningen B serisi (Z ve Ear serbest; WAGBPROP.DAT gerekir)
   2  Wageningen Ka nozullu serisi
   3  Wageningen Kc nozullu serisi
   4  KC101-Gawn serisi (Z=3; Ear = 0.50 - 1.10)
   5  Gawn serisi (Z=3; Ear = 0.20 - 1.10)
   6  Newton-Rader serisi (Z=3; Ear = 0.48 - 0.95, P/D = 1.04 - 2.08)
   7  AU (MAU) serisi (program calisirken bir onay sorusu sorar)

 Program calistiginda Korvanti.SON (sonuc raporu), PEROF.SON, PEROF2.SON,
 SEHAM.DAT, PERVDAT, Korvanti2D_Tecplot.PLT, Korvanti3D_Tecplot.PLT ve
 Korvanti3D_Rhino3_4_Macro.TXT dosyalarini calisma dizinine yazar.

@34
--------------------------------------------------------------------------------



 SERI NUMARASI (1:B 2:Ka 3:Kc 4:KC101-Gawn 5:Gawn 6:Newton-Rader 7:AU):
@40
--------------------------------------------------------------------------------
 KANAT SAYISI Z (tamsayi)  VE  ACINIM ALANI ORANI Ear:
@43
--------------------------------------------------------------------------------

 PERVANE YONU (0: SOL EL PERVANE, 1: SAG EL PERVANE; 0.5'ten kucukse sol el):
@47
--------------------------------------------------------------------------------
 HATVE-CAP ORANI P/D  VE  PERVANE CAPI D (metre):
@50
--------------------------------------------------------------------------------
 Asagidaki secenek 1 ise her kesit, burun ve kuyruk noktalarini birlestiren
 dogruya (burun-kuyruk hattina) gore yeniden olculur ve hatve bu hatta gore
 duzeltilir. Kesit kort boylari ve apsisleri degismez. Baska her deger
 serinin kendi kesitlerini oldugu gibi birakir.
 BURUN-KUYRUK HATTINA GORE DUZENLEME (1: EVET, 0: HAYIR):
@57
--------------------------------------------------------------------------------
 Kesit raporu modu 1: rapor, yuzeyler ve panel verisi ofset dosyasinin
 kendi istasyonlarinda hazirlanir (ikinci sayi kullanilmaz).
 Kesit raporu modu 2: kanat, koku ile ucu arasinda esit aralikli ikinci
 sayi kadar yaricapta yeniden hesaplanir; yuzeyler de kesit basina bu
 sayida nokta kullanir (en az 3, en cok 22).
 Son satirdan sonraki satirlar okunmaz.

 KESIT RAPORU MODU (1 veya 2)  VE  RAPOR YARICAP SAYISI:
@67
================================================================================
)tsk";

// Reads the value lines in the calculator's order: a record begins on a
// fresh line, takes the next lines when its own has too few items, and the
// lines between records are skipped by count.
class TaskReader {
public:
    explicit TaskReader(const std::string& text) : in_(text), list_(in_) {}

    void skip_lines(int count) {
        for (int i = 0; i < count; ++i)
            if (!list_.whole_line())
                throw TaskFileError(std::string(task_file_name) + ": the file ends at line " +
                                    std::to_string(list_.line_number()) +
                                    ", before its value lines");
    }
    void begin_record() { list_.begin_record(); }

    std::string_view item(const std::string& what) {
        const auto item = list_.next_item();
        if (!item) fail(what + " expected, the file ends");
        return *item;
    }
    int integer(const std::string& what) {
        const std::string_view text = item(what);
        int value = 0;
        const char* first = text.data() + (text.size() > 1 && text[0] == '+' ? 1 : 0);
        const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size())
            fail(what + " expected (a whole number), read '" + std::string(text) + "'");
        return value;
    }
    double real(const std::string& what) {
        const std::string_view text = item(what);
        double value = 0;
        if (!read_real_with_d_exponent(text, value) || !std::isfinite(value))
            fail(what + " expected (a number), read '" + std::string(text) + "'");
        return value;
    }
    [[noreturn]] void fail(const std::string& problem) const {
        throw TaskFileError(std::string(task_file_name) + " line " +
                            std::to_string(list_.line_number()) + ": " + problem);
    }

private:
    std::istringstream in_;
    ListInput list_;
};

}  // namespace

TaskValues parse_task_file(const std::string& text) {
    TaskReader task(text);
    TaskValues v;
    task.skip_lines(39);
    task.begin_record();
    v.series = task.integer("the series number");
    if (v.series < 1 || v.series > 7)
        task.fail("the series number must be from 1 to 7, read " + std::to_string(v.series));
    task.skip_lines(2);
    task.begin_record();
    v.blades = task.integer("the blade count Z");
    if (v.blades < 1 || v.blades > 20)
        task.fail("the blade count Z must be from 1 to 20, read " + std::to_string(v.blades));
    v.area_ratio = task.real("the expanded area ratio Ear");
    if (!(v.area_ratio > 0)) task.fail("the expanded area ratio Ear must be above zero");
    task.skip_lines(3);
    task.begin_record();
    task.real("the hand (below 0.5 left hand)");
    task.skip_lines(2);
    task.begin_record();
    v.pitch_ratio = task.real("the pitch ratio P/D");
    if (!(v.pitch_ratio > 0)) task.fail("the pitch ratio P/D must be above zero");
    v.diameter = task.real("the diameter D in metres");
    if (!(v.diameter > 0)) task.fail("the diameter D must be above zero");
    return v;
}

std::string task_file_text(const TaskText& t) {
    const std::map<int, std::string> values = {
        {34, t.description},
        {40, std::to_string(t.series)},
        {43, std::to_string(t.blades) + "   " + t.area_ratio},
        {47, "1"},
        {50, t.pitch_ratio + "   " + t.diameter},
        {57, "0"},
        {67, "1   11"},
    };
    std::istringstream in(layout);
    std::string text;
    for (std::string line; std::getline(in, line);) {
        text += line.size() > 1 && line[0] == '@' ? values.at(std::stoi(line.substr(1))) : line;
        text += '\n';
    }
    return text;
}

}  // namespace korvanti::openwater
