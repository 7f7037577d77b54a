#include "export/ExportManager.h"

#include "export/PackageFormat.h"
#include "interchange/FormatRegistry.h"
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
    TFormatContext context{opts, FLog, FModExporter.get()};
    return format->Write(FProject, context);
}

QString TExportManager::PackageBaseName() const
{
    return TPackageFormat::BaseName(FProject);
}
