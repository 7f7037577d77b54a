// The project manager: new, open, save, save as, FMF files and the recent
// file beside the executable, with the file dialogs played by a fake.

#include "interchange/FMFExporter.h"
#include "project/AppPaths.h"
#include "project/ProjectManager.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TFakeDialogs : public IProjectDialogs {
public:
    bool AskOpenFileName(const QString& title, const QString& fileTypes, QString& fileName) override
    {
        ++OpenCalls;
        Title = title;
        FileTypes = fileTypes;
        fileName = Answer;
        return !Cancel;
    }

    bool AskSaveFileName(const QString& title, const QString& fileTypes, const QString& defaultExtension,
                         const QString& proposedName, QString& fileName, int& chosenType) override
    {
        ++SaveCalls;
        Title = title;
        FileTypes = fileTypes;
        DefaultExtension = defaultExtension;
        ProposedName = proposedName;
        fileName = Answer;
        chosenType = ChosenType;
        return !Cancel;
    }

    QString Answer;
    int ChosenType = 0;
    bool Cancel = false;
    int OpenCalls = 0;
    int SaveCalls = 0;
    QString Title, FileTypes, DefaultExtension, ProposedName;
};

class ProjectManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        AppPaths::SetBaseDirOverride(FDir.filePath(QStringLiteral("bin")));
        QDir().mkpath(FDir.filePath(QStringLiteral("bin")));
    }
    void TearDown() override { AppPaths::SetBaseDirOverride(QString()); }

    QString Path(const QString& name) const { return FDir.filePath(name); }

    // A saved project file with one node, named `projectName`.
    QString SavedProject(const QString& fileName, const QString& projectName = QStringLiteral("Saved"))
    {
        TDialogueProject project;
        project.SetName(projectName);
        project.AddNode(ntNPCDialogue)->SetText(QStringLiteral("hello"));
        project.SaveToFile(Path(fileName));
        return Path(fileName);
    }

    QByteArray RecentText(const TProjectManager& manager) const { return TestSupport::ReadFile(manager.RecentFile()); }

    QTemporaryDir FDir;
    TFakeDialogs FDialogs;
};

}

TEST_F(ProjectManagerTest, RecentFileSitsBesideTheExecutable)
{
    TProjectManager manager(&FDialogs);
    EXPECT_EQ(manager.RecentFile(), QDir(Path(QStringLiteral("bin"))).filePath(AppPaths::ExecutableBaseName() + QStringLiteral(".recent")));
    EXPECT_TRUE(manager.GetRecent().isEmpty());
}

TEST_F(ProjectManagerTest, NewProjectIsEmptyAndNamed)
{
    TProjectManager manager;
    const auto project = manager.NewProject();
    ASSERT_TRUE(project);
    EXPECT_EQ(project->Name(), QStringLiteral("New Dialogue"));
    EXPECT_EQ(project->NodeCount(), 0);
}

TEST_F(ProjectManagerTest, OpenProjectFilesOfAnyExtension)
{
    TProjectManager manager(&FDialogs);
    for (const char* name : {"a.tlw", "b.json", "c.dialogue"}) {
        const QString path = SavedProject(QString::fromLatin1(name), QStringLiteral("Guard"));
        const auto project = manager.OpenProject(path);
        ASSERT_TRUE(project) << name;
        EXPECT_EQ(project->NodeCount(), 1);
        EXPECT_EQ(manager.GetRecent().first().Path, path);
        EXPECT_EQ(manager.GetRecent().first().Name, QStringLiteral("Guard"));
        EXPECT_GT(manager.GetRecent().first().LastOpened, 0.0);
    }
    EXPECT_EQ(FDialogs.OpenCalls, 0);
    EXPECT_EQ(RecentText(manager), (Path(QStringLiteral("c.dialogue")) + QStringLiteral("=Guard\r\n")
                                    + Path(QStringLiteral("b.json")) + QStringLiteral("=Guard\r\n")
                                    + Path(QStringLiteral("a.tlw")) + QStringLiteral("=Guard\r\n")).toUtf8());
}

