#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "report_run.h"

int main(int argc, char** argv) {
    try {
        return korvanti::report::run_report(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "korvanti-report: " << error.what() << '\n';
        return korvanti::report::exit_failed;
    }
}
