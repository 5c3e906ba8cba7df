# The API reference: the target "docs" (not part of the default build) runs
# Doxygen over the installed public headers, with docs/guide.md as its main
# page, into build/.../docs/html.
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
  return()
endif()

set(VOK_DOC_INPUTS "\"${PROJECT_SOURCE_DIR}/docs/guide.md\"")
foreach(header IN LISTS VOK_PUBLIC_HEADERS)
  string(APPEND VOK_DOC_INPUTS " \\\n  \"${PROJECT_SOURCE_DIR}/src/${header}\"")
endforeach()
configure_file("${PROJECT_SOURCE_DIR}/docs/Doxyfile.in" "${PROJECT_BINARY_DIR}/docs/Doxyfile" @ONLY)
add_custom_target(docs
  COMMAND Doxygen::doxygen "${PROJECT_BINARY_DIR}/docs/Doxyfile"
  WORKING_DIRECTORY "${PROJECT_BINARY_DIR}/docs"
  COMMENT "API reference in ${PROJECT_BINARY_DIR}/docs/html"
  VERBATIM)
