#pragma once
// The game's message file: one numbered line per node text and per player
// option text, "{number}{}{text}".

#include "model/DialogueTypes.h"

#include <QString>
#include <QStringList>

namespace MSGWriter {

// Backslashes doubled, each line break (CR LF, CR or LF) one space, each TAB
// two spaces, so a message always stays on its one line.
QString EscapeMsgText(const QString& text);

// Every node in list order (comment nodes too), each followed by its
// options, numbered from 1 without gaps. A text holding "}" is written as it
// is, but the game ends the message field at the first "}", so each such
// line adds a warning.
QStringList BuildMSGLines(const TDialogueProject& project, QStringList* warnings = nullptr);

}
