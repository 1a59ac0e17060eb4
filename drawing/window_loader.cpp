#include "window_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>

namespace telvaro {

namespace {

// The module's path: beside the running program (a build tree), or in the
// installed module folder as seen from the program's folder (bin/ to
// lib/<multiarch triplet>/korvanti/). The first that exists; if neither does, the one beside the
// program, whose loading error is then reported.
std::filesystem::path module_path() {
    std::error_code ec;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return kWindowModule;
    const std::filesystem::path beside = program.parent_path() / kWindowModule;
    const std::filesystem::path installed =
        program.parent_path() / TELVARO_WINDOW_FROM_BIN / kWindowModule;
    if (!std::filesystem::exists(beside, ec) && std::filesystem::exists(installed, ec))
        return installed;
    return beside;
}

}  // namespace

std::unique_ptr<Dialogue> open_window(const char* display, std::ostream& warnings) {
    if (display == nullptr || *display == '\0') return nullptr;
    const std::filesystem::path path = module_path();
    // The module stays loaded to the end of the run: the window's code is in it.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module != nullptr ? dlsym(module, "telvaro_open_window") : nullptr;
    if (entry == nullptr) {
        const char* why = dlerror();
        warnings << "UYARI: PENCERE YUKLENEMEDI (" << (why != nullptr ? why : path.string())
                 << "); SORULAR KONSOLDA SORULACAK" << std::endl;
        return nullptr;
    }
    using OpenWindow = Dialogue* (*)();
    return std::unique_ptr<Dialogue>(reinterpret_cast<OpenWindow>(entry)());
}

}  // namespace telvaro
