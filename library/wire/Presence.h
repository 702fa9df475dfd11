// SPDX-License-Identifier: BSD-3-Clause
// Presence bits read once per message. A message hands its list of fields,
// as a generic lambda over a presence test, to ByPresence: when every bit of
// the word is set (the common case: writers fill every field) the lambda is
// instantiated with a test that is constant true, so sizing, writing and
// copying run without a branch per field; otherwise with the word's bits.
#ifndef TARVESH_WIRE_PRESENCE_H
#define TARVESH_WIRE_PRESENCE_H

#include <type_traits>

#include "wire/Runtime.h"

namespace Pb {
namespace wire {

// Every field present: the test folds away.
struct AllPresent {
  constexpr std::true_type operator()(int) const { return {}; }
};

// Field `index` present when its bit is set.
struct PresentBits {
  uint32_t bits;
  constexpr bool operator()(int index) const { return (bits >> index) & 1u; }
};

// `fields(present, args...)` with the test that fits `bits` under `all`, the
// mask of the word's presence bits. A writer passes its output pointer as an
// argument rather than capturing it: a pointer captured by reference lives
// in memory, and every byte written through it could alias it.
template <class Fields, class... Args>
TARVESH_ALWAYS_INLINE auto ByPresence(uint32_t bits, uint32_t all, Fields&& fields,
                                      Args... args) {
  // A mask of the whole low byte is tested as that byte: one compare.
  const bool every = all == 0xffu ? static_cast<uint8_t>(bits) == 0xffu : (bits & all) == all;
  if (TARVESH_LIKELY(every)) return fields(AllPresent{}, args...);
  return fields(PresentBits{bits}, args...);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_PRESENCE_H
