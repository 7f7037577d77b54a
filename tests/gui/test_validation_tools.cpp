// The validation window: problem table, flow report, node search and
// Auto-Fix, first as plain functions, then driven through the window.

#include "editors/ValidationAnalysis.h"
#include "editors/ValidationTools.h"
#include "model/JsonText.h"
#include "tests/support/TestSupport.h"
#include "shell/ThemeManager.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

// Readable failure output for texts and lists of texts.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TDialogueNode* AddNode(TDialogueProject& project, TNodeType type, const QString& text = QString(),
                       const QString& speaker = QString())
{
    TDialogueNode* node = project.AddNode(type);
    node->SetText(text);
    node->SetSpeaker(speaker);
    return node;
}

void Link(TDialogueNode* from, const TDialogueNode* to, const QString& text = QStringLiteral("Go"))
{
    TPlayerOption* option = from->AddOption();
    option->Text = text;
    option->TargetNodeID = to->ID();
}


// A diamond: Node001 offers Node002 and Node003, both lead on to Node004.
struct DiamondProject {
    TDialogueProject Project;
    DiamondProject()
    {
        Project.SetName(QStringLiteral("Diamond"));
        TDialogueNode* a = AddNode(Project, ntNPCDialogue, QStringLiteral("Halt!"), QStringLiteral("Guard"));
        TDialogueNode* b = AddNode(Project, ntPlayerReply, QStringLiteral("Hi"));
        TDialogueNode* c = AddNode(Project, ntPlayerReply, QStringLiteral("Bye"));
        TDialogueNode* d = AddNode(Project, ntEndDialogue);
        Link(a, b);
        Link(a, c);
        b->SetNextNodeID(d->ID());
        c->SetNextNodeID(d->ID());
        Project.SetStartNodeID(a->ID());
        a->SetIsStartNode(true);
    }
};

}

TEST(ValidationIssueTable, SplitsLinesIntoSeverityIssueAndNodeID)
{
    struct Case { QString line, severity, issue, nodeID; };
    const Case cases[] = {
        { "ERROR: Node N1 option links to missing node: X9", "ERROR", "Node N1 option links to missing node: X9", "X9" },
        { "WARNING: No start node defined", "WARN", "No start node defined", "" },
        { "ERROR: Start node ID refers to missing node: Gone", "ERROR", "Start node ID refers to missing node: Gone", "Gone" },
        // The ID is cut at 20 characters and taken from the line as written.
        { "ERROR: x NODE: AbcdefghijKlmnopqrstUVW", "ERROR", "x NODE: AbcdefghijKlmnopqrstUVW", "AbcdefghijKlmnopqrst" },
        { "ERROR: Node A next node missing: B", "ERROR", "Node A next node missing: B", "" },
        { "  plain note  ", "INFO", "plain note", "" },
        { "error: lower case is not an error", "INFO", "error: lower case is not an error", "" },
        { "ERROR:", "ERROR", "", "" },
    };
    for (const Case& c : cases) {
        const TValidationIssueRow row = ValidationAnalysis::ParseIssueLine(c.line);
        EXPECT_EQ(row.Severity, c.severity) << c.line.toStdString();
        EXPECT_EQ(row.Issue, c.issue) << c.line.toStdString();
        EXPECT_EQ(row.NodeID, c.nodeID) << c.line.toStdString();
    }
}

