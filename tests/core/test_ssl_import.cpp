// The SSL importer, on hand-written scripts in the style of the games'
// dialogue scripts and on each of its reading rules.

#include "export/ExportManager.h"
#include "interchange/SSLImporter.h"
#include "interchange/SSLMSGText.h"
#include "tests/core/test_import_support.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Imported = ImportTest::TImported<TSSLImporter>;

Imported Import(const QString& text) { return ImportTest::ImportWith<TSSLImporter>(text); }

constexpr auto Script = ImportTest::CrLfLines;

TDialogueNode* ByNotes(const TDialogueProject& p, const QString& procName)
{
    for (const auto& n : p.Nodes())
        if (n->Notes() == QStringLiteral("Original: ") + procName)
            return n.get();
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- fixture

TEST(SSLImport, GameStyleFixture)
{
    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const TSSLImportResult r =
        importer.ImportFromFile(TestSupport::DataPath(QStringLiteral("import/dcbrana.ssl")), p);
    ASSERT_TRUE(p);
    EXPECT_TRUE(r.Success) << r.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.Errors.isEmpty());
    EXPECT_EQ(r.NodeCount, 7);
    EXPECT_EQ(p->NodeCount(), 7);
    // "node002, 004" (the three-argument NOption) and "108" (the giq_option
    // read by the two-part rule) name no procedure.
    EXPECT_EQ(r.WarningCount, 2);
    EXPECT_EQ(p->Name(), QStringLiteral("dcbrana"));
    EXPECT_TRUE(p->StartNodeID().isEmpty());

    const QStringList procs = {"start", "talk_p_proc", "node001", "node002", "node003", "node004", "node999"};
    for (int i = 0; i < procs.size(); ++i) {
        const TDialogueNode* n = p->NodeAt(i);
        EXPECT_EQ(n->ID(), QStringLiteral("Node%1").arg(i + 1, 3, 10, QLatin1Char('0')));
        EXPECT_EQ(n->Notes(), QStringLiteral("Original: ") + procs[i]);
        EXPECT_EQ(n->NodeType(), ntNPCDialogue);
        EXPECT_EQ(n->IsStartNode(), i == 0);
        // Every node is linked from somewhere except "start", which becomes
        // the layout root and reaches nothing: one column at depth 0.
        EXPECT_EQ(n->X(), 50);
        EXPECT_EQ(n->Y(), 50 + 120 * i);
    }

    const TDialogueNode* start = p->NodeAt(0);
    EXPECT_TRUE(start->Text().isEmpty());
    EXPECT_TRUE(start->PlayerOptions().empty());

    // talk_p_proc: the call survives; end_dialogue ends the body, so the
    // Reply after it is not read.
    const TDialogueNode* talk = p->NodeAt(1);
    EXPECT_EQ(talk->NextNodeID(), QStringLiteral("Node003"));
    EXPECT_TRUE(talk->Text().isEmpty());

    const TDialogueNode* n1 = p->NodeAt(2);
    EXPECT_EQ(n1->Text(), QStringLiteral("[MSG:101]"));
    ASSERT_EQ(n1->PlayerOptions().size(), 7u);
    struct Expect { const char* text; const char* target; bool skill; };
    const Expect opts[] = {
        {"[MSG:102]", "node002, 004", false}, {"[MSG:103]", "Node004", false},
        {"[MSG:104]", "Node005", true},       {"[MSG:105]", "Node007", true},
        {"[MSG:106]", "Node006", false},      {"[MSG:107]", "Node006", true},
        {"[MSG:-3]", "108", false}};
    for (size_t i = 0; i < 7; ++i) {
        const TPlayerOption& o = *n1->PlayerOptions()[i];
        EXPECT_EQ(o.Text, QString::fromUtf8(opts[i].text)) << i;
        EXPECT_EQ(o.TargetNodeID, QString::fromUtf8(opts[i].target)) << i;
        EXPECT_EQ(o.HasSkillCheck, opts[i].skill) << i;
        EXPECT_EQ(o.SkillCheck, TSkillCheck()) << i;
    }

    // Node002: a header without "begin", lone-CR line ends, gsay_reply plus
    // display_msg, an if/else block whose options are not imported.
    const TDialogueNode* n2 = p->NodeAt(3);
    EXPECT_EQ(n2->Text(), QStringLiteral("[MSG:200] Brana eyes you."));
    ASSERT_EQ(n2->PlayerOptions().size(), 1u);
    EXPECT_EQ(n2->PlayerOptions()[0]->Text, QStringLiteral("[MSG:203]"));
    EXPECT_EQ(n2->PlayerOptions()[0]->TargetNodeID, QStringLiteral("Node005"));
    EXPECT_TRUE(n2->NextNodeID().isEmpty());

    // Node003: Reply(mstr(300)); the skill check of the "if" line goes to
    // the first option; the call inside the block does not reach the node.
    const TDialogueNode* n3 = p->NodeAt(4);
    EXPECT_EQ(n3->Text(), QStringLiteral("[MSG:300]"));
    EXPECT_TRUE(n3->NextNodeID().isEmpty());
    ASSERT_EQ(n3->PlayerOptions().size(), 2u);
    const TPlayerOption& checked = *n3->PlayerOptions()[0];
    EXPECT_EQ(checked.Text, QStringLiteral("[MSG:301]"));
    EXPECT_EQ(checked.TargetNodeID, QStringLiteral("Node006"));
    EXPECT_TRUE(checked.HasSkillCheck);
    EXPECT_EQ(checked.SkillCheck.Skill, skBarter);
    EXPECT_EQ(checked.SkillCheck.Difficulty, -10);
    EXPECT_EQ(checked.SkillCheck.XPReward, 0);
    EXPECT_FALSE(n3->PlayerOptions()[1]->HasSkillCheck);
    EXPECT_EQ(n3->PlayerOptions()[1]->TargetNodeID, QStringLiteral("Node003"));

    // Node004: odd spacing, tabs, upper-case NOPTION and END, call(...).
    const TDialogueNode* n4 = p->NodeAt(5);
    EXPECT_EQ(n4->Text(), QStringLiteral("[MSG:400]"));
    ASSERT_EQ(n4->PlayerOptions().size(), 1u);
    EXPECT_EQ(n4->PlayerOptions()[0]->Text, QStringLiteral("[MSG:401]"));
    EXPECT_EQ(n4->PlayerOptions()[0]->TargetNodeID, QStringLiteral("Node007"));
    EXPECT_EQ(n4->NextNodeID(), QStringLiteral("Node007"));

    // Node999: gsay_message; float_msg and critter_ lines are skipped.
    const TDialogueNode* n999 = p->NodeAt(6);
    EXPECT_EQ(n999->Text(), QStringLiteral("[MSG:999]"));
    EXPECT_TRUE(n999->PlayerOptions().empty());
}

