// SPDX-License-Identifier: BSD-3-Clause
// The per-file layout tables from which the runtime builds reflection
// objects.
#ifndef TARVESH_WIRE_REFLECTION_TABLES_H
#define TARVESH_WIRE_REFLECTION_TABLES_H

#include "wire/Runtime.h"

namespace Pb {
namespace wire {

// The runtime's reflection reads one block of the file's offsets array per
// class: presence words, _internal_metadata_, four unused slots (extensions,
// oneof cases, weak fields, inlined strings), one offset per field, then one
// presence-bit index per field. kBlockHeader is the number of leading slots.
inline constexpr uint32_t kNoOffset = ~0u;
inline constexpr int kBlockHeader = 6;

// The schema entry of a class whose block starts at `block_start` and which
// has `field_count` fields.
inline constexpr gpi::MigrationSchema SchemaAt(int block_start, int field_count,
                                               int object_size) {
  return gpi::MigrationSchema{block_start,
                              block_start + kBlockHeader + field_count, -1,
                              object_size};
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_REFLECTION_TABLES_H
