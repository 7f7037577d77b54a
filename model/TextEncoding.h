#pragma once
// Text encodings the system reads and writes: UTF-8, 7-bit ASCII and the
// "ANSI" code page, which is Windows-1252 here.

#include <QByteArray>
#include <QString>

namespace TextEncoding {

// A character Windows-1252 cannot hold becomes "?".
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);
// The distinct characters of `text` that Windows-1252 cannot hold, in the
// order they first occur; empty when ToAnsi loses nothing.
QString AnsiLacks(const QString& text);
// Characters outside 7-bit ASCII become "?".
QByteArray ToAscii(const QString& text);

bool IsValidUtf8(const QByteArray& bytes);

// Decodes a whole text file: a UTF-8 or UTF-16 byte-order mark selects its
// encoding; without one, valid UTF-8 is read as UTF-8 and anything else in
// the ANSI code page.
QString DecodeText(const QByteArray& bytes);

// Bytes of `text` in the named encoding, compared exactly: "UTF-8" (no byte
// order mark), "ASCII", anything else the ANSI code page.
QByteArray Encode(const QString& text, const QString& encodingName);

}
