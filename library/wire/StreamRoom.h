// SPDX-License-Identifier: BSD-3-Clause
// Room in the runtime's output stream. EpsCopyOutputStream promises that the
// 16 bytes after any position up to its end mark may be written; a message
// whose cached size fits below that bound is written whole by the class's
// array writer, with no test for room per field. The end mark is a private
// member without an accessor: its member pointer is taken through an
// explicit instantiation, where access is not checked.
#ifndef TARVESH_WIRE_STREAM_ROOM_H
#define TARVESH_WIRE_STREAM_ROOM_H

#include "wire/Runtime.h"

namespace Pb {
namespace wire {

struct StreamEndMark {
  using Member = uint8_t* EpsCopyOutputStream::*;
  friend Member EndMarkOf(StreamEndMark);
};

template <StreamEndMark::Member member>
struct StreamEndMarkAccess {
  friend StreamEndMark::Member EndMarkOf(StreamEndMark) { return member; }
};
template struct StreamEndMarkAccess<&EpsCopyOutputStream::end_>;

// Whether `size` bytes from `target` may be written without asking the
// stream for room. On a stream over one flat array (the runtime's
// SerializeToArray and SerializeToString) the end mark is the array's end
// and the cached size fits exactly.
// Compared as addresses: the message's last byte, less the slop, against
// the end mark (a cached size is never negative, and an address that wraps
// round only sends the message to the writer that asks for room).
TARVESH_ALWAYS_INLINE bool StreamHasRoom(const EpsCopyOutputStream* stream,
                                         const uint8_t* target, int size) {
  const uint8_t* end = stream->*EndMarkOf(StreamEndMark{});
  return reinterpret_cast<uintptr_t>(target) + static_cast<uintptr_t>(size) -
             EpsCopyOutputStream::kSlopBytes <=
         reinterpret_cast<uintptr_t>(end);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_STREAM_ROOM_H
