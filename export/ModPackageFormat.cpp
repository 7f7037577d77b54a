#include "export/ModPackageFormat.h"

#include "export/ExportFiles.h"
#include "export/ModExporter.h"

bool TModPackageFormat::RunStep(TModExporter& exporter, const QString& path) const
{
    return exporter.ExportMod(path);
}

QStringList TModPackageFormat::FilesWritten(const QString& path) const
{
    const QString folder = ExportFiles::WithTrailingDelimiter(path);
    return {folder + QStringLiteral("CITY.TXT"), folder + QStringLiteral("WORLD.TXT")};
}
