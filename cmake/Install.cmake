# SPDX-License-Identifier: BSD-3-Clause
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

# The .pc file is written when installing, for the prefix installed to
# (cmake --install --prefix, or the packages' /usr). Under a prefix whose
# include directory the compiler searches anyway (/usr, /usr/local) it names
# the prefix plainly, as the system's own .pc files do, so pkg-config drops
# the -I and -L it already searches (/usr/include, /usr/lib/<multiarch>).
# Under any other prefix it finds the prefix from its own place
# (${pcfiledir}), so the install tree can be moved.
file(RELATIVE_PATH TARVESH_PC_UP ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" TARVESH_PC_UP "${TARVESH_PC_UP}")
file(RELATIVE_PATH TARVESH_PC_LIBDIR ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH TARVESH_PC_INCLUDEDIR ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_INCLUDEDIR})
install(CODE "
  set(PROJECT_VERSION ${PROJECT_VERSION})
  set(TARVESH_PC_LIBDIR ${TARVESH_PC_LIBDIR})
  set(TARVESH_PC_INCLUDEDIR ${TARVESH_PC_INCLUDEDIR})
  set(tarvesh_compiler_includes \"${CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES}\")
  get_filename_component(tarvesh_prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
  list(FIND tarvesh_compiler_includes \"\${tarvesh_prefix}/\${TARVESH_PC_INCLUDEDIR}\" tarvesh_found)
  if(tarvesh_found GREATER -1)
    set(TARVESH_PC_PREFIX \"\${tarvesh_prefix}\")
  else()
    set(TARVESH_PC_PREFIX \"\\\${pcfiledir}/${TARVESH_PC_UP}\")
  endif()
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/TarveshProtoBuf.pc.in\"
    \"${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/TarveshProtoBuf.pc\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\" TYPE FILE
    FILES \"${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/TarveshProtoBuf.pc\")"
  COMPONENT dev)

# RUNPATH: installed, each library finds its siblings and the tarvesh command
# finds the libraries from their own place ($ORIGIN), so a prefix can be
# moved. Under a prefix whose library directory the linker and the loader
# search anyway (/usr: /usr/lib/<multiarch>), that lookup is not needed and
# would come before the system's own (a distribution package must not carry
# it), so it is removed once the files are in place. The prefix is the one of
# the install (cmake --install --prefix, or the packages' /usr), not the one
# configured.
# tarvesh_drop_system_runpath(<component> <files relative to the prefix>...)
function(tarvesh_drop_system_runpath component)
  install(CODE "
    set(tarvesh_system_libdirs \"${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES}\")
    get_filename_component(tarvesh_libdir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}\" ABSOLUTE)
    list(FIND tarvesh_system_libdirs \"\${tarvesh_libdir}\" tarvesh_found)
    if(tarvesh_found GREATER -1)
      foreach(tarvesh_file ${ARGN})
        file(RPATH_REMOVE FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${tarvesh_file}\")
      endforeach()
    endif()"
    COMPONENT ${component})
endfunction()
tarvesh_drop_system_runpath(runtime
  ${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:TarveshProtoBuf>
  ${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:HalvinProtoBuf>
  ${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:VeltoProtoBuf>)
if(TARGET tarvesh)
  tarvesh_drop_system_runpath(tools ${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:tarvesh>)
endif()
