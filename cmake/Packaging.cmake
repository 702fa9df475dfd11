# Debian packages, one per install component (cpack -G DEB in the build
# directory):
#   libtarveshprotobuf1     the three shared libraries (runtime)
#   libtarveshprotobuf-dev  headers, .proto files, the .so links, the CMake
#                           package and the pkg-config file (dev)
#   tarvesh-tools           the tarvesh command (tools)
# The command has a package of its own, as Debian does for a library's
# programs: the runtime package carries only files named by the soname, so
# that libtarveshprotobuf2 can later be installed beside it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarveshprotobuf)
set(CPACK_PACKAGE_VENDOR "TarveshProtoBuf")
set(CPACK_PACKAGE_CONTACT "TarveshProtoBuf developers <tarveshprotobuf@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Protocol Buffers message classes for recording store index records")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev tools)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# Dependencies on system libraries come from dpkg-shlibdeps; the packages'
# dependencies on each other from the component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/library)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtarveshprotobuf${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "Protocol Buffers message classes for recording store index records\n\
The shared libraries TarveshProtoBuf, HalvinProtoBuf and VeltoProtoBuf.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtarveshprotobuf-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libprotobuf-dev (>= 3.21)")
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Protocol Buffers message classes for recording store index records (development files)\n\
Headers, .proto schema files, the CMake package TarveshProtoBuf and the\n\
pkg-config file TarveshProtoBuf.pc.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME tarvesh-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
  "Command-line tool for recording store index record files\n\
tarvesh decodes, encodes, identifies and summarises record files and\n\
length-delimited record streams.")

include(CPack)
