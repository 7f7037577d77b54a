// The main window's export and import commands: they hand the open project
// to an exporter, or replace it with an imported one.

#include "shell/MainForm.h"

#include "export/ExportFiles.h"
#include "export/ExportManager.h"
#include "interchange/FormatRegistry.h"
#include "interchange/GameMessageFile.h"
#include "interchange/ImportLog.h"
#include "shell/BusyCursor.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString FolderWithSeparator(const QString& folder)
{
    return ExportFiles::WithTrailingDelimiter(QDir::toNativeSeparators(folder));
}

QString FilterOf(TExportFormat format)
{
    return TFormatRegistry::Instance().ForExport(format)->FileFilter();
}

const TDialogueFormat& FMFFormat()
{
    return *TFormatRegistry::Instance().ByKey(QStringLiteral("fmf"));
}

}

bool TMainForm::AskExportFile(const QString& title, const QString& fileTypes, const QString& extension,
                              const QString& proposedName, QString& fileName)
{
    int chosenType = 0;
    return FDialogs->AskSaveFileName(title, fileTypes, extension, proposedName, fileName, chosenType)
        && !fileName.isEmpty();
}

void TMainForm::CopyManagerLog(const TExportManager& manager, int fromLine)
{
    const QStringList& lines = manager.Log();
    for (int i = fromLine; i < lines.size(); ++i)
        AddLog(lines[i]);
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
    if (!FProject || !AskExportFile(QStringLiteral("Export Dialogue JSON"), FilterOf(efJSON),
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
    if (!FProject || !AskExportFile(QStringLiteral("Export .MSG File"), FilterOf(efMSG),
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
    if (!FProject || !AskExportFile(QStringLiteral("Export .SSL Script"), FilterOf(efSSL),
                                    QStringLiteral("ssl"), FProject->NPCScript().toLower(), file))
        return;
    TExportManager manager(FProject.get());
    // The script and its messages replace the old pair together: a pair on
    // disk always comes from one export, even after a kill half-way.
    manager.HoldFiles();
    bool ok = RunManagerExport(manager, efSSL, file)
        && RunManagerExport(manager, efMSG, ExportFiles::ChangeFileExt(file, QStringLiteral(".msg")));
    const int logged = int(manager.Log().size());
    if (ok)
        ok = manager.CommitHeldFiles();
    else
        manager.DiscardHeldFiles();
    CopyManagerLog(manager, logged);
    if (ok)
        AddLog(QStringLiteral("SSL/MSG export complete: ") + file);
    else
        AddLog(QStringLiteral("SSL export failed."), llError);
}

void TMainForm::ExportFMF()
{
    QString file;
    if (!FProject || !AskExportFile(QStringLiteral("Export .FMF File"), FMFFormat().FileFilter(),
                                    QStringLiteral("fmf"), FProject->NPCScript().toLower() + QStringLiteral(".fmf"), file))
        return;
    TBusyCursor busy;
    TExportLog log;   // the FMF writer logs nothing; the counts below say it all
    TFormatContext context{TExportOptions(), log};
    context.Options.OutputPath = file;
    const TFormatResult result = FMFFormat().Write(FProject.get(), context);
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

void TMainForm::RunImport(const QString& key, const QString& title)
{
    const TDialogueFormat& format = *TFormatRegistry::Instance().Reader(key);
    QString file;
    if (!FDialogs->AskOpenFileName(title, format.FileFilter(), file) || file.isEmpty())
        return;
    ImportFile(format, file, TReadOptions());
}

void TMainForm::ImportFile(const TDialogueFormat& format, const QString& file, const TReadOptions& options)
{
    const QString kind = format.Key().toUpper();
    std::unique_ptr<TDialogueProject> imported;
    const TReadOutcome outcome = [&] {
        TBusyCursor busy;
        return format.ReadWith(file, options, imported);
    }();
    const TFormatResult& result = outcome.Result;
    if (!result.Success || !imported) {
        AddLog(kind + QStringLiteral(" import failed."), llError);
        for (const QString& line : ImportLog::ErrorLines(result.Errors))
            AddLog(QStringLiteral("  ") + line, llError);
        for (const QString& line : outcome.Report)
            AddLog(QStringLiteral("  ") + ImportLog::Printable(line));
        return;
    }
    // The import replaces the project without asking; the undo point keeps
    // the replaced document reachable.
    if (FProject)
        RecordUndoPoint();
    imported->SetName(ExportFiles::BaseNameWithoutExtension(file));
    // Saving must ask for a name: the project file would replace the
    // imported script, message or FMF file.
    imported->SetFilePath(QString());
    ReplaceProject(std::move(imported), true);
    AddLog(kind + QStringLiteral(" import complete: %1 nodes imported.").arg(result.NodeCount));
    for (const QString& line : outcome.Report)
        AddLog(QStringLiteral("  ") + ImportLog::Printable(line));
    if (result.TotalWarnings() > 0)
        AddLog(QStringLiteral("%1 warnings during import.").arg(result.TotalWarnings()), llWarning);
    UpdateTitle();
}

void TMainForm::ImportGameScript()
{
    const TDialogueFormat& format = *TFormatRegistry::Instance().Reader(QStringLiteral("game"));
    QString script;
    if (!FDialogs->AskOpenFileName(QStringLiteral("Import Game Script"), format.FileFilter(), script)
        || script.isEmpty())
        return;
    // The script's lines live in its message file; when it is in none of
    // the usual places the writer points to it (or goes on without texts).
    TReadOptions options;
    if (TGameMessageFile::Find(script).isEmpty()) {
        QString messages;
        if (FDialogs->AskOpenFileName(QStringLiteral("Choose the Message File of ") + ExportFiles::LastComponent(script),
                                      QStringLiteral("MSG File|*.msg|All Files|*.*"), messages))
            options.CompanionPath = messages;
    }
    ImportFile(format, script, options);
}

void TMainForm::ImportSSL()
{
    RunImport(QStringLiteral("ssl"), QStringLiteral("Import .SSL Script"));
}

void TMainForm::ImportMSG()
{
    RunImport(QStringLiteral("msg"), QStringLiteral("Import .MSG File"));
}

void TMainForm::ImportFMF()
{
    RunImport(QStringLiteral("fmf"), QStringLiteral("Import .FMF File"));
}
