# The Debian package: built by cpack from a build configured for /usr,
# unpacked into a scratch root with dpkg -x, and an outside host built
# against it. The package build keeps its folder between runs; the first run
# compiles the deliverables once more and takes both cores for that time.
# A sanitizer build does not package.
if(FERROLINK_SANITIZE)
    return()
endif()
add_test(NAME packaging_deb
    COMMAND ${CMAKE_COMMAND}
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/packaging
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DGENERATOR=${CMAKE_GENERATOR}
            -DMAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
            -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
            -DCXX_FLAGS=
            -DQT_PLUGINS=${QT6_INSTALL_PLUGINS}
            -DPYTHON=$<$<BOOL:${FERROLINK_BUILD_PYTHON}>:${FERROLINK_PYTHON_EXECUTABLE}>
            -P ${CMAKE_CURRENT_SOURCE_DIR}/examples/debpackage.cmake)
set_tests_properties(packaging_deb PROPERTIES
    LABELS integration TIMEOUT 900 PROCESSORS 2)
