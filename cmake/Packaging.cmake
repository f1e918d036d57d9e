# Desktop entries and icons for the programs a person starts, the systemd
# user unit of the server, the pkg-config file of the control, and the
# Debian package:
#   cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
#   cmake --build build-deb && (cd build-deb && cpack -G DEB)
set(FERROLINK_PACKAGING_SOURCE_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(FILES
    ${FERROLINK_PACKAGING_SOURCE_DIR}/halvex.desktop
    ${FERROLINK_PACKAGING_SOURCE_DIR}/ferrolink-panel.desktop
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES
    ${FERROLINK_PACKAGING_SOURCE_DIR}/icons/halvex.svg
    ${FERROLINK_PACKAGING_SOURCE_DIR}/icons/ferrolink-panel.svg
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

# The user unit runs the installed server; systemd looks for units of
# packages in PREFIX/lib/systemd/user (/usr/lib/systemd/user for the package).
set(FERROLINK_HALVEX_PATH ${CMAKE_INSTALL_FULL_BINDIR}/halvex)
configure_file(${FERROLINK_PACKAGING_SOURCE_DIR}/halvex.service.in
    ${PROJECT_BINARY_DIR}/packaging/halvex.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/halvex.service
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/systemd/user)

configure_file(${FERROLINK_PACKAGING_SOURCE_DIR}/sorvel.pc.in
    ${PROJECT_BINARY_DIR}/packaging/sorvel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/sorvel.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(CPACK_PACKAGE_NAME ferrolink)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ferrolink")
set(CPACK_PACKAGE_CONTACT "Ferrolink maintainers <maintainers@ferrolink.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Remote I/O for the Ferrolink interface: control library, server and simulator")
set(CPACK_PACKAGE_DESCRIPTION
    "The control library libsorvel lets Qt host programs drive the Ferrolink I/O interface, \
on the same PC or over TCP port 2001 through the server halvex. The package holds the \
library with its headers and CMake package (find_package(Ferrolink)), its Qt Designer \
plugin, the server halvex, the simulated interface library librsapi.so, the panel \
ferrolink-panel that shows the simulated interface, and the command ferrolink that \
drives the interface from the shell.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries the programs link are found by dpkg-shlibdeps; the Qt
# platform plugins are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
# The Python module sorvel runs in Debian's python3 on its PyQt6, whose SIP
# module must have the ABI it was generated for; PyQt6's uic, which loads
# Designer forms, comes with pyqt6-dev-tools.
if(FERROLINK_BUILD_PYTHON)
    string(REGEX MATCH "^[0-9]+" sip_abi_major ${FERROLINK_PYQT6_SIP_ABI})
    math(EXPR sip_abi_next "${sip_abi_major} + 1")
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
        ", python3 (>= 3.7), python3-pyqt6 (>= 6.4)"
        ", python3-pyqt6.sip (>= ${FERROLINK_PYQT6_SIP_ABI}), python3-pyqt6.sip (<< ${sip_abi_next})")
    string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", pyqt6-dev-tools")
    string(APPEND CPACK_PACKAGE_DESCRIPTION
        " The Python module sorvel gives the same control to PyQt6 host programs.")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-base-dev, designer-qt6")

configure_file(${FERROLINK_PACKAGING_SOURCE_DIR}/CPackOptions.cmake.in
    ${PROJECT_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackOptions.cmake)

include(CPack)