// ------------------------------------------------------------ reading rules

TEST(SSLImport, ForwardDeclarationMakesNoNode)
{
    auto r = Import(Script({"procedure talk_p_proc;"}));
    EXPECT_TRUE(r.result.Success);
    EXPECT_EQ(r.result.NodeCount, 0);
    EXPECT_EQ(r.project->NodeCount(), 0);
    EXPECT_EQ(r.project->Name(), QStringLiteral("New Dialogue"));
}

TEST(SSLImport, ProcedureWithBeginMakesNode)
{
    auto r = Import(Script({"procedure talk_p_proc begin", "end"}));
    ASSERT_EQ(r.result.NodeCount, 1);
    const TDialogueNode* n = r.project->NodeAt(0);
    EXPECT_EQ(n->Notes(), QStringLiteral("Original: talk_p_proc"));
    EXPECT_EQ(n->ID(), QStringLiteral("Node001"));
    EXPECT_TRUE(n->IsStartNode());
    EXPECT_EQ(n->X(), 50);
    EXPECT_EQ(n->Y(), 50);
    EXPECT_TRUE(r.project->Modified());
}

TEST(SSLImport, ReplyAndNOptionLinkAfterFinishing)
{
    auto r = Import(Script({"procedure Node001 begin", "  Reply(105);", "  NOption(106, Node002);", "end",
                            "procedure Node002 begin", "end"}));
    ASSERT_TRUE(r.result.Success);
    ASSERT_EQ(r.result.NodeCount, 2);
    const TDialogueNode* a = r.project->NodeAt(0);
    EXPECT_EQ(a->Text(), QStringLiteral("[MSG:105]"));
    ASSERT_EQ(a->PlayerOptions().size(), 1u);
    EXPECT_EQ(a->PlayerOptions()[0]->Text, QStringLiteral("[MSG:106]"));
    EXPECT_EQ(a->PlayerOptions()[0]->TargetNodeID, r.project->NodeAt(1)->ID());
    EXPECT_FALSE(a->PlayerOptions()[0]->HasSkillCheck);
    EXPECT_EQ(r.result.WarningCount, 0);
}

TEST(SSLImport, ThreeArgumentNOptionKeepsTheRestAsTarget)
{
    auto r = Import(Script({"procedure Node001 begin", "  NOption(106, Node002, 004);", "end",
                            "procedure Node002 begin", "end"}));
    ASSERT_EQ(r.result.NodeCount, 2);
    EXPECT_EQ(r.project->NodeAt(0)->PlayerOptions()[0]->TargetNodeID, QStringLiteral("node002, 004"));
    EXPECT_EQ(r.result.WarningCount, 1);
    EXPECT_TRUE(r.result.Success);
}

