#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Every source file the repository tracks names its licence in an SPDX line
# among its first three lines. Lists the files that do not and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
missing=()
while IFS= read -r file; do
  head -n 3 "$file" | grep -q 'SPDX-License-Identifier: BSD-3-Clause' || missing+=("$file")
done < <(git ls-files -- '*.cc' '*.h' '*.proto' '*.cmake' '*.sh' '*.py' '*CMakeLists.txt' \
           '*Makefile' '.ci/run' '*.bash-completion')
if [ ${#missing[@]} -gt 0 ]; then
  printf 'no SPDX licence line: %s\n' "${missing[@]}" >&2
  exit 1
fi
echo "check-licence-lines: every source file names its licence"
