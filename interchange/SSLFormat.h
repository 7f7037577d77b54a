#pragma once
// The skeleton script (written) and hand-written dialogue scripts (read).

#include "export/TextExportFormat.h"

class TSSLFormat : public TTextExportFormat {
public:
    QString Key() const override { return QStringLiteral("ssl"); }
    QString Name() const override { return QStringLiteral("Fallout .SSL Script"); }
    QString FileFilter() const override { return QStringLiteral("SSL Script|*.ssl|All Files|*.*"); }
    bool CanRead() const override { return true; }
    std::optional<TExportFormat> ExportFormat() const override { return efSSL; }
    TFormatResult Read(const QString& path, std::unique_ptr<TDialogueProject>& project) const override;

protected:
    QString BuildText(const TDialogueProject& project, QStringList& warnings) const override;
    QString SuccessMessage() const override { return QStringLiteral("Exported SSL: "); }
    QString FailureMessage() const override { return QStringLiteral("Failed to write SSL to: "); }
};
