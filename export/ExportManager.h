#pragma once
// The one entry point that turns the open project into output files: pick
// options (start from DefaultOptions), call Export, read the result and the
// manager's log. Each format's work is done by its class in TFormatRegistry.

#include "export/ExportLog.h"
#include "export/ExportTypes.h"
#include "export/ModExporter.h"

#include <QString>
#include <QStringList>

#include <memory>

class TAtomicFileSet;
class TDialogueProject;

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
    const QStringList& Log() const { return FLog.Lines(); }
    TModExporter& ModExporter() { return *FModExporter; }

    // The file name used inside the folder when a package's output path
    // names a folder: the NPC script name in lower case (else the NPC name,
    // else "dialogue"), made safe as a file name.
    QString PackageBaseName() const;

private:
    void LogNotWritten(const QStringList& paths);

    TDialogueProject* FProject;
    TExportLog FLog;
    std::unique_ptr<TModExporter> FModExporter;
    std::unique_ptr<TAtomicFileSet> FHeld;
};
