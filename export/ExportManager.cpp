#include "export/ExportManager.h"

#include "export/PackageFormat.h"
#include "interchange/FormatRegistry.h"
#include "model/AtomicFileWriter.h"
#include "model/DialogueTypes.h"

TExportManager::TExportManager(TDialogueProject* project)
    : FProject(project), FModExporter(std::make_unique<TModExporter>(project))
{
}

TExportManager::~TExportManager() = default;

TExportOptions TExportManager::DefaultOptions()
{
    return TExportOptions();
}

QString TExportManager::FormatName(TExportFormat fmt)
{
    const TDialogueFormat* format = TFormatRegistry::Instance().ForExport(fmt);
    return format ? format->Name() : QString();
}

QStringList TExportManager::ValidateBeforeExport() const
{
    return FProject ? FProject->ValidateProject() : QStringList();
}

TExportResult TExportManager::Export(const TExportOptions& opts)
{
    const TDialogueFormat* format = TFormatRegistry::Instance().ForExport(opts.Format);
    if (!format)
        return TExportResult();
    TFormatContext context{opts, FLog, FModExporter.get(), FHeld.get()};
    return format->Write(FProject, context);
}

void TExportManager::HoldFiles()
{
    if (!FHeld)
        FHeld = std::make_unique<TAtomicFileSet>();
}

bool TExportManager::CommitHeldFiles()
{
    if (!FHeld)
        return true;
    QString error;
    QStringList notWritten;
    const bool ok = FHeld->Commit(&error, &notWritten);
    FHeld.reset();
    if (!ok) {
        FLog.Message(QStringLiteral("ERROR: ") + error);
        LogNotWritten(notWritten);
    }
    return ok;
}

void TExportManager::DiscardHeldFiles()
{
    if (!FHeld)
        return;
    const QStringList paths = FHeld->Paths();
    FHeld.reset();
    LogNotWritten(paths);
}

void TExportManager::LogNotWritten(const QStringList& paths)
{
    for (const QString& path : paths)
        FLog.Message(QStringLiteral("Not written: ") + path);
}

QString TExportManager::PackageBaseName() const
{
    return TPackageFormat::BaseName(FProject);
}
