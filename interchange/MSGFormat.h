#pragma once
// The numbered message file (written) and message files read as nodes.

#include "export/TextExportFormat.h"

class TMSGFormat : public TTextExportFormat {
public:
    QString Key() const override { return QStringLiteral("msg"); }
    QString Name() const override { return QStringLiteral("Fallout .MSG File"); }
    QString FileFilter() const override { return QStringLiteral("MSG File|*.msg|All Files|*.*"); }
    bool CanRead() const override { return true; }
    std::optional<TExportFormat> ExportFormat() const override { return efMSG; }
    TFormatResult Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const override;

protected:
    QString BuildText(const TDialogueProject& project, QStringList& warnings) const override;
    QString SuccessMessage() const override { return QStringLiteral("Exported MSG: "); }
    QString FailureMessage() const override { return QStringLiteral("Failed to write MSG to: "); }
};
