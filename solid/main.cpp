// korvanti-solid: the propeller of a finished Korvanti run as a STEP solid,
// an STL triangulation and a VTK panel mesh.
#include <iostream>

#include "solid_run.h"

int main(int argc, char** argv) {
    return korvanti_solid::run_solid(argc, argv, std::cout, std::cerr);
}
