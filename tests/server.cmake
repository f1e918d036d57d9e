# Tests of the server halvex: its window in the test's process, and the
# program itself started as a process. Every test that listens on or
# connects to port 2001 passes USES_PORT.
ferrolink_add_test(tst_halvexwindow SOURCES server/tst_halvexwindow.cpp
    LIBRARIES ferrolink_halvex LIBRARY recording USES_PORT)
ferrolink_add_test(tst_halvexwatchdog SOURCES server/tst_halvexwatchdog.cpp
    LIBRARIES ferrolink_halvex LIBRARY recording USES_PORT LABELS integration)
ferrolink_add_test(tst_halvexfailedread SOURCES server/tst_halvexfailedread.cpp
    LIBRARIES ferrolink_halvex LIBRARY nodin USES_PORT)
ferrolink_add_test(tst_halvexprogram SOURCES server/tst_halvexprogram.cpp
    LIBRARY recording USES_PORT LABELS integration)
ferrolink_add_test(tst_halvexbadlibrary SOURCES server/tst_halvexbadlibrary.cpp
    LIBRARIES ferrolink_halvex LIBRARY garbage LABELS integration)
foreach(test tst_halvexprogram tst_halvexbadlibrary)
    add_dependencies(${test} halvex)
    target_compile_definitions(${test} PRIVATE HALVEX_PROGRAM="$<TARGET_FILE:halvex>")
endforeach()
add_dependencies(tst_halvexbadlibrary fake_rsapi_findhardonly)
target_compile_definitions(tst_halvexbadlibrary PRIVATE
    FINDHARD_ONLY_LIBRARY="$<TARGET_FILE:fake_rsapi_findhardonly>")

# The server as a service: its allow list, its log, its command line.
ferrolink_add_test(tst_allowlist SOURCES server/tst_allowlist.cpp LIBRARIES ferrolink_halvex)
ferrolink_add_test(tst_eventlog SOURCES server/tst_eventlog.cpp LIBRARIES ferrolink_halvex)
ferrolink_add_test(tst_halvexevents SOURCES server/tst_halvexevents.cpp
    LIBRARIES ferrolink_halvex LIBRARY recording USES_PORT)
ferrolink_add_test(tst_halvexcommandline SOURCES server/tst_halvexcommandline.cpp
    LIBRARY recording USES_PORT LABELS integration)
add_dependencies(tst_halvexcommandline halvex ferrolink-panel)
target_compile_definitions(tst_halvexcommandline PRIVATE FERROLINK_VERSION="${PROJECT_VERSION}")

# The request table on its own, without a window or a port.
ferrolink_add_test(tst_commandexecutor SOURCES server/tst_commandexecutor.cpp
    LIBRARIES ferrolink_halvex LIBRARY recording)
