// The main window driven through its menus, buttons and canvas events:
// start-up, document lifecycle, guard, recent list, undo, autosave, themes
// and the command boundary.

#include "canvas/NodeCanvas.h"
#include "shell/ThemeManager.h"

#include "test_canvas_support.h"
#include "test_main_support.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTimer>
#include <QTreeWidget>

using namespace MainTest;

namespace {

const QString Fffd(QChar(0xFFFD));
const QString TitlePrefix = QStringLiteral("Tallowin  ") + Fffd + QStringLiteral("  ");

QStringList Captions(const QMenu* menu)
{
    QStringList captions;
    for (const QAction* a : menu->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
}

QPoint NodeCentre(TNodeCanvas* canvas, const TDialogueNode* n)
{
    const TCanvasRect r = canvas->GetNodeRect(*n);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

class MainWindow : public MainWindowTest {
protected:
    void OpenFile(const QString& path)
    {
        Dialogs->OpenFiles.push_back(path);
        Trigger("miOpenProject");
    }
    void MakeModified()
    {
        Window->findChild<QLineEdit*>("edtProjectName")->setText("Changed");
        Window->findChild<QPushButton*>("btnApplyProject")->click();
        ASSERT_TRUE(Window->Project()->Modified());
    }
};

TEST_F(MainWindow, StartUpLogTitleMenusAndChecks)
{
    EXPECT_EQ(LogTexts(), QStringList({ "  New project created.", "  Tallowin initialized.",
                                        "  Version 1.0.0  |  Desktop Edition",
                                        "  Right-click on the canvas to add nodes.",
                                        "  Double-click a node to open properties." }));
    EXPECT_TRUE(Window->LogLines().first().startsWith('['));
    EXPECT_EQ(Window->windowTitle(), TitlePrefix + "New Dialogue");
    EXPECT_FALSE(Action("miUndo")->isEnabled());
    Window->Undo();
    EXPECT_EQ(LogTexts().last(), "  Nothing to undo.");
    Window->Redo();
    EXPECT_EQ(LogTexts().last(), "  Nothing to redo.");

    const QMenu* file = Window->findChild<QMenu*>("miFile");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(Captions(file), QStringList({ "&New Project", "&Open Project...", "&Save", "Save &As...", "-",
                                            "Export &Game Script...", "-", "E&xit", "-", "Recent Projects" }));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Action(QStringLiteral("miTheme%1").arg(i))->isChecked(), i == 0);
    for (const char* toggle : { "miShowGrid", "miSnapToGrid", "miShowMinimap" })
        EXPECT_TRUE(Action(toggle)->isChecked()) << toggle;
    const QMenu* toolsSub = Window->findChild<QMenu*>("miToolsSub");
    ASSERT_NE(toolsSub, nullptr);
    EXPECT_EQ(toolsSub->title(), "&Tools");
    EXPECT_EQ(Captions(toolsSub), QStringList({ "AI &Sprite Generator..." }));
    EXPECT_EQ(Action("miDeleteSelected")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(Action("miSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));

    const QList<QLabel*> panels = Window->statusBar()->findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* l : panels)
        if (l->property("tlwStatusPanel").toBool())
            texts << l->text();
    EXPECT_EQ(texts, QStringList({ " New Dialogue  []", " Nodes: 0", " Theme: Amber Terminal",
                                     " Locale: " + Window->Project()->ActiveLocale() }));
    EXPECT_EQ(TThemeManager::StyleName(), "Amber Terminal");
}

TEST_F(MainWindow, OpenEditSaveReopenGivesTheSameFile)
{
    const QString path = Path("brana.tlw");
    WriteSampleProject(path);
    OpenFile(path);
    ASSERT_EQ(Window->Project()->NodeCount(), 3);
    EXPECT_EQ(LogTexts().last(), "  Project loaded: Brana Talk  (3 nodes)");
    EXPECT_EQ(Window->windowTitle(), TitlePrefix + "Brana Talk  [brana.tlw]");

    // Tree: root, then groups in order of first occurrence.
    auto* tree = Window->findChild<QTreeWidget*>("tvProject");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Brana Talk  [3 nodes]");
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(0)->text(0), "NPC Dialogue");
    EXPECT_EQ(root->child(0)->child(0)->text(0), "[START] Node001  Brana:  Who goes there?");

    // Selecting through the tree fills the node panel; typing edits the node.
    QTreeWidgetItem* reply = root->child(1)->child(0);
    Q_EMIT tree->itemClicked(reply, 0);
    EXPECT_EQ(Window->SelectedNodeID(), "Node002");
    EXPECT_EQ(Window->findChild<QLabel*>("lblNodeID")->text(), "Node002");
    EXPECT_EQ(Window->findChild<QLabel*>("lblOptions")->text(), "0 option(s)");
    Window->findChild<QLineEdit*>("edtSpeaker")->setText("Player");
    EXPECT_EQ(Window->Project()->FindNode("Node002")->Speaker(), "Player");
    EXPECT_EQ(Window->Project()->FindNode("Node002")->Text(), "A friend.");
    EXPECT_EQ(Window->windowTitle(), TitlePrefix + "Brana Talk *  [brana.tlw]");

    Trigger("miSave");
    EXPECT_EQ(LogTexts().last(), "  Project saved: " + path);
    EXPECT_EQ(Window->windowTitle(), TitlePrefix + "Brana Talk  [brana.tlw]");
    const QByteArray saved = TestSupport::ReadFile(path);

    OpenFile(path);
    EXPECT_EQ(Window->Project()->FindNode("Node002")->Speaker(), "Player");
    Trigger("miSave");
    EXPECT_EQ(WithoutSaveTime(TestSupport::ReadFile(path)), WithoutSaveTime(saved));
    EXPECT_TRUE(saved.startsWith("\xEF\xBB\xBF{\r\n"));
}

TEST_F(MainWindow, GuardAnswersDecideWhetherNewGoesOn)
{
    struct Case { const char* name; std::vector<TDialogAnswer> answers; QString saveTo; bool replaced; bool saved; };
    const Case cases[] = {
        { "cancel", { daCancel }, QString(), false, false },
        { "no", { daNo }, QString(), true, false },
        { "yes, save dialog cancelled", { daYes }, QString(), true, false },
        { "yes, saved", { daYes }, QStringLiteral("guarded.tlw"), true, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewWindow();
        MakeModified();
        Dialogs->Answers.assign(c.answers.begin(), c.answers.end());
        Dialogs->SaveFiles.push_back(c.saveTo.isEmpty() ? QString() : Path(c.saveTo));
        Trigger("miNewProject");
        ASSERT_EQ(Dialogs->Questions.size(), 1);
        EXPECT_EQ(Dialogs->Questions[0],
                  "The current project has unsaved changes.\r\nDo you want to save before proceeding?");
        EXPECT_EQ(Window->Project()->Name(), c.replaced ? "New Dialogue" : "Changed");
        EXPECT_EQ(QFileInfo::exists(Path(c.saveTo)) && !c.saveTo.isEmpty(), c.saved);
    }
}

TEST_F(MainWindow, GuardOnOpenAndClose)
{
    const QString path = Path("a.tlw");
    WriteSampleProject(path);
    MakeModified();
    Dialogs->Answers = { daCancel };
    OpenFile(path);
    EXPECT_EQ(Window->Project()->Name(), "Changed");
    EXPECT_EQ(Dialogs->OpenFiles.size(), 1u);   // no dialog after Cancel

    Window->show();
    Dialogs->Answers = { daCancel };
    EXPECT_FALSE(Window->close());
    EXPECT_TRUE(Window->isVisible());

    // No: the window closes and leaves the unsaved work as an autosave copy.
    Dialogs->Answers = { daNo };
    EXPECT_TRUE(Window->close());
    const QString copy = QFileInfo(AppPaths::BesideExecutable(AppPaths::ExecutableBaseName())).filePath()
        + "_autosave.tlw";
    ASSERT_TRUE(QFileInfo::exists(copy)) << copy.toStdString();
    TDialogueProject reread;
    ASSERT_TRUE(reread.LoadFromFile(copy));
    EXPECT_EQ(reread.Name(), "Changed");

    // The next start offers it.
    NewWindow();
    Dialogs->Answers = { daYes };
    Window->OfferStartupRecovery();
    ASSERT_EQ(Dialogs->Questions.size(), 1);
    EXPECT_EQ(Window->Project()->Name(), "Changed");
    EXPECT_TRUE(Window->Project()->Modified());
    EXPECT_TRUE(Window->Project()->FilePath().isEmpty());
}

TEST_F(MainWindow, RecentListAfterSeveralOpens)
{
    for (const char* name : { "one.tlw", "two.tlw", "three.tlw" })
        WriteSampleProject(Path(name));
    OpenFile(Path("one.tlw"));
    OpenFile(Path("two.tlw"));
    OpenFile(Path("one.tlw"));
    OpenFile(Path("three.tlw"));
    const QStringList expected = { Path("three.tlw"), Path("one.tlw"), Path("two.tlw") };
    EXPECT_EQ(Window->RecentProjects().Items(), expected);
    const QMenu* file = Window->findChild<QMenu*>("miFile");
    const QStringList captions = Captions(file);
    EXPECT_EQ(captions.mid(captions.indexOf("Recent Projects")),
              QStringList({ "Recent Projects", "&1 three.tlw", "&2 one.tlw", "&3 two.tlw" }));

    // Saving does not touch the list; a new window reads it back.
    Trigger("miSave");
    NewWindow();
    EXPECT_EQ(Window->RecentProjects().Items(), expected);
    Trigger("miRecent2");
    EXPECT_EQ(Window->Project()->FilePath(), Path("two.tlw"));
    EXPECT_EQ(Window->RecentProjects().Items().first(), Path("two.tlw"));

    // An entry whose file has gone opens nothing.
    QFile::remove(Path("one.tlw"));
    const QStringList before = Window->LogLines();
    Trigger("miRecent2");
    EXPECT_EQ(Window->LogLines(), before);
    EXPECT_EQ(Window->Project()->FilePath(), Path("two.tlw"));
}

TEST_F(MainWindow, UndoRedoOfDeleteRestoresTheExactProject)
{
    WriteSampleProject(Path("a.tlw"));
    OpenFile(Path("a.tlw"));
    const QString original = DocumentText(*Window->Project());
    Trigger("miSelectAll");
    Dialogs->Answers = { daNo };
    Trigger("miDeleteSelected");
    EXPECT_EQ(Window->Project()->NodeCount(), 3);
    Dialogs->Answers = { daYes };
    Trigger("miDeleteSelected");
    EXPECT_EQ(Dialogs->Questions.last(), "Delete 3 selected node(s)?");
    EXPECT_EQ(LogTexts().last(), "  Deleted 3 node(s).");
    EXPECT_EQ(Window->Project()->NodeCount(), 0);
    ASSERT_TRUE(Action("miUndo")->isEnabled());

    Trigger("miUndo");
    EXPECT_EQ(LogTexts().last(), "  Undo: (state restored)");
    EXPECT_EQ(DocumentText(*Window->Project()), original);
    EXPECT_TRUE(Window->Project()->Modified());
    EXPECT_FALSE(Action("miUndo")->isEnabled());
    EXPECT_TRUE(Action("miRedo")->isEnabled());
    EXPECT_EQ(Window->findChild<QTreeWidget*>("tvProject")->topLevelItem(0)->text(0), "Brana Talk  [3 nodes]");
    EXPECT_TRUE(Window->Canvas()->SelectedNodes().isEmpty());

    Trigger("miRedo");
    EXPECT_EQ(LogTexts().last(), "  Redo: (state restored)");
    EXPECT_EQ(Window->Project()->NodeCount(), 0);
}

TEST_F(MainWindow, ConnectionsAreWrittenLoggedAndUndone)
{
    WriteSampleProject(Path("a.tlw"));
    OpenFile(Path("a.tlw"));
    const QString original = DocumentText(*Window->Project());
    TNodeCanvas* canvas = Window->Canvas();

    Q_EMIT canvas->OnConnectionMade("Node001", "Node003", 1);
    EXPECT_EQ(LogTexts().last(), "  Connected Node001 option 1 -> Node003");
    EXPECT_EQ(Window->Project()->FindNode("Node001")->PlayerOptions()[1]->TargetNodeID, "Node003");
    Q_EMIT canvas->OnConnectionMade("Node003", "Node001", -1);
    EXPECT_EQ(LogTexts().last(), "  Connected Node003 -> Node001 (next)");
    EXPECT_EQ(Window->Project()->FindNode("Node003")->NextNodeID(), "Node001");

    const QString beforeBad = DocumentText(*Window->Project());
    Window->Project()->SetModified(false);
    Q_EMIT canvas->OnConnectionMade("Node001", "Node002", 5);
    EXPECT_EQ(LogTexts().last(), "  ERROR: optIdx 5 out of range for Node001 (count=2)");
    EXPECT_EQ(DocumentText(*Window->Project()), beforeBad);
    EXPECT_TRUE(Window->Project()->Modified());

    const int lines = Window->LogLines().size();
    Q_EMIT canvas->OnConnectionMade("Node404", "Node001", -1);   // missing source: nothing
    EXPECT_EQ(Window->LogLines().size(), lines);

    Trigger("miUndo");
    Trigger("miUndo");
    Trigger("miUndo");
    EXPECT_EQ(DocumentText(*Window->Project()), original);
}

TEST_F(MainWindow, DragOnTheCanvasIsOneUndoPoint)
{
    WriteSampleProject(Path("a.tlw"));
    OpenFile(Path("a.tlw"));
    Window->show();
    TNodeCanvas* canvas = Window->Canvas();
    TDialogueNode* node = Window->Project()->FindNode("Node002");
    const int x0 = node->X(), y0 = node->Y();
    const QString original = DocumentText(*Window->Project());

    // A click that moves nothing leaves no undo point.
    CanvasTest::Click(canvas, NodeCentre(canvas, node));
    EXPECT_EQ(Window->SelectedNodeID(), "Node002");
    EXPECT_FALSE(Window->History().CanUndo());

    const QPoint from = NodeCentre(canvas, node);
    CanvasTest::Drag(canvas, from, from + QPoint(120, 80));
    node = Window->Project()->FindNode("Node002");
    ASSERT_NE(node->X(), x0);
    const int x1 = node->X(), y1 = node->Y();
    EXPECT_EQ(Window->History().UndoCount(), 1);
    EXPECT_TRUE(Window->windowTitle().contains(" *"));

    Trigger("miUndo");
    node = Window->Project()->FindNode("Node002");
    EXPECT_EQ(QPoint(node->X(), node->Y()), QPoint(x0, y0));
    EXPECT_EQ(DocumentText(*Window->Project()), original);
    EXPECT_EQ(Window->SelectedNodeID(), "Node002");   // the node still exists: still selected
    Trigger("miRedo");
    node = Window->Project()->FindNode("Node002");
    EXPECT_EQ(QPoint(node->X(), node->Y()), QPoint(x1, y1));
}

TEST_F(MainWindow, AddNodeButtonsSetAsStartAndProjectInfo)
{
    Window->show();
    Window->findChild<QToolButton*>(QStringLiteral("btnAdd%1").arg(int(ntPlayerReply)))->click();
    ASSERT_EQ(Window->Project()->NodeCount(), 1);
    EXPECT_EQ(LogTexts().last(), "  Added node: Player Reply");
    EXPECT_EQ(Window->SelectedNodeID(), Window->Project()->NodeAt(0)->ID());
    EXPECT_EQ(Window->findChild<QLabel*>("lblNodes")->text(), "Nodes: 1  |  Selected: 1");
    EXPECT_TRUE(Window->History().CanUndo());

    Window->findChild<QPushButton*>("btnSetStart")->click();
    EXPECT_EQ(LogTexts().last(), "  Start node set to: Node001");
    EXPECT_EQ(Window->Project()->StartNodeID(), "Node001");
    EXPECT_EQ(Window->findChild<QLineEdit*>("edtStartNode")->text(), "Node001");
    EXPECT_EQ(Window->findChild<QPushButton*>("btnSetStart")->text(), "? [START NODE]");

    Window->findChild<QLineEdit*>("edtNPCName")->setText("Brana");
    Window->findChild<QPushButton*>("btnApplyProject")->click();
    EXPECT_EQ(LogTexts().last(), "  Project info updated.");
    EXPECT_EQ(Window->Project()->NPCName(), "Brana");

    Trigger("miUndo");
    Trigger("miUndo");
    Trigger("miUndo");
    EXPECT_EQ(Window->Project()->NodeCount(), 0);
    EXPECT_EQ(Window->findChild<QLabel*>("lblNodeID")->text(), Fffd);
    EXPECT_FALSE(Window->findChild<QPushButton*>("btnEditProperties")->isEnabled());
}

TEST_F(MainWindow, AutoSaveTickWritesACopyOnlyWhenModified)
{
    const QString path = Path("npc.tlw");
    WriteSampleProject(path);
    OpenFile(path);
    const QString copy = Path("npc.autosave.tlw");
    Window->AutoSaveTick();
    EXPECT_FALSE(QFileInfo::exists(copy));

    MakeModified();
    ASSERT_EQ(TMainForm::AutoSaveIntervalMs, 120000);
    EXPECT_EQ(Window->AutoSaveTimer()->interval(), 120000);
    EXPECT_TRUE(Window->AutoSaveTimer()->isActive());
    Window->AutoSaveTick();
    ASSERT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(LogTexts().last(), "  Auto-saved to: npc.autosave.tlw");
    EXPECT_EQ(Window->Project()->FilePath(), path);
    EXPECT_TRUE(Window->Project()->Modified());
    EXPECT_TRUE(Window->windowTitle().contains(" *"));
    TDialogueProject reread;
    ASSERT_TRUE(reread.LoadFromFile(copy));
    EXPECT_EQ(reread.Name(), "Changed");

    // Reopening offers the newer copy.
    Dialogs->Answers = { daNo, daYes };
    QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    OpenFile(path);
    ASSERT_EQ(Dialogs->Questions.size(), 2);
    EXPECT_TRUE(Dialogs->Questions[1].startsWith("An auto-saved copy newer than this project was found:"));
    EXPECT_EQ(Window->Project()->Name(), "Changed");
    EXPECT_EQ(Window->Project()->FilePath(), path);
    EXPECT_TRUE(Window->Project()->Modified());

    // Saving makes the copy stale; it goes.
    Trigger("miSave");
    EXPECT_FALSE(QFileInfo::exists(copy));
}

TEST_F(MainWindow, FailedAutoSaveIsLoggedAndTheProjectStaysModified)
{
    MakeModified();
    Window->Project()->SetFilePath(Path("gone/folder/npc.tlw"));
    Window->AutoSaveTick();
    const QStringList texts = LogTexts();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts[texts.size() - 2], " ? Auto-save failed.");
    EXPECT_TRUE(Window->Project()->Modified());
}

TEST_F(MainWindow, ThemeSwitchRecoloursCanvasAndPanels)
{
    Window->show();
    TNodeCanvas* canvas = Window->Canvas();
    QWidget* left = Window->findChild<QWidget*>("pnlLeft");
    const QColor canvasBefore = canvas->RenderToImage().pixelColor(5, canvas->height() - 5);
    const QColor panelBefore = left->palette().color(QPalette::Window);

    Trigger("miTheme3");
    EXPECT_EQ(TThemeManager::StyleName(), "Red Alert");
    EXPECT_EQ(LogTexts().last(), "  Theme changed to: Red Alert");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Action(QStringLiteral("miTheme%1").arg(i))->isChecked(), i == 3);
    const TTLWTheme& red = TThemeManager::Current();
    EXPECT_EQ(left->palette().color(QPalette::Window),
              QColor(ColorRed(red.BgMedium), ColorGreen(red.BgMedium), ColorBlue(red.BgMedium)));
    EXPECT_NE(left->palette().color(QPalette::Window), panelBefore);
    EXPECT_NE(canvas->RenderToImage().pixelColor(5, canvas->height() - 5), canvasBefore);
    const auto* log = Window->findChild<QPlainTextEdit*>("memoLog");
    EXPECT_EQ(log->palette().color(QPalette::Base),
              QColor(ColorRed(red.BgDark), ColorGreen(red.BgDark), ColorBlue(red.BgDark)));
    EXPECT_EQ(log->font().family(), "Courier New");
    EXPECT_EQ(Window->statusBar()->findChildren<QLabel*>()[2]->text(), " Theme: Red Alert");
    Trigger("miTheme0");
}

TEST_F(MainWindow, ErrorsInsideACommandShowABoxAndLeaveTheProject)
{
    WriteSampleProject(Path("good.tlw"));
    OpenFile(Path("good.tlw"));
    TestSupport::WriteFile(Path("lone.tlw"), "42");
    OpenFile(Path("lone.tlw"));
    ASSERT_EQ(Dialogs->Errors.size(), 1);
    EXPECT_TRUE(Dialogs->Errors[0].contains("does not hold a JSON object"));
    EXPECT_EQ(Window->Project()->FilePath(), Path("good.tlw"));
    EXPECT_EQ(Window->Project()->NodeCount(), 3);

    // Not JSON at all: nothing happens, nothing is logged.
    TestSupport::WriteFile(Path("junk.tlw"), QByteArray("\x00\x01garbage", 9));
    const QStringList before = Window->LogLines();
    OpenFile(Path("junk.tlw"));
    EXPECT_EQ(Window->LogLines(), before);
    EXPECT_EQ(Dialogs->Errors.size(), 1);

    // Still usable.
    Trigger("miNewProject");
    EXPECT_EQ(Window->Project()->Name(), "New Dialogue");
}

TEST_F(MainWindow, LogPanelTogglesAndClears)
{
    Window->show();
    auto* panel = Window->findChild<QWidget*>("pnlBottom");
    auto* toggle = Window->findChild<QPushButton*>("btnToggleLog");
    const int open = panel->height();
    EXPECT_GT(open, 30);
    toggle->click();
    EXPECT_LE(panel->height(), 30);
    toggle->click();
    EXPECT_EQ(panel->height(), 140);
    Window->findChild<QPushButton*>("btnClearLog")->click();
    EXPECT_TRUE(Window->LogLines().isEmpty());
}

TEST_F(MainWindow, AboutShowsTheProgramText)
{
    Trigger("miAbout");
    ASSERT_EQ(Dialogs->Informations.size(), 1);
    EXPECT_TRUE(Dialogs->Informations[0].startsWith("TALLOWIN\r\n"));
}

}
