# SPDX-License-Identifier: BSD-3-Clause
# Debian packages, one per install component (cpack -G DEB in the build
# directory):
#   libtarveshprotobuf1     the three shared libraries (runtime)
#   libtarveshprotobuf-dev  headers, .proto files, the .so links, the CMake
#                           package and the pkg-config file (dev)
#   tarvesh-tools           the tarvesh command and its manual page (tools)
# and the debug symbols of the first and the last in
# libtarveshprotobuf1-dbgsym and tarvesh-tools-dbgsym (.ddeb files).
# The command has a package of its own, as Debian does for a library's
# programs: the runtime package carries only files named by the soname (and
# its documentation directory), so that libtarveshprotobuf2 can later be
# installed beside it. scripts/check-install.sh runs lintian on all of them.
set(TARVESH_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set(TARVESH_RUNTIME_PACKAGE libtarveshprotobuf${PROJECT_VERSION_MAJOR})
set(TARVESH_DEV_PACKAGE libtarveshprotobuf-dev)
set(TARVESH_TOOLS_PACKAGE tarvesh-tools)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarveshprotobuf)
set(CPACK_PACKAGE_VENDOR "The TarveshProtoBuf Authors")
set(CPACK_PACKAGE_CONTACT "TarveshProtoBuf developers <tarveshprotobuf@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# No CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it before each
# package's own synopsis.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev tools)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed through DESTDIR, so that the install rules see the packages'
# prefix (/usr) as CMAKE_INSTALL_PREFIX (cmake/Install.cmake drops the
# RUNPATH for it).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SOURCE tarveshprotobuf)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Dependencies on system libraries come from dpkg-shlibdeps; the packages'
# dependencies on each other from the component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/library)

# The changelog's latest entry names the packages' version.
set(TARVESH_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
file(STRINGS ${TARVESH_DEBIAN_DIR}/changelog TARVESH_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT TARVESH_CHANGELOG_TOP MATCHES "^tarveshprotobuf \\(${TARVESH_DEBIAN_VERSION}\\) ")
  message(FATAL_ERROR "cmake/debian/changelog: the latest entry is not version "
    "${TARVESH_DEBIAN_VERSION}: ${TARVESH_CHANGELOG_TOP}")
endif()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${TARVESH_DEBIAN_DIR}/changelog)
# gzip -9n: no name or time stamp in the header, the same bytes every build.
set(TARVESH_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/debian)
execute_process(COMMAND gzip -9nc ${TARVESH_DEBIAN_DIR}/changelog
  OUTPUT_FILE ${TARVESH_CHANGELOG_GZ} RESULT_VARIABLE gzip_result)
if(NOT gzip_result EQUAL 0)
  message(FATAL_ERROR "gzip failed on cmake/debian/changelog")
endif()

# Each package's copyright and changelog, in /usr/share/doc/<package>, and
# its lintian overrides. Only the packages (a component install) take them,
# not a plain cmake --install.
foreach(component runtime dev tools)
  string(TOUPPER ${component} upper)
  set(package ${TARVESH_${upper}_PACKAGE})
  install(FILES ${TARVESH_DEBIAN_DIR}/copyright ${TARVESH_CHANGELOG_GZ}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
    COMPONENT ${component}
    EXCLUDE_FROM_ALL)
  file(WRITE ${PROJECT_BINARY_DIR}/debian/${component}/${package}
    "# Not uploaded to Debian: there is no bug asking for the package that the\n"
    "# first changelog entry could close.\n"
    "${package}: initial-upload-closes-no-bugs\n")
  install(FILES ${PROJECT_BINARY_DIR}/debian/${component}/${package}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
    COMPONENT ${component}
    EXCLUDE_FROM_ALL)
endforeach()

# Binaries are stripped; their debug information goes to a -dbgsym package.
set(CPACK_DEBIAN_RUNTIME_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_TOOLS_DEBUGINFO_PACKAGE ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${TARVESH_RUNTIME_PACKAGE})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "Protocol Buffers classes for recording store index records
TarveshProtoBuf is a set of hand-written Protocol Buffers message classes
for the index records of a recording store: pallets of data in numbered
files, recording fragments with their tiers and tracks, data references
and per-track frame tables, on the protobuf 3.21 runtime.

This package holds the shared libraries libTarveshProtoBuf,
libHalvinProtoBuf and libVeltoProtoBuf.")
# A program built against this version runs with any later one of the same
# soname (scripts/check-abi.sh guards that); the loader cache is refreshed
# by dpkg's ldconfig trigger, not by maintainer scripts.
set(TARVESH_SHLIBS ${PROJECT_BINARY_DIR}/debian/shlibs)
file(WRITE ${TARVESH_SHLIBS} "")
foreach(library TarveshProtoBuf HalvinProtoBuf VeltoProtoBuf)
  file(APPEND ${TARVESH_SHLIBS}
    "lib${library} ${PROJECT_VERSION_MAJOR} ${TARVESH_RUNTIME_PACKAGE} (>= ${PROJECT_VERSION})\n")
endforeach()
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${TARVESH_SHLIBS} ${TARVESH_DEBIAN_DIR}/triggers)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${TARVESH_DEV_PACKAGE})
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libprotobuf-dev (>= 3.21)")
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_DEBIAN_DEV_DESCRIPTION
  "recording store index record classes - development files
TarveshProtoBuf is a set of hand-written Protocol Buffers message classes
for the index records of a recording store.

This package holds the headers, the .proto schema files, the CMake package
TarveshProtoBuf and the pkg-config file TarveshProtoBuf.pc.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${TARVESH_TOOLS_PACKAGE})
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
  "command-line tool for recording store index record files
tarvesh decodes binary records to text format or JSON and encodes them
back, tells which record types a file holds and summarises where the
bytes of a track go, for whole files and length-delimited record streams.")

# CPack cannot be told two things a Debian package needs: cmake/DebianStage.cmake
# compresses the manual pages before packing, and cmake/DebianFinish.cmake
# then removes the ldconfig maintainer scripts CPack adds (the trigger above
# replaces them) and sets Installed-Size as dpkg counts it (CPack counts each
# symbolic link as the file it points to).
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStage.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianFinish.cmake)

include(CPack)
