// SPDX-License-Identifier: BSD-3-Clause
// Symbol export for the HalvinProtoBuf stand-in library.
//
// The library is built with hidden visibility; every message class and the
// registration functions are exported whole through this macro, so private
// and inline members are reachable by users and by the runtime alike.
#ifndef HALVIN_EXPORT_H
#define HALVIN_EXPORT_H

#if defined(_WIN32)
#  if defined(HALVIN_PROTOBUF_BUILDING)
#    define HALVIN_EXPORT __declspec(dllexport)
#  else
#    define HALVIN_EXPORT __declspec(dllimport)
#  endif
#else
#  define HALVIN_EXPORT __attribute__((visibility("default")))
#endif

#endif  // HALVIN_EXPORT_H
