#pragma once
// The records every import and export speaks: which export, its options, and
// the one result type that formats, the export manager and the command line
// share.

#include <QString>
#include <QStringList>

#include <cstdint>

enum TExportFormat : std::uint8_t {
    efJSON, efMSG, efSSL, efLocalization, efPackage, efCITYTXT, efMAP, efFRM, efMod
};
constexpr int ExportFormatCount = 9;

// Only Format, OutputPath and Encoding steer the output; the other fields
// travel with the record for the windows that set them.
struct TExportOptions {
    TExportFormat Format = efJSON;
    QString OutputPath;
    bool IncludeComments = true;
    bool IncludeMetadata = true;
    bool MinifyJSON = false;
    bool SplitFiles = false;
    QString Encoding = QStringLiteral("UTF-8");   // "UTF-8", "ASCII", anything else ANSI
    QString LineEnding = QStringLiteral("CRLF");
    QString MsgFilePrefix = QStringLiteral("dialog_");
    QString SSLClassName;
    bool IncludeFloatMessages = true;
    QString LocaleFilter;
};

struct TFormatResult {
    bool Success = false;            // exactly when Errors is empty
    QStringList FilesGenerated;      // full paths, in the order written
    QStringList Warnings;            // things written that the game may read wrongly
    QStringList Errors;              // without the log's "ERROR: " prefix
    qint32 NodeCount = 0;
    qint32 LineCount = 0;
    qint32 WarningCount = 0;         // readers that count warnings without listing them

    qint32 TotalWarnings() const { return qMax(WarningCount, qint32(Warnings.size())); }
};

// The export manager's name for the same record.
using TExportResult = TFormatResult;
