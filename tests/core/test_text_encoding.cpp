// Text encodings: Windows-1252 both ways, decoding with and without BOM.

#include "model/TextEncoding.h"

#include <gtest/gtest.h>

TEST(TextEncoding, AnsiIsWindows1252)
{
    struct Case { QString text; QByteArray bytes; };
    const Case cases[] = {
        { QString::fromUtf8("é"), "\xE9" },
        { QString::fromUtf8("€"), "\x80" },
        { QString::fromUtf8("—"), "\x97" },
        { QString::fromUtf8("„“”"), "\x84\x93\x94" },
        { QString::fromUtf8("日"), "?" },
        { QString::fromUtf8("\U0001F600"), "?" },
        { QStringLiteral("plain"), "plain" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextEncoding::ToAnsi(c.text), c.bytes) << c.text.toStdString();
        if (!c.bytes.contains('?'))
            EXPECT_EQ(TextEncoding::FromAnsi(c.bytes), c.text);
        // What the code page lacks is exactly what became "?".
        EXPECT_EQ(TextEncoding::AnsiLacks(c.text).isEmpty(), !c.bytes.contains('?')) << c.text.toStdString();
    }
    EXPECT_EQ(TextEncoding::AnsiLacks(QString::fromUtf8("a日é日😀b日")), QString::fromUtf8("日😀"));
    EXPECT_EQ(TextEncoding::ToAscii(QString::fromUtf8("né")), QByteArray("n?"));
}

TEST(TextEncoding, DecodeText)
{
    struct Case { QByteArray bytes; QString text; };
    const Case cases[] = {
        { "\xEF\xBB\xBFh\xC3\xA9", QString::fromUtf8("hé") },
        { "h\xC3\xA9", QString::fromUtf8("hé") },
        { "h\xE9", QString::fromUtf8("hé") },
        { QByteArray("\xFF\xFEh\x00\xE9\x00", 6), QString::fromUtf8("hé") },
        { QByteArray("\xFE\xFF\x00h\x00\xE9", 6), QString::fromUtf8("hé") },
        { "", QString() },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextEncoding::DecodeText(c.bytes), c.text) << c.bytes.toHex().constData();
}

TEST(TextEncoding, EncodeByName)
{
    const QString text = QString::fromUtf8("né€");
    EXPECT_EQ(TextEncoding::Encode(text, "UTF-8"), QByteArray("n\xC3\xA9\xE2\x82\xAC"));
    EXPECT_EQ(TextEncoding::Encode(text, "ASCII"), QByteArray("n??"));
    EXPECT_EQ(TextEncoding::Encode(text, "ANSI"), QByteArray("n\xE9\x80"));
}
