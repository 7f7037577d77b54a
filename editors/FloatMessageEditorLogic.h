#pragma once
// The float message editor's rules without its window: the category lists,
// the list lines and filter, reading and writing the detail fields, and the
// add, delete and duplicate operations on the project's message list.

#include "model/DialogueTypes.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

namespace FloatMessageRules {

// The filter entry that shows every message.
QString AllCategories();
// Category given to a new message when the filter shows every message.
QString DefaultCategory();

// "(All)" first, then every non-empty category once, sorted; case is
// ignored for both the order and the duplicates (the first spelling wins).
QStringList FilterEntries(const TFloatMessageList& messages);
// The same categories without "(All)", then the four stock categories that
// are not yet present.
QStringList CategoryEntries(const TFloatMessageList& messages);

// "[Category] P:5 W:1  text", "No Cat" and "(empty)" standing in for blanks.
QString ListLine(const TFloatMessage& message);
// Messages in project order whose category equals `filter` exactly; an
// empty filter or "(All)" keeps every message.
QVector<TFloatMessage*> Filtered(const TFloatMessageList& messages, const QString& filter);

// A duration typed in the locale's format; anything that is not a finite
// number gives the default 3.0 seconds.
float ParseDuration(const QString& text, const QLocale& locale);
QString FormatDuration(float seconds, const QLocale& locale);

}

// The detail pane's values, as the window shows and reads them.
struct TFloatMessageDetails {
    QString Text;
    QString Category;
    int Priority = 5;
    int Weight = 1;
    QString Duration = QStringLiteral("3.0");
    QString Condition;
    QString LocaleKey;
    bool IsAmbient = true;
    bool IsCombatTaunt = false;
    bool IsContextSensitive = false;

    static TFloatMessageDetails From(const TFloatMessage& message, const QLocale& locale);
    // Writes every field but the ID back; the message's ID never changes.
    void StoreInto(TFloatMessage& message, const QLocale& locale) const;
};

namespace FloatMessageOps {

// Appends a message with `text`, the filter's category (or "Ambient"),
// priority 5, weight 1, ambient; marks the project modified.
TFloatMessage* Add(TDialogueProject& project, const QString& text, const QString& filter);
// Removes and destroys the message; false when it is not in the project.
bool Remove(TDialogueProject& project, const TFloatMessage* message);
// Appends a copy under a fresh ID, " (copy)" added to the text and without
// the locale key; marks the project modified.
TFloatMessage* Duplicate(TDialogueProject& project, const TFloatMessage& source);

}
