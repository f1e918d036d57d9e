# Tests of the command ferrolink, run as a program: on this PC against the
# recording and the simulated interface library, and over the network
# against a recording server and the real halvex.
ferrolink_add_test(tst_ferrolinklocal
    SOURCES cli/tst_ferrolinklocal.cpp cli/ferrolinkcommand.cpp cli/ferrolinkcommand.h)
ferrolink_add_test(tst_ferrolinknetwork
    SOURCES cli/tst_ferrolinknetwork.cpp cli/ferrolinkcommand.cpp cli/ferrolinkcommand.h
    USES_PORT LABELS integration)
foreach(test tst_ferrolinklocal tst_ferrolinknetwork)
    add_dependencies(${test} ferrolink)
    target_include_directories(${test} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/cli)
endforeach()
add_dependencies(tst_ferrolinklocal fake_rsapi_recording fake_rsapi_nodin fake_rsapi_garbage)
add_dependencies(tst_ferrolinknetwork halvex)
target_compile_definitions(tst_ferrolinklocal PRIVATE
    FERROLINK_VERSION="${PROJECT_VERSION}"
    FERROLINK_MAN_PAGE="${PROJECT_SOURCE_DIR}/cli/ferrolink.1")

# The man page is well-formed: groff says nothing about it.
find_program(FERROLINK_GROFF groff)
if(FERROLINK_GROFF)
    add_test(NAME cli_manpage
        COMMAND ${FERROLINK_GROFF} -man -ww -z -Tutf8 ${PROJECT_SOURCE_DIR}/cli/ferrolink.1)
    set_tests_properties(cli_manpage PROPERTIES LABELS unit FAIL_REGULAR_EXPRESSION ".")
endif()
