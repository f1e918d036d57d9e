# halvex against broken and hostile clients, and a control whose server
# goes away. Each starts the real halvex, so each waits for it to listen.
ferrolink_add_test(tst_serverfaults SOURCES faults/tst_serverfaults.cpp
    LIBRARIES Qt6::Network LIBRARY recording USES_PORT LABELS integration TIMEOUT 240)
add_dependencies(tst_serverfaults halvex)

# halvex on the simulated interface against a client that never reads.
ferrolink_add_test(tst_serverbacklog SOURCES faults/tst_serverbacklog.cpp
    LIBRARIES Qt6::Network USES_PORT LABELS integration TIMEOUT 120)
add_dependencies(tst_serverbacklog halvex rsapi)
target_compile_definitions(tst_serverbacklog PRIVATE
    FERROLINK_SANITIZED=$<BOOL:${FERROLINK_SANITIZE}>)
