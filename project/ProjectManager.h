#pragma once
// The project file lifecycle: new, open (project files and FMF files), save
// and save as, and the short list of recently used files kept in a ".recent"
// file beside the executable. File dialogs are asked for through
// IProjectDialogs so the logic runs without a window.

#include "model/DialogueTypes.h"

#include <QString>
#include <QVector>

#include <memory>

struct TRecentProject {
    QString Path;
    QString Name;
    TDateTime LastOpened = 0;   // when added or loaded in this run; not stored
};

// The standard file dialogs. File types are given as "Caption|patterns"
// pairs joined by "|"; the chosen type is its 0-based position.
class IProjectDialogs {
public:
    virtual ~IProjectDialogs() = default;
    // False when the user cancels.
    virtual bool AskOpenFileName(const QString& title, const QString& fileTypes, QString& fileName) = 0;
    virtual bool AskSaveFileName(const QString& title, const QString& fileTypes, const QString& defaultExtension,
                                 const QString& proposedName, QString& fileName, int& chosenType) = 0;
};

class TProjectManager {
public:
    static const QString OpenTitle;       // "Open Dialogue Project"
    static const QString OpenFileTypes;   // "Tallowin|*.tlw;*.json;*.fmf|All Files|*.*"
    static const QString SaveTitle;       // "Save Dialogue Project"
    static const QString SaveFileTypes;   // "Tallowin|*.tlw|JSON File|*.json|FMF File|*.fmf|All Files|*.*"
    static constexpr int SaveTypeFMF = 2;

    // `dialogs` is not owned; without one every dialog counts as cancelled.
    explicit TProjectManager(IProjectDialogs* dialogs = nullptr);

    std::unique_ptr<TDialogueProject> NewProject() const;
    // An empty path asks for one. None for a cancelled dialog, a missing
    // file, a file that is not a project and a failed FMF import; errors
    // raised while reading pass through.
    std::unique_ptr<TDialogueProject> OpenProject(const QString& path = QString());
    // Asks for a name when `saveAs` is set or the project has no file yet.
    // Choosing the FMF type (or a name ending in ".fmf") writes FMF through
    // the FMF writer, since a project file under that name could not be
    // opened again. Write errors are raised.
    bool SaveProject(TDialogueProject* project, bool saveAs);
    void AddToRecent(const QString& path, const QString& name);
    QVector<TRecentProject> GetRecent() const { return FRecentProjects; }

    const QString& RecentFile() const { return FRecentFile; }

private:
    void LoadRecentFile();
    void SaveRecentFile() const;
    void SaveAsFMF(TDialogueProject& project, const QString& path);
    static QString ProposedSaveName(const QString& projectName);

    IProjectDialogs* FDialogs;
    QVector<TRecentProject> FRecentProjects;
    QString FRecentFile;
};