TEST(SSLImport, GOptionSetsSkillFlagWithZeroRecord)
{
    auto r = Import(Script({"procedure Node001 begin", "  GOption(107, node003);", "  BOption(108, x);",
                            "  NOption(109, y);", "end"}));
    const auto& opts = r.project->NodeAt(0)->PlayerOptions();
    ASSERT_EQ(opts.size(), 3u);
    EXPECT_TRUE(opts[0]->HasSkillCheck);
    EXPECT_EQ(opts[0]->SkillCheck, TSkillCheck());
    EXPECT_EQ(opts[0]->SkillCheck.Difficulty, 0);
    EXPECT_TRUE(opts[1]->HasSkillCheck);
    EXPECT_FALSE(opts[2]->HasSkillCheck);
    EXPECT_EQ(r.result.WarningCount, 3);   // node003, x, y name no procedure
}

TEST(SSLImport, OptionInsideIfBlockIsNotImported)
{
    auto r = Import(Script({"procedure Node001 begin", "  if (x) then begin", "    NOption(106, Node002);",
                            "    Reply(5);", "    call Node002;", "  end", "  NOption(107, Node002);", "end",
                            "procedure Node002 begin", "end"}));
    const TDialogueNode* a = r.project->NodeAt(0);
    ASSERT_EQ(a->PlayerOptions().size(), 1u);
    EXPECT_EQ(a->PlayerOptions()[0]->Text, QStringLiteral("[MSG:107]"));
    EXPECT_TRUE(a->Text().isEmpty());
    EXPECT_TRUE(a->NextNodeID().isEmpty());
}

TEST(SSLImport, SkillCheckOnIfLineGoesToFirstOption)
{
    auto r = Import(Script({"procedure Node001 begin", "  NOption(100, Node001);", "  NOption(101, Node001);",
                            "  if (skill_check(dude_obj, SKILL_SPEECH, -10)) then begin", "  end", "end"}));
    const auto& opts = r.project->NodeAt(0)->PlayerOptions();
    ASSERT_EQ(opts.size(), 2u);
    EXPECT_TRUE(opts[0]->HasSkillCheck);
    EXPECT_EQ(opts[0]->SkillCheck.Skill, skSpeech);
    EXPECT_EQ(opts[0]->SkillCheck.Difficulty, -10);
    EXPECT_FALSE(opts[1]->HasSkillCheck);
}

TEST(SSLImport, SkillCheckWithoutOptionsIsDropped)
{
    auto r = Import(Script({"procedure Node001 begin", "  if (skill_check(dude_obj, SKILL_SNEAK, 20)) then begin",
                            "  end", "end"}));
    ASSERT_EQ(r.result.NodeCount, 1);
    EXPECT_TRUE(r.project->NodeAt(0)->PlayerOptions().empty());
    EXPECT_TRUE(r.result.Success);
}

TEST(SSLImport, SkillCheckArguments)
{
    struct Row { const char* ifLine; TSkillType skill; int difficulty; };
    const Row rows[] = {
        {"if (skill_check(dude_obj, SKILL_LOCKPICK, 25)) then begin", skLockpick, 25},
        {"if(skill_check(dude_obj,SKILL_SMALL_GUNS,-30)) then begin", skSmallGuns, -30},
        {"if (skill_check(dude_obj, SKILL_ENERGY_WEAPONS, 10 - 5)) then", skEnergyWeapons, 50},
        {"if (skill_check(dude_obj, SKILL_DOCTOR, DIFF_HARD)) then", skSpeech, 50},
        {"if (skill_check(dude_obj, SKILL_BIG_GUNS)) then", skSpeech, 50},
        {"if (skill_check(dude_obj, SKILL_SCIENCE, 99999999999)) then", skScience, 50},
        {"if (a and skill_check(dude_obj, skill_survival, (20))) then", skSurvival, 20},
    };
    for (const Row& row : rows) {
        auto r = Import(Script({"procedure p begin", "  NOption(1, p);", row.ifLine, "  end", "end"}));
        const TPlayerOption& o = *r.project->NodeAt(0)->PlayerOptions()[0];
        EXPECT_TRUE(o.HasSkillCheck) << row.ifLine;
        EXPECT_EQ(o.SkillCheck.Skill, row.skill) << row.ifLine;
        EXPECT_EQ(o.SkillCheck.Difficulty, row.difficulty) << row.ifLine;
    }
}

TEST(SSLImport, SkillNames)
{
    struct Row { const char* name; TSkillType skill; };
    const Row rows[] = {
        {"SKILL_SPEECH", skSpeech}, {"SKILL_BARTER", skBarter}, {"SKILL_SCIENCE", skScience},
        {"SKILL_REPAIR", skRepair}, {"SKILL_LOCKPICK", skLockpick}, {"SKILL_SNEAK", skSneak},
        {"SKILL_MEDICINE", skMedicine}, {"SKILL_OUTDOORSMAN_SURVIVAL", skSurvival},
        {"SKILL_GAMBLING", skGambling}, {"SKILL_ENERGY_WEAPONS", skEnergyWeapons},
        {"SKILL_SMALL_GUNS", skSmallGuns}, {"SKILL_BIG_GUNS", skBigGuns}, {"  sk_barter  ", skBarter},
        {"SKILL_FIRST_AID", skSpeech}, {"", skSpeech},
        // The first word of the list that occurs decides, not the first in
        // the text.
        {"big_speech", skSpeech}, {"small_big", skSmallGuns},
        // Only a leading "sk" is removed: "skill_sneak" keeps "ill_sneak".
        {"skill_sneak", skSneak}};
    for (const Row& row : rows)
        EXPECT_EQ(SSLSkillFromName(QString::fromUtf8(row.name)), row.skill) << row.name;
}

