// SPDX-License-Identifier: BSD-3-Clause
// Copying and merging: the runtime's generic entry points routed onto a
// class's own MergeFrom, and repeated message fields merged element by
// element.
#ifndef TARVESH_WIRE_MERGING_H
#define TARVESH_WIRE_MERGING_H

#include "wire/CallerErrors.h"
#include "wire/ElementCounts.h"

namespace Pb {
namespace wire {

// The template parameters below are named Class, not Message: in
// `to->Message::MergeFrom` clang finds the injected name of the base class
// google::protobuf::Message first, whose MergeFrom calls back here forever.

// MergeFrom(const Message&): the class's own merge when `from` is of the
// class, else the runtime's reflection-driven merge.
template <class Class>
inline void MergeFromMessage(Class* to, const gp::Message& from,
                             const char* file, int line) {
  if (&from == to) CheckFailed(file, line, kSelfMergeText);
  if (const Class* source = dynamic_cast<const Class*>(&from)) {
    to->Class::MergeFrom(*source);
  } else {
    gpi::ReflectionOps::Merge(from, to);
  }
}

// The copy and merge entries of a class's ClassData: the runtime's generic
// CopyFrom and MergeFrom call these for two messages of the same class.
template <class Class>
void CopyToFrom(gp::Message& to, const gp::Message& from) {
  static_cast<Class&>(to).Class::CopyFrom(static_cast<const Class&>(from));
}
template <class Class>
void MergeToFrom(gp::Message& to, const gp::Message& from) {
  static_cast<Class&>(to).Class::MergeFrom(static_cast<const Class&>(from));
}

// The members of `from` from `first` to `last`, the padding between them
// included, copied into `to` in one go: a fixed-size memcpy, which the
// compiler turns into a few vector moves. For a merge from a message that
// has every field of the run.
template <class Class, class First, class Last>
TARVESH_ALWAYS_INLINE void CopyMemberRun(Class* to, const Class& from, First Class::*first,
                                         Last Class::*last) {
  const char* begin = reinterpret_cast<const char*>(&(from.*first));
  const char* end = reinterpret_cast<const char*>(&(from.*last) + 1);
  std::memcpy(&(to->*first), begin, static_cast<size_t>(end - begin));
}

// The unknown fields of `from` merged into `to`'s. Without any (the common
// case) one load and test; the merge is a tail call out of line, so that a
// class's MergeFrom keeps no registers and needs no stack frame.
TARVESH_HIDDEN __attribute__((noinline)) inline void MergeUnknownFieldsOutOfLine(
    gpi::InternalMetadata* to, const gpi::InternalMetadata& from) {
  to->MergeFrom<gp::UnknownFieldSet>(from);
}
TARVESH_ALWAYS_INLINE void MergeUnknownFields(gpi::InternalMetadata* to,
                                              const gpi::InternalMetadata& from) {
  if (TARVESH_LIKELY(!from.have_unknown_fields())) return;
  MergeUnknownFieldsOutOfLine(to, from);
}

// Flattened, as NestedElementsSize: each element's MergeFrom is inlined into
// the loop. Room is reserved only when the list lacks it (Reserve is a call).
template <class Element>
TARVESH_FLATTEN void MergeElements(gp::RepeatedPtrField<Element>* to,
                                   const gp::RepeatedPtrField<Element>& from) {
  CheckMergedCount(to->size(), from.size());
  if (to->Capacity() - to->size() < from.size()) to->Reserve(to->size() + from.size());
  for (const Element& element : from) to->Add()->Element::MergeFrom(element);
}

template <class T>
inline void MergeColumn(gp::RepeatedField<T>* to, const gp::RepeatedField<T>& from) {
  CheckMergedCount(to->size(), from.size());
  to->MergeFrom(from);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_MERGING_H
