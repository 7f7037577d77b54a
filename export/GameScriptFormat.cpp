#include "export/GameScriptFormat.h"

#include "export/ExportFiles.h"
#include "export/GameMessageNumbering.h"
#include "export/GameScriptGenerator.h"
#include "export/TextExportFormat.h"
#include "model/AtomicFileWriter.h"
#include "model/TextEncoding.h"

TFormatResult TGameScriptFormat::Write(TDialogueProject* project, TFormatContext& context) const
{
    TFormatResult result;
    if (!TTextExportFormat::RequireProject(project, result, context))
        return result;
    if (context.Options.OutputPath.isEmpty()) {
        context.Log.Error(result, QStringLiteral("No folder given for the game script"));
        return result;
    }
    // Numbers go into the project first: the script and the message file
    // must agree, and the next export must find the same numbers.
    const QVector<TAssignedMessageNumber> assigned = TGameMessageNumbering::Assign(*project);
    result.MessagesNumbered = qint32(assigned.size());
    if (!assigned.isEmpty())
        context.Log.Message(QStringLiteral("Message numbers assigned: %1 (%2 to %3)")
                                .arg(assigned.size())
                                .arg(assigned.first().Number)
                                .arg(assigned.last().Number));

    TGameScriptGenerator generator(*project);
    generator.Build();
    // A large project can give a warning per node; the result keeps them
    // all, the log the first ones and how many more there are.
    constexpr int LoggedWarnings = 200;
    const QStringList& warnings = generator.Warnings();
    context.Log.Warnings(result, warnings.mid(0, LoggedWarnings));
    if (warnings.size() > LoggedWarnings) {
        result.Warnings += warnings.mid(LoggedWarnings);
        context.Log.Message(QStringLiteral("WARNING: ... and %1 more warnings").arg(warnings.size() - LoggedWarnings));
    }

    const QString folder = ExportFiles::WithTrailingDelimiter(context.Options.OutputPath);
    const QString name = TGameScriptGenerator::ScriptName(*project);
    const QString sslPath = folder + name + QStringLiteral(".ssl");
    const QString msgPath = folder + name + QStringLiteral(".msg");
    // The two files only make sense together: both are written complete
    // before either replaces its earlier version. Windows-1252 like the
    // games' own files; what it lacks is already a warning of the generator.
    QString error;
    TAtomicFileSet pair;
    const bool written = ExportFiles::PrepareTarget(sslPath, &error)
        && pair.Add(sslPath, TextEncoding::ToAnsi(generator.Script()), &error)
        && pair.Add(msgPath, TextEncoding::ToAnsi(generator.Messages()), &error) && pair.Commit(&error);
    if (written) {
        context.Log.Message(QStringLiteral("Exported game script: ") + sslPath);
        context.Log.Message(QStringLiteral("Exported game messages: ") + msgPath);
        result.FilesGenerated << sslPath << msgPath;
    } else {
        context.Log.Error(result, QStringLiteral("Failed to write the game script to: ") + folder);
        if (!error.isEmpty())
            context.Log.Message(error);
    }
    result.Success = result.Errors.isEmpty();
    return result;
}
