#include "surfaces/surface_exports.h"

namespace korvanti {

// The Tecplot and Rhino files are not written yet.
void write_surface_exports(const Mesh&, const HubProfileSpline&, int) {}

}  // namespace korvanti
