# SPDX-License-Identifier: MIT
# The Debian package: `cmake --build build --target package` writes
# kestrin_<version>_amd64.deb holding all that `cmake --install` installs,
# under /usr.

# Installed under /usr, kestrin and the Designer plugin find libpixels in the
# system's library directory; the $ORIGIN paths that let an install elsewhere
# (/usr/local, /opt) find it are dropped there.
set(kestrin_rpath_files "${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:kestrin>")
if(TARGET pixels_designer)
    list(APPEND kestrin_rpath_files "${PIXELS_DESIGNER_PLUGIN_INSTALL_DIR}/$<TARGET_FILE_NAME:pixels_designer>")
endif()
install(CODE "
    if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
        foreach(file IN ITEMS ${kestrin_rpath_files})
            file(RPATH_REMOVE FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\")
        endforeach()
    endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
kestrin turns pictures, text and animations into the pages of a 122 x 32
monochrome graphic LCD, edits its pixels in a window, and serves the pages
over a serial line or a network serial bridge to the display's
microcontroller board. kestrin convert writes frame files and C headers
without a display; kestrin serve serves boards headless and speaks LCDproc.

Also: the simulated boards kestrin-board and kestrin-avr-board, the
reference firmware for an ATmega328P, and the bit-column widget library
pixels with its headers, CMake package and Qt Designer plugin.]])
# The package's own prefix, whatever the build tree was configured with; the
# install scripts then see /usr as their prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian ships binaries stripped of their debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "kestrin developers")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Library packages come from dpkg-shlibdeps, which reads what every binary
# links. It cannot see the image format plugins that Qt loads at run time:
# SVG (libqt6svg6) and WebP, TIFF, TGA and others (qt6-image-formats-plugins).
# The window's X11 platform plugin is part of libqt6gui6, which the scan finds.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/pixels)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-image-formats-plugins")
# libpixels is a public library: a shlibs file for packages built against
# it, and ldconfig run on install.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
include(CPack)
