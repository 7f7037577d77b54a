#include "export/ModPackageFormat.h"

#include "export/ExportFiles.h"
#include "export/ModExporter.h"

TFormatResult TModPackageFormat::Write(TDialogueProject*, TFormatContext& context) const
{
    TFormatResult result;
    const QString& path = context.Options.OutputPath;
    if (!context.ModExporter) {
        context.Log.Error(result, QStringLiteral("Failed to export Mod: ") + path);
        return result;
    }
    TModExporter& mod = *context.ModExporter;
    const int before = int(mod.Log().size());
    const bool ok = mod.ExportMod(path);
    for (int i = before; i < mod.Log().size(); ++i)
        context.Log.Message(mod.Log()[i]);
    if (ok) {
        context.Log.Message(QStringLiteral("Exported Mod: ") + path);
        const QString folder = ExportFiles::WithTrailingDelimiter(path);
        result.FilesGenerated << folder + QStringLiteral("CITY.TXT") << folder + QStringLiteral("WORLD.TXT");
        result.Success = true;
    } else {
        context.Log.Error(result, QStringLiteral("Failed to export Mod: ") + path);
    }
    return result;
}
