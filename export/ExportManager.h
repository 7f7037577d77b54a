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
    TDialogueProject* FProject;
    TExportLog FLog;
    std::unique_ptr<TModExporter> FModExporter;
};
