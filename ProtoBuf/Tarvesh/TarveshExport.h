// SPDX-License-Identifier: BSD-3-Clause
// Symbol export for the TarveshProtoBuf shared library.
//
// The library is built with hidden visibility; every message class and the
// registration functions are exported whole through this macro, so private
// and inline members are reachable by users and by the runtime alike.
#ifndef TARVESH_EXPORT_H
#define TARVESH_EXPORT_H

#if defined(_WIN32)
#  if defined(TARVESH_PROTOBUF_BUILDING)
#    define TARVESH_EXPORT __declspec(dllexport)
#  else
#    define TARVESH_EXPORT __declspec(dllimport)
#  endif
#else
#  define TARVESH_EXPORT __attribute__((visibility("default")))
#endif

#endif  // TARVESH_EXPORT_H
