# Install rules: the three libraries, every public header and .proto file of
# ProtoBuf/ under one include root, the CMake package TarveshProtoBuf and the
# pkg-config file. Components: runtime (the shared objects), dev (the rest),
# tools (the tarvesh command, from tools/CMakeLists.txt).
include(CMakePackageConfigHelpers)

set(TARVESH_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TarveshProtoBuf)

install(TARGETS TarveshProtoBuf HalvinProtoBuf VeltoProtoBuf
  EXPORT TarveshProtoBufTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT runtime
    NAMELINK_COMPONENT dev
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# Every header and schema file under ProtoBuf/: new ones are picked up as they
# are added. Users import the schema files by the same paths as the headers.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/ProtoBuf
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT dev
  FILES_MATCHING PATTERN "*.h" PATTERN "*.proto")

install(EXPORT TarveshProtoBufTargets
  NAMESPACE TarveshProtoBuf::
  DESTINATION ${TARVESH_CMAKE_DIR}
  COMPONENT dev)
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/TarveshProtoBufConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TarveshProtoBufConfig.cmake
  INSTALL_DESTINATION ${TARVESH_CMAKE_DIR})
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/TarveshProtoBufConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
    ${CMAKE_CURRENT_BINARY_DIR}/TarveshProtoBufConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/TarveshProtoBufConfigVersion.cmake
  DESTINATION ${TARVESH_CMAKE_DIR}
  COMPONENT dev)

# The .pc file finds its prefix from its own place (${pcfiledir}), so the
# same file serves an install under any --prefix, the Debian package and the
# package unpacked into any directory.
file(RELATIVE_PATH TARVESH_PC_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
file(RELATIVE_PATH TARVESH_PC_LIBDIR ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH TARVESH_PC_INCLUDEDIR ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_INCLUDEDIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/TarveshProtoBuf.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/TarveshProtoBuf.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TarveshProtoBuf.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT dev)
