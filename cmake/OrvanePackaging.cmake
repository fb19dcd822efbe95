# Installing the program and packing it for Debian. The data files install themselves
# (data/CMakeLists.txt); this installs the executable and its two libraries and sets up CPack.
#   cmake --install build --prefix ~/.local       # from source
#   cpack --config build/CPackConfig.cmake        # orvane-viewer_<version>_amd64.deb

install(TARGETS orvane-viewer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orvane_media_library orvane_modplug
  LIBRARY DESTINATION ${ORVANE_INSTALL_PRIVATE_LIBDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane-viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Orvane Viewer developers")
set(CPACK_PACKAGE_CONTACT "${ORVANE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${ORVANE_SITE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file viewer for pictures, sounds, videos and tracker modules")
set(CPACK_PACKAGE_DESCRIPTION
  "Orvane Viewer's main window is a file browser: pick a drive and a folder,\n"
  "narrow the file list to one family of file types, and click a file to view\n"
  "or play it: BMP, DIB, GIF, JPEG, WMF, ICO and CUR pictures, wave sounds, AVI\n"
  "videos, and MOD, S3M, XM, IT, MDZ and ITZ tracker modules. It also carries a\n"
  "slide-show editor and player, a text editor and a 256-colour palette viewer,\n"
  "with an English and a French interface.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Packs the one component, so packing leaves the manifest of a user's own install alone.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME};/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANE_MAINTAINER}")
# The libraries the executable and both plug-ins link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What is loaded without being linked: GStreamer's elements behind Qt Multimedia (the AVI
# demuxer and the common decoders are in "good"), the desktop's opener for web pages and help
# files, Qt's Wayland platform plug-in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-libav, gstreamer1.0-x, gstreamer1.0-gl, xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
