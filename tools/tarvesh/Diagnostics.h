// SPDX-License-Identifier: BSD-3-Clause
// How the tarvesh command reports: its exit statuses, a usage error or a
// failure as one line on standard error, a "did you mean" for a mistyped
// name, and a failed write to standard output as a failed run.
#ifndef TARVESH_TOOLS_DIAGNOSTICS_H
#define TARVESH_TOOLS_DIAGNOSTICS_H

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tarvesh {

constexpr int kBadInput = 1;
constexpr int kUsage = 2;

inline int UsageError(const std::string& message, const std::string& hint = "tarvesh --help") {
  std::fprintf(stderr, "tarvesh: %s (see '%s')\n", message.c_str(), hint.c_str());
  return kUsage;
}

inline int Failure(const std::string& where, const std::string& message) {
  std::fprintf(stderr, "tarvesh: %s: %s\n", where.c_str(), message.c_str());
  return kBadInput;
}

// Edits (insertions, deletions, substitutions, swaps of neighbours) between
// two names, ignoring case.
inline size_t Distance(const std::string& a, const std::string& b) {
  auto same = [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  };
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
      if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// "; did you mean 'X'?" for the closest of `names` within a third of the
// name's length (at least one edit), else "".
inline std::string DidYouMean(const std::string& name, const std::vector<std::string>& names) {
  const size_t allowed = std::max<size_t>(1, name.size() / 3);
  std::string best;
  size_t best_distance = allowed + 1;
  for (const std::string& candidate : names) {
    const size_t distance = Distance(name, candidate);
    if (distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  return best.empty() ? "" : "; did you mean '" + best + "'?";
}

// Standard output written with stdio: a failed write (a full disk, a closed
// pipe) fails the run.
inline int FinishStdout() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    return Failure("standard output", std::string("write failed: ") + std::strerror(errno));
  }
  return 0;
}

inline std::string RecordPrefix(uint64_t record) {
  return record == 0 ? "" : "record " + std::to_string(record) + ": ";
}

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_DIAGNOSTICS_H
