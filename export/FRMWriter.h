#pragma once
// One-frame sprite files (.FRM) and the 8-bit halftone palette their pixels
// are indexes into. Works on plain buffers, so window code can hand it the
// pixels of any image it holds.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>

namespace FRMWriter {

constexpr int HeaderSize = 22;
constexpr int MaxDimension = 65535;

// Palette index of fully transparent pixels.
constexpr std::uint8_t TransparentIndex = 0;

// The 256 palette entries as 0x00RRGGBB: index 0 is transparent (black),
// indexes 1..216 are the 6 x 6 x 6 colour cube (index = 1 + 36 r + 6 g + b,
// each level 0..5 standing for 0, 51, 102, 153, 204, 255), the rest are
// grey steps.
const QVector<std::uint32_t>& HalftonePalette();

// One byte per pixel, row by row, from `width` x `height` pixels laid out
// 0xAARRGGBB (the usual 32-bit ARGB of image buffers), rows `stridePixels`
// apart (0 means `width`). A pixel whose alpha is below 128 becomes
// TransparentIndex; every other one the nearest cube colour.
QByteArray IndexedFromPixels(int width, int height, const std::uint32_t* pixels, int stridePixels = 0);

// The file's bytes: the header (all integers little-endian) and the frame
// data unchanged. Empty with `error` set when width or height does not fit
// in 16 bits.
QByteArray BuildFile(int width, int height, const QByteArray& frameData, QString* error = nullptr);

}
