#include "reports/output_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "filelayer/errors.h"

namespace korvanti {

void write_output_file(const std::string& name, const std::string& text) {
    const std::string partial = name + ".yaziliyor";
    bool written = false;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            out.close();
            written = !out.fail();
        }
    }
    std::error_code error;
    if (written) std::filesystem::rename(partial, name, error);
    if (!written || error) {
        std::filesystem::remove(partial, error);
        throw InputError(" HATA: " + name + " dosyasi calisma dizinine yazilamadi");
    }
}

}  // namespace korvanti
