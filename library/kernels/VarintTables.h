// SPDX-License-Identifier: BSD-3-Clause
// The shuffle tables the vector kernels share, built once while the library
// loads (by the dispatcher, on a machine that runs one of those kernels).
#ifndef TARVESH_KERNELS_VARINT_TABLES_H
#define TARVESH_KERNELS_VARINT_TABLES_H

#include <cstdint>

namespace Pb {
namespace kernels {

// Decode shuffles, indexed by the continuation bits of the 12 bytes from 4
// bytes before an 8-byte chunk to its end (bit i: byte i). The chunk's k-th
// varint end fills 32-bit lane k (of 8) with that varint's bytes, indexed
// within the 16 bytes loaded from 8 bytes before the chunk; unused bytes are
// zeroed. Lanes 4 to 7 index the same 16 bytes (pshufb indexes within each
// 128-bit half). A varint of more than four bytes, or one starting before
// the 12 bytes, is left out: the kernels never look up such a key.
alignas(32) extern std::uint8_t varint_decode_shuffle[4096][32];

// Write shuffles, indexed by the lengths minus one of four 32-bit lanes of
// varint bytes: bit k holds the low bit of lane k's, bit 4 + k its high bit.
// Each packs the lanes' used bytes together; varint_write_length is how many.
alignas(16) extern std::uint8_t varint_write_shuffle[256][16];
extern std::uint8_t varint_write_length[256];

// Idempotent; not synchronised (the dispatcher calls it at load).
void BuildVarintTables();

}  // namespace kernels
}  // namespace Pb

#endif  // TARVESH_KERNELS_VARINT_TABLES_H
