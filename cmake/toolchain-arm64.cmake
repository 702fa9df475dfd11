# SPDX-License-Identifier: BSD-3-Clause
# Cross build for Debian's arm64 with aarch64-linux-gnu-g++, run under qemu-aarch64
# (scripts/run-cross-tests.sh arm64).
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TARVESH_CROSS_TRIPLET aarch64-linux-gnu)
set(TARVESH_CROSS_QEMU aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/CrossDebian.cmake)