TEST_F(ProjectManagerTest, WhatCannotBeOpenedGivesNone)
{
    TProjectManager manager(&FDialogs);
    TestSupport::WriteFile(Path(QStringLiteral("broken.tlw")), "{ not json");
    EXPECT_FALSE(manager.OpenProject(Path(QStringLiteral("missing.tlw"))));
    EXPECT_FALSE(manager.OpenProject(Path(QStringLiteral("broken.tlw"))));
    EXPECT_FALSE(manager.OpenProject(FDir.path()));
    EXPECT_TRUE(manager.GetRecent().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(manager.RecentFile()));
}

TEST_F(ProjectManagerTest, OpenWithoutPathAsksForOne)
{
    TProjectManager manager(&FDialogs);
    FDialogs.Cancel = true;
    EXPECT_FALSE(manager.OpenProject());
    EXPECT_EQ(FDialogs.OpenCalls, 1);
    EXPECT_EQ(FDialogs.Title, QStringLiteral("Open Dialogue Project"));
    EXPECT_EQ(FDialogs.FileTypes, QStringLiteral("Tallowin|*.tlw;*.json;*.fmf|All Files|*.*"));

    FDialogs.Cancel = false;
    FDialogs.Answer = SavedProject(QStringLiteral("chosen.tlw"));
    EXPECT_TRUE(manager.OpenProject());

    TProjectManager withoutDialogs;
    EXPECT_FALSE(withoutDialogs.OpenProject());
}

TEST_F(ProjectManagerTest, FMFFilesInAnyLetterCaseGoThroughTheFMFReader)
{
    TDialogueProject source;
    source.AddNode(ntNPCDialogue)->SetText(QStringLiteral("from fmf"));
    source.AddNode(ntNPCDialogue);
    TFMFExporter exporter;
    for (const char* name : {"one.fmf", "TWO.FMF", "three.Fmf"}) {
        ASSERT_TRUE(exporter.ExportToFile(&source, Path(QString::fromLatin1(name))).Success);
        TProjectManager manager(&FDialogs);
        const auto project = manager.OpenProject(Path(QString::fromLatin1(name)));
        ASSERT_TRUE(project) << name;
        EXPECT_EQ(project->NodeCount(), 2);
        EXPECT_EQ(project->NodeAt(0)->Text(), QStringLiteral("from fmf"));
        EXPECT_EQ(project->Name(), QFileInfo(QString::fromLatin1(name)).completeBaseName());
        EXPECT_EQ(manager.GetRecent().first().Name, project->Name());
    }
}

TEST_F(ProjectManagerTest, OpeningTwiceKeepsOneEntryOnTop)
{
    const QString a = SavedProject(QStringLiteral("a.tlw"), QStringLiteral("A"));
    const QString b = SavedProject(QStringLiteral("b.tlw"), QStringLiteral("B"));
    TProjectManager manager(&FDialogs);
    manager.OpenProject(a);
    manager.OpenProject(b);
    manager.OpenProject(a);
    const QVector<TRecentProject> recent = manager.GetRecent();
    ASSERT_EQ(recent.size(), 2);
    EXPECT_EQ(recent[0].Path, a);
    EXPECT_EQ(recent[1].Path, b);
}

TEST_F(ProjectManagerTest, FileKeepsTenWhileMemoryKeepsAll)
{
    TProjectManager manager(&FDialogs);
    for (int i = 0; i < 12; ++i)
        manager.AddToRecent(QStringLiteral("/p/%1.tlw").arg(i), QStringLiteral("P%1").arg(i));
    EXPECT_EQ(manager.GetRecent().size(), 12);
    QStringList lines = QString::fromUtf8(RecentText(manager)).split(QStringLiteral("\r\n"));
    lines.removeLast();
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines.first(), QStringLiteral("/p/11.tlw=P11"));
    EXPECT_EQ(lines.last(), QStringLiteral("/p/2.tlw=P2"));

    TProjectManager restarted(&FDialogs);
    ASSERT_EQ(restarted.GetRecent().size(), 10);
    EXPECT_EQ(restarted.GetRecent().first().Path, QStringLiteral("/p/11.tlw"));
    EXPECT_EQ(restarted.GetRecent().first().Name, QStringLiteral("P11"));
}

