#pragma once
// The application's one current colour theme: five "terminal" palettes of
// dark backgrounds and bright text. The canvas and preview read the current
// theme when they paint; windows are styled with ApplyToForm.

#include "model/DialogueTypes.h"

#include <QString>

class QWidget;

enum TThemeStyle { tsAmber, tsGreen, tsCyan, tsRed, tsWhite };
constexpr int ThemeStyleCount = 5;

struct TTLWTheme {
    TColor BgDark, BgMedium, BgLight;
    TColor AccentPrimary, AccentSecondary, AccentDim;
    TColor TextPrimary, TextSecondary, TextDim, TextDisabled;
    TColor CanvasBg, GridColor;
    TColor ColorSuccess, ColorWarning, ColorError, ColorInfo;
    TColor BorderLight, BorderDark;
    QString FontName;
    qint32 FontSize;
    QString MonoFontName;
    qint32 MonoFontSize;
    QString StyleName;
};

class TThemeManager {
public:
    // The palette of a style, without changing the current theme.
    static TTLWTheme ThemeFor(TThemeStyle style);

    static void ApplyTheme(TThemeStyle style);
    static const TTLWTheme& Current();
    static TThemeStyle CurrentStyle();
    static QString StyleName();

    // Widget styling; defined in the editor's library.
    static void ApplyToForm(QWidget* form);
    static void ApplyToControl(QWidget* control);
    static void ApplyToPanel(QWidget* w);
    static void ApplyToMemo(QWidget* w);
    static void ApplyToListBox(QWidget* w);
    static void ApplyToTreeView(QWidget* w);
    static void ApplyToEdit(QWidget* w);
    static void ApplyToLabel(QWidget* w);
    static void ApplyToButton(QWidget* w);
    static void ApplyToComboBox(QWidget* w);
    static void ApplyToListView(QWidget* w);
    static void ApplyToStatusBar(QWidget* w);
    static void ApplyToStringGrid(QWidget* w);
    static void ApplyToSpinEdit(QWidget* w);
    static void ApplyToToolBar(QWidget* w);
    static void ApplyToSpeedButton(QWidget* w);
};
