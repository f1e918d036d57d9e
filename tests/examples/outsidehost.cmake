# Installs the build into a scratch prefix and builds the example host
# against it as any outside project would.
#   cmake -DBINARY_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... -DGENERATOR=...
#         -DMAKE_PROGRAM=... -DCXX_COMPILER=... -DCXX_FLAGS=... -P outsidehost.cmake
include(${CMAKE_CURRENT_LIST_DIR}/buildhost.cmake)

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix}
    OUTPUT_QUIET RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "installing the build into ${prefix} failed: ${result}")
endif()
foreach(file include/ferrolink/sorvel.h lib/cmake/Ferrolink/FerrolinkConfig.cmake
             lib/librsapi.so bin/halvex)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "the install holds no ${file}")
    endif()
endforeach()

ferrolink_build_outside_host(${WORK_DIR}/host ${prefix} ${prefix}/lib)
