// Repeated message fields: room reserved for runs of records, one element
// read by the stream parser and a run of them by the context parser.
#ifndef TARVESH_WIRE_REPEATED_MESSAGES_H
#define TARVESH_WIRE_REPEATED_MESSAGES_H

#include "wire/ArenaSlots.h"
#include "wire/ContextParsing.h"
#include "wire/ElementCounts.h"
#include "wire/StreamReading.h"

namespace Pb {
namespace wire {

// A repeated message field grown one element at a time reallocates its
// pointer array at 1, 3, 7, ... elements; a fresh message with many short
// lists (four tracks to a fragment) pays for that on every list. So when the
// field is full (or, on an arena, about to take new elements), the records
// of its tag that follow back to back are counted and room is reserved for
// them all. The count is a hint: it stops at
// anything it cannot see or read, and a wrong one costs only memory already
// bounded by the input. `p` is at the current record's length, whose five
// bytes can be read; readable(q) says that q and the five bytes after it can.
template <class Readable>
inline int CountRecordRun(const char* p, uint8_t tag, Readable readable) {
  int count = 0;
  for (;;) {
    // At most five bytes, the value within int32: null otherwise.
    const int length = static_cast<int>(gpi::ReadSize(&p));
    if (p == nullptr) return count;
    ++count;
    const char* next = AddressAt(p, length);
    if (!readable(next) || static_cast<uint8_t>(*next) != tag) return count;
    p = next + 1;
  }
}

template <class Element>
inline Element* AddElement(CodedInputStream* input, uint8_t tag,
                           gp::RepeatedPtrField<Element>* list) {
  if (list->size() == list->Capacity()) {
    const void* data;
    int buffered;
    input->GetDirectBufferPointerInline(&data, &buffered);
    const char* start = static_cast<const char*>(data);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(start) + buffered;
    auto readable = [end](const char* q) {
      return reinterpret_cast<std::uintptr_t>(q) + 6 <= end;
    };
    if (buffered >= 5) {
      const int counted = CountRecordRun(start, tag, readable);
      if (CanGrowBy(list->size(), static_cast<size_t>(counted))) {
        list->Reserve(list->size() + counted);
      }
    }
  }
  return list->Add();
}

// One element of a repeated message field, its tag (one byte) already read.
template <class Element>
inline bool ReadElement(CodedInputStream* input, uint8_t tag,
                        gp::RepeatedPtrField<Element>* list) {
  return CanGrowBy(list->size(), 1) && ReadElement(input, AddElement(input, tag, list));
}

// A run of records of one repeated message field, the first one's tag (one
// byte) already read: each record read into a new element, the next one
// taken at once while it is readable and starts with the same tag; anything
// else goes back to the message's loop, which judges ends and other fields.
// The room reserved for a run is counted as by AddElement. On an arena, the
// elements counted ahead get their storage in few calls (ArenaSlots);
// elements cleared earlier are reused first, as Add() does.
template <class Element>
inline const char* ParseElementRun(ParseContext* ctx, const char* ptr, uint8_t tag,
                                   gp::RepeatedPtrField<Element>* list) {
  gp::Arena* const arena = list->GetArena();
  ArenaSlots<Element> slots;
  int counted = 0;  // records of the run counted ahead, not yet given an element
  for (;;) {
    if (!CanGrowBy(list->size(), 1)) return nullptr;
    if (counted == 0 && (list->size() == list->Capacity() ||
                         (arena != nullptr && list->ClearedCount() == 0))) {
      // The context keeps kSlopBytes readable past any point before its limit.
      counted = CountRecordRun(ptr, tag, [ctx](const char* q) { return ctx->DataAvailable(q); });
      if (!CanGrowBy(list->size(), static_cast<size_t>(counted))) {
        counted = INT_MAX - list->size();
      }
      if (list->size() + counted > list->Capacity()) list->Reserve(list->size() + counted);
    }
    Element* element;
    if (counted > 0 && arena != nullptr && list->ClearedCount() == 0) {
      if (slots.empty()) slots.Take(arena, counted);
      element = slots.Build(arena);
      list->UnsafeArenaAddAllocated(element);  // room reserved above
    } else {
      element = list->Add();
    }
    if (counted > 0) --counted;
    ptr = ParseNestedElement(ctx, element, ptr);
    if (!NextTagIs(ctx, &ptr, tag)) return ptr;
  }
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_REPEATED_MESSAGES_H