TEST_F(ProjectManagerTest, RecentLinesAreCutAtTheFirstEqualsSign)
{
    {
        TProjectManager manager(&FDialogs);
        manager.AddToRecent(QStringLiteral("/odd=path/x.tlw"), QStringLiteral("Name"));
    }
    QByteArray text = TestSupport::ReadFile(TProjectManager(&FDialogs).RecentFile());
    text += "no equals sign\nlf=only\n";
    for (int i = 0; i < 12; ++i)
        text += "/more/" + QByteArray::number(i) + "=M\r\n";
    TestSupport::WriteFile(TProjectManager(&FDialogs).RecentFile(), text);
    TProjectManager manager(&FDialogs);
    const QVector<TRecentProject> recent = manager.GetRecent();
    ASSERT_EQ(recent.size(), 15);   // every line is taken, even past ten
    EXPECT_EQ(recent[0].Path, QStringLiteral("/odd"));
    EXPECT_EQ(recent[0].Name, QStringLiteral("path/x.tlw=Name"));
    EXPECT_TRUE(recent[1].Path.isEmpty());
    EXPECT_TRUE(recent[1].Name.isEmpty());
    EXPECT_EQ(recent[2].Path, QStringLiteral("lf"));
    EXPECT_EQ(recent[2].Name, QStringLiteral("only"));
}

TEST_F(ProjectManagerTest, SaveWithAPathAsksNothing)
{
    TProjectManager manager(&FDialogs);
    EXPECT_FALSE(manager.SaveProject(nullptr, false));
    TDialogueProject project;
    project.SetName(QStringLiteral("Known"));
    project.SetFilePath(Path(QStringLiteral("known.tlw")));
    project.SetModified(true);
    EXPECT_TRUE(manager.SaveProject(&project, false));
    EXPECT_EQ(FDialogs.SaveCalls, 0);
    EXPECT_FALSE(project.Modified());
    EXPECT_TRUE(TestSupport::ReadFile(Path(QStringLiteral("known.tlw"))).startsWith("\xEF\xBB\xBF{"));
    EXPECT_EQ(manager.GetRecent().first().Path, Path(QStringLiteral("known.tlw")));
    EXPECT_EQ(manager.GetRecent().first().Name, QStringLiteral("Known"));
}

TEST_F(ProjectManagerTest, SaveAsAsksWithTheProposedName)
{
    TProjectManager manager(&FDialogs);
    struct Case {
        const char* Name;
        const char* Proposed;
    };
    const Case cases[] = {{"Town Guard.old", "Town Guard"}, {"Plain", "Plain"}, {"dir/sub/a.b.c", "a.b"},
                          {"C:\\games\\npc.tlw", "npc"}};
    for (const Case& c : cases) {
        TDialogueProject project;
        project.SetName(QString::fromLatin1(c.Name));
        project.SetFilePath(Path(QStringLiteral("had.tlw")));
        FDialogs.Cancel = true;
        EXPECT_FALSE(manager.SaveProject(&project, true));
        EXPECT_EQ(FDialogs.ProposedName, QString::fromLatin1(c.Proposed)) << c.Name;
    }
    EXPECT_EQ(FDialogs.Title, QStringLiteral("Save Dialogue Project"));
    EXPECT_EQ(FDialogs.FileTypes, QStringLiteral("Tallowin|*.tlw|JSON File|*.json|FMF File|*.fmf|All Files|*.*"));
    EXPECT_EQ(FDialogs.DefaultExtension, QStringLiteral("tlw"));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("had.tlw"))));
    EXPECT_TRUE(manager.GetRecent().isEmpty());

    // A project without a file asks even without saveAs.
    TDialogueProject unnamed;
    FDialogs.Cancel = false;
    FDialogs.Answer = Path(QStringLiteral("first.tlw"));
    EXPECT_TRUE(manager.SaveProject(&unnamed, false));
    EXPECT_EQ(unnamed.FilePath(), Path(QStringLiteral("first.tlw")));
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("first.tlw"))));
}

