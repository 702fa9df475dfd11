// SPDX-License-Identifier: BSD-3-Clause
// The table of tarvesh commands.
#include "Command.h"

namespace tarvesh {

const std::vector<Command>& Commands() {
  static const std::vector<Command> kCommands = {
      {"decode", Decode, "djPECNMLofscrIDS", "decode [SCHEMA.proto]... TYPE [FILE]...",
       "binary records to text format (JSON with --json)"},
      {"encode", Encode, "djofIDS", "encode [SCHEMA.proto]... TYPE [FILE]...",
       "text format (JSON with --json) to binary records"},
      {"guess", Guess, "dcID", "guess [SCHEMA.proto]... [FILE]...",
       "the top-level types that read FILE completely, with no unknown fields"},
      {"stats", Stats, "djFscrID", "stats [SCHEMA.proto]... [TYPE] [FILE]...",
       "records, element counts of repeated fields and bytes per field (TYPE\n"
       "Track by default, with its frame figures)"},
      {"raw", Raw, "djxtofscrIDS", "raw [SCHEMA.proto]... [FILE]...",
       "the fields of any bytes with no schema: offset, wire type, length and\n"
       "value, nested messages where bytes parse as one; with --type, the\n"
       "fields that type knows named; --json: one JSON object per line"},
      {"slice", Slice, "dofscrS", "slice [FILE]...",
       "the selected records as a delimited binary stream, each record's bytes\n"
       "(and a stream's length prefixes) as they are in FILE"},
      {"index", Index, "djo", "index [FILE]...",
       "each record's number, the offset of its bytes (past its length prefix)\n"
       "and their length, one record per line"},
      {"assemble", Assemble, "of", "assemble [FILE]...",
       "the bytes that raw's text shows: tarvesh raw FILE | tarvesh assemble\n"
       "gives FILE's bytes; raw --json's lines too"},
      {"count", Count, "", "count [FILE]...", "the number of records of a delimited stream"},
      {"types", Types, "", "types", "the record types TYPE may name"},
  };
  return kCommands;
}

}  // namespace tarvesh