TEST(ValidationIssueTable, CountTextByErrorsAndWarnings)
{
    struct Case { QStringList lines; QString text; };
    const Case cases[] = {
        { {}, "All checks passed!" },
        { { "note only" }, "All checks passed!" },
        { { "WARNING: a", "WARNING: b" }, "No errors, 2 warning(s)" },
        { { "ERROR: a", "WARNING: b", "x" }, "1 error(s), 1 warning(s)" },
        { { "ERROR: a" }, "1 error(s), 0 warning(s)" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidationAnalysis::BuildIssueTable(c.lines).CountText(), c.text);
}

TEST(FlowReport, DiamondCountsFourReachableAndOneLoop)
{
    DiamondProject diamond;
    const QStringList expected = {
        "=== DIALOGUE FLOW ANALYSIS ===",
        "Project: Diamond",
        "Total nodes: 4",
        "Float messages: 0",
        "",
        "=== Reachability from Start Node ===",
        "  [NPC Dialogue] Node001 (Guard)",
        "  [Player Reply] Node002",
        "  [Player Reply] Node003",
        "  [End Dialogue] Node004",
        "",
        "Reachable nodes: 4 / 4",
        "Orphaned (unreachable) nodes: 0",
        "End dialogue nodes: 1",
        "Potential loops detected: 1",
        "",
        "=== NODE TYPE BREAKDOWN ===",
        "  NPC Dialogue nodes:  1",
        "  Player Reply nodes:  2",
        "  Conditional nodes:   0",
        "  Script nodes:        0",
        "  Total player options: 2",
        "  Skill checks:        0",
        "",
    };
    EXPECT_EQ(ValidationAnalysis::BuildFlowReport(diamond.Project), expected);
}

TEST(FlowReport, WithoutStartNodeEveryUnmarkedNodeIsAnOrphan)
{
    TDialogueProject project;
    project.SetName(QString());
    AddNode(project, ntNPCDialogue, QStringLiteral("A very long line of dialogue that goes past forty characters"));
    AddNode(project, ntScript, QStringLiteral("   "));
    AddNode(project, ntComment, QStringLiteral("note"))->SetIsStartNode(true);
    project.NodeAt(0)->SetIsStartNode(false);
    project.FloatMessages().push_back(std::make_unique<TFloatMessage>());

    const QStringList report = ValidationAnalysis::BuildFlowReport(project);
    const QStringList expected = {
        "=== DIALOGUE FLOW ANALYSIS ===",
        "Project: ",
        "Total nodes: 3",
        "Float messages: 1",
        "",
        "",
        "Reachable nodes: 0 / 3",
        "Orphaned (unreachable) nodes: 2",
        "End dialogue nodes: 0",
        "Potential loops detected: 0",
        "",
        "=== NODE TYPE BREAKDOWN ===",
        "  NPC Dialogue nodes:  1",
        "  Player Reply nodes:  0",
        "  Conditional nodes:   0",
        "  Script nodes:        1",
        "  Total player options: 0",
        "  Skill checks:        0",
        "",
        "=== ORPHANED NODES ===",
        "  Node001  [NPC Dialogue]  \"A very long line of dialogue that goes p\"",
        "  Node002  [Script]",
    };
    EXPECT_EQ(report, expected);
}

TEST(FlowReport, StartIDNamingNoNodeLeavesTheWalkOut)
{
    TDialogueProject project;
    AddNode(project, ntNPCDialogue, QStringLiteral("x"))->SetIsStartNode(false);
    project.SetStartNodeID(QStringLiteral("Missing"));
    const QStringList report = ValidationAnalysis::BuildFlowReport(project);
    EXPECT_FALSE(report.contains(QStringLiteral("=== Reachability from Start Node ===")));
    EXPECT_TRUE(report.contains(QStringLiteral("Reachable nodes: 0 / 1")));
    EXPECT_TRUE(report.contains(QStringLiteral("Orphaned (unreachable) nodes: 1")));
}

TEST(FlowReport, CyclesSkillChecksAndUnreachableNodes)
{
    TDialogueProject project;
    TDialogueNode* a = AddNode(project, ntNPCDialogue, QStringLiteral("a"));
    TDialogueNode* b = AddNode(project, ntNPCDialogue, QStringLiteral("b"));
    TDialogueNode* win = AddNode(project, ntEndDialogue);
    TDialogueNode* lose = AddNode(project, ntCombatTrigger);
    TDialogueNode* island = AddNode(project, ntConditional, QStringLiteral("alone"));
    Link(a, b);
    b->SetNextNodeID(a->ID());                     // back edge: one loop
    TPlayerOption* check = b->AddOption();
    check->HasSkillCheck = true;
    check->SkillCheck.SuccessNodeID = win->ID();
    check->SkillCheck.FailureNodeID = lose->ID();
    Link(win, island, QString());                  // reaches the "island" after all
    island->SetNextNodeID(island->ID());           // self loop: another loop
    TDialogueNode* orphan = AddNode(project, ntNPCDialogue, QStringLiteral("lost"));
    project.SetStartNodeID(a->ID());

    const QStringList report = ValidationAnalysis::BuildFlowReport(project);
    EXPECT_TRUE(report.contains(QStringLiteral("Reachable nodes: 5 / 6")));
    EXPECT_TRUE(report.contains(QStringLiteral("Orphaned (unreachable) nodes: 1")));
    EXPECT_TRUE(report.contains(QStringLiteral("End dialogue nodes: 1")));
    EXPECT_TRUE(report.contains(QStringLiteral("Potential loops detected: 2")));
    EXPECT_TRUE(report.contains(QStringLiteral("  Total player options: 3")));
    EXPECT_TRUE(report.contains(QStringLiteral("  Skill checks:        1")));
    EXPECT_EQ(report.last(), QStringLiteral("  ") + orphan->ID() + QStringLiteral("  [NPC Dialogue]  \"lost\""));
    // Breadth-first: a, then b, then b's next (a, visited), win, lose, then island.
    const qsizetype walk = report.indexOf(QStringLiteral("=== Reachability from Start Node ==="));
    EXPECT_EQ(report.mid(walk + 1, 5), QStringList({ "  [NPC Dialogue] Node001", "  [NPC Dialogue] Node002",
                                                     "  [End Dialogue] Node003", "  [Combat Trigger] Node004",
                                                     "  [Conditional] Node005" }));
}

TEST(FlowReport, LongIDsAreCutToFourteenInTheWalk)
{
    TDialogueProject project;
    TDialogueNode* node = AddNode(project, ntNPCDialogue, QStringLiteral("x"));
    node->SetID(QStringLiteral("ABCDEFGHIJKLMNOPQ"));
    project.SetStartNodeID(node->ID());
    EXPECT_TRUE(ValidationAnalysis::BuildFlowReport(project).contains(QStringLiteral("  [NPC Dialogue] ABCDEFGHIJKLMN")));
}

TEST(NodeSearch, FieldsLabelsAndFirstMatch)
{
    TDialogueProject project;
    TDialogueNode* a = AddNode(project, ntNPCDialogue, QStringLiteral("Welcome to the vault"), QStringLiteral("Overseer"));
    a->SetTag(QStringLiteral("intro"));
    a->SetQuestID(QStringLiteral("Q_WATER"));
    TPlayerOption* option = a->AddOption();
    option->Text = QStringLiteral("Where is the overseer?");
    a->AddScript()->ScriptCode = QString(100, QLatin1Char('s')) + QStringLiteral("RADIO");
    TDialogueNode* b = AddNode(project, ntScript, QString(), QStringLiteral("Radio"));
    b->SetID(QStringLiteral("ScriptNodeWithAVeryLongID"));
    b->AddScript()->ScriptCode = QStringLiteral("call radio()");

    struct Case { QString text; TNodeSearchField field; QStringList matches; };
    const Case cases[] = {
        // The speaker comes before the option in "All Fields".
        { "OVERSEER", nsfAllFields, { "[Speaker] Overseer" } },
        { "water", nsfAllFields, { "[Quest] Q_WATER" } },
        { "where", nsfAllFields, { "[Option] Where is the overseer?" } },
        { "radio", nsfAllFields, { "[Script] " + QString(60, QLatin1Char('s')), "[Speaker] Radio" } },
        { "radio", nsfScriptCode, { "[Script] " + QString(80, QLatin1Char('s')), "[Script] call radio()" } },
        { "vault", nsfNodeText, { "[Text] Welcome to the vault" } },
        { "vault", nsfSpeaker, {} },
        { "node001", nsfNodeID, { "[ID] Node001" } },
        { "INTRO", nsfTag, { "[Tag] intro" } },
        { "  vault  ", nsfNodeText, { "[Text] Welcome to the vault" } },
        { "vault", nsfNone, {} },
        { "   ", nsfAllFields, {} },
    };
    for (const Case& c : cases) {
        QStringList matches;
        for (const TNodeSearchRow& row : NodeSearch::Search(project, c.text, c.field))
            matches << row.Match;
        EXPECT_EQ(matches, c.matches) << c.text.toStdString() << " in " << int(c.field);
    }
    const auto rows = NodeSearch::Search(project, QStringLiteral("call"), nsfScriptCode);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].NodeID, QStringLiteral("ScriptNodeWithAV"));
    EXPECT_EQ(rows[0].TypeName, QStringLiteral("Script"));
    EXPECT_EQ(rows[0].Speaker, QStringLiteral("Radio"));
    EXPECT_EQ(NodeSearch::ResultCountText(0), QStringLiteral("Found: 0 result(s)"));
}

