// SPDX-License-Identifier: BSD-3-Clause
#include "kernels/VarintTables.h"

namespace Pb {
namespace kernels {

alignas(32) std::uint8_t varint_decode_shuffle[4096][32];
alignas(16) std::uint8_t varint_write_shuffle[256][16];
std::uint8_t varint_write_length[256];

void BuildVarintTables() {
  static bool built = false;
  if (built) return;
  built = true;
  for (int key = 0; key < 4096; ++key) {
    std::uint8_t* entry = varint_decode_shuffle[key];
    for (int i = 0; i < 32; ++i) entry[i] = 0x80;
    int previous_end = -1;
    bool seen_end = false;
    int lane = 0;
    for (int i = 0; i < 12; ++i) {
      if ((key >> i) & 1) continue;  // a continuation byte
      if (i >= 4) {
        const int first = previous_end + 1;
        const int length = i - first + 1;
        if (seen_end && length <= 4) {
          for (int b = 0; b < length; ++b) {
            entry[lane * 4 + b] = static_cast<std::uint8_t>(first + b + 4);
          }
        }
        ++lane;
      }
      previous_end = i;
      seen_end = true;
    }
  }
  for (int key = 0; key < 256; ++key) {
    std::uint8_t* entry = varint_write_shuffle[key];
    int length = 0;
    for (int lane = 0; lane < 4; ++lane) {
      const int bytes = 1 + ((key >> lane) & 1) + 2 * ((key >> (4 + lane)) & 1);
      for (int b = 0; b < bytes; ++b) entry[length++] = static_cast<std::uint8_t>(lane * 4 + b);
    }
    for (int i = length; i < 16; ++i) entry[i] = 0x80;
    varint_write_length[key] = static_cast<std::uint8_t>(length);
  }
}

}  // namespace kernels
}  // namespace Pb
