#pragma once
// Small building and colouring helpers shared by the modal editor windows
// (node properties, float messages, skill check) and, through the form
// kit, the tool windows: right-aligned captions, fixed bands, the title
// band, and the per-control colours applied before the theme manager's
// whole-window pass.

#include "model/DialogueTypes.h"

#include <QColor>
#include <QList>
#include <QSize>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;
struct TTLWTheme;

namespace ModalFormStyle {

QColor ToQColor(TColor c);

void SetBackground(QWidget* w, TColor color);
void SetTextColor(QWidget* w, TColor color);
void SetFontName(QWidget* w, const QString& family);
void SetPointSize(QWidget* w, int points, bool bold = false);
// Background and text colour together, for inputs and lists.
void SetColors(QWidget* w, TColor background, TColor text);
// What every modal editor's colours start from: a dark window with the
// primary text colour in the theme's face.
void ThemeWindowBase(QWidget* window, const TTLWTheme& theme);
// Field captions in the secondary text colour.
void ThemeCaptions(const QList<QLabel*>& captions, const TTLWTheme& theme);

// A caption right-aligned in a fixed column; `buddy` receives the focus
// of the caption's access key.
QLabel* Caption(const QString& text, QWidget* buddy, int width, QWidget* parent);
// A bold label, optionally at a point size (0 keeps the size).
QLabel* BoldLabel(const QString& text, int points, QWidget* parent);
// A full-width band of fixed height (header or button bar).
QFrame* Band(int height, QWidget* parent);
QPushButton* Button(const QString& text, QSize size, QWidget* parent);

// A column filling `owner` edge to edge: bands and bodies stack without gaps.
QVBoxLayout* BareColumn(QWidget* owner);

// The header band of a modal editor: a bold title named "lblTitle" with
// 12 px side margins.
struct TTitleBand {
    QFrame* Band;
    QLabel* Title;
};
TTitleBand TitleBand(QWidget* owner, int height, const QString& title, int points);

// The caption without its access-key marks ("&OK" -> "OK", "&&" -> "&").
QString PlainCaption(const QString& caption);

}
