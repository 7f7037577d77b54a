// The game-script output: the golden project, the talk procedure's edge
// cases, labels that must stay unique, and text that must not break out of
// the script's comments.

#include "export/ExportFiles.h"
#include "export/ExportManager.h"
#include "export/SSLGenerator.h"
#include "tests/core/test_export_fixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ExportFixtures;

namespace {

QString Script(const TDialogueProject& p)
{
    TSSLGenerator gen(p);
    return ExportFiles::JoinLines(gen.BuildSSLScript());
}

const QString Header = QStringLiteral(
    "/* ============================================================\r\n"
    " * Tallowin - Auto-generated SSL Script\r\n"
    " * DO NOT EDIT MANUALLY - regenerate from TLW project file\r\n"
    " * ============================================================ */\r\n"
    "\r\n"
    "procedure start begin\r\n"
    "  (* Script initialization *)\r\n"
    "end\r\n"
    "\r\n"
    "procedure talk begin\r\n"
    "  if (dialogue_reaction(dude_reaction_to_me) > 25) then begin\r\n");

} // namespace

TEST(SSLScript, GoldenProjectMatchesFileByteForByte)
{
    TDialogueProject p;
    BuildGoldenProject(p);
    QTemporaryDir dir;
    TExportManager mgr(&p);
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = efSSL;
    opts.OutputPath = dir.filePath(QStringLiteral("guard.ssl"));
    const TExportResult r = mgr.Export(opts);
    ASSERT_TRUE(r.Success) << r.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.FilesGenerated, QStringList{opts.OutputPath});

    const QByteArray written = TestSupport::ReadFile(opts.OutputPath);
    EXPECT_EQ(CrLfLines(written), CrLfLines(Golden(QStringLiteral("golden.ssl"))));
    EXPECT_EQ(written, Golden(QStringLiteral("golden.ssl")));

    // The conditional option without a condition is the one warning.
    ASSERT_EQ(r.Warnings.size(), 1);
    EXPECT_TRUE(r.Warnings[0].contains(QStringLiteral("Node003"))) << r.Warnings[0].toStdString();
    EXPECT_TRUE(mgr.Log().filter(QStringLiteral("WARNING: ")).size() == 1);
    EXPECT_TRUE(mgr.Log().last().endsWith(QStringLiteral("  Exported SSL: ") + opts.OutputPath));
}

TEST(SSLScript, SingleNpcNodeGivesTheDocumentedScript)
{
    TDialogueProject p;
    p.SetStartNodeID(QStringLiteral("Node001"));
    Add(p, QStringLiteral("Node001"), ntNPCDialogue, QStringLiteral("Hello there"))->SetSpeaker(QStringLiteral("Guard"));
    EXPECT_EQ(Script(p), Header + QStringLiteral(
        "    goto node_Node001;\r\n"
        "  end\r\n"
        "end\r\n"
        "\r\n"
        "// =============== Node Definitions ===============\r\n"
        "// START NODE: Node001\r\n"
        "(* NODE: NPC Dialogue  Speaker: Guard *)\r\n"
        "node_Node001:\r\n"
        "begin\r\n"
        "  display_msg(11);\r\n"
        "  reply_msg(node_Node001_text);\r\n"
        "end;\r\n"
        "\r\n"
        "\r\n"));
}

TEST(SSLScript, ProjectWithoutNodesHasAnEmptyTalkAndBareNodeSection)
{
    TDialogueProject p;
    EXPECT_EQ(Script(p), Header + QStringLiteral(
        "  end\r\n"
        "end\r\n"
        "\r\n"
        "// =============== Node Definitions ===============\r\n"));
}

TEST(SSLScript, WithoutStartNodeTalkJumpsToTheFirstNodeEvenAComment)
{
    TDialogueProject p;
    Add(p, QStringLiteral("Note1"), ntComment, QStringLiteral("plan"));
    Add(p, QStringLiteral("Node002"), ntEndDialogue);
    const QString s = Script(p);
    EXPECT_TRUE(s.contains(QStringLiteral("    goto node_Note1;\r\n")));
    EXPECT_FALSE(s.contains(QStringLiteral("node_Note1:")));
    EXPECT_FALSE(s.contains(QStringLiteral("START NODE")));
    EXPECT_TRUE(s.contains(QStringLiteral("node_Node002:\r\n")));
}

