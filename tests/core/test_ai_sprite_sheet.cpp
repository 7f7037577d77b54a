// The AI sprite window's logic: templates, prompt, frame count, strip
// picking, zoom and the saved description.

#include "ai/AISpriteSheet.h"

#include <gtest/gtest.h>

using namespace AISpriteSheet;

TEST(AISpriteSheet, TemplatesMatchByLowerCasedTypeOrFallBack)
{
    struct Case { const char* Type; const char* Style; } cases[] = {
        {"Vault Dweller", "vault-dweller"}, {"Brotherhood Knight", "vault-dweller"},
        {"Raider", "raider"}, {"Ghoul", "ghoul"}, {"Settler", "settler"}, {"RAIDER", "raider"}};
    for (const Case& c : cases)
        EXPECT_STREQ(FindTemplate(QString::fromLatin1(c.Type).toLower()).Style, c.Style) << c.Type;
}

TEST(AISpriteSheet, DefaultPrompt)
{
    const TSheetPrompt defaults = BuildPrompt(QStringLiteral("Vault Dweller"), QStringLiteral("idle"),
                                              QStringLiteral("north"), QStringLiteral("  "), true, QStringLiteral("x"));
    EXPECT_EQ(defaults.Prompt,
              QStringLiteral("8-bit pixel art character, vault jumpsuit, Fallout style, front facing, detailed, "
                             "Vault Dweller, idle, north | Negative: blurry, text, watermark, signature, deformed, "
                             "extra limbs, modern clothing"));
    EXPECT_EQ(defaults.NegativePrompt,
              QStringLiteral("blurry, text, watermark, signature, deformed, extra limbs, modern clothing"));

    const TSheetPrompt own = BuildPrompt(QStringLiteral("Ghoul"), QStringLiteral("walk"), QStringLiteral("east"),
                                         QStringLiteral(" green glow "), false, QStringLiteral("  shiny  "));
    EXPECT_TRUE(own.Prompt.endsWith(QStringLiteral("smooth, perfect skin, modern, green glow")));
    EXPECT_EQ(own.NegativePrompt, QStringLiteral("shiny"));
}

TEST(AISpriteSheet, FrameCountBox)
{
    struct Case { const char* Text; int Count; } cases[] = {
        {"0", 1}, {"99", 32}, {"abc", 8}, {"", 8}, {"4", 4}, {"-3", 1}, {" 12 ", 12}, {"32", 32}};
    for (const Case& c : cases)
        EXPECT_EQ(ClampFrameCount(QString::fromLatin1(c.Text)), c.Count) << c.Text;
    EXPECT_EQ(FrameSizeFor(0), 64);
    EXPECT_EQ(FrameSizeFor(2), 256);
}

TEST(AISpriteSheet, StripPickingStepsAndZoom)
{
    EXPECT_EQ(FrameAtX(0, 640, 8), 0);
    EXPECT_EQ(FrameAtX(639, 640, 8), 7);
    EXPECT_EQ(FrameAtX(700, 640, 8), 7);
    EXPECT_EQ(FrameAtX(-5, 640, 8), 0);
    EXPECT_EQ(FrameAtX(10, 0, 8), 0);
    EXPECT_EQ(FrameBoundaryX(1, 100, 3), 33);
    EXPECT_EQ(FrameBoundaryX(2, 100, 3), 67);
    EXPECT_EQ(StepFrame(7, 1, 8), 0);
    EXPECT_EQ(StepFrame(0, -1, 8), 7);
    EXPECT_EQ(ZoomOut(25), 25);
    EXPECT_EQ(ZoomIn(800), 800);
    EXPECT_EQ(ZoomIn(100), 125);
    EXPECT_EQ(DoneStatus(4, 64, 64), QStringLiteral("Done  (4 frames, 64x64 px)"));
    EXPECT_EQ(FrameInfo(0, 4, 64, 64, 100), QStringLiteral("Frame 1 / 4  |  64x64 px  |  100% zoom"));
    EXPECT_EQ(StatusCaption(QStringLiteral("Generating...")),
              QStringLiteral("AI Sprite Sheet Generator -- Generating..."));
}

TEST(AISpriteSheet, DescriptionJSON)
{
    EXPECT_EQ(DescriptionJSON(64, 64, 2, QStringLiteral("Vault Dweller"), QStringLiteral("idle"),
                              QStringLiteral("North")),
              QStringLiteral("{\"frame_width\":64,\"frame_height\":64,\"frame_count\":2,\"frames\":["
                             "{\"name\":\"vault dweller_idle_north_0\",\"duration\":100},"
                             "{\"name\":\"vault dweller_idle_north_1\",\"duration\":100}],"
                             "\"character\":\"vault dweller\",\"palette\":\"[]\",\"tags\":\"[]\"}"));
}
