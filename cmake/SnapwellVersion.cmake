# The version is set once, in project(... VERSION) of the top CMakeLists.txt.
# From there it reaches the version resources of the program and the imaging
# library, the manifest, the about box and the release's file names
# (scripts/make-dist reads it from the build's version.txt).
set(SNAPWELL_VERSION "${PROJECT_VERSION}")
set(SNAPWELL_VERSION_NUMBERS "")
foreach(part MAJOR MINOR PATCH TWEAK)
    set(number "${PROJECT_VERSION_${part}}")
    if(number STREQUAL "")
        set(number 0)
    endif()
    list(APPEND SNAPWELL_VERSION_NUMBERS "${number}")
endforeach()
# The manifest and the version resource want all four numbers.
string(REPLACE ";" "." SNAPWELL_VERSION_FULL "${SNAPWELL_VERSION_NUMBERS}")
string(REPLACE ";" "," SNAPWELL_VERSION_NUMBERS "${SNAPWELL_VERSION_NUMBERS}")

set(SNAPWELL_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
configure_file("${CMAKE_CURRENT_LIST_DIR}/Version.h.in" "${SNAPWELL_GENERATED_DIR}/Version.h" @ONLY)
file(WRITE "${CMAKE_BINARY_DIR}/version.txt.in" "${SNAPWELL_VERSION}\n")
configure_file("${CMAKE_BINARY_DIR}/version.txt.in" "${CMAKE_BINARY_DIR}/version.txt" COPYONLY)
include_directories("${SNAPWELL_GENERATED_DIR}")