TEST(SSLImport, EndDialogueEndsTheBody)
{
    auto r = Import(Script({"procedure Node001 begin", "  Reply(1);", "  end_dialogue;", "  Reply(2);",
                            "  NOption(3, Node001);", "end", "procedure Node002 begin", "  Reply(4);", "end"}));
    ASSERT_EQ(r.result.NodeCount, 2);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("[MSG:1]"));
    EXPECT_TRUE(r.project->NodeAt(0)->PlayerOptions().empty());
    EXPECT_EQ(r.project->NodeAt(1)->Text(), QStringLiteral("[MSG:4]"));
}

TEST(SSLImport, ChainedProceduresLayout)
{
    auto r = Import(Script({"procedure A begin", "  call B;", "end", "procedure B begin", "  call(C);", "end",
                            "procedure C begin", "end"}));
    ASSERT_EQ(r.result.NodeCount, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.project->NodeAt(i)->X(), 50 + 300 * i);
        EXPECT_EQ(r.project->NodeAt(i)->Y(), 50);
    }
    EXPECT_EQ(r.project->NodeAt(0)->NextNodeID(), QStringLiteral("Node002"));
    EXPECT_EQ(r.project->NodeAt(1)->NextNodeID(), QStringLiteral("Node003"));
    EXPECT_EQ(r.result.WarningCount, 0);
}

TEST(SSLImport, LayoutColumnsBreadthFirstAndSortedByID)
{
    // Root is the first node nothing links to (D, made fourth). From D: next
    // link first (C), then the options in order (B, A); B leads on to E.
    auto r = Import(Script({"procedure A begin", "end", "procedure B begin", "  call E;", "end",
                            "procedure C begin", "end", "procedure D begin", "  call C;", "  NOption(1, B);",
                            "  NOption(2, A);", "end", "procedure E begin", "end", "procedure F begin",
                            "  call F;", "end"}));
    ASSERT_EQ(r.result.NodeCount, 6);
    auto pos = [&](const char* proc) {
        const TDialogueNode* n = ByNotes(*r.project, QString::fromUtf8(proc));
        return std::make_pair(n->X(), n->Y());
    };
    // Depth 0: D (Node004) and the unreached F (Node006), sorted by ID.
    EXPECT_EQ(pos("d"), std::make_pair(50, 50));
    EXPECT_EQ(pos("f"), std::make_pair(50, 170));
    // Depth 1: A, B, C by ID.
    EXPECT_EQ(pos("a"), std::make_pair(350, 50));
    EXPECT_EQ(pos("b"), std::make_pair(350, 170));
    EXPECT_EQ(pos("c"), std::make_pair(350, 290));
    EXPECT_EQ(pos("e"), std::make_pair(650, 50));
}

TEST(SSLImport, LayoutRootIsFirstNodeWhenAllAreLinked)
{
    auto r = Import(Script({"procedure A begin", "  call B;", "end", "procedure B begin", "  call A;", "end"}));
    EXPECT_EQ(r.project->NodeAt(0)->X(), 50);
    EXPECT_EQ(r.project->NodeAt(1)->X(), 350);
}

TEST(SSLImport, LayoutSortsIdsOrdinally)
{
    // With 1000 procedures "Node1000" sorts before "Node101" in a column.
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("procedure p%1 begin\nend\n").arg(i);
    auto r = Import(text);
    ASSERT_EQ(r.result.NodeCount, 1000);
    const TDialogueNode* n1000 = r.project->FindNode(QStringLiteral("Node1000"));
    const TDialogueNode* n101 = r.project->FindNode(QStringLiteral("Node101"));
    const TDialogueNode* n100 = r.project->FindNode(QStringLiteral("Node100"));
    ASSERT_TRUE(n1000 && n101 && n100);
    EXPECT_EQ(n100->Y() + 120, n1000->Y());
    EXPECT_EQ(n1000->Y() + 120, n101->Y());
}

TEST(SSLImport, HeaderWithoutBeginStopsAtNextHeader)
{
    auto r = Import(Script({"procedure A begin", "  Reply(1);", "end", "procedure B", "  Reply(2);",
                            "procedure C begin", "  Reply(3);", "end"}));
    // B is made (and finished) but reading stops at C's header.
    ASSERT_EQ(r.result.NodeCount, 2);
    EXPECT_EQ(r.project->NodeAt(1)->Notes(), QStringLiteral("Original: b"));
    EXPECT_TRUE(r.project->NodeAt(1)->Text().isEmpty());
    EXPECT_TRUE(r.result.Success);
}

