// One run of the drawing generator: read PERVDAT, ask for the drawing option,
// write TELVARO_3B_CIZIMLER.SCR.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "dialogue.h"

namespace telvaro {

constexpr int kExitScriptWritten = 0;
constexpr int kExitNoScript = 1;   // PERVDAT missing or damaged, or the script could not be written
constexpr int kExitCancelled = 2;  // the user closed the dialogue before the script was complete

inline const char* const kPanelDataFile = "PERVDAT";
inline const char* const kScriptFile = "TELVARO_3B_CIZIMLER.SCR";

// Reads `dir`/PERVDAT, holds the dialogue and writes `dir`/TELVARO_3B_CIZIMLER.SCR.
// The script appears only when it is complete: a run that fails or is
// cancelled leaves any earlier script as it was. Returns the exit status.
int run_drawing(Dialogue& dialogue, const std::filesystem::path& dir);

// An answer read as a number: blanks around it allowed, nothing else.
std::optional<double> answer_number(const std::string& answer);

}  // namespace telvaro
