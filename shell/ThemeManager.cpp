#include "shell/ThemeManager.h"

namespace {

constexpr TColor Hex(quint32 rrggbb)
{
    return RGBToColor(int(rrggbb >> 16), int(rrggbb >> 8), int(rrggbb));
}

TTLWTheme MakeTheme(const char* name, std::initializer_list<quint32> colors)
{
    TTLWTheme t;
    TColor* fields[] = { &t.BgDark, &t.BgMedium, &t.BgLight, &t.AccentPrimary, &t.AccentSecondary,
                         &t.AccentDim, &t.TextPrimary, &t.TextSecondary, &t.TextDim, &t.TextDisabled,
                         &t.CanvasBg, &t.GridColor, &t.ColorSuccess, &t.ColorWarning, &t.ColorError,
                         &t.ColorInfo, &t.BorderLight, &t.BorderDark };
    int i = 0;
    for (quint32 c : colors)
        *fields[i++] = Hex(c);
    t.FontName = QStringLiteral("Segoe UI");
    t.FontSize = 9;
    t.MonoFontName = QStringLiteral("Courier New");
    t.MonoFontSize = 9;
    t.StyleName = QString::fromLatin1(name);
    return t;
}

struct TThemeState {
    TThemeStyle Style = tsAmber;
    TTLWTheme Theme = TThemeManager::ThemeFor(tsAmber);
};

TThemeState& State()
{
    static TThemeState state;
    return state;
}

}

TTLWTheme TThemeManager::ThemeFor(TThemeStyle style)
{
    switch (style) {
    case tsGreen:
        return MakeTheme("Green Phosphor", { 0x020502, 0x050F05, 0x081A08, 0x30FF30, 0x3CC03C, 0x58A058,
            0x40FF40, 0x208020, 0x60DD70, 0x80A080, 0x030803, 0x040C04, 0x40C040, 0xFFA000, 0xFF4000,
            0xC0C060, 0x208020, 0x081008 });
    case tsCyan:
        return MakeTheme("Cyan Digital", { 0x080805, 0x15150D, 0x222214, 0x30FFFF, 0xC0C04E, 0xA8A060,
            0x60FFFF, 0x309090, 0xDDDD76, 0xB8A08E, 0x0C0C08, 0x14140C, 0x40C040, 0xFFA000, 0xFF4000,
            0x40C0C0, 0x909060, 0x181810 });
    case tsRed:
        return MakeTheme("Red Alert", { 0x020205, 0x05050F, 0x08081A, 0xFF4030, 0xE88088, 0xD07878,
            0xFF7050, 0xA03020, 0xA8A8E8, 0xA0A0D8, 0x030308, 0x04040C, 0x40C040, 0xFFA000, 0xFF4000,
            0x40C0C0, 0xA04020, 0x201008 });
    case tsWhite:
        return MakeTheme("Vault-Tec White", { 0x201814, 0x342C25, 0x483C32, 0x20A0D0, 0x3890B0, 0x4080A0,
            0xE0E8E8, 0xA0B0B0, 0x5080A0, 0xA8A098, 0x201814, 0x28201C, 0x60C060, 0xFFB000, 0xFF5000,
            0x00D0C0, 0x605048, 0x100C08 });
    case tsAmber:
    default:
        return MakeTheme("Amber Terminal", { 0x020305, 0x05080F, 0x08101A, 0xFFA020, 0x68B888, 0x789A66,
            0xFFB020, 0xAA7000, 0x90B0D0, 0x808080, 0x030508, 0x040810, 0x40C040, 0xFFA000, 0xFF4000,
            0x40C0C0, 0xA05000, 0x201000 });
    }
}

void TThemeManager::ApplyTheme(TThemeStyle style)
{
    State().Style = style;
    State().Theme = ThemeFor(style);
}

const TTLWTheme& TThemeManager::Current() { return State().Theme; }
TThemeStyle TThemeManager::CurrentStyle() { return State().Style; }
QString TThemeManager::StyleName() { return State().Theme.StyleName; }