TEST(AutoFix, ClearsEveryBrokenLinkAndNothingElse)
{
    TDialogueProject project;
    TDialogueNode* a = AddNode(project, ntNPCDialogue, QStringLiteral("a"));
    TDialogueNode* b = AddNode(project, ntPlayerReply, QStringLiteral("b"));
    project.SetStartNodeID(a->ID());
    Link(a, b);
    TPlayerOption* broken = a->AddOption();
    broken->Text = QStringLiteral("gone");
    broken->TargetNodeID = QStringLiteral("Deleted");
    broken->HasSkillCheck = true;
    broken->SkillCheck.SuccessNodeID = QStringLiteral("NoWin");
    broken->SkillCheck.FailureNodeID = b->ID();
    TPlayerOption* unchecked = b->AddOption();
    unchecked->SkillCheck.SuccessNodeID = QStringLiteral("IgnoredWithoutCheck");
    b->SetNextNodeID(QStringLiteral("Nowhere"));

    TDialogueProject expected;
    expected.FromJSON(QJsonDocument::fromJson(JsonText::Compact(project.ToJSON()).toUtf8()).object());
    expected.NodeAt(0)->PlayerOptions()[1]->TargetNodeID.clear();
    expected.NodeAt(0)->PlayerOptions()[1]->SkillCheck.SuccessNodeID.clear();
    expected.NodeAt(1)->SetNextNodeID(QString());

    EXPECT_EQ(ValidationAnalysis::AutoFixBrokenLinks(project), 3);
    EXPECT_TRUE(project.Modified());
    EXPECT_TRUE(project.ValidateProject().isEmpty()) << project.ValidateProject().join('\n').toStdString();
    EXPECT_EQ(TestSupport::DocumentText(project), TestSupport::DocumentText(expected));

    project.SetModified(false);
    EXPECT_EQ(ValidationAnalysis::AutoFixBrokenLinks(project), 0);
    EXPECT_FALSE(project.Modified());
    EXPECT_EQ(ValidationAnalysis::AutoFixMessage(0), QStringLiteral("No auto-fixable issues found."));
    EXPECT_EQ(ValidationAnalysis::AutoFixMessage(3), QStringLiteral("Auto-fixed 3 broken link(s)."));
}

