# The Debian package korvanti_<version>_amd64.deb, made by CPack from the
# install rules (scripts/package.sh). The version is the project's; Depends
# is computed by dpkg-shlibdeps from the installed programs and module.

set(KORVANTI_PACKAGE_MAINTAINER "Korvanti developers <korvanti@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# What the package adds to the install rules: the README, the licence in the
# Debian format, the changelog, the documentation and the example task files, in
# /usr/share/doc/korvanti.
set(korvanti_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/korvanti)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${korvanti_doc_dir})
# The pages the README links to, with their pictures.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${korvanti_doc_dir}/docs
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
# The example task files, for the README's tour.
file(GLOB korvanti_examples ${PROJECT_SOURCE_DIR}/examples/*.TSK)
install(FILES ${korvanti_examples} DESTINATION ${korvanti_doc_dir}/examples)
# The changelog's date: SOURCE_DATE_EPOCH when given (reproducible builds),
# otherwise the time of configuring.
string(TIMESTAMP KORVANTI_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in
               ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog DESTINATION ${korvanti_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanti)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvanti developers")
set(CPACK_PACKAGE_CONTACT "${KORVANTI_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "geometry of standard-series marine screw propellers")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvanti turns a few main particulars of a marine screw propeller (series,
blade count, expanded area ratio, hand, pitch ratio, diameter) into its
complete geometry, for the Wageningen B, Ka and Kc, KC101-Gawn, Gawn,
Newton-Rader and AU series: fixed-format reports, Tecplot, Rhino and
AutoCAD files, a panel mesh and JSON (Korvanti); form plans and a 3D view
as AutoCAD script, DXF, PDF, PNG and SVG (TELVARO_3B_CIZIMLER); the
propeller, and the nozzle 19A of the ducted series, as STEP solids, STL and
a VTK file (korvanti-solid); open-water characteristics and the choice of a
propeller for a ship's need (korvanti-openwater); the whole run as one page
for the browser (korvanti-report).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the libraries dpkg-shlibdeps finds: three.js, which korvanti-report
# reads from /usr/share/javascript/three/ to embed it in the page.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libjs-three")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debian wants the manual pages and the changelog compressed; the install
# rules keep them plain for cmake --install, and this script compresses them
# in CPack's staging directory.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/compress-docs.cmake)
include(CPack)