TEST(SSLScript, ConditionExpressionsForEveryType)
{
    struct Case { TConditionType type; const char* var; TConditionOperator op; const char* value; const char* expected; };
    const Case cases[] = {
        {ctSkillCheck, "small_guns2", coEQ, "", "  has_skill(dude, SKILL_SMALL_GUNS2)"},
        {ctStatCheck, "STAT_ag", coGTE, "6", "  stat_level(dude, STAT_ag) >= 6"},
        {ctReputation, "", coLT, "-10", "  reputation(dude) < -10"},
        {ctKarma, "", coGT, "100", "  karma_level(dude) > 100"},
        {ctGlobalVar, "GVAR_1", coNEQ, "0", "  global_var(GVAR_1) != 0"},
        {ctLocalVar, "LVAR_2", coLTE, "4", "  local_var(LVAR_2) <= 4"},
        {ctQuestFlag, "Q1", coEQ, "2", "  quest_state(Q1) == 2"},
        {ctInventory, "PID_X", coGTE, "1", "  obj_is_carrying_obj(dude, PID_X) >= 1"},
        {ctTimeOfDay, "", coLT, "6", "  game_time_hour < 6"},
        {ctCompanion, "DOG", coGT, "9", "  is_success(DOG)"},
        {ctRandom, "", coGT, "25", "  random(100) < 25"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TSSLGenerator::ConditionToSSL(Cond(c.type, QString::fromUtf8(c.var), c.op, QString::fromUtf8(c.value))),
                  QString::fromUtf8(c.expected));
    // Only ASCII letters are raised: a skill name with "ß" keeps it.
    EXPECT_EQ(TSSLGenerator::ConditionToSSL(Cond(ctSkillCheck, QString::fromUtf8("straße"))),
              QString::fromUtf8("  has_skill(dude, SKILL_STRAßE)"));
}

TEST(SSLScript, SanitizeIdDropsBracesTurnsHyphensAndCutsTo16)
{
    EXPECT_EQ(TSSLGenerator::SanitizeId(QStringLiteral("Node001")), QStringLiteral("Node001"));
    EXPECT_EQ(TSSLGenerator::SanitizeId(QStringLiteral("{1A2B-3C4D-5E6F-7081}")), QStringLiteral("1A2B_3C4D_5E6F_7"));
    EXPECT_EQ(TSSLGenerator::SanitizeId(QStringLiteral("a-b")), QStringLiteral("a_b"));
    // Whatever else cannot stand in a label: blanks, line breaks, quotes.
    EXPECT_EQ(TSSLGenerator::SanitizeId(QStringLiteral("my node\n\"x\"")), QStringLiteral("my_node__x_"));
}

TEST(SSLScript, GuidIdsAreSanitizedInLabelsAndJumps)
{
    TDialogueProject p;
    const QString guid = QStringLiteral("{AB-CD}");
    TDialogueNode* a = Add(p, QStringLiteral("Node001"), ntNPCDialogue);
    a->SetNextNodeID(guid);
    Add(p, guid, ntEndDialogue);
    const QString s = Script(p);
    EXPECT_TRUE(s.contains(QStringLiteral("  goto node_AB_CD;\r\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("\r\nnode_AB_CD:\r\n")));
}

TEST(SSLScript, IdsSharingTheirFirst16CharactersKeepDistinctLabels)
{
    TDialogueProject p;
    const QString first = QStringLiteral("DialogueBranch_Alpha");
    const QString second = QStringLiteral("DialogueBranch_Beta");
    const QString plain = QStringLiteral("DialogueBranch_A");   // what the first two are cut to
    TDialogueNode* start = Add(p, QStringLiteral("Node001"), ntPlayerReply);
    Option(start, QStringLiteral("one"));
    Option(start, QStringLiteral("two"));
    start->PlayerOptions()[0]->HasSkillCheck = true;
    start->PlayerOptions()[0]->SkillCheck.SuccessNodeID = first;
    start->PlayerOptions()[0]->SkillCheck.FailureNodeID = second;
    Add(p, QStringLiteral("DialogueBranch_Al"), ntEndDialogue);   // same first 16 as `first`
    Add(p, first, ntEndDialogue);
    Add(p, second, ntEndDialogue);

    TSSLGenerator gen(p);
    const QString s = ExportFiles::JoinLines(gen.BuildSSLScript());
    // The first node keeps the plain cut label; the later one that would
    // share it gets a numbered one, still at most 16 characters.
    EXPECT_TRUE(s.contains(QStringLiteral("\r\nnode_") + plain + QStringLiteral(":\r\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("\r\nnode_DialogueBranch_2:\r\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("\r\nnode_DialogueBranch_B:\r\n")));
    // The jump to `first` goes to its own block, not to the node listed before it.
    EXPECT_TRUE(s.contains(QStringLiteral("      goto_node_DialogueBranch_2;\r\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("      goto_node_DialogueBranch_B;\r\n")));
    EXPECT_EQ(s.count(QStringLiteral("node_") + plain + QStringLiteral(":")), 1);
    ASSERT_EQ(gen.Warnings().size(), 1);
    EXPECT_TRUE(gen.Warnings()[0].contains(first));
}

TEST(SSLScript, LabelsStayUniqueForDuplicateIdsAndDanglingLinks)
{
    TDialogueProject p;
    TDialogueNode* a = Add(p, QStringLiteral("Same"), ntNPCDialogue);
    a->SetNextNodeID(QStringLiteral("Same"));
    Add(p, QStringLiteral("Same"), ntEndDialogue);
    // A link to no node whose cut form is a node's label must not land there.
    Add(p, QStringLiteral("LongIdentifier12"), ntNPCDialogue)->SetNextNodeID(QStringLiteral("LongIdentifier12X"));
    const QString s = Script(p);
    EXPECT_EQ(s.count(QStringLiteral("\r\nnode_Same:\r\n")), 1);
    EXPECT_TRUE(s.contains(QStringLiteral("\r\nnode_Same_2:\r\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("  goto node_Same;\r\n")));   // the first node with the ID
    EXPECT_TRUE(s.contains(QStringLiteral("  goto node_LongIdentifier_2;\r\n")));
    EXPECT_FALSE(s.contains(QStringLiteral("goto node_LongIdentifier12;")));
}

TEST(SSLScript, SkillCheckWithoutOutcomeNodesWritesOnlyTheOptionLine)
{
    TDialogueProject p;
    TDialogueNode* n = Add(p, QStringLiteral("Node001"), ntPlayerReply);
    TPlayerOption* o = Option(n, QStringLiteral("x"), QStringLiteral("Node009"));
    o->HasSkillCheck = true;
    o->SkillCheck.Skill = skEnergyWeapons;
    const QString s = Script(p);
    EXPECT_TRUE(s.contains(QStringLiteral("  Option(0, node_Node001_opt0_text, Energy Weapons);\r\nend;\r\n")));
    EXPECT_FALSE(s.contains(QStringLiteral("goto_node_")));
}

TEST(SSLScript, CopiedTextCannotEscapeItsComment)
{
    TDialogueProject p;
    p.SetStartNodeID(QStringLiteral("Start\nHere"));
    Add(p, QStringLiteral("Node001"), ntEndDialogue)->SetSpeaker(QStringLiteral("Two\r\nLines *) done"));
    for (const char* text : {"Line one\r\nend; goto x;", "cr\ronly", "lf\nonly"}) {
        auto f = std::make_unique<TFloatMessage>();
        f->Text = QString::fromUtf8(text);
        p.FloatMessages().push_back(std::move(f));
    }
    const QString s = Script(p);
    EXPECT_TRUE(s.contains(QStringLiteral("// START NODE: Start\r\n// Here\r\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("(* NODE: End Dialogue  Speaker: Two Lines * ) done *)\r\n")));
    EXPECT_TRUE(s.endsWith(QStringLiteral("// Float: Line one\r\n// end; goto x;\r\n"
                                          "// Float: cr\r\n// only\r\n"
                                          "// Float: lf\r\n// only\r\n")));
    // Every line break in the file is CR LF, and every line after the
    // node section's start that is not code stays a comment.
    EXPECT_FALSE(QString(s).remove(QStringLiteral("\r\n")).contains(QLatin1Char('\r')));
    EXPECT_FALSE(QString(s).remove(QStringLiteral("\r\n")).contains(QLatin1Char('\n')));
}

TEST(SSLScript, OnlyScriptNodesWriteTheirScripts)
{
    TDialogueProject p;
    TDialogueNode* n = Add(p, QStringLiteral("Node001"), ntTrade);
    AddScript(n, seOnNodeEnter, QStringLiteral("hidden();"));
    TDialogueNode* s = Add(p, QStringLiteral("Node002"), ntScript);
    AddScript(s, seOnQuestUpdate, QStringLiteral("x();\r\n"));
    const QString text = Script(p);
    EXPECT_FALSE(text.contains(QStringLiteral("hidden();")));
    // The trailing line break leaves one empty piece, written as two spaces.
    EXPECT_TRUE(text.contains(QStringLiteral("  (* Event: seOnQuestUpdate *)\r\n  x();\r\n  \r\nend;\r\n")));
}
