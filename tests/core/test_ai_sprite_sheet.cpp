// The AI sprite window's logic: templates, prompt, frame count, strip
// picking, zoom and the saved description.

#include "ai/AISpriteSheet.h"

#include <gtest/gtest.h>

using namespace AISpriteSheet;

TEST(AISpriteSheet, TemplatesMatchByLowerCasedTypeOrFallBack)
{
    struct Case { const char* Type; const char* Style; } cases[] = {
        {"Vault Dweller", "vault-dweller"}, {"Brotherhood Knight", "vault-dweller"},
        {"Raider", "raider"}, {"Ghoul", "ghoul"}, {"Settler", "settler"}, {"RAIDER", "raider"},
        {"BROTHERHOOD", "brotherhood"}, {"", "vault-dweller"}};
    for (const Case& c : cases)
        EXPECT_STREQ(FindTemplate(QString::fromLatin1(c.Type).toLower()).Style, c.Style) << c.Type;
    for (const TPromptTemplate& row : PromptTemplates)
        EXPECT_STREQ(row.AspectRatio, "1:1") << row.Style;
    EXPECT_STREQ(FindTemplate(QStringLiteral("ghoul")).NegativePrompt,
                 "blurry, text, watermark, signature, deformed, extra limbs, smooth, perfect skin, modern");
}

TEST(AISpriteSheet, Prompts)
{
    struct Case {
        const char* Type; const char* Action; const char* Direction; const char* Extra;
        bool DefaultNegative; const char* NegativeBox; const char* Prompt; const char* Negative;
    } cases[] = {
        {"Vault Dweller", "idle", "north", "  ", true, "x",
         "8-bit pixel art character, vault jumpsuit, Fallout style, front facing, detailed, Vault Dweller, idle, north"
         " | Negative: blurry, text, watermark, signature, deformed, extra limbs, modern clothing",
         "blurry, text, watermark, signature, deformed, extra limbs, modern clothing"},
        // The extra prompt goes after the template's negative part.
        {"Raider", "attack", "south-west", "  with a spear ", true, "  neon  ",
         "8-bit pixel art wasteland raider, leather armor, weapons, aggressive pose, Fallout style, Raider, attack, "
         "south-west | Negative: blurry, text, watermark, signature, deformed, extra limbs, clean, HD, modern, "
         "with a spear",
         "blurry, text, watermark, signature, deformed, extra limbs, clean, HD, modern"},
        {"Raider", "attack", "south-west", "", false, "  neon  ",
         "8-bit pixel art wasteland raider, leather armor, weapons, aggressive pose, Fallout style, Raider, attack, "
         "south-west | Negative: blurry, text, watermark, signature, deformed, extra limbs, clean, HD, modern",
         "neon"},
        {"Ghoul", "walk", "east", " green glow ", false, "  shiny  ",
         "8-bit pixel art ghoul, decayed skin, ragged clothes, glowing eyes, Fallout style, Ghoul, walk, east"
         " | Negative: blurry, text, watermark, signature, deformed, extra limbs, smooth, perfect skin, modern, "
         "green glow",
         "shiny"},
    };
    for (const Case& c : cases) {
        const TSheetPrompt prompt =
            BuildPrompt(QString::fromLatin1(c.Type), QString::fromLatin1(c.Action), QString::fromLatin1(c.Direction),
                        QString::fromLatin1(c.Extra), c.DefaultNegative, QString::fromLatin1(c.NegativeBox));
        EXPECT_EQ(prompt.Prompt, QString::fromLatin1(c.Prompt)) << c.Type;
        EXPECT_EQ(prompt.NegativePrompt, QString::fromLatin1(c.Negative)) << c.Type;
    }
}

TEST(AISpriteSheet, FrameCountBox)
{
    struct Case { const char* Text; int Count; } cases[] = {
        {"0", 1}, {"99", 32}, {"abc", 8}, {"", 8}, {"4", 4}, {"-3", 1}, {" 12 ", 12}, {"32", 32},
        // A number beyond the integer range does not parse.
        {"2147483647", 32}, {"2147483648", 8}, {"99999999999999999999", 8}};
    for (const Case& c : cases)
        EXPECT_EQ(ClampFrameCount(QString::fromLatin1(c.Text)), c.Count) << c.Text;
    const int sizes[][2] = {{-1, 64}, {0, 64}, {1, 128}, {2, 256}, {3, 64}};
    for (const auto& size : sizes)
        EXPECT_EQ(FrameSizeFor(size[0]), size[1]) << size[0];
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
    EXPECT_EQ(FrameWidthOnStrip(100, 3), 33);
    EXPECT_EQ(FrameWidthOnStrip(100, 8), 13);
    EXPECT_EQ(FrameWidthOnStrip(100, 0), 0);
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
