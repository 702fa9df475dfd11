// SPDX-License-Identifier: BSD-3-Clause
// The runtime headers every wire helper uses, the namespace aliases they
// share, and four facts about the build: forced inlining and flattening,
// hidden symbols, branch hints and byte order.
#ifndef TARVESH_WIRE_RUNTIME_H
#define TARVESH_WIRE_RUNTIME_H

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include <google/protobuf/arena.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/generated_message_reflection.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/parse_context.h>
#include <google/protobuf/reflection_ops.h>
#include <google/protobuf/repeated_field.h>
#include <google/protobuf/stubs/logging.h>
#include <google/protobuf/stubs/once.h>
#include <google/protobuf/unknown_field_set.h>
#include <google/protobuf/wire_format.h>
#include <google/protobuf/wire_format_lite.h>

// For the few small readers that every field calls: the compiler otherwise
// stops inlining them once a parser has many fields.
#if defined(__GNUC__)
#define TARVESH_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define TARVESH_ALWAYS_INLINE inline
#endif

// For the loops over a list of small messages: every call inside is inlined
// where its body is visible.
#if defined(__GNUC__)
#define TARVESH_FLATTEN __attribute__((flatten)) inline
#else
#define TARVESH_FLATTEN inline
#endif

// For the stream parsers: every call inside is inlined where its body is
// visible, the stream's own small members included, which the compiler
// otherwise leaves out of line once the file has used up its inlining
// budget.
#if defined(__GNUC__)
#define TARVESH_STREAM_PARSER __attribute__((flatten))
#else
#define TARVESH_STREAM_PARSER
#endif

// A function that stays inside the library whatever the build's default
// visibility, so that calls to it bind there.
#if defined(__GNUC__)
#define TARVESH_HIDDEN __attribute__((visibility("hidden")))
#else
#define TARVESH_HIDDEN
#endif

// The branch a condition almost always takes, for the cold tails (unknown
// fields) that every message checks.
#if defined(__GNUC__)
#define TARVESH_LIKELY(condition) __builtin_expect(static_cast<bool>(condition), true)
#else
#define TARVESH_LIKELY(condition) (condition)
#endif

namespace Pb {
namespace wire {

namespace gp = ::google::protobuf;
namespace gpi = ::google::protobuf::internal;
using gp::io::CodedInputStream;
using gp::io::CodedOutputStream;
using gp::io::EpsCopyOutputStream;
using gpi::ParseContext;
using gpi::WireFormat;
using gpi::WireFormatLite;

// Whether a fixed64 column's memory is already its wire form.
#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
inline constexpr bool kLittleEndianHost = true;
#else
inline constexpr bool kLittleEndianHost = false;
#endif

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_RUNTIME_H
