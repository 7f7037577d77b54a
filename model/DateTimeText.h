#pragma once
// Date-times as day counts since 1899-12-30 (fraction = time of day), and
// the "yyyy-mm-dd hh:nn:ss" text of the project file.

#include "model/DialogueTypes.h"

#include <QDateTime>

namespace DateTimeText {
TDateTime Now();
TDateTime FromQDateTime(const QDateTime& dt);   // its local date and time
QDateTime ToQDateTime(TDateTime value);          // local time
// "2024-05-01 13:45:00"
QString Format(TDateTime value);
// Spaces become "T", then ISO 8601 (fractions and zones accepted). Returns
// false when the text does not parse.
bool Parse(const QString& text, TDateTime& out);
// "hh:nn:ss" of the current local time, for log lines.
QString NowClock();
}
