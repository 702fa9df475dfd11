// SPDX-License-Identifier: BSD-3-Clause
// Storage on an arena for the elements of a repeated message field that a
// parse is about to read: one call into the arena for several records of a
// run, each element then built in its slot as its record comes. Every call
// into the arena looks up the calling thread's part of it (a thread-local
// lookup across the shared library's boundary), which costs more than
// building a small element; the bytes handed out are the same either way.
//
// What this does not do: register destructors (the classes are
// destructor-skippable on an arena, which the assertions below check) or
// hand storage back when a parse stops early (the arena keeps it).
#ifndef TARVESH_WIRE_ARENA_SLOTS_H
#define TARVESH_WIRE_ARENA_SLOTS_H

#include "wire/Runtime.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <type_traits>

namespace Pb {
namespace wire {

// Befriended by every message class: builds an element with the class's
// arena constructor, as Arena::CreateMessage does, in a slot of storage
// taken from that arena.
struct ArenaConstruction {
  template <class Element>
  static Element* Build(void* slot, gp::Arena* arena) {
    return ::new (slot) Element(arena);
  }
};

template <class Element>
class ArenaSlots {
  static_assert(std::is_same<typename Element::DestructorSkippable_, void>::value,
                "an element whose destructor must run needs it registered");
  static_assert(alignof(Element) <= 8 && sizeof(Element) % 8 == 0,
                "slots back to back keep the arena's own eight-byte alignment");

 public:
  // The most storage taken in one call. A count that runs past the records
  // actually read (a failure inside the run) leaves at most this much
  // unused, and so does a call that no longer fits the arena's current
  // block (the arena moves on to a new one).
  static constexpr std::size_t kMaxBytes = 2048;
  static constexpr int kMaxSlots =
      sizeof(Element) < kMaxBytes ? static_cast<int>(kMaxBytes / sizeof(Element)) : 1;

  bool empty() const { return free_ == 0; }

  // Storage for the next `wanted` elements, up to kMaxSlots of them.
  void Take(gp::Arena* arena, int wanted) {
    free_ = std::min(wanted, kMaxSlots);
    next_ = static_cast<char*>(arena->AllocateAligned(sizeof(Element) * free_));
  }

  // The next element, built in the next free slot. Not when empty().
  Element* Build(gp::Arena* arena) {
    Element* element = ArenaConstruction::Build<Element>(next_, arena);
    next_ += sizeof(Element);
    --free_;
    return element;
  }

 private:
  char* next_ = nullptr;
  int free_ = 0;
};

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_ARENA_SLOTS_H