TEST(SSLImport, HeaderWithoutBeginSkipsToBeginLine)
{
    auto r = Import(Script({"procedure A", "  Reply(1);", "  // comment", "BEGIN", "  Reply(2);", "end"}));
    ASSERT_EQ(r.result.NodeCount, 1);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("[MSG:2]"));
}

TEST(SSLImport, ProcedureNamesAreCaseInsensitiveAndReused)
{
    auto r = Import(Script({"procedure Node001 begin", "  NOption(1, NODE002);", "end", "procedure node002 begin",
                            "  Reply(7);", "end", "procedure NODE002 begin", "  NOption(2, node001);", "end"}));
    ASSERT_EQ(r.result.NodeCount, 2);
    const TDialogueNode* b = r.project->NodeAt(1);
    EXPECT_EQ(b->Text(), QStringLiteral("[MSG:7]"));
    ASSERT_EQ(b->PlayerOptions().size(), 1u);
    EXPECT_EQ(b->PlayerOptions()[0]->TargetNodeID, QStringLiteral("Node001"));
    EXPECT_EQ(r.project->NodeAt(0)->PlayerOptions()[0]->TargetNodeID, QStringLiteral("Node002"));
}

TEST(SSLImport, ReplyNumberRules)
{
    struct Row { const char* line; const char* text; };
    const Row rows[] = {
        {"Reply(105);", "[MSG:105]"},
        {"reply( -5 );", "[MSG:-5]"},
        {"Reply(mstr(300));", "[MSG:300]"},
        {"gsay_reply(NAME, 007);", "[MSG:7]"},
        {"gSay_Message(SCRIPT_X, 44, NEUTRAL_REACTION);", "[MSG:44]"},
        {"Reply(NAME2, 9);", "[MSG:2]"},      // the first integer after "("
        {"Reply(\"hello\");", ""},             // no integer: no text
        {"Reply(1-2);", ""},                  // the run "1-2" is not an integer
        {"Reply(99999999999);", ""},          // too big for 32 bits
        {"Reply(", ""},
    };
    for (const Row& row : rows) {
        auto r = Import(Script({"procedure p begin", row.line, "end"}));
        EXPECT_EQ(r.project->NodeAt(0)->Text(), QString::fromUtf8(row.text)) << row.line;
        EXPECT_TRUE(r.result.Success) << row.line;
    }
}

TEST(SSLImport, LaterReplyReplacesText)
{
    auto r = Import(Script({"procedure p begin", "display_msg(\"first\");", "Reply(1);", "Reply(2);",
                            "display_msg(\"and\" + \"more\");", "display_msg(no quotes);", "end"}));
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("[MSG:2] and"));
}

TEST(SSLImport, DisplayMsgAppends)
{
    auto r = Import(Script({"procedure p begin", "display_msg(\"Hello\");", "display_msg(\"there.\");",
                            "display_msg(\"\");", "end"}));
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("Hello there. "));
}

TEST(SSLImport, OptionParsing)
{
    struct Row { const char* line; bool ok; const char* text; const char* target; bool skill; };
    const Row rows[] = {
        {"NOption(\"106\", \"Node002\");", true, "[MSG:106]", "node002", false},
        {"NOption(mstr(106), Node002);", true, "[MSG:mstr(106)]", "node002", false},
        {"NOption(106, (Node002));", true, "[MSG:106]", "(node002)", false},
        {"NOption(106,);", true, "[MSG:106]", "", false},
        {"NOption(106);", false, "", "", false},
        {"NOption(, Node002);", false, "", "", false},
        {"NOption(\"\", Node002);", false, "", "", false},
        {"NOption(106, Node002", true, "[MSG:106]", "node002", false},   // no ")": to the end
        {"NOption(106, Node002;;;", true, "[MSG:106]", "node002", false},
        {"goption(1,Node002)", true, "[MSG:1]", "node002", true},
        {"giq_option(0, NAME, 300, Node005, GOOD_REACTION);", true, "[MSG:300]", "node005", true},
        {"giq_option(7, NAME, 300, NODE005, GOOD_REACTION);", true, "[MSG:300]", "node005", false},
        {"giq_option(smart, NAME, 300, Node005, X);", true, "[MSG:300]", "node005", false},   // IQ 4
        {"giq_option(1, NAME, , Node005, X);", true, "[MSG:]", "node005", true},
        {"giq_option(4, NAME, 300, Node005, A, B, C);", true, "[MSG:300]", "node005", false},
        // Not five parts, or an empty first or fourth part: two-part rule,
        // the target keeps its case.
        {"giq_option(4, NAME, 300, Node005);", true, "[MSG:4]", "NAME, 300, Node005", false},
        {"giq_option(, NAME, 300, Node005, X);", false, "", "", false},
        {"giq_option(4, NAME, 300, , X);", true, "[MSG:4]", "NAME, 300, , X", false},
        {"giq_option(4);", false, "", "", false},
    };
    for (const Row& row : rows) {
        auto r = Import(Script({"procedure p begin", row.line, "end"}));
        const auto& opts = r.project->NodeAt(0)->PlayerOptions();
        if (!row.ok) {
            EXPECT_TRUE(opts.empty()) << row.line;
            ASSERT_EQ(r.result.Errors.size(), 1) << row.line;
            const bool giq = QString::fromUtf8(row.line).startsWith(QLatin1String("giq"));
            EXPECT_EQ(r.result.Errors[0],
                      giq ? QStringLiteral("Line 2: giq_option syntax") : QStringLiteral("Line 2: option syntax"))
                << row.line;
            EXPECT_FALSE(r.result.Success);
            continue;
        }
        ASSERT_EQ(opts.size(), 1u) << row.line;
        EXPECT_TRUE(r.result.Success) << row.line;
        EXPECT_EQ(opts[0]->Text, QString::fromUtf8(row.text)) << row.line;
        EXPECT_EQ(opts[0]->TargetNodeID, QString::fromUtf8(row.target)) << row.line;
        EXPECT_EQ(opts[0]->HasSkillCheck, row.skill) << row.line;
    }
}

