#pragma once
// The fixed 128-byte block a map file starts with.

#include "export/WorldMapTypes.h"

#include <QByteArray>

namespace MapHeaderWriter {

constexpr int BlockSize = 128;

// Version at 0 and elevation count at 64 (32-bit little-endian), the map ID
// at 4 (7 bytes at most, zero-filled to 8) and the name at 12 (31 bytes at
// most, zero-filled to 32), both in the ANSI code page; every other byte 0.
QByteArray BuildHeader(const TMapHeader& header);

}
