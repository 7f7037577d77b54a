#pragma once
// Hand-built PNG data for the tests of damaged and hostile images.

#include <QByteArray>
#include <QtEndian>

#include <zlib.h>

namespace TestSupport {

// One chunk; `statedLength` may differ from the data's length.
inline QByteArray PngChunk(const char* type, const QByteArray& data, quint32 statedLength)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(statedLength, out.data());
    const QByteArray body = QByteArray(type, 4) + data;
    out += body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))),
                          crc.data());
    return out + crc;
}

inline QByteArray PngChunk(const char* type, const QByteArray& data)
{
    return PngChunk(type, data, quint32(data.size()));
}

// Signature and the header of an 8-bit RGBA image.
inline QByteArray PngStart(quint32 width, quint32 height)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8;
    ihdr[9] = 6;
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", ihdr);
}

// 41 bytes: a 1x1 image, then a chunk header stating 2 GB of data that is
// not there.
inline QByteArray PngClaimingTwoGigabytes(const char* type)
{
    QByteArray header(4, '\0');
    qToBigEndian<quint32>(0x7FFFFFFF, header.data());
    return PngStart(1, 1) + header + QByteArray(type, 4);
}

}
