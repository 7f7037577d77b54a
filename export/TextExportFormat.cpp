#include "export/TextExportFormat.h"

#include "export/ExportFiles.h"
#include "model/TextEncoding.h"

TFormatResult TTextExportFormat::Write(TDialogueProject* project, TFormatContext& context) const
{
    TFormatResult result;
    if (!RequireProject(project, result, context))
        return result;
    QStringList warnings;
    const QString text = BuildText(*project, warnings);
    context.Log.Warnings(result, warnings);
    WriteText(result, context, text, SuccessMessage(), FailureMessage());
    return result;
}

void TTextExportFormat::WriteText(TFormatResult& result, TFormatContext& context, const QString& text,
                                  const QString& successMessage, const QString& failureMessage)
{
    const QString& path = context.Options.OutputPath;
    QString error;
    if (ExportFiles::WriteFileAtomically(path, TextEncoding::Encode(text, context.Options.Encoding), &error)) {
        context.Log.Message(successMessage + path);
        result.FilesGenerated.append(path);
    } else {
        context.Log.Error(result, failureMessage + path);
        if (!error.isEmpty())
            context.Log.Message(error);
    }
    result.Success = result.Errors.isEmpty();
}

bool TTextExportFormat::RequireProject(const TDialogueProject* project, TFormatResult& result,
                                       TFormatContext& context)
{
    if (project)
        return true;
    context.Log.Error(result, QStringLiteral("No project to export"));
    return false;
}
