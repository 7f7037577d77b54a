#pragma once
// A binary game format whose writer needs data the dialogue does not hold
// (map layout, frame pictures); exporting it from a project only says so.

#include "interchange/DialogueFormat.h"

class TDataRequiredFormat : public TDialogueFormat {
public:
    // `error` is what an export attempt reports.
    TDataRequiredFormat(TExportFormat format, const QString& name, const QString& error)
        : FFormat(format), FName(name), FError(error) {}
    QString Key() const override { return QString(); }
    QString Name() const override { return FName; }
    std::optional<TExportFormat> ExportFormat() const override { return FFormat; }
    TFormatResult Write(TDialogueProject* project, TFormatContext& context) const override;

private:
    TExportFormat FFormat;
    QString FName;
    QString FError;
};
