#pragma once
// The world map's CITY.TXT, from the mod exporter's world-map data.

#include "interchange/DialogueFormat.h"

class TCityTxtFormat : public TDialogueFormat {
public:
    QString Key() const override { return QString(); }
    QString Name() const override { return QStringLiteral("World Map CITY.TXT"); }
    QString FileFilter() const override { return QStringLiteral("Text File|*.txt|All Files|*.*"); }
    bool CanWrite() const override { return true; }
    std::optional<TExportFormat> ExportFormat() const override { return efCITYTXT; }
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;
};
