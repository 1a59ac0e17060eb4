// One run of the drawing generator: read PERVDAT, ask for the drawing option,
// write the drawing as TELVARO_3B_CIZIMLER.SCR, .dxf, .pdf and .png.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "dialogue.h"

namespace telvaro {

constexpr int kExitScriptWritten = 0;
constexpr int kExitNoScript = 1;   // PERVDAT missing or damaged, or a file could not be written
constexpr int kExitCancelled = 2;  // the user closed the dialogue before the script was complete

inline const char* const kPanelDataFile = "PERVDAT";
inline const char* const kScriptFile = "TELVARO_3B_CIZIMLER.SCR";
inline const char* const kDxfFile = "TELVARO_3B_CIZIMLER.dxf";
inline const char* const kPdfFile = "TELVARO_3B_CIZIMLER.pdf";
inline const char* const kPngFile = "TELVARO_3B_CIZIMLER.png";
inline const char* const kSvgFile = "TELVARO_3B_CIZIMLER.svg";

// Reads `dir`/PERVDAT, holds the dialogue, writes the four drawing files into
// `dir` and shows the drawing. The files appear only when all four are
// complete: a run that fails or is cancelled leaves earlier ones as they
// were. Returns the exit status.
int run_drawing(Dialogue& dialogue, const std::filesystem::path& dir);

// An answer read as a number: blanks around it allowed, nothing else.
std::optional<double> answer_number(const std::string& answer);

}  // namespace telvaro