TEST(SSLImport, GiqTwoPartTargetCanMatchANodeID)
{
    // The two-part fallback does not lower-case its target, which then is no
    // procedure name; when it happens to be a node ID it is not a warning.
    auto r = Import(Script({"procedure p begin", "giq_option(5, Node001);", "end"}));
    EXPECT_EQ(r.project->NodeAt(0)->PlayerOptions()[0]->TargetNodeID, QStringLiteral("Node001"));
    EXPECT_EQ(r.result.WarningCount, 0);
}

TEST(SSLImport, ErrorsCarryLineNumbersAndDoNotStop)
{
    auto r = Import(QStringLiteral("procedure p begin\n\n  NOption(1);\r\n  giq_option(2);\r  Reply(3);\nend\n"));
    ASSERT_EQ(r.result.Errors.size(), 2);
    EXPECT_EQ(r.result.Errors[0], QStringLiteral("Line 3: option syntax"));
    EXPECT_EQ(r.result.Errors[1], QStringLiteral("Line 4: giq_option syntax"));
    EXPECT_FALSE(r.result.Success);
    ASSERT_TRUE(r.project);
    EXPECT_EQ(r.result.NodeCount, 1);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("[MSG:3]"));
}

TEST(SSLImport, CallForms)
{
    struct Row { const char* line; const char* next; };
    const Row rows[] = {
        {"call Node002;", "node002"}, {"call  Node002 ;", "node002"}, {"call Node002;;", "node002;"},
        {"call(Node002);", "node002"}, {"call( \"Node002\" );", "node002"}, {"call(Node002", "node002"},
        {"CALL NODE002", "node002"},
    };
    for (const Row& row : rows) {
        auto r = Import(Script({"procedure p begin", row.line, "end"}));
        EXPECT_EQ(r.project->NodeAt(0)->NextNodeID(), QString::fromUtf8(row.next)) << row.line;
    }
    auto r = Import(Script({"procedure p begin", "call a;", "call b;", "end", "procedure a begin", "end",
                            "procedure b begin", "end"}));
    EXPECT_EQ(r.project->NodeAt(0)->NextNodeID(), QStringLiteral("Node003"));
}

TEST(SSLImport, SkippedBodyLines)
{
    auto r = Import(Script({"procedure p begin", "  variable x := 1;", "  critter_attempt_placement(x);",
                            "  dec_general_rep(5);", "  float_msg(self_obj, \"x\", 1);", "  gset_x(1);",
                            "  give_exp_points(100);", "  inc_general_rep(1);", "  party_add(self_obj);",
                            "  remove_party_member(self_obj);", "  set_global_var(1, 2);", "  # hash",
                            "  * star", "  / slash", "  gsay_option(1, x);", "end"}));
    const TDialogueNode* n = r.project->NodeAt(0);
    EXPECT_TRUE(n->Text().isEmpty());
    EXPECT_TRUE(n->PlayerOptions().empty());
    EXPECT_TRUE(n->NextNodeID().isEmpty());
    EXPECT_TRUE(r.result.Success);
}

