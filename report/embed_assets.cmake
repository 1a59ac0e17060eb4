# Writes OUTPUT, a C++ file defining korvanti::report::page_css and page_js
# from the files CSS and JS as raw string literals.
file(READ ${CSS} css)
file(READ ${JS} js)
foreach(text IN ITEMS css js)
  string(FIND "${${text}}" ")korvanti_asset\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${text} holds the delimiter of the raw string it is embedded in")
  endif()
endforeach()
file(WRITE ${OUTPUT}.new "// Made by report/embed_assets.cmake from page.css and page.js.\n#include \"page_assets.h\"\n\nnamespace korvanti::report {\n\nconst char* const page_css = R\"korvanti_asset(${css})korvanti_asset\";\n\nconst char* const page_js = R\"korvanti_asset(${js})korvanti_asset\";\n\n}  // namespace korvanti::report\n")
file(RENAME ${OUTPUT}.new ${OUTPUT})
