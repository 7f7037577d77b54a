#include "export/ExportLog.h"

#include <QTime>

void TExportLog::Message(const QString& text)
{
    FLines.append(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + text);
}

void TExportLog::Error(TFormatResult& result, const QString& text)
{
    result.Errors.append(text);
    result.Success = false;
    Message(QStringLiteral("ERROR: ") + text);
}

void TExportLog::Warnings(TFormatResult& result, const QStringList& warnings)
{
    for (const QString& w : warnings) {
        result.Warnings.append(w);
        Message(QStringLiteral("WARNING: ") + w);
    }
}