TEST(SSLImport, IfElseForms)
{
    // Options inside if/else branches never reach the node; the option after
    // the whole if/else does, and the procedure after it is still its own.
    const char* forms[] = {
        "  if (x) then begin\n    NOption(1, q);\n  end else begin\n    NOption(2, q);\n  end\n",
        "  if (x) then begin\n    NOption(1, q);\n  end\n  else begin\n    NOption(2, q);\n  end\n",
        "  if (x) then begin\n    NOption(1, q);\n  end\n  else\n  begin\n    NOption(2, q);\n  end\n",
        "  if (x) then begin\n    NOption(1, q);\n  end else\n  begin\n    NOption(2, q);\n  end\n",
        "  if (x) then begin\n    NOption(1, q);\n  end else if (skill_check(dude_obj, SKILL_SNEAK, 15)) then begin\n"
        "    NOption(2, q);\n  end\n",
        "  if (x) then begin\n    NOption(1, q);\n  end else\n    NOption(2, q);\n",
        "  if (x) then begin\n    NOption(1, q);\n  end else call q;\n",
        "  if (x) then call q;\n",
        "  if (x) then NOption(1, q);\n  if (y) then\n  begin\n    NOption(2, q);\n  end\n",
        "  if (x) then begin\n    if (y) then call q;\n    NOption(1, q);\n  end\n",
        "  if (x) then begin // greet once\n    NOption(1, q);\n  end else begin /* else */\n    NOption(2, q);\n"
        "  end\n",
        "  if (x) then begin\n    NOption(1, q);\n  end\n  else // the other way\n  begin\n    NOption(2, q);\n"
        "  end\n",
    };
    for (const char* form : forms) {
        const QString text = QStringLiteral("procedure p begin\n") + QString::fromUtf8(form)
            + QStringLiteral("  NOption(3, q);\nend\nprocedure q begin\n  Reply(9);\nend\n");
        auto r = Import(text);
        ASSERT_EQ(r.result.NodeCount, 2) << form;
        const auto& opts = r.project->NodeAt(0)->PlayerOptions();
        ASSERT_EQ(opts.size(), 1u) << form;
        EXPECT_EQ(opts[0]->Text, QStringLiteral("[MSG:3]")) << form;
        EXPECT_TRUE(r.project->NodeAt(0)->NextNodeID().isEmpty()) << form;
        EXPECT_TRUE(r.project->NodeAt(0)->Text().isEmpty()) << form;
        EXPECT_EQ(r.project->NodeAt(1)->Text(), QStringLiteral("[MSG:9]")) << form;
    }
}

TEST(SSLImport, SkillCheckOnElseIfAndOneLineIf)
{
    auto r = Import(Script({"procedure p begin", "  NOption(1, p);", "  if (a) then begin", "  end else if "
                            "(skill_check(dude_obj, SKILL_GAMBLING, 33)) then begin", "  end", "end"}));
    EXPECT_EQ(r.project->NodeAt(0)->PlayerOptions()[0]->SkillCheck.Skill, skGambling);
    auto one = Import(Script({"procedure p begin", "  NOption(1, p);",
                              "  if (skill_check(dude_obj, SKILL_REPAIR, 12)) then call p;", "end"}));
    const TPlayerOption& o = *one.project->NodeAt(0)->PlayerOptions()[0];
    EXPECT_EQ(o.SkillCheck.Skill, skRepair);
    EXPECT_EQ(o.SkillCheck.Difficulty, 12);
    EXPECT_TRUE(one.project->NodeAt(0)->NextNodeID().isEmpty());
}

TEST(SSLImport, MultiLineConditionOpensBlock)
{
    // A condition over two lines: the block is still closed by its "end".
    auto r = Import(Script({"procedure p begin", "  if (a and", "      b) then begin", "    NOption(1, p);",
                            "  end", "  NOption(2, p);", "end"}));
    const auto& opts = r.project->NodeAt(0)->PlayerOptions();
    ASSERT_EQ(opts.size(), 1u);
    EXPECT_EQ(opts[0]->Text, QStringLiteral("[MSG:2]"));
}

TEST(SSLImport, NestedConditionalBlocks)
{
    auto r = Import(Script({"procedure p begin", "  if (a) then begin", "    if (skill_check(dude_obj, SKILL_REPAIR, 5)) then begin",
                            "      NOption(1, p);", "    end", "    else", "    begin", "      NOption(2, p);",
                            "    end", "    NOption(3, p);", "  end", "  NOption(4, p);", "end"}));
    const auto& opts = r.project->NodeAt(0)->PlayerOptions();
    ASSERT_EQ(opts.size(), 1u);
    EXPECT_EQ(opts[0]->Text, QStringLiteral("[MSG:4]"));
    EXPECT_TRUE(opts[0]->HasSkillCheck);
    EXPECT_EQ(opts[0]->SkillCheck.Skill, skRepair);
    EXPECT_EQ(opts[0]->SkillCheck.Difficulty, 5);
}

TEST(SSLImport, LastPendingSkillCheckWins)
{
    auto r = Import(Script({"procedure p begin", "  if (skill_check(d, SKILL_SNEAK, 1)) then", "  end",
                            "  if (skill_check(d, SKILL_BARTER, 2)) then", "  end", "  NOption(1, p);", "end"}));
    const TPlayerOption& o = *r.project->NodeAt(0)->PlayerOptions()[0];
    EXPECT_EQ(o.SkillCheck.Skill, skBarter);
    EXPECT_EQ(o.SkillCheck.Difficulty, 2);
}

