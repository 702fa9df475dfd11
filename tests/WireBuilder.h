// SPDX-License-Identifier: BSD-3-Clause
// Hand-built wire bytes for tests, fuzz seeds and benchmarks: written from
// the wire format's rules, never by the library, so they can check it.
#ifndef TARVESH_TESTS_WIRE_BUILDER_H
#define TARVESH_TESTS_WIRE_BUILDER_H

#include <cstdint>
#include <string>

namespace tarvesh_test {

inline std::string Varint(std::uint64_t value) {
  std::string out;
  while (value >= 0x80) {
    out.push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<char>(value));
  return out;
}

inline std::string Tag(std::uint32_t number, int wire_type) {
  return Varint((std::uint64_t{number} << 3) | static_cast<std::uint64_t>(wire_type));
}

// The low `bytes` bytes of `value`, little-endian (fixed32: 4, fixed64: 8).
inline std::string Fixed(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}

inline std::string Delimited(std::uint32_t number, const std::string& payload) {
  return Tag(number, 2) + Varint(payload.size()) + payload;
}

inline std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_WIRE_BUILDER_H
