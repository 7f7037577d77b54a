#include "export/CityTxtFormat.h"

#include "export/ModExporter.h"

TFormatResult TCityTxtFormat::Write(TDialogueProject*, TFormatContext& context) const
{
    TFormatResult result;
    const QString& path = context.Options.OutputPath;
    if (!context.ModExporter) {
        context.Log.Error(result, QStringLiteral("Failed to export CITY.TXT: ") + path);
        return result;
    }
    TModExporter& mod = *context.ModExporter;
    const int before = int(mod.Log().size());
    const bool ok = mod.ExportCITYTXT(path);
    for (int i = before; i < mod.Log().size(); ++i)
        context.Log.Message(mod.Log()[i]);
    if (ok) {
        context.Log.Message(QStringLiteral("Exported CITY.TXT: ") + path);
        result.FilesGenerated.append(path);
        result.Success = true;
    } else {
        context.Log.Error(result, QStringLiteral("Failed to export CITY.TXT: ") + path);
    }
    return result;
}
