#pragma once
// Text helpers shared by the SSL and MSG importers (Parts 4.3, 4.4): line
// splitting, the trimming both Parts mean, strict decimal numbers and reading
// an input file with byte-order-mark detection.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

namespace SSLMSGText {

// Splits at CR LF, lone CR and lone LF alike (mixed line ends are fine). A
// final line break does not add an empty last line.
QStringList SplitLines(const QString& text);

// The same over views into one text, without copying the lines.
QVector<QStringView> SplitLineViews(QStringView text);

// Removes blanks and control characters (every character up to U+0020) at
// both ends.
QString Trim(const QString& s);
QStringView TrimView(QStringView s);

// `s` with A-Z made a-z, into `out`, whose storage is reused from line to
// line.
void AsciiLowerInto(QStringView s, QString& out);

// A decimal integer in the 32-bit range: an optional sign and at least one
// digit, nothing else. False for anything else (including overflow).
bool TryParseInt32(const QString& s, qint32& value);

// The whole file as text: a byte-order mark decides the encoding; without
// one, UTF-8 when the bytes are valid UTF-8, else Windows-1252. Raises
// EDialogueError when the file cannot be read.
QString ReadTextFile(const QString& path);

// The file's name without folder and without the extension (everything from
// the last dot of the name on).
QString FileTitle(const QString& path);

}
