#pragma once
// Building blocks shared by the validation, localization, script and asset
// windows: themed bars, bold titles, fixed-size buttons, report lists and
// memos, and the message hook that tests replace to avoid modal boxes.
// The colours, bands and buttons are the modal editors' own.

#include "editors/ModalFormStyle.h"

#include <QString>
#include <QVector>

#include <functional>
#include <utility>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableWidget;
class QWidget;

namespace FormKit {

// Shows a text to the user; the default is an information box.
using TMessageSink = std::function<void(QWidget* parent, const QString& text)>;
void ShowInformation(QWidget* parent, const QString& text);

using ModalFormStyle::BareColumn;
using ModalFormStyle::SetBackground;
using ModalFormStyle::SetPointSize;
using ModalFormStyle::SetTextColor;

// A panel of fixed height that holds a horizontal row.
QFrame* MakeBar(QWidget* parent, int height);
QLabel* MakeTitle(QWidget* parent, const QString& text);
QPushButton* MakeButton(QWidget* parent, const QString& caption, int width, int height);
// Panes side by side with a thin handle between them.
QSplitter* MakeSplitter(QWidget* parent);

// A read-only table with whole-row selection and grid lines; each column is
// a caption and its width in pixels.
QTableWidget* MakeReportList(QWidget* parent, const QVector<std::pair<QString, int>>& columns);
void AppendReportRow(QTableWidget* list, const QStringList& cells);
QStringList ReportRow(const QTableWidget* list, int row);

// Plain-text box with both scroll bars and no word wrap.
QPlainTextEdit* MakeMemo(QWidget* parent, const QString& fontFamily, int points, bool readOnly);

}
