#include "export/FRMWriter.h"

#include <QtEndian>

namespace FRMWriter {
namespace {

constexpr int CubeLevels = 6;
constexpr int CubeStep = 51;
constexpr int CubeBase = 1;
constexpr int CubeSize = CubeLevels * CubeLevels * CubeLevels;

int CubeLevel(std::uint32_t channel)
{
    return int((channel + CubeStep / 2) / CubeStep);
}

void PutU16(QByteArray& out, int offset, int value)
{
    qToLittleEndian<quint16>(quint16(value), out.data() + offset);
}

void PutU32(QByteArray& out, int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, out.data() + offset);
}

bool FitsIn16Bits(int value)
{
    return value >= 0 && value <= MaxDimension;
}

} // namespace

const QVector<std::uint32_t>& HalftonePalette()
{
    static const QVector<std::uint32_t> palette = [] {
        QVector<std::uint32_t> p(256, 0);
        for (int i = 0; i < CubeSize; ++i) {
            const std::uint32_t r = std::uint32_t(i / 36) * CubeStep;
            const std::uint32_t g = std::uint32_t((i / 6) % 6) * CubeStep;
            const std::uint32_t b = std::uint32_t(i % 6) * CubeStep;
            p[CubeBase + i] = (r << 16) | (g << 8) | b;
        }
        const int greys = 256 - CubeBase - CubeSize;
        for (int i = 0; i < greys; ++i) {
            const std::uint32_t v = std::uint32_t((i + 1) * 255 / (greys + 1));
            p[CubeBase + CubeSize + i] = (v << 16) | (v << 8) | v;
        }
        return p;
    }();
    return palette;
}

QByteArray IndexedFromPixels(int width, int height, const std::uint32_t* pixels, int stridePixels)
{
    if (width <= 0 || height <= 0 || !pixels)
        return QByteArray();
    const qsizetype stride = stridePixels > 0 ? stridePixels : width;
    QByteArray out(qsizetype(width) * height, char(TransparentIndex));
    char* dst = out.data();
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + qsizetype(y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t px = row[x];
            if ((px >> 24) < 128) {
                ++dst;
                continue;
            }
            const int r = CubeLevel((px >> 16) & 0xFF);
            const int g = CubeLevel((px >> 8) & 0xFF);
            const int b = CubeLevel(px & 0xFF);
            *dst++ = char(CubeBase + r * 36 + g * 6 + b);
        }
    }
    return out;
}

QByteArray BuildFile(int width, int height, const QByteArray& frameData, QString* error)
{
    if (!FitsIn16Bits(width) || !FitsIn16Bits(height)) {
        if (error)
            *error = QStringLiteral("Frame size %1 x %2 does not fit in 16 bits (0 to %3)")
                         .arg(width).arg(height).arg(MaxDimension);
        return QByteArray();
    }
    QByteArray out(HeaderSize, '\0');
    out[0] = 'F';
    out[1] = 'M';
    PutU16(out, 2, 4);
    PutU16(out, 4, 1);
    PutU16(out, 6, width);
    PutU16(out, 8, height);
    PutU32(out, 10, 0);
    PutU16(out, 14, width);
    PutU16(out, 16, height);
    PutU32(out, 18, quint32(frameData.size()));
    out += frameData;
    return out;
}

}
