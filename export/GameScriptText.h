#pragma once
// Checks and safe forms for what the game-script export copies from the
// project: conditions and code written by hand, and comment text. Copied
// text must never be able to break the script around it.

#include <QString>
#include <QStringList>

namespace GameScriptText {

// A hand-written condition that can stand inside "if (...) then": not
// blank, parentheses balanced, strings and comments closed, no ";" and no
// statement keyword. `why` says what is wrong.
bool IsUsableCondition(const QString& condition, QString* why);

// Hand-written statements that can stand inside a procedure: begin/end and
// parentheses balanced, strings and block comments closed, no procedure
// definition. (Whether each statement is right is the writer's business.)
bool IsSelfContainedCode(const QString& code, QString* why);

// Empty or only white space (without making a trimmed copy).
bool IsBlank(const QString& text);

// Line breaks of any kind turned into spaces.
QString OneLine(const QString& text);

// The lines of a text (CR LF, CR or LF), trailing white space removed.
QStringList Lines(const QString& text);

// Text that can follow "//" on one line: printable ASCII only (anything
// else "?"), no backslash (it would continue the comment onto the next
// line).
QString CommentText(const QString& text);

}
