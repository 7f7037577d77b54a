#include "project/ProjectManager.h"

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "model/AtomicFileWriter.h"
#include "model/DateTimeText.h"
#include "model/TextEncoding.h"
#include "project/AppPaths.h"

#include <QFile>
#include <QFileInfo>

namespace {

const int MaxRecentInFile = 10;
const QLatin1String FMFExtension(".fmf");

bool HasFMFExtension(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("fmf"), Qt::CaseInsensitive) == 0;
}

// The last path component, after either kind of folder delimiter.
QString LastComponent(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

// From the last dot of the last component on, replaced; appended when
// that component has no dot.
QString WithExtension(const QString& path, const QString& extension)
{
    const qsizetype componentStart = path.size() - LastComponent(path).size();
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= componentStart ? path.left(dot) + extension : path + extension;
}

}

const QString TProjectManager::OpenTitle = QStringLiteral("Open Dialogue Project");
const QString TProjectManager::OpenFileTypes = QStringLiteral("Tallowin|*.tlw;*.json;*.fmf|All Files|*.*");
const QString TProjectManager::SaveTitle = QStringLiteral("Save Dialogue Project");
const QString TProjectManager::SaveFileTypes =
    QStringLiteral("Tallowin|*.tlw|JSON File|*.json|FMF File|*.fmf|All Files|*.*");

TProjectManager::TProjectManager(IProjectDialogs* dialogs)
    : FDialogs(dialogs),
      FRecentFile(AppPaths::BesideExecutable(AppPaths::ExecutableBaseName() + QStringLiteral(".recent")))
{
    LoadRecentFile();
}

std::unique_ptr<TDialogueProject> TProjectManager::NewProject() const
{
    auto project = std::make_unique<TDialogueProject>();
    project->SetName(QStringLiteral("New Dialogue"));
    return project;
}

std::unique_ptr<TDialogueProject> TProjectManager::OpenProject(const QString& path)
{
    QString target = path;
    if (target.isEmpty() && !(FDialogs && FDialogs->AskOpenFileName(OpenTitle, OpenFileTypes, target)))
        return nullptr;
    if (target.isEmpty() || !QFileInfo(target).isFile())
        return nullptr;

    if (HasFMFExtension(target)) {
        TFMFImporter importer;
        std::unique_ptr<TDialogueProject> project;
        const TFMFImportResult result = importer.ImportFromFile(target, project);
        if (!result.Success || !project)
            return nullptr;
        AddToRecent(target, project->Name());
        return project;
    }

    auto project = std::make_unique<TDialogueProject>();
    if (!project->LoadFromFile(target))
        return nullptr;
    AddToRecent(target, project->Name());
    return project;
}

bool TProjectManager::SaveProject(TDialogueProject* project, bool saveAs)
{
    if (!project)
        return false;
    QString target = project->FilePath();
    int chosenType = -1;
    if (saveAs || target.isEmpty()) {
        QString chosen;
        if (!FDialogs
            || !FDialogs->AskSaveFileName(SaveTitle, SaveFileTypes, QStringLiteral("tlw"),
                                          ProposedSaveName(project->Name()), chosen, chosenType)
            || chosen.isEmpty())
            return false;
        target = chosen;
        if (chosenType == SaveTypeFMF && !HasFMFExtension(target))
            target = WithExtension(target, FMFExtension);
    }

    if (HasFMFExtension(target))
        SaveAsFMF(*project, target);
    else if (!project->SaveToFile(target))
        return false;
    AddToRecent(target, project->Name());
    return true;
}

void TProjectManager::SaveAsFMF(TDialogueProject& project, const QString& path)
{
    TFMFExporter exporter;
    const TFMFExportResult result = exporter.ExportToFile(&project, path);
    if (!result.Success)
        throw EDialogueError(result.Errors.join(QLatin1Char('\n')));
    project.SetFilePath(path);
    project.SetModified(false);
    project.SetModifiedDate(DateTimeText::Now());
}

QString TProjectManager::ProposedSaveName(const QString& projectName)
{
    const QString name = LastComponent(projectName);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? name.left(dot) : name;
}

void TProjectManager::AddToRecent(const QString& path, const QString& name)
{
    QVector<TRecentProject> list;
    list.reserve(FRecentProjects.size() + 1);
    list.append(TRecentProject{path, name, DateTimeText::Now()});
    for (const TRecentProject& entry : std::as_const(FRecentProjects))
        if (entry.Path != path)
            list.append(entry);
    FRecentProjects = std::move(list);
    SaveRecentFile();
}

void TProjectManager::LoadRecentFile()
{
    FRecentProjects.clear();
    QFile file(FRecentFile);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QString text = TextEncoding::DecodeText(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();   // the break after the last line starts no entry
    const TDateTime now = DateTimeText::Now();
    for (QString line : std::as_const(lines)) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            FRecentProjects.append(TRecentProject{QString(), QString(), now});
        else
            FRecentProjects.append(TRecentProject{line.left(eq), line.mid(eq + 1), now});
    }
}

void TProjectManager::SaveRecentFile() const
{
    QString text;
    const int count = std::min<int>(MaxRecentInFile, FRecentProjects.size());
    for (int i = 0; i < count; ++i)
        text += FRecentProjects[i].Path + QLatin1Char('=') + FRecentProjects[i].Name + QLatin1String("\r\n");
    const QByteArray bytes = text.toUtf8();
    QString error;
    if (!TAtomicFileWriter::WriteFile(FRecentFile, bytes, &error))
        throw EDialogueError(error);
}
