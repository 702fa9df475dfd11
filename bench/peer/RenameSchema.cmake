# SPDX-License-Identifier: BSD-3-Clause
# cmake -DIN=<schema file> -DOUT=<copy> -P RenameSchema.cmake
# Copies a schema file into the timing peer's namespace: imports under
# PeerGen/ instead of ProtoBuf/, packages and type names under PeerGen.
# instead of Pb., so both sets of classes live in one process.
file(READ "${IN}" text)
string(REPLACE "\"ProtoBuf/" "\"PeerGen/" text "${text}")
string(REGEX REPLACE "([ .])Pb\\." "\\1PeerGen." text "${text}")
file(WRITE "${OUT}" "${text}")
