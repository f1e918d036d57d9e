# Tests of the control Sorvel: local mode on the recording interface
# library, network mode against a recording server, the fallback to a server
# on this PC, the Designer plugin, and the package a host builds against.
ferrolink_add_test(tst_sorvellocal SOURCES control/tst_sorvellocal.cpp
    LIBRARIES sorvel LIBRARY recording)
ferrolink_add_test(tst_sorvelerrors SOURCES control/tst_sorvelerrors.cpp
    LIBRARIES sorvel LIBRARY nodin)
ferrolink_add_test(tst_sorvelnetwork SOURCES control/tst_sorvelnetwork.cpp
    LIBRARIES sorvel LIBRARY recording USES_PORT LABELS integration TIMEOUT 240)
target_compile_definitions(tst_sorvelnetwork PRIVATE
    FERROLINK_SANITIZED=$<BOOL:${FERROLINK_SANITIZE}>)
ferrolink_add_test(tst_sorvelfallback SOURCES control/tst_sorvelfallback.cpp
    LIBRARIES sorvel LIBRARY garbage USES_PORT LABELS integration TIMEOUT 180)

if(TARGET sorveldesigner)
    ferrolink_add_test(tst_sorveldesigner SOURCES control/tst_sorveldesigner.cpp
        LIBRARIES sorvel Qt6::UiPlugin)
    add_dependencies(tst_sorveldesigner sorveldesigner)
    target_compile_definitions(tst_sorveldesigner PRIVATE
        SORVEL_DESIGNER_PLUGIN="$<TARGET_FILE:sorveldesigner>")
endif()

# Installs the build into a scratch prefix, builds the host project in
# control/host against it and runs the host in both modes. Left out when the
# build installs into Qt's own plugin folder, outside any scratch prefix.
if(TARGET sorveldesigner AND NOT IS_ABSOLUTE "${FERROLINK_DESIGNER_PLUGIN_DIR}")
    ferrolink_add_test(tst_sorvelpackage SOURCES control/tst_sorvelpackage.cpp
        LIBRARIES sorvel USES_PORT LABELS integration TIMEOUT 300)
    target_compile_definitions(tst_sorvelpackage PRIVATE
        CMAKE_COMMAND_PATH="${CMAKE_COMMAND}"
        BUILD_DIR="${CMAKE_BINARY_DIR}"
        HOST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/control/host"
        PLUGIN_DIR="${FERROLINK_DESIGNER_PLUGIN_DIR}"
        HOST_SANITIZE=$<BOOL:${FERROLINK_SANITIZE}>)
endif()
