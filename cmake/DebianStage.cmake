# SPDX-License-Identifier: BSD-3-Clause
# CPack pre-build script (CPACK_PRE_BUILD_SCRIPTS, cmake/Packaging.cmake): runs
# on the staged files of every package before they are packed. Debian ships
# manual pages compressed with gzip -9n (no name or time stamp), which no
# install rule does.
file(GLOB_RECURSE tarvesh_staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(page IN LISTS tarvesh_staged)
  if(NOT page MATCHES "/share/man/[^/]+/[^/]+$" OR page MATCHES "\\.gz$" OR IS_SYMLINK "${page}")
    continue()
  endif()
  execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${page}")
  endif()
endforeach()
