#include "export/CityTxtFormat.h"

#include "export/ModExporter.h"

bool TCityTxtFormat::RunStep(TModExporter& exporter, const QString& path) const
{
    return exporter.ExportCITYTXT(path);
}
