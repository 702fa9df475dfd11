# SPDX-License-Identifier: BSD-3-Clause
# Shared part of the cross toolchain files (cmake/toolchain-<arch>.cmake),
# which set TARVESH_CROSS_TRIPLET (s390x-linux-gnu), TARVESH_CROSS_QEMU
# (s390x) and include this. Debian's cross compiler <triplet>-g++ brings the
# target's C and C++ runtime under /usr/<triplet>; the target's protobuf,
# libprotoc, GoogleTest and zlib come from Debian's packages for that
# architecture unpacked into TARVESH_CROSS_SYSROOT (scripts/run-cross-tests.sh
# makes it). Programs run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TARVESH_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TARVESH_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${TARVESH_CROSS_TRIPLET})

if(NOT TARVESH_CROSS_SYSROOT)
  set(TARVESH_CROSS_SYSROOT $ENV{TARVESH_CROSS_SYSROOT})
endif()
if(NOT IS_DIRECTORY "${TARVESH_CROSS_SYSROOT}/usr/include/google/protobuf")
  message(FATAL_ERROR "TARVESH_CROSS_SYSROOT (${TARVESH_CROSS_SYSROOT}) holds no protobuf headers: "
    "make it with scripts/run-cross-tests.sh")
endif()
# Passed on to the try_compile projects of the checks.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARVESH_CROSS_SYSROOT)

# Libraries, headers and CMake packages from the target's trees only;
# programs (protoc) from the host.
set(CMAKE_FIND_ROOT_PATH ${TARVESH_CROSS_SYSROOT} /usr/${TARVESH_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The sysroot's libraries need each other (libprotobuf needs libz): the
# linker finds them there, without a RUNPATH into the build machine.
set(TARVESH_CROSS_LIBDIRS
  ${TARVESH_CROSS_SYSROOT}/usr/lib/${TARVESH_CROSS_TRIPLET}
  ${TARVESH_CROSS_SYSROOT}/lib/${TARVESH_CROSS_TRIPLET})
foreach(dir IN LISTS TARVESH_CROSS_LIBDIRS)
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
endforeach()

# ctest and the test discovery run the programs through qemu-user: the
# target's C library from /usr/<triplet>, the sysroot's libraries through
# the emulated program's LD_LIBRARY_PATH.
list(JOIN TARVESH_CROSS_LIBDIRS ":" libdirs)
set(CMAKE_CROSSCOMPILING_EMULATOR
  qemu-${TARVESH_CROSS_QEMU} -L /usr/${TARVESH_CROSS_TRIPLET} -E LD_LIBRARY_PATH=${libdirs})
