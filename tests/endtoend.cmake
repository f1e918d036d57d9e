# A host with the real Sorvel and the real halvex together on 127.0.0.1:2001.
ferrolink_add_test(tst_endtoend SOURCES endtoend/tst_endtoend.cpp
    LIBRARIES sorvel Qt6::Widgets LIBRARY recording USES_PORT LABELS integration TIMEOUT 240)
ferrolink_add_test(tst_endtoendfallback
    SOURCES endtoend/tst_endtoendfallback.cpp
    LIBRARIES sorvel Qt6::Widgets LIBRARY garbage USES_PORT LABELS integration TIMEOUT 180)
add_dependencies(tst_endtoendfallback fake_rsapi_recording)
ferrolink_add_test(tst_endtoendpattern SOURCES endtoend/tst_endtoendpattern.cpp
    LIBRARIES sorvel ferrolink_halvex LIBRARY recording USES_PORT LABELS integration)
foreach(test tst_endtoend tst_endtoendfallback)
    add_dependencies(${test} halvex)
endforeach()
