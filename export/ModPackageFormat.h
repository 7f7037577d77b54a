#pragma once
// The mod skeleton folder: CITY.TXT and WORLD.TXT from the mod exporter's
// world-map data.

#include "interchange/DialogueFormat.h"

class TModPackageFormat : public TDialogueFormat {
public:
    QString Key() const override { return QString(); }
    QString Name() const override { return QStringLiteral("Complete Mod Package"); }
    bool CanWrite() const override { return true; }
    std::optional<TExportFormat> ExportFormat() const override { return efMod; }
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;
};
