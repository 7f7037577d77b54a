#pragma once
// The one entry point that turns the open project into output files: pick
// options (start from DefaultOptions), call Export, read the result and the
// manager's log.

#include "export/ModExporter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class TAtomicFileSet;
class TDialogueProject;

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

struct TExportResult {
    bool Success = false;            // exactly when Errors is empty
    QStringList FilesGenerated;      // full paths, in the order written
    QStringList Warnings;            // things written that the game may read wrongly
    QStringList Errors;              // without the log's "ERROR: " prefix
    qint32 NodeCount = 0;
    qint32 LineCount = 0;
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

    // From here until CommitHeldFiles, the files the text exports (JSON,
    // MSG, SSL, localization, package) write wait complete in temporary
    // files beside their targets; CommitHeldFiles then puts them all in
    // place together, so files exported as one set never come from
    // different runs. Held files never committed are discarded with the
    // manager, leaving the targets as they were.
    void HoldFiles();
    // False, with the reason logged as an error, when a held file could not
    // be put in place; each file left out is logged as "Not written: ".
    bool CommitHeldFiles();
    // Drops the held files, leaving their targets as they were, and logs
    // each as "Not written: ".
    void DiscardHeldFiles();
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
    void LogNotWritten(const QStringList& paths);

    void ExportJSON(TExportResult& result, const TExportOptions& opts);
    void ExportMSG(TExportResult& result, const TExportOptions& opts);
    void ExportSSL(TExportResult& result, const TExportOptions& opts);
    void ExportLocalization(TExportResult& result, const TExportOptions& opts);
    void ExportPackage(TExportResult& result, const TExportOptions& opts);
    void ExportCITYTXT(TExportResult& result, const TExportOptions& opts);
    void ExportMod(TExportResult& result, const TExportOptions& opts);

    TDialogueProject* FProject;
    QStringList FLog;
    std::unique_ptr<TModExporter> FModExporter;
    QString FLastWriteError;
    std::unique_ptr<TAtomicFileSet> FHeld;
};
