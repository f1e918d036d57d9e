# Builds the Debian package from a build configured for /usr, unpacks it
# into a scratch root with dpkg -x, checks what it holds, and builds the
# example host against the unpacked package.
#   cmake -DWORK_DIR=... -DSOURCE_DIR=... -DGENERATOR=... -DMAKE_PROGRAM=...
#         -DCXX_COMPILER=... -DCXX_FLAGS= -DQT_PLUGINS=<Qt's plugin folder,
#         relative to /usr> [-DPYTHON=<python3 of the module>] -P debpackage.cmake
include(${CMAKE_CURRENT_LIST_DIR}/buildhost.cmake)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(result)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "${command} failed: ${result}")
    endif()
endfunction()

# The build stays between runs, so that a second run only rebuilds what changed.
set(build ${WORK_DIR}/build)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=/usr
    -DFERROLINK_BUILD_TESTS=OFF -DFERROLINK_BUILD_BENCH=OFF -DFERROLINK_BUILD_EXAMPLES=OFF)
run(${CMAKE_COMMAND} --build ${build} --parallel 2)

set(packages ${WORK_DIR}/packages)
file(REMOVE_RECURSE ${packages})
run(cpack -G DEB -B ${packages} --config ${build}/CPackConfig.cmake)
file(GLOB deb ${packages}/ferrolink_*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package ferrolink_*.deb, found: ${deb}")
endif()

execute_process(COMMAND dpkg-deb --field ${deb} Package Depends
    OUTPUT_VARIABLE fields RESULT_VARIABLE result)
if(result OR NOT fields MATCHES "Package: ferrolink\n"
   OR NOT fields MATCHES "libqt6widgets6" OR NOT fields MATCHES "libqt6network6"
   OR NOT fields MATCHES "qt6-qpa-plugins")
    message(FATAL_ERROR "unexpected package fields:\n${fields}")
endif()

set(root ${WORK_DIR}/root)
file(REMOVE_RECURSE ${root})
run(dpkg -x ${deb} ${root})
if(IS_ABSOLUTE "${QT_PLUGINS}")
    string(REGEX REPLACE "^/" "" designer_dir "${QT_PLUGINS}/designer")
else()
    set(designer_dir usr/${QT_PLUGINS}/designer)
endif()
foreach(file
        usr/bin/halvex usr/bin/ferrolink-panel usr/bin/ferrolink
        usr/share/man/man1/ferrolink.1
        usr/lib/libsorvel.so.1 usr/lib/librsapi.so
        usr/include/ferrolink/sorvel.h usr/include/ferrolink/sorvel_export.h
        usr/lib/cmake/Ferrolink/FerrolinkConfig.cmake
        ${designer_dir}/sorveldesigner.so
        usr/share/applications/halvex.desktop usr/share/applications/ferrolink-panel.desktop
        usr/share/icons/hicolor/scalable/apps/halvex.svg
        usr/share/icons/hicolor/scalable/apps/ferrolink-panel.svg
        usr/lib/pkgconfig/sorvel.pc usr/lib/systemd/user/halvex.service)
    if(NOT EXISTS ${root}/${file})
        message(FATAL_ERROR "the package holds no /${file}")
    endif()
endforeach()

# Each desktop entry starts a program of the package and names its icon.
foreach(program halvex ferrolink-panel)
    file(READ ${root}/usr/share/applications/${program}.desktop entry)
    if(NOT entry MATCHES "\nExec=${program}\n" OR NOT entry MATCHES "\nIcon=${program}\n")
        message(FATAL_ERROR "${program}.desktop does not start ${program} with its icon")
    endif()
endforeach()

# The packaged command finds the packaged simulator beside it (RUNPATH), on a
# simulated interface of its own.
set(ENV{FERROLINK_INTERFACE_NAME} /ferrolink-test-debpackage)
execute_process(COMMAND ${root}/usr/bin/ferrolink write 7
    OUTPUT_VARIABLE written ERROR_VARIABLE failure RESULT_VARIABLE result)
if(result OR NOT written STREQUAL "7\n")
    message(FATAL_ERROR "the packaged ferrolink failed (${result}): ${written}${failure}")
endif()

# From Debian's plugin folder, the Designer plugin finds the packaged control.
ferrolink_check_loads_sorvel(${root}/${designer_dir}/sorveldesigner.so ${root}/usr/lib)

ferrolink_build_outside_host(${WORK_DIR}/host ${root}/usr ${root}/usr/lib)

# With the Python module: it sits where Debian's python3 looks, the package
# names what it needs, and it loads the packaged control library.
if(PYTHON)
    set(python_dir ${root}/usr/lib/python3/dist-packages)
    foreach(file ${python_dir}/sorvel.abi3.so ${python_dir}/sorvel.pyi
            ${root}/usr/share/doc/ferrolink/examples/python/host.py)
        if(NOT EXISTS ${file})
            message(FATAL_ERROR "the package holds no ${file}")
        endif()
    endforeach()
    if(NOT fields MATCHES "python3-pyqt6 " OR NOT fields MATCHES "python3-pyqt6.sip ")
        message(FATAL_ERROR "the package does not depend on PyQt6:\n${fields}")
    endif()
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env PYTHONPATH=${python_dir} QT_QPA_PLATFORM=offscreen
                ${PYTHON} -c "import sorvel\nprint(sorvel.__file__)\nprint(''.join(sorted({l.split()[-1] for l in open('/proc/self/maps') if 'libsorvel' in l})))"
        OUTPUT_VARIABLE loaded RESULT_VARIABLE result ERROR_VARIABLE problem)
    if(result OR NOT loaded STREQUAL "${python_dir}/sorvel.abi3.so\n${root}/usr/lib/libsorvel.so.1.0.0\n")
        message(FATAL_ERROR "the packaged module does not load as it should:\n${loaded}${problem}")
    endif()
endif()

# A host built with pkg-config alone, and the server's systemd user unit.
ferrolink_build_pkgconfig_host(${WORK_DIR}/pkgconfig-host ${root}/usr/lib)
ferrolink_verify_unit(${root}/usr/lib/systemd/user/halvex.service /usr/bin/halvex
    ${root}/usr/bin/halvex ${WORK_DIR}/unit)
