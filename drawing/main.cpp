// TELVARO_3B_CIZIMLER: turns the panel data file PERVDAT of the working
// directory into the AutoCAD script TELVARO_3B_CIZIMLER.SCR.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "command_line.h"
#include "console_dialogue.h"
#include "drawing_run.h"
#include "window_loader.h"

int main(int argc, char** argv) {
    telvaro::DrawingCommand command;
    try {
        command = telvaro::parse_drawing_command({argv + 1, argv + argc});
        if (const auto status = telvaro::settle_command_line(command, std::cout)) return *status;
    } catch (const telvaro::UsageError& error) {
        std::cerr << error.what() << '\n';
        return telvaro::kExitBadOption;
    }
    const std::filesystem::path dir = std::filesystem::current_path();
    if (command.answers) {
        // The drawing chosen by options: its answers on a console dialogue.
        std::istringstream answers(*command.answers);
        telvaro::ConsoleDialogue console(answers, std::cout, std::cerr, true);
        return telvaro::run_drawing(console, dir);
    }
    if (auto window = telvaro::open_window(std::getenv("DISPLAY"), std::cerr))
        return telvaro::run_drawing(*window, dir);
    telvaro::ConsoleDialogue console(std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 0);
    return telvaro::run_drawing(console, dir);
}
