# Installs the build into a scratch prefix and builds a host program with
# the compiler and `pkg-config --cflags --libs sorvel` alone, then runs it;
# also checks the installed systemd user unit with systemd-analyze.
#   cmake -DBINARY_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... -DCXX_COMPILER=...
#         -DCXX_FLAGS=... -DINSTALL_BINDIR=<the build's full bin folder>
#         -P pkgconfighost.cmake
include(${CMAKE_CURRENT_LIST_DIR}/buildhost.cmake)

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix}
    OUTPUT_QUIET RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "installing the build into ${prefix} failed: ${result}")
endif()
foreach(file lib/pkgconfig/sorvel.pc lib/systemd/user/halvex.service)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "the install holds no ${file}")
    endif()
endforeach()

ferrolink_build_pkgconfig_host(${WORK_DIR}/host ${prefix}/lib)
ferrolink_verify_unit(${prefix}/lib/systemd/user/halvex.service ${INSTALL_BINDIR}/halvex
    ${prefix}/bin/halvex ${WORK_DIR}/unit)
