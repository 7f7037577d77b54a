#include "editors/ModalFormStyle.h"

#include "shell/ThemeManager.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace ModalFormStyle {

QColor ToQColor(TColor c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

void SetBackground(QWidget* w, TColor color)
{
    QPalette p = w->palette();
    for (auto role : { QPalette::Window, QPalette::Base, QPalette::Button })
        p.setColor(role, ToQColor(color));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void SetTextColor(QWidget* w, TColor color)
{
    QPalette p = w->palette();
    for (auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(role, ToQColor(color));
    w->setPalette(p);
}

void SetFontName(QWidget* w, const QString& family)
{
    QFont f = w->font();
    f.setFamilies({ family, QStringLiteral("Sans Serif") });
    w->setFont(f);
}

void SetPointSize(QWidget* w, int points, bool bold)
{
    QFont f = w->font();
    if (points > 0)
        f.setPointSize(points);
    f.setBold(bold);
    w->setFont(f);
}

void SetColors(QWidget* w, TColor background, TColor text)
{
    SetBackground(w, background);
    SetTextColor(w, text);
}

void ThemeWindowBase(QWidget* window, const TTLWTheme& theme)
{
    SetColors(window, theme.BgDark, theme.TextPrimary);
    SetFontName(window, theme.FontName);
}

void ThemeCaptions(const QList<QLabel*>& captions, const TTLWTheme& theme)
{
    for (QLabel* caption : captions)
        SetTextColor(caption, theme.TextSecondary);
}

QLabel* Caption(const QString& text, QWidget* buddy, int width, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (width > 0)
        label->setFixedWidth(width);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QLabel* BoldLabel(const QString& text, int points, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    SetPointSize(label, points, true);
    return label;
}

QFrame* Band(int height, QWidget* parent)
{
    auto* band = new QFrame(parent);
    band->setFixedHeight(height);
    return band;
}

QPushButton* Button(const QString& text, QSize size, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFixedSize(size);
    button->setAutoDefault(false);
    return button;
}

QVBoxLayout* BareColumn(QWidget* owner)
{
    auto* column = new QVBoxLayout(owner);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

TTitleBand TitleBand(QWidget* owner, int height, const QString& title, int points)
{
    QFrame* band = Band(height, owner);
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(12, 0, 12, 0);
    QLabel* label = BoldLabel(title, points, band);
    label->setObjectName(QStringLiteral("lblTitle"));
    row->addWidget(label);
    return { band, label };
}

QString PlainCaption(const QString& caption)
{
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

}
