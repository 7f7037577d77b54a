// The main window's plain logic: texts, recent list, undo history, project
// copies and the file-dialog filters.

#include "project/gui/QtProjectDialogs.h"
#include "shell/MainFormText.h"
#include "shell/ProjectSnapshot.h"
#include "shell/RecentList.h"
#include "shell/UndoHistory.h"

#include "test_main_support.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Fffd(QChar(0xFFFD));

TEST(MainFormTextTest, WindowTitleFollowsNameModifiedAndFile)
{
    EXPECT_EQ(MainFormText::WindowTitle(nullptr), "Tallowin");
    TDialogueProject p;
    p.SetName(QStringLiteral("New Dialogue"));
    const QString prefix = QStringLiteral("Tallowin  ") + Fffd + QStringLiteral("  ");
    EXPECT_EQ(MainFormText::WindowTitle(&p), prefix + "New Dialogue");
    p.SetModified(true);
    EXPECT_EQ(MainFormText::WindowTitle(&p), prefix + "New Dialogue *");
    p.SetFilePath(QStringLiteral("/home/writer/npc/brana.tlw"));
    EXPECT_EQ(MainFormText::WindowTitle(&p), prefix + "New Dialogue *  [brana.tlw]");
    p.SetModified(false);
    p.SetFilePath(QStringLiteral("brana.tlw"));
    EXPECT_EQ(MainFormText::WindowTitle(&p), prefix + "New Dialogue  [brana.tlw]");
}

TEST(MainFormTextTest, LogLinesMarkWarningsAndErrorsAlike)
{
    const QTime t(9, 5, 7);
    EXPECT_EQ(MainFormText::LogLine(llInfo, "Saved.", t), "[09:05:07]  Saved.");
    EXPECT_EQ(MainFormText::LogLine(llWarning, "Hmm.", t), "[09:05:07] ? Hmm.");
    EXPECT_EQ(MainFormText::LogLine(llError, "Bad.", t), "[09:05:07] ? Bad.");
}

TEST(MainFormTextTest, TreeCaptionsCutIdsAndTexts)
{
    TDialogueProject p;
    p.SetName(QStringLiteral("Town"));
    TDialogueNode* n = p.AddNode(ntNPCDialogue);
    struct Case { QString id, speaker, text; bool start; QString expected; };
    const Case cases[] = {
        { "Node001", "", "", false, "Node001" },
        { "Node001", "Brana", "", false, "Node001  Brana" },
        { "Node001", "", "   ", false, "Node001" },
        { "NodeLongerThanTen", "", "", false, "NodeLonger" },
        { "Node001", "", QString(50, 'x'), false, "Node001:  " + QString(30, 'x') },
        { "Node001", "Brana", "  Hello  ", true, "[START] Node001  Brana:  Hello" },
        { "Node001", "", " \n" + QString(100000, 'x') + " ", false, "Node001:  " + QString(30, 'x') },
    };
    for (const Case& c : cases) {
        n->SetID(c.id);
        n->SetSpeaker(c.speaker);
        n->SetText(c.text);
        n->SetIsStartNode(c.start);
        EXPECT_EQ(MainFormText::TreeNodeCaption(*n), c.expected) << c.expected.toStdString();
    }
    EXPECT_EQ(MainFormText::TreeRootCaption(p), "Town  [1 nodes]");
    TFloatMessage fm;
    fm.Category = QStringLiteral("Idle");
    fm.Text = QString(45, 'y');
    EXPECT_EQ(MainFormText::TreeFloatCaption(fm), "[Idle] " + QString(40, 'y'));
    EXPECT_EQ(MainFormText::TreeFloatGroupCaption(3), "Float Messages  [3]");
}

TEST(MainFormTextTest, CountersStatisticsAndStatus)
{
    EXPECT_EQ(MainFormText::NodeCounter(nullptr, 4), "Nodes: 0  |  Selected: 0");
    EXPECT_EQ(MainFormText::ZoomCounter(1.0f), "Zoom: 100%");
    EXPECT_EQ(MainFormText::ZoomCounter(0.756f), "Zoom: 76%");
    EXPECT_EQ(MainFormText::ZoomCounter(2.0f), "Zoom: 200%");
    TDialogueProject p;
    p.SetName(QStringLiteral("Town"));
    p.SetNPCName(QStringLiteral("Brana"));
    p.SetActiveLocale(QStringLiteral("en"));
    p.AddNode(ntNPCDialogue)->AddOption();
    p.AddNode(ntPlayerReply)->AddOption();
    p.NodeAt(1)->AddOption();
    p.FloatMessages().push_back(std::make_unique<TFloatMessage>());
    EXPECT_EQ(MainFormText::NodeCounter(&p, 1), "Nodes: 2  |  Selected: 1");
    EXPECT_EQ(MainFormText::StatisticsLine(p), "Nodes: 2  |  Options: 3  |  Float msgs: 1");
    EXPECT_EQ(MainFormText::StatusPanels(&p, "Red Alert"),
              QStringList({ " Town  [Brana]", " Nodes: 2", " Theme: Red Alert", " Locale: en" }));
    EXPECT_EQ(MainFormText::StatusPanels(nullptr, "Red Alert"), QStringList({ "No project", "", "", "" }));
}

