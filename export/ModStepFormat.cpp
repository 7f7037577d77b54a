#include "export/ModStepFormat.h"

#include "export/ModExporter.h"

TFormatResult TModStepFormat::Write(TDialogueProject*, TFormatContext& context) const
{
    TFormatResult result;
    const QString& path = context.Options.OutputPath;
    if (!context.ModExporter) {
        context.Log.Error(result, QStringLiteral("Failed to export %1: ").arg(Label()) + path);
        return result;
    }
    TModExporter& mod = *context.ModExporter;
    const int before = int(mod.Log().size());
    const bool ok = RunStep(mod, path);
    for (int i = before; i < mod.Log().size(); ++i)
        context.Log.Message(mod.Log()[i]);
    if (ok) {
        context.Log.Message(QStringLiteral("Exported %1: ").arg(Label()) + path);
        result.FilesGenerated = FilesWritten(path);
        result.Success = true;
    } else {
        context.Log.Error(result, QStringLiteral("Failed to export %1: ").arg(Label()) + path);
    }
    return result;
}