TEST(AutoFix, LeavesProblemsItDoesNotRepair)
{
    TDialogueProject project;
    AddNode(project, ntNPCDialogue, QStringLiteral(" "));
    project.SetStartNodeID(QStringLiteral("Missing"));
    const QStringList before = project.ValidateProject();
    EXPECT_EQ(ValidationAnalysis::AutoFixBrokenLinks(project), 0);
    EXPECT_EQ(project.ValidateProject(), before);
}

class ValidationFormTest : public ::testing::Test {
protected:
    void Open(TDialogueProject& project)
    {
        Form = std::make_unique<TValidationForm>(nullptr, &project);
        Form->SetMessageSink([this](QWidget*, const QString& text) { Messages << text; });
        Form->show();
    }
    std::unique_ptr<TValidationForm> Form;
    QStringList Messages;
};

TEST_F(ValidationFormTest, ShowsIssuesAndFlowReportWhenShown)
{
    TDialogueProject project;
    TDialogueNode* a = AddNode(project, ntNPCDialogue, QStringLiteral("a"));
    TPlayerOption* option = a->AddOption();
    option->TargetNodeID = QStringLiteral("X9");
    Open(project);

    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Validation & Analysis Tools"));
    EXPECT_EQ(Form->size(), QSize(760, 560));
    ASSERT_EQ(Form->IssueList()->rowCount(), 2);
    EXPECT_EQ(FormKit::ReportRow(Form->IssueList(), 0), QStringList({ "WARN", "No start node defined", "" }));
    EXPECT_EQ(FormKit::ReportRow(Form->IssueList(), 1),
              QStringList({ "ERROR", "Node Node001 option links to missing node: X9", "X9" }));
    EXPECT_EQ(Form->CountLabel()->text(), QStringLiteral("1 error(s), 1 warning(s)"));
    EXPECT_TRUE(Form->FlowReport()->toPlainText().startsWith(QStringLiteral("=== DIALOGUE FLOW ANALYSIS ===\nProject: ")));
    EXPECT_TRUE(Form->FlowReport()->isReadOnly());
    QStringList tabs;
    for (int i = 0; i < Form->Tabs()->count(); ++i)
        tabs << Form->Tabs()->tabText(i);
    EXPECT_EQ(tabs, QStringList({ "Validation Issues", "Flow Analysis", "Search Nodes" }));
}