TEST(MainFormTextTest, AutoSavePathBesideFileOrExecutable)
{
    TDialogueProject p;
    struct Case { QString file, exe, expected; };
    const Case cases[] = {
        { "/data/npc.tlw", "/opt/tlw/Tallowin", "/data/npc.autosave.tlw" },
        { "/data/npc.v2.json", "/opt/tlw/Tallowin", "/data/npc.v2.autosave.tlw" },
        { "/data.d/npc", "/opt/tlw/Tallowin", "/data.d/npc.autosave.tlw" },
        { "", "/opt/tlw/Tallowin", "/opt/tlw/Tallowin_autosave.tlw" },
        { "", "C:\\Tools\\Tallowin.exe", "C:\\Tools\\Tallowin_autosave.tlw" },
    };
    for (const Case& c : cases) {
        p.SetFilePath(c.file);
        EXPECT_EQ(MainFormText::AutoSavePath(p, c.exe), c.expected);
    }
}

TEST(MainFormTextTest, ScriptEditorHeaderIsAddedEachTime)
{
    const QString header =
        QStringLiteral("// Global script editor\r\n// Use this to write shared NPC scripts\r\n\r\n");
    const QString once = MainFormText::ScriptEditorText(QStringLiteral("x = 1;"));
    EXPECT_EQ(once, header + "x = 1;");
    EXPECT_EQ(MainFormText::ScriptEditorText(once), header + header + "x = 1;");
}

TEST(MainFormTextTest, AboutTextLines)
{
    const QStringList lines = MainFormText::AboutText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[0], "TALLOWIN");
    EXPECT_EQ(lines[1], "Version 1.0.0  " + Fffd + "  Desktop Edition");
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_EQ(lines[7], "  " + Fffd + " Visual node-based dialogue editor");
    EXPECT_EQ(lines[16], "Retro-futuristic terminal aesthetics.");
}

// ---------------------------------------------------------------------------

TEST(RecentListTest, AddMovesToTopWithoutDuplicatesAndKeepsTen)
{
    TRecentList list;
    for (int i = 0; i < 12; ++i)
        list.Add(QStringLiteral("/p/%1.tlw").arg(i));
    ASSERT_EQ(list.Items().size(), 10);
    EXPECT_EQ(list.Items().first(), "/p/11.tlw");
    EXPECT_EQ(list.Items().last(), "/p/2.tlw");
    list.Add(QStringLiteral("/p/5.tlw"));
    EXPECT_EQ(list.Items().size(), 10);
    EXPECT_EQ(list.Items().first(), "/p/5.tlw");
    EXPECT_EQ(list.Items().count("/p/5.tlw"), 1);
    list.Add(QStringLiteral("/P/5.tlw"));   // exact comparison: another entry
    EXPECT_EQ(list.Items().count("/p/5.tlw"), 1);
    EXPECT_EQ(list.Items()[1], "/p/5.tlw");
    EXPECT_EQ(TRecentList::MenuCaption(0, QStringLiteral("/p/npc.tlw")), "&1 npc.tlw");
    EXPECT_EQ(TRecentList::MenuCaption(9, QStringLiteral("/x/npc.tlw")), "&10 npc.tlw");
}

TEST(RecentListTest, StoreHoldsFileValuesInOrderAndSkipsGaps)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("recent.ini"));
    {
        QSettings store(file, QSettings::IniFormat);
        store.setValue(QStringLiteral("File0"), QStringLiteral("/a.tlw"));
        store.setValue(QStringLiteral("File2"), QStringLiteral("/missing/c.tlw"));   // not checked for existence
        store.setValue(QStringLiteral("File12"), QStringLiteral("/ignored.tlw"));
    }
    QSettings store(file, QSettings::IniFormat);
    TRecentList list;
    list.Load(store);
    EXPECT_EQ(list.Items(), QStringList({ "/a.tlw", "/missing/c.tlw" }));
    list.Add(QStringLiteral("/b.tlw"));
    list.Save(store);
    EXPECT_EQ(store.value("File0").toString(), "/b.tlw");
    EXPECT_EQ(store.value("File1").toString(), "/a.tlw");
    EXPECT_EQ(store.value("File2").toString(), "/missing/c.tlw");

    QSettings empty(dir.filePath(QStringLiteral("none.ini")), QSettings::IniFormat);
    list.Load(empty);
    EXPECT_TRUE(list.Items().isEmpty());
}

