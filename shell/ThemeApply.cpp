// Paints Qt widgets with the current theme. Each control kind gets the
// colours its row of the theme table gives; containers pass it on.

#include "shell/ThemeManager.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace {

QColor ToQColor(TColor c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

const TTLWTheme& Theme() { return TThemeManager::Current(); }

void SetBackground(QWidget* w, TColor color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToQColor(color));
    p.setColor(QPalette::Base, ToQColor(color));
    p.setColor(QPalette::Button, ToQColor(color));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void SetFontColor(QWidget* w, TColor color)
{
    QPalette p = w->palette();
    for (auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(role, ToQColor(color));
    p.setColor(QPalette::Disabled, QPalette::Text, ToQColor(Theme().TextDisabled));
    p.setColor(QPalette::Disabled, QPalette::WindowText, ToQColor(Theme().TextDisabled));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, ToQColor(Theme().TextDisabled));
    p.setColor(QPalette::Highlight, ToQColor(Theme().AccentDim));
    p.setColor(QPalette::HighlightedText, ToQColor(Theme().BgDark));
    w->setPalette(p);
}

void SetFontName(QWidget* w, const QString& name)
{
    QFont f = w->font();
    f.setFamilies({ name, QStringLiteral("Sans Serif") });
    w->setFont(f);
}

// "font": colour TextPrimary and the theme's font name; the size stays.
void ApplyFont(QWidget* w)
{
    SetFontColor(w, Theme().TextPrimary);
    SetFontName(w, Theme().FontName);
}

bool IsTabSheet(QWidget* w)
{
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    return stack && qobject_cast<QTabWidget*>(stack->parentWidget());
}

bool IsPanel(QWidget* w)
{
    const char* cls = w->metaObject()->className();
    return qobject_cast<QGroupBox*>(w) || qstrcmp(cls, "QFrame") == 0 || qstrcmp(cls, "QWidget") == 0;
}

bool StyleByKind(QWidget* w)
{
    if (qobject_cast<QStatusBar*>(w)) TThemeManager::ApplyToStatusBar(w);
    else if (qobject_cast<QToolBar*>(w)) TThemeManager::ApplyToToolBar(w);
    else if (qobject_cast<QToolButton*>(w) && qobject_cast<QToolBar*>(w->parentWidget())) SetFontColor(w, Theme().TextPrimary);
    else if (qobject_cast<QToolButton*>(w)) TThemeManager::ApplyToSpeedButton(w);
    else if (qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w)) TThemeManager::ApplyToMemo(w);
    else if (w->property("tlwListView").toBool()) TThemeManager::ApplyToListView(w);
    else if (qobject_cast<QTableView*>(w)) TThemeManager::ApplyToStringGrid(w);
    else if (qobject_cast<QTreeView*>(w)) TThemeManager::ApplyToTreeView(w);
    else if (qobject_cast<QListView*>(w)) TThemeManager::ApplyToListBox(w);
    else if (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget())
             && !qobject_cast<QAbstractSpinBox*>(w->parentWidget())) TThemeManager::ApplyToEdit(w);
    else if (qobject_cast<QLabel*>(w)) TThemeManager::ApplyToLabel(w);
    else if (qobject_cast<QPushButton*>(w)) TThemeManager::ApplyToButton(w);
    else if (qobject_cast<QComboBox*>(w)) TThemeManager::ApplyToComboBox(w);
    else if (qobject_cast<QTabWidget*>(w)) SetBackground(w, Theme().BgDark);
    else if (IsTabSheet(w)) { SetBackground(w, Theme().BgDark); ApplyFont(w); }
    else if (qobject_cast<QCheckBox*>(w)) ApplyFont(w);
    else if (IsPanel(w)) TThemeManager::ApplyToPanel(w);
    else return false;
    return true;
}

}

void TThemeManager::ApplyToForm(QWidget* form)
{
    if (!form)
        return;
    SetBackground(form, Theme().BgDark);
    QFont f = form->font();
    f.setFamilies({ Theme().FontName, QStringLiteral("Sans Serif") });
    f.setPointSize(Theme().FontSize);
    form->setFont(f);
    SetFontColor(form, Theme().TextPrimary);
    for (QWidget* child : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        ApplyToControl(child);
}

void TThemeManager::ApplyToControl(QWidget* control)
{
    if (!control)
        return;
    StyleByKind(control);
    for (QWidget* child : control->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        ApplyToControl(child);
}

void TThemeManager::ApplyToPanel(QWidget* w)
{
    SetBackground(w, Theme().BgMedium);
    ApplyFont(w);
    if (auto* frame = qobject_cast<QFrame*>(w))
        frame->setFrameShape(QFrame::NoFrame);
}

void TThemeManager::ApplyToMemo(QWidget* w)
{
    SetBackground(w, Theme().BgDark);
    SetFontColor(w, Theme().TextPrimary);
    QFont f = w->font();
    f.setFamilies({ Theme().MonoFontName, QStringLiteral("Monospace") });
    f.setStyleHint(QFont::Monospace);
    f.setPointSize(Theme().MonoFontSize);
    w->setFont(f);
}

void TThemeManager::ApplyToListBox(QWidget* w) { SetBackground(w, Theme().BgDark); ApplyFont(w); }
void TThemeManager::ApplyToTreeView(QWidget* w) { SetBackground(w, Theme().BgDark); ApplyFont(w); }
void TThemeManager::ApplyToEdit(QWidget* w) { SetBackground(w, Theme().BgLight); ApplyFont(w); }

void TThemeManager::ApplyToLabel(QWidget* w)
{
    SetFontColor(w, Theme().AccentPrimary);
    SetFontName(w, Theme().FontName);
}

void TThemeManager::ApplyToButton(QWidget* w) { ApplyFont(w); }
void TThemeManager::ApplyToComboBox(QWidget* w) { SetBackground(w, Theme().BgLight); ApplyFont(w); }

void TThemeManager::ApplyToListView(QWidget* w)
{
    SetBackground(w, Theme().BgDark);
    ApplyFont(w);
    if (auto* table = qobject_cast<QTableView*>(w))
        table->setShowGrid(true);
}

void TThemeManager::ApplyToStatusBar(QWidget* w) { SetBackground(w, Theme().BgMedium); ApplyFont(w); }

void TThemeManager::ApplyToStringGrid(QWidget* w)
{
    SetBackground(w, Theme().BgDark);
    ApplyFont(w);
    if (auto* table = qobject_cast<QTableView*>(w))
        table->setShowGrid(true);
}

void TThemeManager::ApplyToSpinEdit(QWidget* w) { SetBackground(w, Theme().BgLight); ApplyFont(w); }

void TThemeManager::ApplyToToolBar(QWidget* w)
{
    SetBackground(w, Theme().BgMedium);
    ApplyFont(w);
    if (auto* bar = qobject_cast<QToolBar*>(w))
        bar->setIconSize(QSize(bar->iconSize().width(), 26 - 6));
}

void TThemeManager::ApplyToSpeedButton(QWidget* w) { ApplyFont(w); }
