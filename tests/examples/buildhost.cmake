# Helpers for the tests that build a host outside the tree.
# Expects SOURCE_DIR, GENERATOR, MAKE_PROGRAM, CXX_COMPILER and CXX_FLAGS.

# ferrolink_check_loads_sorvel(<binary> <library dir>)
# Fails unless the dynamic loader takes libsorvel.so.1 for <binary> from
# <library dir>.
function(ferrolink_check_loads_sorvel binary libdir)
    execute_process(COMMAND ldd ${binary} OUTPUT_VARIABLE libraries RESULT_VARIABLE result)
    if(result OR libraries MATCHES "not found"
       OR NOT libraries MATCHES "libsorvel\\.so\\.1 => ([^ \n]+)")
        message(FATAL_ERROR "${binary} does not load libsorvel:\n${libraries}")
    endif()
    file(REAL_PATH ${CMAKE_MATCH_1} loaded)
    file(REAL_PATH ${libdir}/libsorvel.so.1 expected)
    if(NOT loaded STREQUAL expected)
        message(FATAL_ERROR "${binary} loads ${loaded}, not ${expected}")
    endif()
endfunction()

# ferrolink_build_outside_host(<work dir> <prefix path> <library dir>)
# Configures and builds examples/host as an outside project that finds the
# package Ferrolink under <prefix path>, and checks that it found it there
# and that the program loads libsorvel from <library dir>.
function(ferrolink_build_outside_host work prefix libdir)
    file(REMOVE_RECURSE ${work})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/host -B ${work} -G ${GENERATOR}
                -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}
                -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
                "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
                -DCMAKE_BUILD_TYPE=Release
                -DCMAKE_PREFIX_PATH=${prefix}
        RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "configuring the outside host failed: ${result}")
    endif()
    file(STRINGS ${work}/CMakeCache.txt found REGEX "^Ferrolink_DIR:")
    string(REGEX REPLACE "^[^=]*=" "" found "${found}")
    file(REAL_PATH ${found} found)
    file(REAL_PATH ${prefix} real_prefix)
    string(FIND "${found}/" "${real_prefix}/" at)
    if(NOT at EQUAL 0)
        message(FATAL_ERROR "the package was found in ${found}, not under ${real_prefix}")
    endif()

    execute_process(COMMAND ${CMAKE_COMMAND} --build ${work} --parallel 2 RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "building the outside host failed: ${result}")
    endif()
    ferrolink_check_loads_sorvel(${work}/ferrolink-host ${libdir})
    message(STATUS "ferrolink-host built against ${found}")
endfunction()
