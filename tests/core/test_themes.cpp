// Theme records and the current theme.

#include "shell/ThemeManager.h"

#include <gtest/gtest.h>

TEST(Themes, AmberAtStartAndSwitching)
{
    EXPECT_EQ(TThemeManager::StyleName(), "Amber Terminal");
    EXPECT_EQ(TThemeManager::CurrentStyle(), tsAmber);
    TThemeManager::ApplyTheme(tsRed);
    EXPECT_EQ(TThemeManager::StyleName(), "Red Alert");
    EXPECT_EQ(TThemeManager::Current().AccentPrimary, RGBToColor(0xFF, 0x40, 0x30));
    TThemeManager::ApplyTheme(tsAmber);
    EXPECT_EQ(TThemeManager::StyleName(), "Amber Terminal");
}

TEST(Themes, PalettesHoldTheirColours)
{
    struct Case { TThemeStyle style; const char* name; TColor bgDark; TColor textPrimary; TColor colorInfo; TColor borderDark; };
    const Case cases[] = {
        { tsAmber, "Amber Terminal", RGBToColor(0x02, 0x03, 0x05), RGBToColor(0xFF, 0xB0, 0x20), RGBToColor(0x40, 0xC0, 0xC0), RGBToColor(0x20, 0x10, 0x00) },
        { tsGreen, "Green Phosphor", RGBToColor(0x02, 0x05, 0x02), RGBToColor(0x40, 0xFF, 0x40), RGBToColor(0xC0, 0xC0, 0x60), RGBToColor(0x08, 0x10, 0x08) },
        { tsCyan, "Cyan Digital", RGBToColor(0x08, 0x08, 0x05), RGBToColor(0x60, 0xFF, 0xFF), RGBToColor(0x40, 0xC0, 0xC0), RGBToColor(0x18, 0x18, 0x10) },
        { tsRed, "Red Alert", RGBToColor(0x02, 0x02, 0x05), RGBToColor(0xFF, 0x70, 0x50), RGBToColor(0x40, 0xC0, 0xC0), RGBToColor(0x20, 0x10, 0x08) },
        { tsWhite, "Vault-Tec White", RGBToColor(0x20, 0x18, 0x14), RGBToColor(0xE0, 0xE8, 0xE8), RGBToColor(0x00, 0xD0, 0xC0), RGBToColor(0x10, 0x0C, 0x08) },
    };
    for (const Case& c : cases) {
        const TTLWTheme t = TThemeManager::ThemeFor(c.style);
        EXPECT_EQ(t.StyleName, c.name);
        EXPECT_EQ(t.BgDark, c.bgDark) << c.name;
        EXPECT_EQ(t.TextPrimary, c.textPrimary) << c.name;
        EXPECT_EQ(t.ColorInfo, c.colorInfo) << c.name;
        EXPECT_EQ(t.BorderDark, c.borderDark) << c.name;
        EXPECT_EQ(t.FontName, "Segoe UI");
        EXPECT_EQ(t.FontSize, 9);
        EXPECT_EQ(t.MonoFontName, "Courier New");
        EXPECT_EQ(t.MonoFontSize, 9);
    }
}
