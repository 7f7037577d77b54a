#pragma once
// PNG reading and writing through libpng, for the image server's replies,
// saved sprite sheets, the splash image and the asset browser.
//
// Every image is decoded to 8-bit RGBA whatever its colour type or depth
// (palette, grey, 16-bit, interlaced). Failures come back as false with a
// message fit for a user; nothing is thrown.

#include "ai/RgbaImage.h"

#include <QByteArray>
#include <QString>

namespace PngCodec {

// True when the bytes start with the eight-byte PNG signature.
bool HasPngSignature(const QByteArray& bytes);

// Decodes a whole PNG file held in memory. Images wider or higher than
// TRgbaImage::MaxDimension are refused from their header, before their
// pixels are allocated. On failure `image` is left null.
bool Decode(const QByteArray& bytes, TRgbaImage& image, QString* error = nullptr);

// Encodes the image as an RGBA PNG. Returns empty bytes (and the reason)
// for a null image.
QByteArray Encode(const TRgbaImage& image, QString* error = nullptr);

bool LoadFromFile(const QString& path, TRgbaImage& image, QString* error = nullptr);
bool SaveToFile(const QString& path, const TRgbaImage& image, QString* error = nullptr);

}
