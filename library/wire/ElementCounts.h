// Element counts of repeated fields. The runtime's containers count their
// elements in int and add a growth to their size unchecked, so a count past
// INT_MAX wraps and the container writes outside its array. Nothing upstream
// stops that: the flat ParseFromString takes inputs over 2 GiB, and a merge
// adds to whatever a message already holds. Every place that adds elements
// asks here first, in a type that cannot overflow.
#ifndef TARVESH_WIRE_ELEMENT_COUNTS_H
#define TARVESH_WIRE_ELEMENT_COUNTS_H

#include <cstddef>

#include "wire/CallerErrors.h"

namespace Pb {
namespace wire {

// Whether a field holding `size` elements (0 to INT_MAX) can take `more`.
inline bool CanGrowBy(int size, std::size_t more) {
  return more <= static_cast<std::size_t>(INT_MAX - size);
}

inline constexpr const char kElementCountText[] =
    "CHECK failed: the merged element count fits in an int: ";

// A merge whose result could not be counted is a caller error, reported
// before the field takes anything.
inline void CheckMergedCount(int to_size, int from_size) {
  if (!CanGrowBy(to_size, static_cast<std::size_t>(from_size))) {
    CheckFailed(__FILE__, __LINE__, kElementCountText);
  }
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_ELEMENT_COUNTS_H
