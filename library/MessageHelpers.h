// SPDX-License-Identifier: BSD-3-Clause
// Inline mechanics shared by the hand-written message classes, one kind per
// header under wire/. Every message writes its own fields out one by one;
// what every message repeats lives there. Included only by the .pb.cc
// sources, never by public headers.
//
// What these helpers do not check: tag numbers (every field number of these
// schemas is below 16, so every known tag is one byte), and output space on
// the array path (the caller sized the buffer with ByteSize()).
#ifndef TARVESH_MESSAGE_HELPERS_H
#define TARVESH_MESSAGE_HELPERS_H

#include "wire/CallerErrors.h"
#include "wire/ContextParsing.h"
#include "wire/FileRegistration.h"
#include "wire/MessageFrame.h"
#include "wire/Merging.h"
#include "wire/PackedCodecs.h"
#include "wire/PackedContextParsing.h"
#include "wire/PackedStreamReading.h"
#include "wire/PackedWriting.h"
#include "wire/Presence.h"
#include "wire/ReflectionTables.h"
#include "wire/RepeatedMessages.h"
#include "wire/Sizing.h"
#include "wire/StreamReading.h"
#include "wire/Varint.h"
#include "wire/Writing.h"

#endif  // TARVESH_MESSAGE_HELPERS_H
