#include "interchange/GameDialogueFormat.h"

#include "interchange/GameDialogueImporter.h"

TFormatResult TGameDialogueFormat::Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const
{
    return ReadWith(path, TReadOptions(), project).Result;
}

TReadOutcome TGameDialogueFormat::ReadWith(const QString& path, const TReadOptions& options,
                                           std::unique_ptr<TDialogueProject>& project) const
{
    TGameDialogueImporter importer;
    const TGameImportResult imported = importer.ImportFromFile(path, options.CompanionPath, project);
    TReadOutcome outcome;
    outcome.Result = ToFormatResult(imported);
    outcome.Report = imported.Report.Lines();
    return outcome;
}
