// Repeated message fields: room reserved for runs of records, and one
// element read by either parser.
#ifndef TARVESH_WIRE_REPEATED_MESSAGES_H
#define TARVESH_WIRE_REPEATED_MESSAGES_H

#include "wire/ContextParsing.h"
#include "wire/StreamReading.h"

namespace Pb {
namespace wire {

// A repeated message field grown one element at a time reallocates its
// pointer array at 1, 3, 7, ... elements; a fresh message with many short
// lists (four tracks to a fragment) pays for that on every list. So when the
// field is full, the records of its tag that follow back to back are counted
// and room is reserved for them all. The count is a hint: it stops at
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
      list->Reserve(list->size() + CountRecordRun(start, tag, readable));
    }
  }
  return list->Add();
}

template <class Element>
inline Element* AddElement(ParseContext* ctx, const char* ptr, uint8_t tag,
                           gp::RepeatedPtrField<Element>* list) {
  if (list->size() == list->Capacity()) {
    // The context keeps kSlopBytes readable past any point before its limit.
    list->Reserve(list->size() +
                  CountRecordRun(ptr, tag, [ctx](const char* q) { return ctx->DataAvailable(q); }));
  }
  return list->Add();
}

// One element of a repeated message field, its tag (one byte) already read.
template <class Element>
inline bool ReadElement(CodedInputStream* input, uint8_t tag,
                        gp::RepeatedPtrField<Element>* list) {
  return ReadElement(input, AddElement(input, tag, list));
}
template <class Element>
inline const char* ParseElement(ParseContext* ctx, const char* ptr, uint8_t tag,
                                gp::RepeatedPtrField<Element>* list) {
  return ParseNestedElement(ctx, AddElement(ctx, ptr, tag, list), ptr);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_REPEATED_MESSAGES_H
