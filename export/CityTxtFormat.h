#pragma once
// The world map's CITY.TXT, from the mod exporter's world-map data.

#include "export/ModStepFormat.h"

class TCityTxtFormat : public TModStepFormat {
public:
    QString Key() const override { return QString(); }
    QString Name() const override { return QStringLiteral("World Map CITY.TXT"); }
    QString FileFilter() const override { return QStringLiteral("Text File|*.txt|All Files|*.*"); }
    std::optional<TExportFormat> ExportFormat() const override { return efCITYTXT; }

protected:
    QString Label() const override { return QStringLiteral("CITY.TXT"); }
    bool RunStep(TModExporter& exporter, const QString& path) const override;
    QStringList FilesWritten(const QString& path) const override { return {path}; }
};
