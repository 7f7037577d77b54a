#pragma once
// Quoting rules of the FMF dialogue text format, shared by its writer and
// reader so that what one escapes the other decodes.

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringView>

namespace FMFText {

// Line breaks (CR LF, LF and a lone CR) become backslash "n", TAB becomes
// backslash "t" and a double quote becomes backslash and double quote.
// Other backslashes stay as they are.
QString EscapeFMFText(QStringView value);

// Decodes exactly the three escapes EscapeFMFText makes (backslash "n" to
// LF, backslash "t" to TAB, backslash and quote to a quote); every other
// backslash is kept, so hand-written files read as they were written.
QString UnescapeFMFText(QStringView raw);

// Index of the double quote that closes a quoted value whose opening quote
// stands at `open`: a backslash steps over the character after it. Returns
// the text's length when the value is not closed.
qsizetype ClosingQuote(QStringView text, qsizetype open);

// The quoted value that starts at the first double quote at or after
// `from`, decoded. False (and `value` emptied) when there is no quote.
// `end`, when given, receives the index just past the closing quote.
bool ReadQuoted(QStringView text, qsizetype from, QString& value, qsizetype* end = nullptr);

// First occurrence of `keyword` (ASCII, any letter case) at or after `from`
// that does not stand inside a quoted value; -1 when there is none.
qsizetype FindOutsideQuotes(QStringView text, QLatin1String keyword, qsizetype from = 0);

// Case-insensitive test of `keyword` (lower-case ASCII) at the start.
bool StartsWithKeyword(QStringView line, QLatin1String keyword);

// The line without blanks and control characters at both ends.
QStringView TrimLine(QStringView line);

// "Node" + the 1-based position with at least three digits.
QString NodeName(int position);

// Writer's type word of each condition type, in TConditionType order.
const char* ConditionTypeWord(TConditionType type);

// A value the writer may leave unquoted: a decimal integer, or a non-empty
// run of ASCII letters, digits and underscores.
bool IsBareConditionValue(QStringView value);

}