TEST_F(ProjectManagerTest, ChoosingFMFWritesFMFThatOpensAgain)
{
    TProjectManager manager(&FDialogs);
    TDialogueProject project;
    project.SetName(QStringLiteral("Guard"));
    project.AddNode(ntNPCDialogue)->SetText(QStringLiteral("Halt"));
    project.SetModified(true);
    struct Case {
        const char* Answer;
        int Type;
        const char* Written;
    };
    const Case cases[] = {{"guard", TProjectManager::SaveTypeFMF, "guard.fmf"},
                          {"guard.tlw", TProjectManager::SaveTypeFMF, "guard.fmf"},
                          {"other.FMF", 0, "other.FMF"}};
    for (const Case& c : cases) {
        FDialogs.Answer = Path(QString::fromLatin1(c.Answer));
        FDialogs.ChosenType = c.Type;
        ASSERT_TRUE(manager.SaveProject(&project, true)) << c.Answer;
        const QString written = Path(QString::fromLatin1(c.Written));
        EXPECT_EQ(project.FilePath(), written);
        EXPECT_FALSE(project.Modified());
        EXPECT_TRUE(TestSupport::ReadFile(written).startsWith("/*\r\n    Fan Made Fallout Dialogue Tool")) << c.Answer;
        EXPECT_EQ(manager.GetRecent().first().Path, written);
        const auto reopened = manager.OpenProject(written);
        ASSERT_TRUE(reopened) << c.Answer;
        EXPECT_EQ(reopened->NodeAt(0)->Text(), QStringLiteral("Halt"));
    }
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("guard.tlw"))));
}

TEST_F(ProjectManagerTest, WriteErrorsPassThroughAndLeaveTheListAlone)
{
    TProjectManager manager(&FDialogs);
    TDialogueProject project;
    project.SetFilePath(Path(QStringLiteral("no/such/folder/x.tlw")));
    EXPECT_THROW(manager.SaveProject(&project, false), EDialogueError);
    project.SetFilePath(Path(QStringLiteral("no/such/folder/x.fmf")));
    EXPECT_THROW(manager.SaveProject(&project, false), EDialogueError);
    EXPECT_TRUE(manager.GetRecent().isEmpty());
}

TEST_F(ProjectManagerTest, FullDiskKeepsTheRecentFileAndSaysWhy)
{
    for (const int size : {TestSupport::FullDiskSmallBytes, TestSupport::FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        TProjectManager manager(&FDialogs);
        manager.AddToRecent(Path(QStringLiteral("old.tlw")), QString(size, QLatin1Char('o')));
        const QByteArray before = RecentText(manager);
        TestSupport::ExpectFullDiskKeepsTheFile(manager.RecentFile(), before, before.size(), [&] {
            return TestSupport::RaisedError(
                [&] { manager.AddToRecent(Path(QStringLiteral("new.tlw")), QString(size, QLatin1Char('n'))); });
        });
    }
}

TEST_F(ProjectManagerTest, FullDiskFailsSaveAsFMFAndTheProjectStaysModified)
{
    for (const int size : {TestSupport::FullDiskSmallBytes, TestSupport::FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        TProjectManager manager(&FDialogs);
        TDialogueProject project;
        project.AddNode(ntNPCDialogue)->SetText(QString(size, QLatin1Char('o')));
        FDialogs.Answer = Path(QStringLiteral("guard.fmf"));
        FDialogs.ChosenType = TProjectManager::SaveTypeFMF;
        ASSERT_TRUE(manager.SaveProject(&project, true));
        const QByteArray before = TestSupport::ReadFile(Path(QStringLiteral("guard.fmf")));

        project.NodeAt(0)->SetText(QString(size, QLatin1Char('n')));
        project.SetFilePath(Path(QStringLiteral("earlier.tlw")));
        project.SetModified(true);
        TestSupport::ExpectFullDiskKeepsTheFile(Path(QStringLiteral("guard.fmf")), before, before.size(), [&] {
            return TestSupport::RaisedError([&] { manager.SaveProject(&project, true); });
        });
        EXPECT_TRUE(project.Modified());
        EXPECT_EQ(project.FilePath(), Path(QStringLiteral("earlier.tlw")));
    }
}
