#include "export/ExportManager.h"

#include "export/ExportFiles.h"
#include "export/LocalizationPack.h"
#include "export/MSGWriter.h"
#include "export/SSLGenerator.h"
#include "model/AtomicFileWriter.h"
#include "model/DialogueTypes.h"
#include "model/JsonText.h"
#include "model/TextEncoding.h"

#include <QTime>

namespace {

const char* const FormatNames[ExportFormatCount] = {
    "Dialogue JSON", "Fallout .MSG File", "Fallout .SSL Script", "Localization Pack", "Engine Package",
    "World Map CITY.TXT", "Fallout Map File", "Fallout Frame File", "Complete Mod Package"};

// Characters no file name may hold on the systems the files travel to.
QString SafeFileName(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        const bool bad = c < QLatin1Char(' ') || QStringLiteral("/\\:*?\"<>|").contains(c);
        out += bad ? QLatin1Char('_') : c;
    }
    return out;
}

} // namespace

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
    if (int(fmt) >= ExportFormatCount)
        return QString();
    return QString::fromLatin1(FormatNames[fmt]);
}

QStringList TExportManager::ValidateBeforeExport() const
{
    return FProject ? FProject->ValidateProject() : QStringList();
}

TExportResult TExportManager::Export(const TExportOptions& opts)
{
    TExportResult result;
    switch (opts.Format) {
    case efJSON: ExportJSON(result, opts); break;
    case efMSG: ExportMSG(result, opts); break;
    case efSSL: ExportSSL(result, opts); break;
    case efLocalization: ExportLocalization(result, opts); break;
    case efPackage: ExportPackage(result, opts); break;
    case efCITYTXT: ExportCITYTXT(result, opts); break;
    case efMAP:
        AddError(result, QStringLiteral("MAP export requires map data configuration"));
        break;
    case efFRM:
        AddError(result, QStringLiteral("FRM export requires frame data configuration"));
        break;
    case efMod: ExportMod(result, opts); break;
    default: break;
    }
    return result;
}

QString TExportManager::PackageBaseName() const
{
    QString name;
    if (FProject) {
        name = FProject->NPCScript().trimmed().toLower();
        if (name.isEmpty())
            name = FProject->NPCName().trimmed().toLower();
    }
    name = SafeFileName(name);
    return name.isEmpty() ? QStringLiteral("dialogue") : name;
}

// ---------------------------------------------------------------------------

void TExportManager::LogMessage(const QString& text)
{
    FLog.append(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + text);
}

void TExportManager::AddError(TExportResult& result, const QString& text)
{
    result.Errors.append(text);
    result.Success = false;
    LogMessage(QStringLiteral("ERROR: ") + text);
}

void TExportManager::AddWarnings(TExportResult& result, const QStringList& warnings)
{
    for (const QString& w : warnings) {
        result.Warnings.append(w);
        LogMessage(QStringLiteral("WARNING: ") + w);
    }
}

bool TExportManager::RequireProject(TExportResult& result)
{
    if (FProject)
        return true;
    AddError(result, QStringLiteral("No project to export"));
    return false;
}

bool TExportManager::WriteTextFile(const QString& path, const QString& text, const QString& encoding)
{
    FLastWriteError.clear();
    const QByteArray bytes = TextEncoding::Encode(text, encoding);
    if (!FHeld)
        return ExportFiles::WriteFileAtomically(path, bytes, &FLastWriteError);
    return ExportFiles::PrepareTarget(path, &FLastWriteError) && FHeld->Add(path, bytes, &FLastWriteError);
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
        LogMessage(QStringLiteral("ERROR: ") + error);
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
        LogMessage(QStringLiteral("Not written: ") + path);
}

void TExportManager::FinishTextExport(TExportResult& result, const TExportOptions& opts, const QString& text,
                                      const QString& successMessage, const QString& failureMessage)
{
    if (WriteTextFile(opts.OutputPath, text, opts.Encoding)) {
        LogMessage(successMessage + opts.OutputPath);
        result.FilesGenerated.append(opts.OutputPath);
    } else {
        AddError(result, failureMessage + opts.OutputPath);
        if (!FLastWriteError.isEmpty())
            LogMessage(FLastWriteError);
    }
    result.Success = result.Errors.isEmpty();
}

void TExportManager::CopyModExporterLog(int fromLine)
{
    const QStringList& lines = FModExporter->Log();
    for (int i = fromLine; i < lines.size(); ++i)
        LogMessage(lines[i]);
}

