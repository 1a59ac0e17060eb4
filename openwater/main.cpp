// korvanti-openwater: the open-water performance of a standard-series
// propeller, and the choice of one for a ship's need.
#include <iostream>
#include <string>
#include <vector>

#include "openwater/openwater_run.h"

int main(int argc, char** argv) {
    return korvanti::openwater::run_openwater(std::vector<std::string>(argv + 1, argv + argc),
                                              std::cout, std::cerr);
}
