# Tests of the Python module sorvel, run by the interpreter it is built for:
# local mode on the recording interface library, network mode against the
# real halvex, and an import from an installed prefix.
if(NOT TARGET sorvel_python)
    return()
endif()

# Shows and sets the simulated interface for the tests written in Python.
add_executable(simstate python/simstate.cpp)
set_target_properties(simstate PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(simstate PRIVATE ferrolink_simstate)

# The interpreter is not built with the sanitizers, so their run-time
# libraries are loaded first. The interpreter keeps memory to the end on
# purpose, so leaks are not looked for in these tests.
set(FERROLINK_PYTHON_SANITIZER_ENV "")
if(FERROLINK_SANITIZE)
    set(preload "")
    foreach(runtime libasan.so libubsan.so)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
            OUTPUT_VARIABLE file OUTPUT_STRIP_TRAILING_WHITESPACE)
        list(APPEND preload ${file})
    endforeach()
    string(REPLACE ";" ":" preload "${preload}")
    set(FERROLINK_PYTHON_SANITIZER_ENV
        LD_PRELOAD=${preload} ASAN_OPTIONS=detect_leaks=0:abort_on_error=1)
endif()

# ferrolink_add_python_test(<name> [LIBRARY recording|nodin|garbage] [USES_PORT]
#                           [LABELS ...] [TIMEOUT s])
# runs python/<name>.py with the module of this build on PYTHONPATH.
function(ferrolink_add_python_test name)
    cmake_parse_arguments(T "USES_PORT" "LIBRARY;TIMEOUT" "LABELS" ${ARGN})
    set(launcher "")
    if(T_USES_PORT)
        set(launcher ${FERROLINK_PORT_TEST_LAUNCHER})
    endif()
    add_test(NAME ${name}
        COMMAND ${launcher} ${FERROLINK_PYTHON_EXECUTABLE} -B ${CMAKE_CURRENT_SOURCE_DIR}/python/${name}.py)
    ferrolink_test_environment(env ${name} "${T_LIBRARY}")
    list(APPEND env
        PYTHONPATH=${FERROLINK_PYTHON_BUILD_DIR}:${CMAKE_CURRENT_SOURCE_DIR}/python
        FERROLINK_SIMSTATE=$<TARGET_FILE:simstate>
        FERROLINK_SOURCE_DIR=${PROJECT_SOURCE_DIR}
        ${FERROLINK_PYTHON_SANITIZER_ENV})
    ferrolink_test_properties(${name} "${env}" "${T_USES_PORT}" "${T_LABELS}" "${T_TIMEOUT}")
endfunction()

ferrolink_add_python_test(tst_pysorvellocal LIBRARY recording)
ferrolink_add_python_test(tst_pysorvelnetwork LIBRARY recording USES_PORT
    LABELS integration TIMEOUT 180)

# Installs the build into a scratch prefix and imports the module from there
# with nothing but PYTHONPATH set. The sanitizers' libraries would have to be
# preloaded, which is more than PYTHONPATH, so a sanitizer build leaves it out.
if(NOT FERROLINK_SANITIZE)
    ferrolink_add_python_test(tst_pysorvelinstalled LABELS integration TIMEOUT 300)
    set_property(TEST tst_pysorvelinstalled APPEND PROPERTY ENVIRONMENT
        CMAKE_COMMAND_PATH=${CMAKE_COMMAND}
        BUILD_DIR=${CMAKE_BINARY_DIR}
        INSTALL_PYTHON_DIR=${FERROLINK_PYTHON_INSTALL_DIR}
        WORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/pysorvelinstalled)
endif()
