// SPDX-License-Identifier: BSD-3-Clause
// Where the vector kernels exist, and how their code is compiled for an
// instruction set the rest of the library does not assume.
#ifndef TARVESH_KERNELS_VARINT_PLATFORM_H
#define TARVESH_KERNELS_VARINT_PLATFORM_H

// x86-64 under GCC or clang: cpuid, xgetbv and target attributes.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TARVESH_KERNELS_X86_64 1
#endif

// The one-varint writer every field's writer calls: forced inline, as a call
// each would cost more than the step itself.
#if defined(__GNUC__)
#define TARVESH_KERNELS_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define TARVESH_KERNELS_ALWAYS_INLINE inline
#endif

// Everything between TARVESH_TARGET_REGION(features) and
// TARVESH_UNTARGET_REGION is compiled for those features, so that one
// instruction set's traits and the generic kernel code instantiated over
// them inline into each other. The library chooses at load whether any of
// it runs.
#define TARVESH_PRAGMA(x) _Pragma(#x)
#if defined(__clang__)
#define TARVESH_TARGET_REGION(features) \
  TARVESH_PRAGMA(clang attribute push(__attribute__((target(features))), apply_to = function))
#define TARVESH_UNTARGET_REGION _Pragma("clang attribute pop")
#elif defined(__GNUC__)
#define TARVESH_TARGET_REGION(features) \
  _Pragma("GCC push_options") TARVESH_PRAGMA(GCC target(features))
#define TARVESH_UNTARGET_REGION _Pragma("GCC pop_options")
#endif

#endif  // TARVESH_KERNELS_VARINT_PLATFORM_H
