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

TEST(CommaText, JoinThenSplitKeepsItems)
{
    const QStringList lists[] = {
        { "a", "two words", "q\"uote", "c,omma", "é" },
        { "" },
        { "x", "", "y" },
    };
    for (const QStringList& items : lists)
        EXPECT_EQ(CommaText::Split(CommaText::Join(items)), items);
}
