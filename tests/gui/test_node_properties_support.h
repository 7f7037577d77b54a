#pragma once
// Driving the modal editor windows offscreen: acting on the window once its
// modal loop runs, clicking buttons by caption, and the checks every window
// gets (nothing cut off, tab order, access keys, a saved grab to look at).

#include "editors/ModalFormStyle.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

namespace EditorTest {

// Runs `action` on the modal window as soon as its loop has started; waits
// up to half a minute, as a loaded test machine may be slow to show it.
inline void RunWhenModal(std::function<void(QWidget*)> action, int triesLeft = 3000)
{
    QTimer::singleShot(10, [action, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget())
            action(modal);
        else if (triesLeft > 0)
            RunWhenModal(action, triesLeft - 1);
    });
}

inline QPushButton* ButtonByCaption(QWidget* form, const QString& caption)
{
    for (QPushButton* b : form->findChildren<QPushButton*>())
        if (ModalFormStyle::PlainCaption(b->text()) == caption)
            return b;
    return nullptr;
}

inline void ClickButton(QWidget* form, const QString& caption)
{
    QPushButton* b = ButtonByCaption(form, caption);
    ASSERT_NE(b, nullptr) << caption.toStdString();
    b->click();
}

inline void ClickLater(const QString& caption)
{
    RunWhenModal([caption](QWidget* form) { ClickButton(form, caption); });
}

// Widgets whose text must show whole, and every input must lie inside the
// window at its default size.
inline void ExpectNothingCutOff(QWidget& form)
{
    const QRect bounds = form.rect();
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&form) || qobject_cast<QAbstractScrollArea*>(w->parentWidget()))
            continue;
        const QRect r(w->mapTo(&form, QPoint(0, 0)), w->size());
        EXPECT_TRUE(bounds.contains(r)) << w->metaObject()->className() << " '" << w->objectName().toStdString()
                                        << "' at " << r.x() << "," << r.y() << " " << r.width() << "x"
                                        << r.height();
        if (qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w) || qobject_cast<QCheckBox*>(w)) {
            // Push buttons ask for a style minimum wider than their text.
            const int needed = qobject_cast<QPushButton*>(w)
                ? w->fontMetrics().horizontalAdvance(ModalFormStyle::PlainCaption(w->property("text").toString())) + 8
                : w->sizeHint().width();
            const bool wraps = qobject_cast<QLabel*>(w) && static_cast<QLabel*>(w)->wordWrap();
            if (!wraps && !w->property("tlwElided").toBool())
                EXPECT_GE(w->width(), needed) << "text cut off: " << w->metaObject()->className() << " "
                                              << w->property("text").toString().toStdString();
        }
    }
}

// The named widgets come in this order along the Tab chain.
inline void ExpectTabOrder(QWidget& form, std::initializer_list<const char*> names)
{
    QStringList chain;
    QWidget* w = &form;
    for (int guard = 0; guard < 2000; ++guard) {
        w = w->nextInFocusChain();
        if (w == &form)
            break;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&form) && w->isEnabled()) {
            QWidget* named = w;
            while (named && named != &form && named->objectName().isEmpty())
                named = named->parentWidget();
            if (named && named != &form && !chain.contains(named->objectName()))
                chain << named->objectName();
        }
    }
    int last = -1;
    for (const char* name : names) {
        const int at = chain.indexOf(QString::fromLatin1(name));
        EXPECT_GT(at, last) << name << " out of tab order; chain: " << chain.join(QLatin1Char(' ')).toStdString();
        last = at;
    }
}

// Alt + key moves the focus to the named widget (or presses it).
inline void ExpectAccessKeyFocuses(QWidget& form, Qt::Key key, const char* name)
{
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    QWidget* target = form.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(target, nullptr) << name;
    QWidget* receiver = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
    QKeyEvent press(QEvent::KeyPress, key, Qt::AltModifier, QString(QChar(key).toLower()));
    QApplication::sendEvent(receiver, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::AltModifier, QString(QChar(key).toLower()));
    QApplication::sendEvent(receiver, &release);
    QWidget* focus = QApplication::focusWidget();
    const bool onTarget = focus && (focus == target || target->isAncestorOf(focus) || focus->focusProxy() == target);
    EXPECT_TRUE(onTarget) << "Alt+" << char(key) << " should reach " << name << ", focus is on "
                          << (focus ? focus->objectName().toStdString() : std::string("nothing"));
}

// Saves the window as a PNG under the temp folder for a look by eye.
inline QString SaveGrab(QWidget& form, const QString& fileName)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/tallowin-editor-shots");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + fileName;
    EXPECT_TRUE(form.grab().save(path)) << path.toStdString();
    return path;
}

}
