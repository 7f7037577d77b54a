#include "export/ExportManager.h"

#include "export/ExportFiles.h"
#include "export/GameMessageNumbering.h"
#include "export/GameScriptGenerator.h"
#include "export/LocalizationPack.h"
#include "export/MSGWriter.h"
#include "export/SSLGenerator.h"
#include "model/DialogueTypes.h"
#include "model/JsonText.h"
#include "model/TextEncoding.h"

#include <QFile>
#include <QTime>

namespace {

const char* const FormatNames[ExportFormatCount] = {
    "Dialogue JSON", "Fallout .MSG File", "Fallout .SSL Script", "Localization Pack", "Engine Package",
    "World Map CITY.TXT", "Fallout Map File", "Fallout Frame File", "Complete Mod Package",
    "Game Script and Messages"};

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
    case efGameScript: ExportGameScript(result, opts); break;
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
    return ExportFiles::WriteFileAtomically(path, TextEncoding::Encode(text, encoding), &FLastWriteError);
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

void TExportManager::ExportGameScript(TExportResult& result, const TExportOptions& opts)
{
    if (!RequireProject(result))
        return;
    if (opts.OutputPath.isEmpty()) {
        AddError(result, QStringLiteral("No folder given for the game script"));
        return;
    }
    // Numbers go into the project first: the script and the message file
    // must agree, and the next export must find the same numbers.
    const QVector<TAssignedMessageNumber> assigned = TGameMessageNumbering::Assign(*FProject);
    result.MessagesNumbered = qint32(assigned.size());
    if (!assigned.isEmpty())
        LogMessage(QStringLiteral("Message numbers assigned: %1 (%2 to %3)")
                       .arg(assigned.size())
                       .arg(assigned.first().Number)
                       .arg(assigned.last().Number));

    TGameScriptGenerator generator(*FProject);
    generator.Build();
    // A large project can give a warning per node; the result keeps them
    // all, the log the first ones and how many more there are.
    constexpr int LoggedWarnings = 200;
    const QStringList& warnings = generator.Warnings();
    AddWarnings(result, warnings.mid(0, LoggedWarnings));
    if (warnings.size() > LoggedWarnings) {
        result.Warnings += warnings.mid(LoggedWarnings);
        LogMessage(QStringLiteral("WARNING: ... and %1 more warnings").arg(warnings.size() - LoggedWarnings));
    }

    const QString folder = ExportFiles::WithTrailingDelimiter(opts.OutputPath);
    const QString name = TGameScriptGenerator::ScriptName(*FProject);
    const QString sslPath = folder + name + QStringLiteral(".ssl");
    const QString msgPath = folder + name + QStringLiteral(".msg");
    // Windows-1252 like the games' own files; what it lacks is already a
    // warning of the generator.
    if (WriteFilePair(sslPath, TextEncoding::ToAnsi(generator.Script()), msgPath,
                      TextEncoding::ToAnsi(generator.Messages()))) {
        LogMessage(QStringLiteral("Exported game script: ") + sslPath);
        LogMessage(QStringLiteral("Exported game messages: ") + msgPath);
        result.FilesGenerated << sslPath << msgPath;
    } else {
        AddError(result, QStringLiteral("Failed to write the game script to: ") + folder);
        if (!FLastWriteError.isEmpty())
            LogMessage(FLastWriteError);
    }
    result.Success = result.Errors.isEmpty();
}

// The two files of a game script only make sense together: when the second
// cannot be written, the first is put back as it was, so a failed export
// leaves the earlier pair intact. Every write of the pair goes through here.
bool TExportManager::WriteFilePair(const QString& firstPath, const QByteArray& first, const QString& secondPath,
                                   const QByteArray& second)
{
    FLastWriteError.clear();
    QFile previous(firstPath);
    const bool existed = previous.exists();
    QByteArray before;
    if (existed) {
        if (!previous.open(QIODevice::ReadOnly)) {
            FLastWriteError = QStringLiteral("Cannot read file \"%1\". %2").arg(firstPath, previous.errorString());
            return false;
        }
        before = previous.readAll();
        previous.close();
    }
    if (!ExportFiles::WriteFileAtomically(firstPath, first, &FLastWriteError))
        return false;
    if (ExportFiles::WriteFileAtomically(secondPath, second, &FLastWriteError))
        return true;
    QString ignored;
    if (existed)
        ExportFiles::WriteFileAtomically(firstPath, before, &ignored);
    else
        QFile::remove(firstPath);
    return false;
}