TEST(SSLImport, WarningsCountUnresolvedNextAndTargets)
{
    auto r = Import(Script({"procedure p begin", "  call nowhere;", "  NOption(1, lost);", "  NOption(2, p);",
                            "  NOption(3,);", "end"}));
    EXPECT_EQ(r.result.WarningCount, 2);
    EXPECT_EQ(r.project->NodeAt(0)->NextNodeID(), QStringLiteral("nowhere"));
    EXPECT_TRUE(r.result.Success);
}

TEST(SSLImport, EmptyProcedureNameIsNoLinkTarget)
{
    auto r = Import(Script({"procedure  begin", "  NOption(1,);", "end", "procedure b begin", "end"}));
    ASSERT_EQ(r.result.NodeCount, 2);
    EXPECT_EQ(r.project->NodeAt(0)->Notes(), QStringLiteral("Original: "));
    EXPECT_TRUE(r.project->NodeAt(0)->PlayerOptions()[0]->TargetNodeID.isEmpty());
    EXPECT_TRUE(r.project->NodeAt(1)->NextNodeID().isEmpty());
}

TEST(SSLImport, ImporterIsReusable)
{
    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> a;
    std::unique_ptr<TDialogueProject> b;
    const auto r1 = importer.ImportFromText(Script({"procedure p begin", "NOption(1);", "NOption(2,x);", "end"}), a);
    const auto r2 = importer.ImportFromText(Script({"procedure q begin", "end"}), b);
    EXPECT_EQ(r1.Errors.size(), 1);
    EXPECT_EQ(r1.WarningCount, 1);
    EXPECT_TRUE(r2.Success);
    EXPECT_EQ(r2.WarningCount, 0);
    EXPECT_EQ(b->NodeAt(0)->ID(), QStringLiteral("Node001"));
    EXPECT_EQ(a->NodeCount(), 1);
}

// ------------------------------------------------------------- encodings

TEST(SSLImport, Encodings)
{
    ImportTest::ExpectEncodingsReadAlike<TSSLImporter>("ssl");
}

TEST(SSLImport, FileNameBecomesProjectNameOnlyOnSuccess)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("town.guard.ssl"));
    const QString bad = dir.filePath(QStringLiteral("broken.ssl"));
    TestSupport::WriteFile(good, "procedure p begin\r\nend\r\n");
    TestSupport::WriteFile(bad, "procedure p begin\r\nNOption(1);\r\nend\r\n");
    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> p;
    EXPECT_TRUE(importer.ImportFromFile(good, p).Success);
    EXPECT_EQ(p->Name(), QStringLiteral("town.guard"));
    EXPECT_FALSE(importer.ImportFromFile(bad, p).Success);
    EXPECT_EQ(p->Name(), QStringLiteral("New Dialogue"));
}

TEST(SSLImport, UnreadableFileRaises)
{
    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> p;
    EXPECT_THROW(importer.ImportFromFile(QStringLiteral("/nonexistent/dir/x.ssl"), p), EDialogueError);
    EXPECT_FALSE(p);
    QTemporaryDir dir;
    EXPECT_THROW(importer.ImportFromFile(dir.path(), p), EDialogueError);
}

// ------------------------------------------------------ export -> import

// The script the exporter writes is not read back: its nodes are labels, not
// procedures, and its reply_msg/Option/goto_node_ lines are not the macros
// the importer reads. Only its two procedures "start" and "talk" become
// nodes; no text, option or link of the exported nodes survives.
TEST(SSLImport, ExportedScriptKeepsOnlyItsProcedures)
{
    TDialogueProject src;
    TDialogueNode* a = src.AddNode(ntNPCDialogue);
    a->SetText(QStringLiteral("Hello there"));
    a->SetSpeaker(QStringLiteral("Guard"));
    TDialogueNode* b = src.AddNode(ntPlayerReply);
    a->SetNextNodeID(b->ID());
    b->AddOption()->TargetNodeID = a->ID();
    src.SetStartNodeID(a->ID());

    QTemporaryDir dir;
    TExportManager manager(&src);
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = efSSL;
    opts.OutputPath = dir.filePath(QStringLiteral("guard.ssl"));
    ASSERT_TRUE(manager.Export(opts).Success);

    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const auto r = importer.ImportFromFile(opts.OutputPath, p);
    EXPECT_TRUE(r.Success);
    ASSERT_EQ(r.NodeCount, 2);
    EXPECT_EQ(p->NodeAt(0)->Notes(), QStringLiteral("Original: start"));
    EXPECT_EQ(p->NodeAt(1)->Notes(), QStringLiteral("Original: talk"));
    for (const auto& n : p->Nodes()) {
        EXPECT_TRUE(n->Text().isEmpty());
        EXPECT_TRUE(n->PlayerOptions().empty());
        EXPECT_TRUE(n->NextNodeID().isEmpty());
    }
    EXPECT_EQ(r.WarningCount, 0);
    EXPECT_EQ(p->Name(), QStringLiteral("guard"));
}
