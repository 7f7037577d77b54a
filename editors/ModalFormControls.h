#pragma once
// The input controls the modal editors (node properties, float messages,
// skill check) build alike. Each is made with its object name, by which
// the windows' tests and callers find it.

#include <QSize>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QWidget;

namespace ModalFormControls {

// A width of 0 leaves the edit as wide as its layout makes it.
QLineEdit* NamedEdit(QWidget* parent, const char* name, int width);
QSpinBox* NamedSpin(QWidget* parent, const char* name, int low, int high, int width);
QCheckBox* NamedCheck(QWidget* parent, const char* name, const QString& caption);
QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, QSize size);

// A text box of fixed size that wraps at its width: a vertical bar only,
// and Tab moves on instead of typing a tab.
QPlainTextEdit* WrappedMemo(QWidget* parent, const char* name, QSize size);
// An editable drop-down; what is typed is never added as an entry.
QComboBox* EditablePicker(QWidget* parent, const char* name, int width);
// A drop-down of fixed entries.
QComboBox* FixedList(QWidget* parent, const char* name, const QStringList& items, int width);
// A skill check's difficulty: the whole range, ticks every 10, at 50 to start.
QSlider* DifficultySlider(QWidget* parent);

}
