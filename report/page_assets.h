// The page's own style sheet and script (report/page.css, report/page.js),
// embedded in the program when it is built.
#pragma once

namespace korvanti::report {

extern const char* const page_css;
extern const char* const page_js;

}  // namespace korvanti::report
