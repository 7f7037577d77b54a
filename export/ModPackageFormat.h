#pragma once
// The mod skeleton folder: CITY.TXT and WORLD.TXT from the mod exporter's
// world-map data.

#include "export/ModStepFormat.h"

class TModPackageFormat : public TModStepFormat {
public:
    QString Key() const override { return QString(); }
    QString Name() const override { return QStringLiteral("Complete Mod Package"); }
    std::optional<TExportFormat> ExportFormat() const override { return efMod; }

protected:
    QString Label() const override { return QStringLiteral("Mod"); }
    bool RunStep(TModExporter& exporter, const QString& path) const override;
    QStringList FilesWritten(const QString& path) const override;
};
