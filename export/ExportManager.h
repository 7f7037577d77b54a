#pragma once
// The one entry point that turns the open project into output files: pick
// options (start from DefaultOptions), call Export, read the result and the
// manager's log.

#include "export/ModExporter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class TDialogueProject;

enum TExportFormat : std::uint8_t {
    efJSON, efMSG, efSSL, efLocalization, efPackage, efCITYTXT, efMAP, efFRM, efMod,
    efGameScript   // NAME.ssl and NAME.msg, ready to compile, into the folder OutputPath names
};
constexpr int ExportFormatCount = 10;

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

struct TExportResult {
    bool Success = false;            // exactly when Errors is empty
    QStringList FilesGenerated;      // full paths, in the order written
    QStringList Warnings;            // things written that the game may read wrongly
    QStringList Errors;              // without the log's "ERROR: " prefix
    qint32 NodeCount = 0;
    qint32 LineCount = 0;
    // Lines the game export gave a message number: the project changed, so
    // the caller marks it modified.
    qint32 MessagesNumbered = 0;
};

class TExportManager {
public:
    // The project is not owned; it must outlive the manager.
    explicit TExportManager(TDialogueProject* project);
    ~TExportManager();
    TExportManager(const TExportManager&) = delete;
    TExportManager& operator=(const TExportManager&) = delete;

    static TExportOptions DefaultOptions();
    static QString FormatName(TExportFormat fmt);

    TExportResult Export(const TExportOptions& opts);
    // The project's problem list; Export never validates by itself.
    QStringList ValidateBeforeExport() const;

    // "hh:nn:ss", two spaces, the message; accumulates over every Export.
    const QStringList& Log() const { return FLog; }
    TModExporter& ModExporter() { return *FModExporter; }

    // The file name used inside the folder when a package's output path
    // names a folder: the NPC script name in lower case (else the NPC name,
    // else "dialogue"), made safe as a file name.
    QString PackageBaseName() const;

private:
    void LogMessage(const QString& text);
    void AddError(TExportResult& result, const QString& text);
    void AddWarnings(TExportResult& result, const QStringList& warnings);
    bool WriteTextFile(const QString& path, const QString& text, const QString& encoding);
    void FinishTextExport(TExportResult& result, const TExportOptions& opts, const QString& text,
                          const QString& successMessage, const QString& failureMessage);
    bool RequireProject(TExportResult& result);
    void CopyModExporterLog(int fromLine);

    void ExportJSON(TExportResult& result, const TExportOptions& opts);
    void ExportMSG(TExportResult& result, const TExportOptions& opts);
    void ExportSSL(TExportResult& result, const TExportOptions& opts);
    void ExportLocalization(TExportResult& result, const TExportOptions& opts);
    void ExportPackage(TExportResult& result, const TExportOptions& opts);
    void ExportCITYTXT(TExportResult& result, const TExportOptions& opts);
    void ExportMod(TExportResult& result, const TExportOptions& opts);
    void ExportGameScript(TExportResult& result, const TExportOptions& opts);
    bool WriteFilePair(const QString& firstPath, const QByteArray& first, const QString& secondPath,
                       const QByteArray& second);

    TDialogueProject* FProject;
    QStringList FLog;
    std::unique_ptr<TModExporter> FModExporter;
    QString FLastWriteError;
};
