// The main window's export and import commands: they hand the open project
// to an exporter, or replace it with an imported one.

#include "shell/MainForm.h"

#include "export/ExportFiles.h"
#include "export/ExportManager.h"
#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "interchange/MSGImporter.h"
#include "interchange/SSLImporter.h"
#include "shell/BusyCursor.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString FolderWithSeparator(const QString& folder)
{
    return ExportFiles::WithTrailingDelimiter(QDir::toNativeSeparators(folder));
}

QString BaseNameWithoutExtension(const QString& path)
{
    const QString name = ExportFiles::LastComponent(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

}

bool TMainForm::AskExportFile(const QString& title, const QString& fileTypes, const QString& extension,
                              const QString& proposedName, QString& fileName)
{
    int chosenType = 0;
    return FDialogs->AskSaveFileName(title, fileTypes, extension, proposedName, fileName, chosenType)
        && !fileName.isEmpty();
}

void TMainForm::CopyManagerLog(const TExportManager& manager)
{
    for (const QString& line : manager.Log())
        AddLog(line);
}

TExportResult TMainForm::RunExport(TExportManager& manager, int format, const QString& outputPath)
{
    TExportOptions options = TExportManager::DefaultOptions();
    options.Format = TExportFormat(format);
    options.OutputPath = outputPath;
    TBusyCursor busy;
    return manager.Export(options);
}

bool TMainForm::RunManagerExport(TExportManager& manager, int format, const QString& outputPath)
{
    const bool ok = RunExport(manager, format, outputPath).Success;
    CopyManagerLog(manager);
    return ok;
}

void TMainForm::ExportJSON()
{
    QString file;
    if (!FProject || !AskExportFile(QStringLiteral("Export Dialogue JSON"), QStringLiteral("JSON File|*.json|All Files|*.*"),
                                    QStringLiteral("json"), FProject->NPCName(), file))
        return;
    TExportManager manager(FProject.get());
    if (RunManagerExport(manager, efJSON, file))
        AddLog(QStringLiteral("JSON export complete: ") + file);
    else
        AddLog(QStringLiteral("JSON export failed."), llError);
}

void TMainForm::ExportMSG()
{
    QString file;
    if (!FProject || !AskExportFile(QStringLiteral("Export .MSG File"), QStringLiteral("MSG File|*.msg|All Files|*.*"),
                                    QStringLiteral("msg"), FProject->NPCName().toLower(), file))
        return;
    TExportManager manager(FProject.get());
    if (RunManagerExport(manager, efMSG, file))
        AddLog(QStringLiteral("MSG export complete: ") + file);
    else
        AddLog(QStringLiteral("MSG export failed."), llError);
}

void TMainForm::ExportSSL()
{
    QString file;
    if (!FProject || !AskExportFile(QStringLiteral("Export .SSL Script"), QStringLiteral("SSL Script|*.ssl|All Files|*.*"),
                                    QStringLiteral("ssl"), FProject->NPCScript().toLower(), file))
        return;
    TExportManager manager(FProject.get());
    const bool ok = RunManagerExport(manager, efSSL, file)
        && RunManagerExport(manager, efMSG, ExportFiles::ChangeFileExt(file, QStringLiteral(".msg")));
    if (ok)
        AddLog(QStringLiteral("SSL/MSG export complete: ") + file);
    else
        AddLog(QStringLiteral("SSL export failed."), llError);
}

void TMainForm::ExportFMF()
{
    QString file;
    if (!FProject || !AskExportFile(QStringLiteral("Export .FMF File"), QStringLiteral("FMF File|*.fmf|All Files|*.*"),
                                    QStringLiteral("fmf"), FProject->NPCScript().toLower() + QStringLiteral(".fmf"), file))
        return;
    TBusyCursor busy;
    TFMFExporter exporter;
    const TFMFExportResult result = exporter.ExportToFile(FProject.get(), file);
    if (result.Success) {
        AddLog(QStringLiteral("FMF export complete: %1 (%2 nodes)").arg(file).arg(result.NodeCount));
        if (result.WarningCount > 0)
            AddLog(QStringLiteral("%1 warnings during export.").arg(result.WarningCount), llWarning);
        return;
    }
    AddLog(QStringLiteral("FMF export failed."), llError);
    for (const QString& error : result.Errors)
        AddLog(QStringLiteral("  ") + error, llError);
}

void TMainForm::ExportEnginePackage()
{
    QString folder;
    if (!FProject || !FDialogs->AskFolder(QStringLiteral("Select Export Package Directory"), folder) || folder.isEmpty())
        return;
    const QString sep = QDir::separator();
    const QString output = FolderWithSeparator(folder) + FProject->NPCName().toLower() + QStringLiteral("_pkg") + sep;
    TExportManager manager(FProject.get());
    const TExportResult result = RunExport(manager, efPackage, output);
    CopyManagerLog(manager);
    if (!result.Success) {
        AddLog(QStringLiteral("Package export failed."), llError);
        return;
    }
    AddLog(QStringLiteral("Package export complete: %1 files.").arg(result.FilesGenerated.size()));
    for (const QString& path : std::as_const(result.FilesGenerated))
        AddLog(QStringLiteral("  ? ") + ExportFiles::LastComponent(path));
    FDialogs->Inform(QStringLiteral("Engine package exported successfully!\r\n%1 files written to:\r\n%2")
                         .arg(result.FilesGenerated.size())
                         .arg(output));
}

void TMainForm::ExportModPackage()
{
    QString folder;
    if (!FProject || !FDialogs->AskFolder(QStringLiteral("Select Mod Export Directory"), folder) || folder.isEmpty())
        return;
    const QString output = FolderWithSeparator(folder) + QStringLiteral("mod_") + FProject->NPCName().toLower()
        + QDir::separator();
    TExportManager manager(FProject.get());
    TWorldMapProject& map = manager.ModExporter().WorldMap();
    map.GenerateDefaultArea(QStringLiteral("Arroyo"), 100, 150, lsMedium);
    map.GenerateDefaultArea(QStringLiteral("Klamath"), 200, 100, lsSmall);
    map.GenerateDefaultArea(QStringLiteral("Den"), 150, 200, lsLarge);
    for (size_t i = 0; i < map.Areas().size(); ++i)
        map.Areas()[i]->SetName(FProject->Name() + QStringLiteral(" Location %1").arg(i));
    if (RunManagerExport(manager, efMod, output)) {
        AddLog(QStringLiteral("Mod export complete: CITY.TXT, WORLD.TXT generated."));
        FDialogs->Inform(QStringLiteral("Mod package exported successfully!\r\nFiles written to:\r\n") + output);
    } else {
        AddLog(QStringLiteral("Mod export failed."), llError);
    }
}

void TMainForm::ExportGameScript()
{
    QString folder;
    if (!FProject || !FDialogs->AskFolder(QStringLiteral("Select Game Script Folder"), folder) || folder.isEmpty())
        return;
    TExportManager manager(FProject.get());
    const TExportResult result = RunExport(manager, efGameScript, folder);
    // The manager's lines after its time stamp; its warnings are warning lines here.
    constexpr int StampLength = 10;
    for (const QString& line : manager.Log())
        AddLog(line, line.mid(StampLength).startsWith(QLatin1String("WARNING: ")) ? llWarning : llInfo);
    // New message numbers are part of the project now.
    if (result.MessagesNumbered > 0)
        MarkModified();
    if (!result.Success) {
        AddLog(QStringLiteral("Game script export failed."), llError);
        for (const QString& error : result.Errors)
            AddLog(QStringLiteral("  ") + error, llError);
        return;
    }
    AddLog(QStringLiteral("Game script export complete: ") + result.FilesGenerated.join(QStringLiteral(", ")));
    if (!result.Warnings.isEmpty())
        AddLog(QStringLiteral("%1 warnings during export.").arg(result.Warnings.size()), llWarning);
}

template <class TImporter>
void TMainForm::RunImport(const QString& kind, const QString& title, const QString& fileTypes)
{
    QString file;
    if (!FDialogs->AskOpenFileName(title, fileTypes, file) || file.isEmpty())
        return;
    std::unique_ptr<TDialogueProject> imported;
    TImporter importer;
    const auto result = [&] {
        TBusyCursor busy;
        return importer.ImportFromFile(file, imported);
    }();
    if (!result.Success || !imported) {
        AddLog(kind + QStringLiteral(" import failed."), llError);
        for (const QString& error : result.Errors)
            AddLog(QStringLiteral("  ") + error, llError);
        return;
    }
    // The import replaces the project without asking; the undo point keeps
    // the replaced document reachable.
    if (FProject)
        RecordUndoPoint();
    imported->SetName(BaseNameWithoutExtension(file));
    // Saving must ask for a name: the project file would replace the
    // imported script, message or FMF file.
    imported->SetFilePath(QString());
    ReplaceProject(std::move(imported), true);
    AddLog(kind + QStringLiteral(" import complete: %1 nodes imported.").arg(result.NodeCount));
    if (result.WarningCount > 0)
        AddLog(QStringLiteral("%1 warnings during import.").arg(result.WarningCount), llWarning);
    UpdateTitle();
}

void TMainForm::ImportSSL()
{
    RunImport<TSSLImporter>(QStringLiteral("SSL"), QStringLiteral("Import .SSL Script"),
                            QStringLiteral("SSL Script|*.ssl|All Files|*.*"));
}

void TMainForm::ImportMSG()
{
    RunImport<TMSGImporter>(QStringLiteral("MSG"), QStringLiteral("Import .MSG File"),
                            QStringLiteral("MSG File|*.msg|All Files|*.*"));
}

void TMainForm::ImportFMF()
{
    RunImport<TFMFImporter>(QStringLiteral("FMF"), QStringLiteral("Import .FMF File"),
                            QStringLiteral("FMF File|*.fmf|All Files|*.*"));
}
