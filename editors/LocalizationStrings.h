#pragma once
// What the localization window shows and does, without the window: the
// string table with pack keys, the locale list edits, the pack export
// through the export manager and the summary of an opened pack file.

#include "export/ExportTypes.h"
#include "model/DialogueTypes.h"

#include <QByteArray>
#include <QString>
#include <QVector>

struct TLocalizationStringRow {
    QString Key;
    QString Source;        // first 80 characters
    QString Translation;   // the source again: translations are not kept in the project
    QString Status;        // "Untranslated"
};

namespace LocalizationStrings {

// Node rows ("node_" + ID cut to 10 + "_text") and option rows
// ("..._opt" + index over all options); comment nodes and blank texts give
// none, and a skipped node gives no option rows either.
QVector<TLocalizationStringRow> BuildStringTable(const TDialogueProject& project);
QString TotalStringsText(int rows);   // "Total strings: N"

// Appends a locale code unless it is blank or already present ignoring
// case; marks the project modified when it did.
bool AddLocale(TDialogueProject& project, const QString& code);
// Removes any but the first locale; false (nothing changed) for the
// default locale or an index outside the list.
bool RemoveLocale(TDialogueProject& project, int index);
QString CannotRemoveDefaultMessage();   // "Cannot remove default locale."
// Makes the locale at `index` active without marking the project modified.
void SetActiveLocale(TDialogueProject& project, int index);

// The file name the export proposes: NPC name + "_" + active locale.
QString ProposedPackFileName(const TDialogueProject& project);
// Writes the pack for the active locale to `path` through the export manager.
TExportResult ExportPack(TDialogueProject& project, const QString& path);
// "Exported N file(s) successfully." or "Export failed: " + errors, one a line.
QString ExportResultMessage(const TExportResult& result);

// The message for an opened pack file, or an empty string when it holds
// nothing to report (not JSON, or JSON without a count of strings). An
// object's numeric "count" is reported; for the array this program writes
// as a pack, its number of entries.
QString ImportPackMessage(const QByteArray& fileBytes);

}
