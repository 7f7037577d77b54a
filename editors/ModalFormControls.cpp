#include "editors/ModalFormControls.h"

#include "editors/ModalFormStyle.h"
#include "editors/SkillCheckEditorLogic.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

namespace ModalFormControls {

QLineEdit* NamedEdit(QWidget* parent, const char* name, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

QSpinBox* NamedSpin(QWidget* parent, const char* name, int low, int high, int width)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(low, high);
    spin->setFixedWidth(width);
    return spin;
}

QCheckBox* NamedCheck(QWidget* parent, const char* name, const QString& caption)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, QSize size)
{
    QPushButton* button = ModalFormStyle::Button(caption, size, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QPlainTextEdit* WrappedMemo(QWidget* parent, const char* name, QSize size)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setFixedSize(size);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    return memo;
}

QComboBox* EditablePicker(QWidget* parent, const char* name, int width)
{
    auto* picker = new QComboBox(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setEditable(true);
    picker->setInsertPolicy(QComboBox::NoInsert);
    picker->setFixedWidth(width);
    return picker;
}

QComboBox* FixedList(QWidget* parent, const char* name, const QStringList& items, int width)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->setFixedWidth(width);
    return list;
}

QSlider* DifficultySlider(QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QStringLiteral("trkDifficulty"));
    slider->setRange(SkillCheckMath::MinDifficulty, SkillCheckMath::MaxDifficulty);
    slider->setValue(50);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setFixedWidth(200);
    return slider;
}

}