TEST_F(ValidationFormTest, AutoFixButtonRepairsThenFindsNothing)
{
    TDialogueProject project;
    TDialogueNode* a = AddNode(project, ntNPCDialogue, QStringLiteral("a"));
    TDialogueNode* b = AddNode(project, ntNPCDialogue, QStringLiteral("b"));
    project.SetStartNodeID(a->ID());
    Link(a, b);
    project.RemoveNode(b->ID());
    Open(project);
    EXPECT_EQ(Form->CountLabel()->text(), QStringLiteral("1 error(s), 0 warning(s)"));

    Form->AutoFixButton()->click();
    Form->AutoFixButton()->click();
    EXPECT_EQ(Messages, QStringList({ "Auto-fixed 1 broken link(s).", "No auto-fixable issues found." }));
    EXPECT_TRUE(project.Modified());
    EXPECT_EQ(Form->IssueList()->rowCount(), 0);
    EXPECT_EQ(Form->CountLabel()->text(), QStringLiteral("All checks passed!"));
}

TEST_F(ValidationFormTest, SearchFillsResultsAndCount)
{
    DiamondProject diamond;
    Open(diamond.Project);
    EXPECT_EQ(Form->SearchIn()->currentIndex(), -1);
    Form->SearchEdit()->setText(QStringLiteral("guard"));
    Form->SearchButton()->click();
    EXPECT_EQ(Form->SearchResults()->rowCount(), 0);
    EXPECT_EQ(Form->CountLabel()->text(), QStringLiteral("Found: 0 result(s)"));

    Form->SearchIn()->setCurrentIndex(nsfAllFields);
    Form->SearchButton()->click();
    ASSERT_EQ(Form->SearchResults()->rowCount(), 1);
    EXPECT_EQ(FormKit::ReportRow(Form->SearchResults(), 0),
              QStringList({ "Node001", "NPC Dialogue", "Guard", "[Speaker] Guard" }));
    EXPECT_EQ(Form->CountLabel()->text(), QStringLiteral("Found: 1 result(s)"));

    // A blank search keeps the previous results.
    Form->SearchEdit()->setText(QStringLiteral("  "));
    Form->SearchButton()->click();
    EXPECT_EQ(Form->SearchResults()->rowCount(), 1);
}

TEST_F(ValidationFormTest, DoubleClickReportsTheNamedNode)
{
    TDialogueProject project;
    project.SetStartNodeID(QStringLiteral("Lost"));
    Open(project);
    QStringList selected;
    Form->IssueDoubleClicked(1);   // no callback yet: nothing happens
    Form->SetOnNodeSelected([&](const QString& id) { selected << id; });
    for (int row = 0; row < Form->IssueList()->rowCount(); ++row)
        Form->IssueDoubleClicked(row);
    Form->IssueDoubleClicked(99);
    EXPECT_EQ(selected, QStringList({ "Lost" }));
}

TEST_F(ValidationFormTest, RendersInEveryTheme)
{
    DiamondProject diamond;
    for (int style = 0; style < ThemeStyleCount; ++style) {
        TThemeManager::ApplyTheme(TThemeStyle(style));
        Open(diamond.Project);
        Form->SearchIn()->setCurrentIndex(0);
        Form->SearchEdit()->setText(QStringLiteral("o"));
        Form->SearchButton()->click();
        const QImage image = Form->grab().toImage();
        EXPECT_EQ(image.size(), QSize(760, 560));
        const QString dir = qEnvironmentVariable("TLW_GRAB_DIR");
        if (!dir.isEmpty()) {
            image.save(dir + QStringLiteral("/validation_%1.png").arg(style));
            Form->Tabs()->setCurrentIndex(1);
            Form->grab().save(dir + QStringLiteral("/validation_flow_%1.png").arg(style));
        }
    }
    TThemeManager::ApplyTheme(tsAmber);
}