// ---------------------------------------------------------------------------

std::unique_ptr<TDialogueProject> RichProject()
{
    auto p = std::make_unique<TDialogueProject>();
    p->SetName(QStringLiteral("Rich"));
    p->SetFilePath(QStringLiteral("/x/rich.tlw"));
    p->Locales() << QStringLiteral("en") << QStringLiteral("de,AT");   // a comma the file would split
    p->Tags() << QStringLiteral("quest");
    p->GlobalVars().insert(QStringLiteral("GVAR_X"), QStringLiteral("1"));
    TDialogueNode* n = p->AddNode(ntConditional);
    n->SetText(QStringLiteral("Line one\r\nLine two"));
    n->SetOriginalID(QStringLiteral("proc_talk"));
    n->SetSelected(true);
    TCondition c;
    c.Variable = QStringLiteral("SKILL_SPEECH");
    n->Conditions() << c;
    TPlayerOption* o = n->AddOption();
    o->Conditions << c;   // kept in memory only by the file format
    o->HasSkillCheck = true;
    o->SkillCheck.Difficulty = 60;
    o->IntelligenceRequired = -3;
    o->Reaction = rcBad;
    o->MsgNumber = 101;
    o->Guard = QStringLiteral("dude_is_male");
    n->SetMsgNumber(100);
    n->SetProcedureName(QStringLiteral("Node100b"));
    n->AddScript()->ScriptCode = QStringLiteral("display_msg(1);");
    auto fm = std::make_unique<TFloatMessage>();
    fm->Text = QStringLiteral("Hey!");
    fm->MsgNumber = 150;
    p->FloatMessages().push_back(std::move(fm));
    p->AddNode(ntEndDialogue);
    // What an imported game script keeps around its dialogue.
    p->GameScript().Parts.push_back({TGameScriptPart::gpText, QStringLiteral("procedure start begin\r\nend\r\n")});
    p->GameScript().Parts.push_back({TGameScriptPart::gpProcedure, QStringLiteral("Node100b")});
    p->GameScript().Messages.insert(200, QStringLiteral("Back off!"));
    return p;
}

TEST(ProjectSnapshotTest, CloneCopiesEveryFieldIncludingMemoryOnlyOnes)
{
    auto original = RichProject();
    auto copy = ProjectSnapshot::Clone(*original);
    EXPECT_EQ(MainTest::DocumentText(*copy), MainTest::DocumentText(*original));
    EXPECT_EQ(copy->Locales(), original->Locales());
    EXPECT_EQ(copy->FilePath(), original->FilePath());
    const TDialogueNode* n = copy->NodeAt(0);
    EXPECT_NE(n, original->NodeAt(0));
    EXPECT_EQ(n->OriginalID(), "proc_talk");
    EXPECT_TRUE(n->Selected());
    EXPECT_EQ(n->PlayerOptions()[0]->Conditions.size(), 1);
    EXPECT_EQ(n->PlayerOptions()[0]->ID, original->NodeAt(0)->PlayerOptions()[0]->ID);
    EXPECT_EQ(copy->FindNode(QStringLiteral("Node002")), copy->NodeAt(1));
    // Independent: changing the copy leaves the original.
    copy->NodeAt(0)->PlayerOptions()[0]->Text = QStringLiteral("changed");
    EXPECT_TRUE(original->NodeAt(0)->PlayerOptions()[0]->Text.isEmpty());
}

TEST(ProjectSnapshotTest, RestoreKeepsTargetIdentityAndFilePath)
{
    auto snapshot = RichProject();
    TDialogueProject target;
    target.SetFilePath(QStringLiteral("/y/saved-elsewhere.tlw"));
    target.AddNode(ntComment);
    ProjectSnapshot::Restore(target, *snapshot);
    EXPECT_EQ(target.FilePath(), "/y/saved-elsewhere.tlw");
    EXPECT_EQ(target.NodeCount(), 2);
    EXPECT_EQ(target.FindNode(QStringLiteral("Node001")), target.NodeAt(0));
    target.SetFilePath(snapshot->FilePath());
    EXPECT_EQ(MainTest::DocumentText(target), MainTest::DocumentText(*snapshot));
}

