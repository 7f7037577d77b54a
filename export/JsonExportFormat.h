#pragma once
// The project as indented JSON, the same document the project file holds.

#include "export/TextExportFormat.h"

class TJsonExportFormat : public TTextExportFormat {
public:
    QString Key() const override { return QStringLiteral("json"); }
    QString Name() const override { return QStringLiteral("Dialogue JSON"); }
    QString FileFilter() const override { return QStringLiteral("JSON File|*.json|All Files|*.*"); }
    std::optional<TExportFormat> ExportFormat() const override { return efJSON; }

protected:
    QString BuildText(const TDialogueProject& project, QStringList& warnings) const override;
    QString SuccessMessage() const override { return QStringLiteral("Exported JSON: "); }
    QString FailureMessage() const override { return QStringLiteral("Failed to write JSON to: "); }
};
