# Where an installed copy keeps its files, and the same layout in the build tree.
#
# The media library and the module plug-in are the program's own: they go to a private folder
# (lib/orvane-viewer by default) that the program finds through a path relative to its
# executable, fixed here at configure time. The build tree repeats that relation, so the
# executable in build/src and an installed one each load their own libraries and never each
# other's.

include(GNUInstallDirs)

# Every install rule belongs to one component; the tests install just it, which keeps their
# manifest (install_manifest_orvane-viewer.txt) apart from a user's own install_manifest.txt.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME orvane-viewer)

# Nothing installed links a library of the project's own, so installed binaries carry no library
# path; the $ORIGIN that qt_standard_project_setup puts there would let stray libraries beside
# the program win over the system's.
set(CMAKE_INSTALL_RPATH "")

set(ORVANE_INSTALL_PRIVATE_LIBDIR "${CMAKE_INSTALL_LIBDIR}/orvane-viewer" CACHE STRING
  "Folder of the program's own libraries, relative to the install prefix")
set(ORVANE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/orvane-viewer")

# What is compiled in is the step from the executable's folder to the libraries; with relative
# folders (the usual case) it holds for any prefix, also the one a package installs into.
cmake_path(ABSOLUTE_PATH ORVANE_INSTALL_PRIVATE_LIBDIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE
  OUTPUT_VARIABLE _orvane_libdir)
file(RELATIVE_PATH ORVANE_LIBDIR_FROM_BINDIR "${CMAKE_INSTALL_FULL_BINDIR}" "${_orvane_libdir}")

# The executable is built in build/src; its libraries go where the same step leads from there.
set(ORVANE_BUILD_BINDIR "${CMAKE_BINARY_DIR}/src")
cmake_path(ABSOLUTE_PATH ORVANE_LIBDIR_FROM_BINDIR BASE_DIRECTORY "${ORVANE_BUILD_BINDIR}" NORMALIZE
  OUTPUT_VARIABLE ORVANE_BUILD_PRIVATE_LIBDIR)
cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${ORVANE_BUILD_PRIVATE_LIBDIR}" NORMALIZE _orvane_inside)
if(NOT _orvane_inside OR ORVANE_LIBDIR_FROM_BINDIR STREQUAL "")
  message(FATAL_ERROR "The library folder ${ORVANE_INSTALL_PRIVATE_LIBDIR} must be a folder of its "
    "own below the prefix, apart from ${CMAKE_INSTALL_BINDIR}")
endif()

# How the installed program names itself to the desktop: the application id is the reversed
# name of the makers' site (AppContext::SiteAddress), with the hyphen a D-Bus name cannot hold
# turned into an underscore.
set(ORVANE_SITE "https://orvane-viewer.org")
set(ORVANE_APP_ID "org.orvane_viewer.OrvaneViewer")
# No licence has been chosen yet: the package says so rather than claim one.
set(ORVANE_LICENSE "LicenseRef-proprietary")
set(ORVANE_MAINTAINER "The Orvane Viewer developers <developers@orvane-viewer.org>")
