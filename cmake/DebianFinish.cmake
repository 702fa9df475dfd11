# SPDX-License-Identifier: BSD-3-Clause
# CPack post-build script (CPACK_POST_BUILD_SCRIPTS, cmake/Packaging.cmake):
# finishes each .deb and .ddeb CPack made, as dpkg-deb would have built it:
#   - removes the postinst and postrm CPack writes for a package holding
#     shared libraries, which only run ldconfig: the package's triggers file
#     (activate-noawait ldconfig) has dpkg do that;
#   - sets Installed-Size as dpkg counts it: each file's size rounded up to a
#     KiB, one KiB for each symbolic link and directory (CPack counts a link
#     as the whole file it points to);
#   - writes md5sums afresh (CPack lists a -dbgsym package's files by their
#     paths in its staging directory);
#   - gives a -dbgsym package its documentation directory as Debian's have
#     it: a link to the one of the package whose symbols it holds.
# Each package is unpacked with dpkg-deb -R and built again with dpkg-deb -b;
# its files stay as CPack made them.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.d?deb$")
    continue()
  endif()
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -R failed on ${package}")
  endif()

  foreach(script postinst postrm)
    set(path "${tree}/DEBIAN/${script}")
    if(NOT EXISTS "${path}")
      continue()
    endif()
    file(READ "${path}" text)
    # Anything but CPack's ldconfig script is kept, and then fails lintian.
    string(REGEX REPLACE "#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|ldconfig|fi|[ \t\n]" "" rest "${text}")
    if(rest STREQUAL "")
      file(REMOVE "${path}")
    endif()
  endforeach()

  file(READ "${tree}/DEBIAN/control" control)
  if(control MATCHES "(^|\n)Auto-Built-Package: debug-symbols\n"
     AND control MATCHES "(^|\n)Package: ([^\n]+)-dbgsym\n")
    set(stripped "${CMAKE_MATCH_2}")
    file(MAKE_DIRECTORY "${tree}/usr/share/doc")
    file(CREATE_LINK "${stripped}" "${tree}/usr/share/doc/${stripped}-dbgsym" SYMBOLIC)
  endif()

  file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${tree}" "${tree}/*")
  list(SORT entries)
  set(kib 0)
  set(md5sums "")
  foreach(entry IN LISTS entries)
    if(entry MATCHES "^DEBIAN(/|$)")
      continue()
    endif()
    if(IS_SYMLINK "${tree}/${entry}" OR IS_DIRECTORY "${tree}/${entry}")
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE "${tree}/${entry}" bytes)
      math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
      file(MD5 "${tree}/${entry}" md5)
      string(APPEND md5sums "${md5}  ${entry}\n")
    endif()
  endforeach()
  file(WRITE "${tree}/DEBIAN/md5sums" "${md5sums}")
  string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" control "${control}")
  file(WRITE "${tree}/DEBIAN/control" "${control}")

  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b "${tree}" "${package}"
    OUTPUT_QUIET RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -b failed on ${package}")
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
