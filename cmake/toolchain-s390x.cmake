# SPDX-License-Identifier: BSD-3-Clause
# Cross build for Debian's s390x with s390x-linux-gnu-g++, run under qemu-s390x
# (scripts/run-cross-tests.sh s390x).
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(TARVESH_CROSS_TRIPLET s390x-linux-gnu)
set(TARVESH_CROSS_QEMU s390x)
include(${CMAKE_CURRENT_LIST_DIR}/CrossDebian.cmake)
