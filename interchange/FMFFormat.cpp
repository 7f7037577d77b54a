#include "interchange/FMFFormat.h"

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"

TFormatResult TFMFFormat::Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const
{
    TFMFImporter importer;
    return ToFormatResult(importer.ImportFromFile(path, project));
}

TFormatResult TFMFFormat::Write(TDialogueProject* project, TFormatContext& context) const
{
    TFMFExporter exporter;
    TFormatResult result = ToFormatResult(exporter.ExportToFile(project, context.Options.OutputPath));
    if (result.Success)
        result.FilesGenerated << context.Options.OutputPath;
    return result;
}
