# Run by CPack in its staging directory, before the package is made: the
# manual pages and the changelog compressed as Debian keeps them
# (gzip -9n: no name or time stamp, so the same files give the same bytes).
set(staged "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(GLOB pages "${staged}/share/man/man1/*.1")
set(changelog "${staged}/share/doc/korvanti/changelog")
if(NOT pages OR NOT EXISTS "${changelog}")
  message(FATAL_ERROR "No manual pages or changelog in ${staged} (is help2man installed?)")
endif()
foreach(file IN LISTS pages changelog)
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endforeach()
