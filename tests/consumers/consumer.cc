// SPDX-License-Identifier: BSD-3-Clause
// A program outside this project using the library as its users do: one
// include root, the Track and Recording classes, and the two sibling
// libraries' types they bring.
#include <cstdio>
#include <string>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"

int main() {
  Pb::Tarvesh::Track track;
  track.set_track_id(7);
  track.set_auth_type(Pb::Velto::AUTH_SIPHASH_2_4);
  track.add_frame_tables()->add_frame_sizes(-5);
  Pb::Tarvesh::RecordingFragment fragment;
  fragment.add_tiers()->add_files()->set_file_index(3);

  Pb::Tarvesh::Track track_back;
  Pb::Tarvesh::RecordingFragment fragment_back;
  const bool ok = track_back.ParseFromString(track.SerializeAsString()) &&
                  fragment_back.ParseFromString(fragment.SerializeAsString()) &&
                  track_back.frame_tables(0).frame_sizes(0) == -5 &&
                  track_back.auth_type() == Pb::Velto::AUTH_SIPHASH_2_4 &&
                  fragment_back.tiers(0).files(0).file_index() == 3;
  std::printf("consumer: %s | %s: %s\n", track_back.ShortDebugString().c_str(),
              fragment_back.ShortDebugString().c_str(), ok ? "ok" : "FAILED");
  google::protobuf::ShutdownProtobufLibrary();
  return ok ? 0 : 1;
}
