#include "model/TextEncoding.h"

#include <QList>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace TextEncoding {
namespace {

const char* const AnsiCodePage = "WINDOWS-1252";

struct IconvHandle {
    iconv_t cd;
    IconvHandle(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~IconvHandle() { if (cd != iconv_t(-1)) iconv_close(cd); }
    bool ok() const { return cd != iconv_t(-1); }
};

// Code points of the bytes 0x80..0x9F, the only range where Windows-1252
// differs from Latin-1. Filled from iconv once; the five bytes it leaves
// undefined map to the C1 code point of the same value, as Windows does.
const char16_t* HighHalfTable()
{
    static char16_t high[32];
    static bool ready = false;
    if (ready)
        return high;
    IconvHandle h("UTF-16LE", AnsiCodePage);
    for (int i = 0; i < 32; ++i) {
        char in = char(0x80 + i);
        char16_t out = char16_t(0x80 + i);
        if (h.ok()) {
            char* inPtr = &in;
            size_t inLeft = 1;
            char16_t res = 0;
            char* outPtr = reinterpret_cast<char*>(&res);
            size_t outLeft = sizeof res;
            iconv(h.cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(h.cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && outLeft == 0)
                out = res;
        }
        high[i] = out;
    }
    ready = true;
    return high;
}

// The Windows-1252 byte of a code point, or -1 when the code page lacks it.
int AnsiByteOf(uint cp, const char16_t* high)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return int(cp);
    for (int i = 0; i < 32; ++i)
        if (high[i] == cp)
            return 0x80 + i;
    return -1;
}

} // namespace

QByteArray ToAnsi(const QString& text)
{
    const char16_t* high = HighHalfTable();
    QByteArray result(text.size(), Qt::Uninitialized);
    char* out = result.data();
    qsizetype written = 0;
    const QChar* in = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (c < 0x80) {
            out[written++] = char(c);
            continue;
        }
        // A surrogate pair is one character outside the code page: one "?".
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1].unicode()))
            ++i;
        const int b = AnsiByteOf(c, high);
        out[written++] = b < 0 ? '?' : char(b);
    }
    result.truncate(written);
    return result;
}

QString AnsiLacks(const QString& text)
{
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return QString();
    const char16_t* high = HighHalfTable();
    QList<uint> missing;
    QSet<uint> seen;
    for (const uint cp : text.toUcs4())
        if (AnsiByteOf(cp, high) < 0 && !seen.contains(cp)) {
            seen.insert(cp);
            missing.append(cp);
        }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(missing.constData()), missing.size());
}

QString FromAnsi(const QByteArray& bytes)
{
    const char16_t* high = HighHalfTable();
    QString result(bytes.size(), Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return result;
}

QByteArray ToAscii(const QString& text)
{
    QByteArray result;
    const QList<uint> codePoints = text.toUcs4();
    result.reserve(codePoints.size());
    for (uint cp : codePoints)
        result.append(cp < 0x80 ? char(cp) : '?');
    return result;
}

bool IsValidUtf8(const QByteArray& bytes)
{
    // Strict: no overlong forms, no surrogates, nothing above U+10FFFF, no
    // sequence cut off at the end.
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar c = p[i];
        if (c < 0x80) { ++i; continue; }
        int extra;
        uint minimum;
        uint cp;
        if ((c & 0xE0) == 0xC0) { extra = 1; minimum = 0x80; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; minimum = 0x800; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; minimum = 0x10000; cp = c & 0x07; }
        else return false;
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const uchar t = p[i + k];
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

QString DecodeText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return FromAnsi(bytes);
}

QByteArray Encode(const QString& text, const QString& encodingName)
{
    if (encodingName == QLatin1String("UTF-8"))
        return text.toUtf8();
    if (encodingName == QLatin1String("ASCII"))
        return ToAscii(text);
    return ToAnsi(text);
}

} // namespace TextEncoding
