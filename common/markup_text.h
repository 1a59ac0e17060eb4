// Text for XML and HTML documents (the drawing's SVG, the run's page): the
// characters that would end a text or an attribute value written as entities.
#pragma once

#include <string>

namespace korvanti {

std::string markup_escaped(const std::string& text);

}  // namespace korvanti
