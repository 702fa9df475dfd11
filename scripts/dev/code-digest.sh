#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# A digest of the code the fuzz campaign tests: every tracked file under
# library/, ProtoBuf/ and tools/ as it stands in the working tree. Twelve hex
# digits; it changes whenever any of that code does, committed or not.
set -euo pipefail
cd "$(dirname "$0")/../.."
git ls-files -z library ProtoBuf tools | sort -z | xargs -0 sha1sum | sha1sum | cut -c1-12
