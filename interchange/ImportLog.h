#pragma once
// The error lines an import writes to the log: the first few, each with
// non-printable characters shown as escapes, so a binary file opened by
// mistake cannot flood the log or put control codes into it.

#include <QString>
#include <QStringList>

namespace ImportLog {

constexpr int ShownErrors = 10;

// Control and other non-printable characters as "\xNN" or "\uNNNN"; a lone
// surrogate counts as non-printable.
QString Printable(const QString& text);

// The first `shown` errors made printable, then "… and N more" when some
// were left out.
QStringList ErrorLines(const QStringList& errors, int shown = ShownErrors);

}
