// SPDX-License-Identifier: BSD-3-Clause
// The library's two schema files as the generated pool names them, and
// whether the pool has built one yet (descriptors are built on first use).
#ifndef TARVESH_TESTS_SCHEMA_FILES_H
#define TARVESH_TESTS_SCHEMA_FILES_H

#include <google/protobuf/descriptor.h>

namespace tarvesh_test {

inline constexpr const char kRecordingFile[] = "ProtoBuf/Tarvesh/Tarvesh.Recording.proto";
inline constexpr const char kTrackFile[] = "ProtoBuf/Tarvesh/Tarvesh.Track.proto";

inline bool SchemaFileBuilt(const char* file) {
  return google::protobuf::DescriptorPool::generated_pool()->InternalIsFileLoaded(file);
}

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_SCHEMA_FILES_H
