// SPDX-License-Identifier: BSD-3-Clause
// Symbol export for the VeltoProtoBuf stand-in library.
//
// The library is built with hidden visibility; every message class and the
// registration functions are exported whole through this macro, so private
// and inline members are reachable by users and by the runtime alike.
#ifndef VELTO_EXPORT_H
#define VELTO_EXPORT_H

#if defined(_WIN32)
#  if defined(VELTO_PROTOBUF_BUILDING)
#    define VELTO_EXPORT __declspec(dllexport)
#  else
#    define VELTO_EXPORT __declspec(dllimport)
#  endif
#else
#  define VELTO_EXPORT __attribute__((visibility("default")))
#endif

#endif  // VELTO_EXPORT_H
