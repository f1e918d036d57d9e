# Tests of the shared code: codec, delay, interface-library binding, simulator.
ferrolink_add_test(tst_protocol SOURCES common/tst_protocol.cpp)
ferrolink_add_test(tst_delay SOURCES common/tst_delay.cpp)
ferrolink_add_test(tst_interfacelibrary SOURCES common/tst_interfacelibrary.cpp
    LIBRARY recording)
add_dependencies(tst_interfacelibrary fake_rsapi_nodin fake_rsapi_garbage)

# A program that calls the binding, run with different search paths.
add_executable(rsapiprobe common/rsapiprobe.cpp)
set_target_properties(rsapiprobe PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    BUILD_RPATH ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
target_link_libraries(rsapiprobe PRIVATE ferrolink_common)

ferrolink_add_test(tst_simulator SOURCES common/tst_simulator.cpp LABELS integration)
add_dependencies(tst_simulator rsapi rsapiprobe fake_rsapi_recording fake_rsapi_nodin
    fake_rsapi_garbage)
target_compile_definitions(tst_simulator PRIVATE
    RSAPIPROBE="$<TARGET_FILE:rsapiprobe>"
    SIMULATOR_LIBRARY="$<TARGET_FILE:rsapi>")
