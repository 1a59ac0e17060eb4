// Korvanti: standard-series propeller geometry from Korvanti.TSK.
#include "run/command_line.h"

int main(int argc, char** argv) { return korvanti::run_korvanti(argc, argv); }
