#pragma once
// Comma-separated lists with double-quote quoting, as used by the project
// file's "tags" and "locales" values.

#include <QString>
#include <QStringList>

namespace CommaText {

// Items containing a space, control character, comma or double quote are
// quoted (inner quotes doubled); a single empty item becomes "".
QString Join(const QStringList& items);

// Splits at commas and at unquoted spaces and control characters.
QStringList Split(const QString& text);

}
