// SPDX-License-Identifier: BSD-3-Clause
// Caller errors, reported through the runtime's fatal check with this
// library's texts.
#ifndef TARVESH_WIRE_CALLER_ERRORS_H
#define TARVESH_WIRE_CALLER_ERRORS_H

#include <cstdlib>

#include "wire/Runtime.h"

namespace Pb {
namespace wire {

// Reports a caller error through the runtime's fatal check, as the runtime's
// own CHECK macros would (the runtime decides whether it aborts or throws).
// Out of line and cold: inlined, the message object would give every small
// caller (MergeFrom) a stack frame and saved registers on its hot path. A
// fatal check throws or aborts, never returns, and the callers are told so:
// otherwise they keep their registers across the call for the code after it.
[[noreturn]]
#if defined(__GNUC__)
__attribute__((noinline, cold))
#endif
inline void CheckFailed(const char* file, int line, const char* text) {
  gpi::LogMessage message(gp::LOGLEVEL_FATAL, file, line);
  gpi::LogFinisher() = message << text;
  std::abort();  // not reached: the runtime's fatal check does not return
}

inline constexpr const char kSelfMergeText[] = "CHECK failed: (&from) != (this): ";
inline constexpr const char kMissingFileText[] = "CHECK failed: file != NULL: ";

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_CALLER_ERRORS_H
