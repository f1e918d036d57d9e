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

# ferrolink_build_pkgconfig_host(<work dir> <library dir>)
# Builds tests/examples/pkgconfighost with the compiler and the flags that
# pkg-config gives for sorvel from <library dir>/pkgconfig alone, checks
# that it loads libsorvel from <library dir> (put on the loader's path, as
# pkg-config's flags carry no run path), and runs it offscreen.
function(ferrolink_build_pkgconfig_host work libdir)
    file(REMOVE_RECURSE ${work})
    file(MAKE_DIRECTORY ${work})
    set(ENV{PKG_CONFIG_PATH} ${libdir}/pkgconfig)
    execute_process(COMMAND pkg-config --cflags --libs sorvel
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "pkg-config finds no sorvel in ${libdir}/pkgconfig")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    separate_arguments(extra UNIX_COMMAND "${CXX_FLAGS}")
    execute_process(
        COMMAND ${CXX_COMPILER} -std=c++17 ${extra}
                ${SOURCE_DIR}/tests/examples/pkgconfighost/main.cpp ${flags}
                -o ${work}/pkgconfig-host
        RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "building the host with pkg-config's flags failed: ${result}")
    endif()
    set(ENV{LD_LIBRARY_PATH} ${libdir})
    ferrolink_check_loads_sorvel(${work}/pkgconfig-host ${libdir})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                            ${work}/pkgconfig-host
        OUTPUT_VARIABLE output RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "the host built with pkg-config failed (${result}): ${output}")
    endif()
    message(STATUS "pkgconfig-host built with: ${flags}")
endfunction()

# ferrolink_verify_unit(<unit file> <program> <installed program> <work dir>)
# Checks the systemd user unit of the server: it starts <program> with the
# options of HALVEX_OPTIONS, offscreen, restarts it on failure, and passes
# systemd-analyze verify without a word (unknown keys and bad values are
# only warnings there), checked on a copy that starts <installed program>,
# where the unpacked or installed tree has it.
function(ferrolink_verify_unit unit program installed work)
    file(READ ${unit} text)
    foreach(line "ExecStart=${program} $HALVEX_OPTIONS" "Restart=on-failure"
                 "Environment=QT_QPA_PLATFORM=offscreen" "WantedBy=default.target")
        string(FIND "${text}" "\n${line}\n" at)
        if(at LESS 0)
            message(FATAL_ERROR "${unit} has no line ${line}")
        endif()
    endforeach()
    string(REPLACE "\nExecStart=${program} " "\nExecStart=${installed} " text "${text}")
    file(REMOVE_RECURSE ${work})
    file(MAKE_DIRECTORY ${work}/runtime)
    file(WRITE ${work}/halvex.service "${text}")
    set(ENV{XDG_RUNTIME_DIR} ${work}/runtime)
    execute_process(COMMAND systemd-analyze verify --user ${work}/halvex.service
        OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
    if(result OR NOT output STREQUAL "")
        message(FATAL_ERROR "systemd-analyze verify ${unit} (${result}):\n${output}")
    endif()
endfunction()