// ---------------------------------------------------------------------------

void TExportManager::ExportJSON(TExportResult& result, const TExportOptions& opts)
{
    if (!RequireProject(result))
        return;
    const QString text = JsonText::Indented(FProject->ToJSON()) + QLatin1String("\r\n");
    FinishTextExport(result, opts, text, QStringLiteral("Exported JSON: "), QStringLiteral("Failed to write JSON to: "));
}

void TExportManager::ExportMSG(TExportResult& result, const TExportOptions& opts)
{
    if (!RequireProject(result))
        return;
    QStringList warnings;
    const QStringList lines = MSGWriter::BuildMSGLines(*FProject, &warnings);
    AddWarnings(result, warnings);
    FinishTextExport(result, opts, ExportFiles::JoinLines(lines), QStringLiteral("Exported MSG: "),
                     QStringLiteral("Failed to write MSG to: "));
}

void TExportManager::ExportSSL(TExportResult& result, const TExportOptions& opts)
{
    if (!RequireProject(result))
        return;
    TSSLGenerator generator(*FProject);
    const QStringList lines = generator.BuildSSLScript();
    AddWarnings(result, generator.Warnings());
    FinishTextExport(result, opts, ExportFiles::JoinLines(lines), QStringLiteral("Exported SSL: "),
                     QStringLiteral("Failed to write SSL to: "));
}

void TExportManager::ExportLocalization(TExportResult& result, const TExportOptions& opts)
{
    if (!RequireProject(result))
        return;
    const QString text = JsonText::Indented(LocalizationPack::Build(*FProject)) + QLatin1String("\r\n");
    FinishTextExport(result, opts, text, QStringLiteral("Exported localization: "),
                     QStringLiteral("Failed to write localization: "));
}

void TExportManager::ExportPackage(TExportResult& result, const TExportOptions& opts)
{
    // A folder path holds the two files under one name; a file path gives
    // the name, whose extension each file replaces.
    QString base = opts.OutputPath;
    if (ExportFiles::IsFolderPath(base))
        base = ExportFiles::WithTrailingDelimiter(base) + PackageBaseName() + QStringLiteral(".tlw");

    TExportOptions jsonOpts = DefaultOptions();
    jsonOpts.OutputPath = ExportFiles::ChangeFileExt(base, QStringLiteral(".json"));
    TExportResult jsonResult;
    ExportJSON(jsonResult, jsonOpts);

    TExportOptions sslOpts = DefaultOptions();
    sslOpts.OutputPath = ExportFiles::ChangeFileExt(base, QStringLiteral(".ssl"));
    TExportResult sslResult;
    ExportSSL(sslResult, sslOpts);

    // The halves' own lines are already in the log; their errors and
    // warnings also go into the package's result so a failure is never
    // reported with an empty error list.
    for (const TExportResult* part : {&jsonResult, &sslResult}) {
        result.FilesGenerated += part->FilesGenerated;
        result.Warnings += part->Warnings;
        result.Errors += part->Errors;
    }
    result.Success = result.Errors.isEmpty();
    LogMessage(QStringLiteral("Package complete: %1 files generated.").arg(result.FilesGenerated.size()));
}

void TExportManager::ExportCITYTXT(TExportResult& result, const TExportOptions& opts)
{
    const int before = int(FModExporter->Log().size());
    const bool ok = FModExporter->ExportCITYTXT(opts.OutputPath);
    CopyModExporterLog(before);
    if (ok) {
        LogMessage(QStringLiteral("Exported CITY.TXT: ") + opts.OutputPath);
        result.FilesGenerated.append(opts.OutputPath);
        result.Success = true;
    } else {
        AddError(result, QStringLiteral("Failed to export CITY.TXT: ") + opts.OutputPath);
    }
}

void TExportManager::ExportMod(TExportResult& result, const TExportOptions& opts)
{
    const int before = int(FModExporter->Log().size());
    const bool ok = FModExporter->ExportMod(opts.OutputPath);
    CopyModExporterLog(before);
    if (ok) {
        LogMessage(QStringLiteral("Exported Mod: ") + opts.OutputPath);
        const QString folder = ExportFiles::WithTrailingDelimiter(opts.OutputPath);
        result.FilesGenerated << folder + QStringLiteral("CITY.TXT") << folder + QStringLiteral("WORLD.TXT");
        result.Success = true;
    } else {
        AddError(result, QStringLiteral("Failed to export Mod: ") + opts.OutputPath);
    }
}
