// Korvanti: standard-series propeller geometry from Korvanti.TSK.
#include "run/run_driver.h"

int main() { return korvanti::run_calculator(); }