TEST(UndoHistoryTest, UndoAndRedoRestoreExactStates)
{
    auto p = RichProject();
    const QString before = MainTest::DocumentText(*p);
    TUndoHistory h;
    EXPECT_FALSE(h.Undo(*p));
    h.Record(*p);
    p->RemoveNode(QStringLiteral("Node001"));
    const QString after = MainTest::DocumentText(*p);
    ASSERT_TRUE(h.Undo(*p));
    EXPECT_EQ(MainTest::DocumentText(*p), before);
    EXPECT_FALSE(h.CanUndo());
    ASSERT_TRUE(h.CanRedo());
    ASSERT_TRUE(h.Redo(*p));
    EXPECT_EQ(MainTest::DocumentText(*p), after);
    EXPECT_TRUE(h.CanUndo());
    EXPECT_FALSE(h.CanRedo());
}

TEST(UndoHistoryTest, RecordingClearsRedoAndKeepsTwentyNewest)
{
    TDialogueProject p;
    TUndoHistory h;
    for (int i = 0; i < 25; ++i) {
        p.SetName(QStringLiteral("v%1").arg(i));
        h.Record(p);
    }
    EXPECT_EQ(h.UndoCount(), 20);
    p.SetName(QStringLiteral("now"));
    int steps = 0;
    while (h.Undo(p))
        ++steps;
    EXPECT_EQ(steps, 20);
    EXPECT_EQ(p.Name(), "v5");   // v0..v4 were dropped
    EXPECT_EQ(h.RedoCount(), 20);
    h.Record(p);
    EXPECT_EQ(h.RedoCount(), 0);
}

TEST(UndoHistoryTest, NodePointsMixWithWholePointsAndKeepTheNodeObject)
{
    auto p = RichProject();
    TUndoHistory h;
    const QString original = MainTest::DocumentText(*p);
    TDialogueNode* node = p->NodeAt(0);

    h.RecordNode(*node);   // typing in the node
    node->SetText(QStringLiteral("typed"));
    node->SetSpeaker(QStringLiteral("Someone"));
    const QString typed = MainTest::DocumentText(*p);
    h.Record(*p);          // a structural change after it
    p->AddNode(ntComment);
    const QString grown = MainTest::DocumentText(*p);
    EXPECT_EQ(h.UndoCount(), 2);

    ASSERT_TRUE(h.Undo(*p));
    EXPECT_EQ(MainTest::DocumentText(*p), typed);
    ASSERT_TRUE(h.Undo(*p));
    EXPECT_EQ(MainTest::DocumentText(*p), original);
    // Options, scripts and memory-only fields came back with the node.
    EXPECT_EQ(p->NodeAt(0)->PlayerOptions()[0]->Conditions.size(), 1);
    EXPECT_EQ(p->NodeAt(0)->Scripts().size(), 1u);
    EXPECT_FALSE(h.CanUndo());

    ASSERT_TRUE(h.Redo(*p));
    EXPECT_EQ(MainTest::DocumentText(*p), typed);
    ASSERT_TRUE(h.Redo(*p));
    EXPECT_EQ(MainTest::DocumentText(*p), grown);
    EXPECT_FALSE(h.Redo(*p));

    // Restoring a node point changes the node in place.
    TDialogueNode* same = p->NodeAt(0);
    h.RecordNode(*same);
    same->SetText(QStringLiteral("again"));
    ASSERT_TRUE(h.Undo(*p));
    EXPECT_EQ(p->NodeAt(0), same);
    EXPECT_EQ(same->Text(), QStringLiteral("typed"));
}

TEST(UndoHistoryTest, NodePointWhoseNodeIsGoneIsSkipped)
{
    TDialogueProject p;
    p.SetName(QStringLiteral("before"));
    TUndoHistory h;
    h.Record(p);
    p.SetName(QStringLiteral("after"));
    TDialogueNode* node = p.AddNode(ntNPCDialogue);
    h.RecordNode(*node);
    p.ClearNodes();   // only a hand-made sequence can do this
    ASSERT_TRUE(h.Undo(p));
    EXPECT_EQ(p.Name(), QStringLiteral("before"));
    EXPECT_FALSE(h.CanUndo());
}

TEST(QtProjectDialogsTest, FileTypesBecomeNameFilters)
{
    EXPECT_EQ(FileTypesToNameFilters(QStringLiteral("Tallowin|*.tlw;*.json;*.fmf|All Files|*.*")),
              QStringList({ "Tallowin (*.tlw *.json *.fmf)", "All Files (*)" }));
    EXPECT_EQ(FileTypesToNameFilters(QStringLiteral("SSL Script|*.ssl")), QStringList({ "SSL Script (*.ssl)" }));
    EXPECT_TRUE(FileTypesToNameFilters(QString()).isEmpty());
    EXPECT_EQ(FileTypesToNameFilters(QStringLiteral("Odd|")).size(), 1);
}

}
