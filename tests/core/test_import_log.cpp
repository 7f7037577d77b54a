// The error lines an import logs: capped, and without raw control codes.

#include "interchange/ImportLog.h"

#include <gtest/gtest.h>

TEST(ImportLog, NonPrintableCharactersAreEscaped)
{
    struct Case { const char* name; QString text; QString shown; };
    const Case cases[] = {
        { "plain text stays", QStringLiteral("Line 3: Could not parse: {1}{}{ä €}"),
          QStringLiteral("Line 3: Could not parse: {1}{}{ä €}") },
        { "NUL and escape", QStringLiteral("a") + QChar(0) + QStringLiteral("b\x1B"), QStringLiteral("a\\x00b\\x1B") },
        { "tab, CR and DEL", QStringLiteral("\t\r\x7F"), QStringLiteral("\\x09\\x0D\\x7F") },
        { "C1 control", QString(QChar(0x85)), QStringLiteral("\\x85") },
        { "bidi override", QString(QChar(0x202E)), QStringLiteral("\\u202E") },
        { "lone surrogate", QString(QChar(0xD800)) + QStringLiteral("x"), QStringLiteral("\\uD800x") },
        { "pair outside the BMP", QString::fromUcs4(U"\U0001F600"), QString::fromUcs4(U"\U0001F600") },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImportLog::Printable(c.text), c.shown) << c.name;
}

TEST(ImportLog, ErrorLinesAreCappedAtTen)
{
    QStringList errors;
    for (int i = 1; i <= 47; ++i)
        errors << QStringLiteral("Line %1: Could not parse: \x01").arg(i);
    struct Case { int count; int lines; QString last; };
    const Case cases[] = {
        { 0, 0, QString() },
        { 1, 1, QStringLiteral("Line 1: Could not parse: \\x01") },
        { 10, 10, QStringLiteral("Line 10: Could not parse: \\x01") },
        { 11, 11, QStringLiteral("\u2026 and 1 more") },
        { 47, 11, QStringLiteral("\u2026 and 37 more") },
    };
    for (const Case& c : cases) {
        const QStringList lines = ImportLog::ErrorLines(errors.mid(0, c.count));
        ASSERT_EQ(lines.size(), c.lines) << c.count;
        if (c.lines > 0) {
            EXPECT_EQ(lines.first(), QStringLiteral("Line 1: Could not parse: \\x01")) << c.count;
            EXPECT_EQ(lines.last(), c.last) << c.count;
        }
    }
}
