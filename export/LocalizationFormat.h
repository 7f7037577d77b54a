#pragma once
// The translators' JSON pack of every text worth translating.

#include "export/TextExportFormat.h"

class TLocalizationFormat : public TTextExportFormat {
public:
    QString Key() const override { return QStringLiteral("loc"); }
    QString Name() const override { return QStringLiteral("Localization Pack"); }
    QString FileFilter() const override { return QStringLiteral("JSON File|*.json|All Files|*.*"); }
    std::optional<TExportFormat> ExportFormat() const override { return efLocalization; }

protected:
    QString BuildText(const TDialogueProject& project, QStringList& warnings) const override;
    QString SuccessMessage() const override { return QStringLiteral("Exported localization: "); }
    QString FailureMessage() const override { return QStringLiteral("Failed to write localization: "); }
};
