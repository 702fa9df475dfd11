// SPDX-License-Identifier: BSD-3-Clause
// The per-file tables from which the runtime builds descriptors and
// reflection objects.
#ifndef TARVESH_WIRE_REFLECTION_TABLES_H
#define TARVESH_WIRE_REFLECTION_TABLES_H

#include "wire/CallerErrors.h"

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

// Registers the file (if it is not yet), reports a file missing from the
// generated pool with this library's check text, then lets the runtime build
// the descriptors and reflection objects from the table. Runs under the
// file's once-object.
inline void AssignFileDescriptors(const gpi::DescriptorTable* table,
                                  void (*register_file)()) {
  register_file();
  if (gp::DescriptorPool::generated_pool()->FindFileByName(table->filename) ==
      nullptr) {
    CheckFailed(__FILE__, __LINE__, kMissingFileText);
    return;
  }
  gpi::AssignDescriptors(table);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_REFLECTION_TABLES_H
