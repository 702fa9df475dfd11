// SPDX-License-Identifier: BSD-3-Clause
// Sizes of the fields every message shares: nested elements and the
// unknown-field tail.
#ifndef TARVESH_WIRE_SIZING_H
#define TARVESH_WIRE_SIZING_H

#include "wire/Runtime.h"

namespace Pb {
namespace wire {

template <class Element>
inline size_t NestedElementsSize(const gp::RepeatedPtrField<Element>& list) {
  size_t total = static_cast<size_t>(list.size());  // one tag byte each
  for (const Element& element : list) {
    const size_t size = element.Element::ByteSizeLong();
    total += size + CodedOutputStream::VarintSize64(size);
  }
  return total;
}

inline size_t UnknownFieldsSize(const gp::UnknownFieldSet& unknown) {
  return unknown.empty() ? 0 : WireFormat::ComputeUnknownFieldsSize(unknown);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_SIZING_H
