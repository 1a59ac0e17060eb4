// TELVARO_3B_CIZIMLER: turns the panel data file PERVDAT of the working
// directory into the AutoCAD script TELVARO_3B_CIZIMLER.SCR.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "console_dialogue.h"
#include "drawing_run.h"
#include "window_loader.h"

int main() {
    const std::filesystem::path dir = std::filesystem::current_path();
    if (auto window = telvaro::open_window(std::getenv("DISPLAY"), std::cerr))
        return telvaro::run_drawing(*window, dir);
    telvaro::ConsoleDialogue console(std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 0);
    return telvaro::run_drawing(console, dir);
}
