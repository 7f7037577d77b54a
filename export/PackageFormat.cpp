#include "export/PackageFormat.h"

#include "export/ExportFiles.h"
#include "interchange/FormatRegistry.h"
#include "model/DialogueTypes.h"

namespace {

// Characters no file name may hold on the systems the files travel to.
QString SafeFileName(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        const bool bad = c < QLatin1Char(' ') || QStringLiteral("/\\:*?\"<>|").contains(c);
        out += bad ? QLatin1Char('_') : c;
    }
    return out;
}

} // namespace

QString TPackageFormat::BaseName(const TDialogueProject* project)
{
    QString name;
    if (project) {
        name = project->NPCScript().trimmed().toLower();
        if (name.isEmpty())
            name = project->NPCName().trimmed().toLower();
    }
    name = SafeFileName(name);
    return name.isEmpty() ? QStringLiteral("dialogue") : name;
}

TFormatResult TPackageFormat::Write(TDialogueProject* project, TFormatContext& context) const
{
    // A folder path holds the two files under one name; a file path gives
    // the name, whose extension each file replaces.
    QString base = context.Options.OutputPath;
    if (ExportFiles::IsFolderPath(base))
        base = ExportFiles::WithTrailingDelimiter(base) + BaseName(project) + QStringLiteral(".tlw");

    TFormatResult result;
    const std::pair<TExportFormat, const char*> halves[] = {{efJSON, ".json"}, {efSSL, ".ssl"}};
    for (const auto& [format, extension] : halves) {
        TFormatContext half{TExportOptions(), context.Log, context.ModExporter};
        half.Options.OutputPath = ExportFiles::ChangeFileExt(base, QString::fromLatin1(extension));
        const TFormatResult part = TFormatRegistry::Instance().ForExport(format)->Write(project, half);
        // The halves' own lines are already in the log; their errors and
        // warnings also go into the package's result so a failure is never
        // reported with an empty error list.
        result.FilesGenerated += part.FilesGenerated;
        result.Warnings += part.Warnings;
        result.Errors += part.Errors;
    }
    result.Success = result.Errors.isEmpty();
    context.Log.Message(QStringLiteral("Package complete: %1 files generated.").arg(result.FilesGenerated.size()));
    return result;
}
