// The window of the drawing generator lives in a module of its own,
// TELVARO_3B_CIZIMLER_window.so, which alone links FLTK and X11: without a
// display the program neither loads nor needs them. It is found beside the
// program in the build tree and in lib/<multiarch triplet>/korvanti/ where it
// is installed.
#pragma once

#include <iosfwd>
#include <memory>

#include "dialogue.h"

namespace telvaro {

inline constexpr const char* kWindowModule = "TELVARO_3B_CIZIMLER_window.so";

// The window dialogue when `display` names one (the DISPLAY variable) and the
// window opens on it; nothing otherwise. A module that cannot be loaded is
// reported on `warnings`, and the questions are then asked on the console.
std::unique_ptr<Dialogue> open_window(const char* display, std::ostream& warnings);

}  // namespace telvaro
