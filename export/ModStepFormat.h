#pragma once
// A format the mod exporter writes from its world-map data: the step's own
// log lines are copied into the export log, followed by the outcome.

#include "interchange/DialogueFormat.h"

class TModStepFormat : public TDialogueFormat {
public:
    bool CanWrite() const override { return true; }
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;

protected:
    // "CITY.TXT" or "Mod", as in "Exported Mod: " and "Failed to export Mod: ".
    virtual QString Label() const = 0;
    virtual bool RunStep(TModExporter& exporter, const QString& path) const = 0;
    // The files a successful step wrote.
    virtual QStringList FilesWritten(const QString& path) const = 0;
};
