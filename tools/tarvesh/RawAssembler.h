// SPDX-License-Identifier: BSD-3-Clause
// Turns the raw printer's text (tarvesh raw) back into the bytes it shows, a
// line at a time: each field from its number, wire type and value, a head
// noted in hex where its bytes are not the shortest encoding, a length as
// its label gives it, and the bytes past a fault from its "rest" line. A
// line of raw's JSON counts as the text line it holds. The text of any
// bytes gives those bytes back exactly.
#ifndef TARVESH_TOOLS_RAW_ASSEMBLER_H
#define TARVESH_TOOLS_RAW_ASSEMBLER_H

#include <cstdint>
#include <string>
#include <vector>

namespace tarvesh {

class RawAssembler {
 public:
  // Appends the bytes `line` (without its newline) shows to *bytes; false
  // with *error set when it is not a line of raw text or does not fit where
  // it stands.
  bool AddLine(const std::string& line, std::string* bytes, std::string* error);
  // False with *error set when a message or group is still open.
  bool Finish(std::string* error) const;

 private:
  struct Open {
    bool group;
    uint32_t number;
    uint64_t length;  // a message's length, from its label
    uint64_t start;   // bytes written when its fields began
  };
  bool Close(const std::string& note, std::string* bytes, std::string* error);

  std::vector<Open> open_;
  uint64_t written_ = 0;
};

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_RAW_ASSEMBLER_H
