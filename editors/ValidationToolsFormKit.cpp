#include "editors/ValidationToolsFormKit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>

namespace FormKit {

void ShowInformation(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, parent ? parent->windowTitle() : QString(), text);
}

QFrame* MakeBar(QWidget* parent, int height)
{
    QFrame* bar = ModalFormStyle::Band(height, parent);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(8);
    return bar;
}

QLabel* MakeTitle(QWidget* parent, const QString& text)
{
    return ModalFormStyle::BoldLabel(text, 12, parent);
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int width, int height)
{
    return ModalFormStyle::Button(caption, QSize(width, height), parent);
}

QSplitter* MakeSplitter(QWidget* parent)
{
    auto* splitter = new QSplitter(Qt::Horizontal, parent);
    splitter->setHandleWidth(4);
    return splitter;
}

QTableWidget* MakeReportList(QWidget* parent, const QVector<std::pair<QString, int>>& columns)
{
    auto* list = new QTableWidget(0, int(columns.size()), parent);
    list->setProperty("tlwListView", true);
    QStringList captions;
    for (const auto& column : columns)
        captions << column.first;
    list->setHorizontalHeaderLabels(captions);
    for (int i = 0; i < columns.size(); ++i)
        list->setColumnWidth(i, columns[i].second);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(20);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(true);
    list->setWordWrap(false);
    return list;
}

void AppendReportRow(QTableWidget* list, const QStringList& cells)
{
    const int row = list->rowCount();
    list->insertRow(row);
    for (int column = 0; column < cells.size() && column < list->columnCount(); ++column)
        list->setItem(row, column, new QTableWidgetItem(cells[column]));
}

QStringList ReportRow(const QTableWidget* list, int row)
{
    QStringList cells;
    for (int column = 0; column < list->columnCount(); ++column) {
        const QTableWidgetItem* item = list->item(row, column);
        cells << (item ? item->text() : QString());
    }
    return cells;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const QString& fontFamily, int points, bool readOnly)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setReadOnly(readOnly);
    QFont f(fontFamily);
    f.setStyleHint(QFont::Monospace);
    f.setPointSize(points);
    memo->setFont(f);
    return memo;
}

}
