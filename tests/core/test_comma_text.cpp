// Comma text: joining with quotes and splitting back.

#include "model/CommaText.h"

#include <gtest/gtest.h>

TEST(CommaText, Join)
{
    struct Case { QStringList items; const char* text; };
    const Case cases[] = {
        { {}, "" },
        { { "" }, "\"\"" },
        { { "a", "b" }, "a,b" },
        { { "two words" }, "\"two words\"" },
        { { "say \"hi\"" }, "\"say \"\"hi\"\"\"" },
        { { "a,b" }, "\"a,b\"" },
        { { "a", "", "b" }, "a,,b" },
        { { "tab\there" }, "\"tab\there\"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommaText::Join(c.items), QString::fromUtf8(c.text)) << c.text;
}

TEST(CommaText, Split)
{
    struct Case { const char* text; QStringList items; };
    const Case cases[] = {
        { "", {} },
        { "\"\"", { "" } },
        { "a,b", { "a", "b" } },
        { "a, b", { "a", "b" } },
        { "a b", { "a", "b" } },
        { "  a  ", { "a" } },
        { "a,,b", { "a", "", "b" } },
        { "a,", { "a", "" } },
        { "\"two words\",x", { "two words", "x" } },
        { "\"say \"\"hi\"\"\"", { "say \"hi\"" } },
        { "\"unterminated", { "unterminated" } },
        { "en-US,de", { "en-US", "de" } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommaText::Split(QString::fromUtf8(c.text)), c.items) << c.text;
}

// NUL and the other control characters separate items like a space; the
// splitter once stood still on NUL and never returned.
TEST(CommaText, SplitsAtEveryControlCharacter)
{
    const QChar nul(0);
    struct Case { const char* name; QString text; QStringList items; };
    const Case cases[] = {
        { "lone NUL", QString(nul), {} },
        { "NUL between items", QStringLiteral("a") + nul + QStringLiteral("b"), { "a", "b" } },
        { "NUL after comma", QStringLiteral("a,") + nul + QStringLiteral("b"), { "a", "b" } },
        { "NUL before comma", QStringLiteral("a") + nul + QStringLiteral(",b"), { "a", "b" } },
        { "NUL at the end", QStringLiteral("en") + nul, { "en" } },
        { "NUL inside quotes", QStringLiteral("\"a") + nul + QStringLiteral("b\""),
          { QStringLiteral("a") + nul + QStringLiteral("b") } },
        { "NUL after a quoted item", QStringLiteral("\"a\"") + nul + QStringLiteral("\"b\""), { "a", "b" } },
        { "only NULs and commas", QString(nul) + QStringLiteral(",") + nul + QStringLiteral(",") + nul,
          { "", "" } },
        { "tab, newline, escape, unit separator", QStringLiteral("a\tb\nc\x1B" "d\x1F" "e"),
          { "a", "b", "c", "d", "e" } },
        { "quote after NUL", QString(nul) + QStringLiteral("\"x y\""), { "x y" } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommaText::Split(c.text), c.items) << c.name;
}

TEST(CommaText, JoinThenSplitKeepsItems)
{
    const QStringList lists[] = {
        { "a", "two words", "q\"uote", "c,omma", "é" },
        { "" },
        { "x", "", "y" },
        { QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"), "\x01" },
    };
    for (const QStringList& items : lists)
        EXPECT_EQ(CommaText::Split(CommaText::Join(items)), items);
}
