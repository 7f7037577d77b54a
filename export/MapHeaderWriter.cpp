#include "export/MapHeaderWriter.h"

#include "model/TextEncoding.h"

#include <QtEndian>

#include <cstring>

namespace MapHeaderWriter {
namespace {

// At most `maxChars` characters, one byte each; the field's last byte always
// stays zero so the text is terminated.
void PutText(QByteArray& out, int offset, int maxChars, const QString& text)
{
    const QByteArray bytes = TextEncoding::ToAnsi(text).left(maxChars);
    std::memcpy(out.data() + offset, bytes.constData(), size_t(bytes.size()));
}

} // namespace

QByteArray BuildHeader(const TMapHeader& header)
{
    QByteArray out(BlockSize, '\0');
    qToLittleEndian<qint32>(header.Version, out.data());
    PutText(out, 4, 7, header.MapID);
    PutText(out, 12, 31, header.Name);
    qToLittleEndian<qint32>(header.ElevationCount, out.data() + 64);
    return out;
}

}
