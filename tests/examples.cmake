# The example programs: the host's form wired to its control, the host built
# as an outside project against an installed tree, and the demo command run
# without a display (halvex offscreen, driven by the scripted session).
if(NOT TARGET ferrolink-host)
    return()
endif()

set(FERROLINK_HOST_DIR ${PROJECT_SOURCE_DIR}/examples/host)
ferrolink_add_test(tst_hostwindow
    SOURCES examples/tst_hostwindow.cpp
            ${FERROLINK_HOST_DIR}/hostwindow.cpp ${FERROLINK_HOST_DIR}/hostwindow.h
            ${FERROLINK_HOST_DIR}/hostwindow.ui
    LIBRARIES sorvel ferrolink_simstate Qt6::Widgets)
set_target_properties(tst_hostwindow PROPERTIES AUTOUIC ON)
target_include_directories(tst_hostwindow PRIVATE ${FERROLINK_HOST_DIR})

# A host built against the package exactly as an outside project would be.
# The compile takes both cores for a short while.
set(FERROLINK_OUTSIDE_FLAGS "")
if(FERROLINK_SANITIZE)
    set(FERROLINK_OUTSIDE_FLAGS "-fsanitize=address,undefined")
endif()
add_test(NAME examples_outside_host
    COMMAND ${CMAKE_COMMAND}
            -DBINARY_DIR=${PROJECT_BINARY_DIR}
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/outside-host
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DGENERATOR=${CMAKE_GENERATOR}
            -DMAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
            -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
            -DCXX_FLAGS=${FERROLINK_OUTSIDE_FLAGS}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/examples/outsidehost.cmake)
set_tests_properties(examples_outside_host PROPERTIES
    LABELS integration TIMEOUT 300 PROCESSORS 2)

# A host built with the compiler and pkg-config alone against an installed
# tree, and the installed systemd user unit of the server.
add_test(NAME examples_pkgconfig_host
    COMMAND ${CMAKE_COMMAND}
            -DBINARY_DIR=${PROJECT_BINARY_DIR}
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/pkgconfig-host
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
            -DCXX_FLAGS=${FERROLINK_OUTSIDE_FLAGS}
            -DINSTALL_BINDIR=${CMAKE_INSTALL_FULL_BINDIR}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/examples/pkgconfighost.cmake)
set_tests_properties(examples_pkgconfig_host PROPERTIES
    LABELS integration TIMEOUT 300 ENVIRONMENT FERROLINK_INTERFACE_NAME=/ferrolink-test-pkgconfig)

# The README's first command on a machine without a display, on the
# programs of this build.
set(demo_env FERROLINK_INTERFACE_NAME=/ferrolink-test-demo)
if(FERROLINK_SANITIZE)
    list(APPEND demo_env LD_LIBRARY_PATH=${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
endif()
add_test(NAME examples_demo_headless
    COMMAND ${FERROLINK_PORT_TEST_LAUNCHER} bash ${PROJECT_SOURCE_DIR}/scripts/demo --no-build --build-dir ${PROJECT_BINARY_DIR})
set_tests_properties(examples_demo_headless PROPERTIES
    LABELS integration TIMEOUT 240
    ENVIRONMENT "${demo_env}"
    ENVIRONMENT_MODIFICATION "DISPLAY=unset:;WAYLAND_DISPLAY=unset:;QT_QPA_PLATFORM=unset:")
ferrolink_uses_port(examples_demo_headless)
