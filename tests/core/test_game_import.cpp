// The game dialogue importer on scripts written in the games' idiom: the
// shared brana pair and fixtures of our own (nested guards, statements over
// several lines, both option forms, joined texts, missing messages, skill
// rolls, several start branches, defines used as numbers), the message file
// search, the kept frame, the layout and the report.

#include "interchange/FormatRegistry.h"
#include "interchange/GameDialogueImporter.h"
#include "interchange/GameMessageFile.h"
#include "interchange/GameSkillRoll.h"
#include "interchange/SSLMSGText.h"
#include "model/TextEncoding.h"
#include "tests/core/test_game_import_support.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using GameImportTest::ImportFixture;
using GameImportTest::Reassemble;
using GameImportTest::TImport;

namespace {

struct TOptionRow {
    const char* Node;
    int Index;
    qint32 Msg;
    const char* Target;
    qint32 Iq;
    TReaction Reaction;
    const char* Guard;
    const char* Text;
};

void ExpectOptions(const TImport& r, std::initializer_list<TOptionRow> rows)
{
    for (const TOptionRow& row : rows) {
        SCOPED_TRACE(std::string(row.Node) + " option " + std::to_string(row.Index));
        const TDialogueNode& node = r.Node(row.Node);
        ASSERT_LT(size_t(row.Index), node.PlayerOptions().size());
        const TPlayerOption& o = *node.PlayerOptions()[size_t(row.Index)];
        EXPECT_EQ(o.MsgNumber, row.Msg);
        EXPECT_EQ(o.TargetNodeID, QString::fromUtf8(row.Target));
        EXPECT_EQ(o.IntelligenceRequired, row.Iq);
        EXPECT_EQ(o.Reaction, row.Reaction);
        EXPECT_EQ(o.Guard, QString::fromUtf8(row.Guard));
        EXPECT_EQ(o.Text, QString::fromUtf8(row.Text));
    }
}

QStringList ScriptCodes(const TDialogueNode& node)
{
    QStringList codes;
    for (const auto& s : node.Scripts())
        codes << s->ScriptCode;
    return codes;
}

} // namespace

TEST(GameImport, BranaGraph)
{
    const TImport r = ImportFixture(QStringLiteral("brana"));
    ASSERT_TRUE(r.Result.Success) << r.Result.Errors.join(QLatin1Char('\n')).toStdString();
    const TGameImportReport& rep = r.Result.Report;
    EXPECT_EQ(rep.Procedures, 9);
    EXPECT_EQ(rep.DialogueProcedures, 7);
    EXPECT_EQ(rep.MessagesUsed, 16);
    EXPECT_EQ(rep.MessagesUnused, 0);
    EXPECT_TRUE(rep.MissingMessages.isEmpty());
    EXPECT_TRUE(rep.NotUnderstood.isEmpty()) << rep.NotUnderstood.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.Project->StartNodeID(), QStringLiteral("Node001"));
    EXPECT_TRUE(r.Node("Node001").IsStartNode());
    EXPECT_EQ(r.Project->NPCScript(), QStringLiteral("brana"));

    EXPECT_EQ(r.Node("Node001").Text(), QStringLiteral("Water's two caps a cup, stranger. Drink or move along."));
    EXPECT_EQ(r.Node("Node001").MsgNumber(), 100);
    EXPECT_EQ(r.Node("Node001").ProcedureName(), QStringLiteral("Node001"));
    ExpectOptions(r, {
        {"Node001", 0, 101, "Node002", 4, rcNeutral, "", "What happened to the old pump?"},
        {"Node001", 1, 102, "Node003", 4, rcGood, "global_var(GVAR_WELL_QUEST) == 1",
         "The caravan master sent me. The well needs cleaning."},
        {"Node001", 2, 103, "Node998", 4, rcBad, "", "Two caps? I'll take the whole bucket, thanks."},
        {"Node001", 3, 104, "Node999", -3, rcNeutral, "", "Wawa?"},
        {"Node001", 4, 105, "Node999", 4, rcNeutral, "", "Never mind."},
        {"Node002", 0, 111, "Node004", 6, rcNeutral, "", "I could take a look at it, if the price is right."},
        {"Node003", 0, 121, "Node999", 4, rcNeutral, "", "I will."},
    });
    EXPECT_EQ(ScriptCodes(r.Node("Node003")), QStringList{QStringLiteral("set_global_var(GVAR_WELL_QUEST, 2);")});

    // The roll: a skill check on the node, the failure lines a node of their own.
    const TDialogueNode& roll = r.Node("Node004");
    EXPECT_EQ(roll.NodeType(), ntScript);
    ASSERT_EQ(roll.PlayerOptions().size(), 1u);
    const TPlayerOption& check = *roll.PlayerOptions()[0];
    ASSERT_TRUE(check.HasSkillCheck);
    EXPECT_EQ(check.SkillCheck.Skill, skSpeech);
    EXPECT_EQ(GameSkillRoll::ModifierFromDifficulty(check.SkillCheck.Difficulty), -10);
    EXPECT_EQ(check.SkillCheck.SuccessNodeID, QStringLiteral("Node005"));
    const TDialogueNode& failure = r.Node("Node004_failure");
    EXPECT_EQ(check.SkillCheck.FailureNodeID, failure.ID());
    EXPECT_EQ(failure.MsgNumber(), 130);
    ASSERT_EQ(failure.PlayerOptions().size(), 1u);
    EXPECT_EQ(failure.PlayerOptions()[0]->MsgNumber, 131);

    EXPECT_EQ(r.Node("Node998").NodeType(), ntCombatTrigger);
    EXPECT_EQ(ScriptCodes(r.Node("Node998")), QStringList{QStringLiteral("floater(150);")});
    EXPECT_EQ(r.Node("Node999").NodeType(), ntEndDialogue);
    // The floater's line stays in the message lines the project keeps.
    EXPECT_EQ(r.Project->GameScript().Messages.value(150), QStringLiteral("Get away from my well!"));
}

// The frame and the procedure texts it stands for give back the script
// byte for byte; the plain talk_p_proc is a place the export fills.
TEST(GameImport, FrameGivesBackTheWholeScript)
{
    for (const char* stem : {"brana", "oswin", "tamsin"}) {
        SCOPED_TRACE(stem);
        const TImport r = ImportFixture(QLatin1String(stem));
        const QString original = SSLMSGText::ReadTextFile(
            TestSupport::DataPath(QStringLiteral("gameimport/%1.ssl").arg(QLatin1String(stem))));
        EXPECT_EQ(Reassemble(r), original);
    }
    const TImport brana = ImportFixture(QStringLiteral("brana"));
    const QVector<TGameScriptPart>& parts = brana.Project->GameScript().Parts;
    int declarations = 0;
    QStringList procedures;
    for (const TGameScriptPart& p : parts) {
        declarations += p.Kind == TGameScriptPart::gpDeclaration;
        if (p.Kind == TGameScriptPart::gpProcedure)
            procedures << p.Text;
        if (p.Kind == TGameScriptPart::gpText)
            EXPECT_FALSE(p.Text.contains(QLatin1String("Node00"))) << p.Text.toStdString();
    }
    EXPECT_EQ(declarations, 7);
    EXPECT_EQ(procedures, (QStringList{"talk_p_proc", "Node001", "Node002", "Node003", "Node004", "Node005",
                                       "Node998", "Node999"}));
    // A talk_p_proc that does more than start the dialogue is kept as text.
    const TImport tamsin = ImportFixture(QStringLiteral("tamsin"));
    bool talkKept = false;
    for (const TGameScriptPart& p : tamsin.Project->GameScript().Parts)
        talkKept = talkKept || (p.Kind == TGameScriptPart::gpText && p.Text.contains(QLatin1String("procedure talk_p_proc begin")));
    EXPECT_TRUE(talkKept);
}

TEST(GameImport, NestedGuardsDefinesAndBothOptionForms)
{
    const TImport r = ImportFixture(QStringLiteral("oswin"));
    ASSERT_TRUE(r.Result.Success);
    // FIRST_NODE is a define naming the start procedure.
    EXPECT_EQ(r.Project->StartNodeID(), QStringLiteral("Node010"));
    const QString paid = QStringLiteral("(local_var(LVAR_Paid) == 0)");
    const QString ferry = QStringLiteral("(global_var(GVAR_FERRY_STATE) >= 2)");
    // node011 and Node012b are not in the node ID form: made IDs, names kept.
    const QString node011 = r.Node("Node010").PlayerOptions()[0]->TargetNodeID;
    ASSERT_NE(r.Project->FindNode(node011), nullptr);
    EXPECT_EQ(r.Project->FindNode(node011)->ProcedureName(), QStringLiteral("node011"));
    EXPECT_TRUE(r.Project->FindNode(node011)->Notes().contains(QLatin1String("node011")));
    ExpectOptions(r, {
        {"Node010", 0, 201, qPrintable(node011), 4, rcGood,
         qPrintable(paid + " and " + ferry + " and (dude_is_male)"), "Here, ten caps. Sir."},
        {"Node010", 1, 202, qPrintable(node011), 4, rcGood,
         qPrintable(paid + " and " + ferry + " and (not (dude_is_male))"), "Here, ten caps. Ma'am."},
        {"Node010", 2, 203, "Node012", 4, rcNeutral,
         qPrintable(paid + " and (not (global_var(GVAR_FERRY_STATE) >= 2))"), "Why so much?"},
        {"Node010", 3, 204, "Node999", -3, rcNeutral, "", "Boat!"},
        {"Node010", 4, 205, "Node999", 4, rcBad, "", "Ten caps for a leaky tub?"},
        // Over three lines, with defines as numbers.
        {"Node012", 0, 212, "Node013", 4, rcNeutral, "", "Fine, take me across."},
        {"Node013", 0, 231, "Node999", -3, rcGood, "", "Sit!"},
        {"Node013", 1, 232, "Node999", -3, rcBad, "", "No sit."},
    });
    // Five arguments: intelligence and reaction from defines and names.
    const TPlayerOption& smart = *r.Node("Node012").PlayerOptions()[1];
    EXPECT_EQ(smart.MsgNumber, 213);
    EXPECT_EQ(smart.IntelligenceRequired, 7);
    EXPECT_EQ(smart.Reaction, rcGood);
    EXPECT_EQ(r.Project->FindNode(smart.TargetNodeID)->ProcedureName(), QStringLiteral("Node012b"));
    EXPECT_EQ(r.Node("Node012").PlayerOptions()[2]->Reaction, rcBad);

    // The statement inside a guarded branch keeps its guard.
    EXPECT_EQ(ScriptCodes(r.Node("Node010")),
              QStringList{QStringLiteral("if (%1 and %2 and (not (dude_is_male))) then begin\n   give_xp(10);\nend")
                              .arg(paid, ferry)});
    // Two statements on one line, one statement over two.
    EXPECT_EQ(ScriptCodes(r.Node("Node012")),
              (QStringList{QStringLiteral("fare_asked := 1;"), QStringLiteral("set_local_var(LVAR_Paid, 0);")}));
    const TDialogueNode& calm = *r.Project->FindNode(node011);
    EXPECT_EQ(calm.Text(), QStringLiteral("The river's calm today. Climb in."));
    EXPECT_EQ(calm.MsgNumber(), 0);
    EXPECT_EQ(calm.NextNodeID(), QStringLiteral("Node999"));
    EXPECT_EQ(ScriptCodes(calm), QStringList{QStringLiteral("set_local_var(LVAR_Paid,\n                 1);")});
}

TEST(GameImport, JoinedTextsAndMissingMessages)
{
    const TImport r = ImportFixture(QStringLiteral("oswin"));
    // Pieces joined with "+": the engine's value shows as a placeholder;
    // the message spans two lines of the message file.
    EXPECT_EQ(r.Node("Node012").Text(),
              QStringLiteral("Ten caps, <dude_name>. The current is strong and my arms are old."));
    EXPECT_EQ(r.Node("Node012").MsgNumber(), 0);
    EXPECT_EQ(r.Project->GameScript().Messages.keys(), (QList<qint32>{210, 211}));
    const TGameImportReport& rep = r.Result.Report;
    ASSERT_EQ(rep.MissingMessages.size(), 1);
    EXPECT_EQ(rep.MissingMessages[0].Number, 299);
    EXPECT_EQ(rep.MissingMessages[0].Line, 66);
    const TDialogueNode& node12b = *r.Project->FindNode(r.Node("Node012").PlayerOptions()[1]->TargetNodeID);
    EXPECT_EQ(node12b.PlayerOptions()[1]->Text, QStringLiteral("[MSG:299]"));
    EXPECT_EQ(node12b.PlayerOptions()[1]->MsgNumber, 299);
    EXPECT_EQ(rep.MessagesUnused, 1);   // 240
    EXPECT_GE(r.Result.WarningCount, 1);
    EXPECT_TRUE(rep.Lines().contains(QStringLiteral("  Line 66: message 299")));
}

TEST(GameImport, StartBranchesSkillProceduresBarterCombat)
{
    const TImport r = ImportFixture(QStringLiteral("tamsin"));
    ASSERT_TRUE(r.Result.Success);
    // The first branch that starts the dialogue starts it; the others are
    // noted on the project with their guards.
    EXPECT_EQ(r.Project->StartNodeID(), QStringLiteral("Node007"));
    const QString description = r.Project->Description();
    EXPECT_TRUE(description.contains(QLatin1String("Node002 when"))) << description.toStdString();
    EXPECT_TRUE(description.contains(QLatin1String("global_var(GVAR_PLAYER_REPUTATION) < -50")));
    EXPECT_TRUE(description.contains(QLatin1String("Node001 when")));

    const TPlayerOption& roll = *r.Node("Node004").PlayerOptions()[0];
    ASSERT_TRUE(roll.HasSkillCheck);
    EXPECT_EQ(roll.SkillCheck.Skill, skBarter);
    EXPECT_EQ(GameSkillRoll::ModifierFromDifficulty(roll.SkillCheck.Difficulty), -20);   // BARTER_HARD
    EXPECT_EQ(roll.SkillCheck.SuccessNodeID, QStringLiteral("Node005"));
    EXPECT_EQ(roll.SkillCheck.FailureNodeID, QStringLiteral("Node006"));
    // A roll on a skill the editor lacks stays a guard, verbatim.
    EXPECT_EQ(r.Node("Node006").PlayerOptions()[0]->Guard,
              QStringLiteral("is_success(roll_vs_skill(dude_obj, SKILL_STEAL, 0))"));

    EXPECT_EQ(r.Node("Node003").NodeType(), ntTrade);
    EXPECT_EQ(r.Node("Node003").MsgNumber(), 320);
    EXPECT_EQ(r.Node("Node998").NodeType(), ntCombatTrigger);
    EXPECT_EQ(r.Node("Node005").NodeType(), ntNPCDialogue);
    // Lines of the other procedures stay in the project's message lines.
    EXPECT_EQ(r.Project->GameScript().Messages.keys(), (QList<qint32>{400, 401}));
    EXPECT_EQ(r.Result.Report.MessagesUsed, 18);
    EXPECT_EQ(r.Result.Report.MessagesUnused, 0);
}

TEST(GameImport, LayoutHasNoOverlapsAndStartsAtTheStartNode)
{
    for (const char* stem : {"brana", "oswin", "tamsin"}) {
        SCOPED_TRACE(stem);
        const TImport r = ImportFixture(QLatin1String(stem));
        const TDialogueNode* start = r.Project->FindNode(r.Project->StartNodeID());
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(start->X(), 40);
        EXPECT_EQ(start->Y(), 40);
        GameImportTest::ExpectNoOverlaps(*r.Project);
        // Every option target of the start node stands one column right.
        for (const auto& o : start->PlayerOptions())
            if (const TDialogueNode* t = r.Project->FindNode(o->TargetNodeID))
                EXPECT_GT(t->X(), start->X());
    }
}

TEST(GameImport, MessageFileFoundInTheGamesFolders)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    const QByteArray script = TestSupport::ReadFile(TestSupport::DataPath(QStringLiteral("gameimport/brana.ssl")));
    const QByteArray messages = TestSupport::ReadFile(TestSupport::DataPath(QStringLiteral("gameimport/brana.msg")));
    QDir(root).mkpath(QStringLiteral("scripts_src/well"));
    QDir(root).mkpath(QStringLiteral("Data/Text/English/DIALOG"));
    const QString scriptPath = root + QStringLiteral("/scripts_src/well/BRANA.SSL");
    TestSupport::WriteFile(scriptPath, script);
    TestSupport::WriteFile(root + QStringLiteral("/Data/Text/English/DIALOG/Brana.Msg"), messages);
    EXPECT_EQ(TGameMessageFile::Find(scriptPath), root + QStringLiteral("/Data/Text/English/DIALOG/Brana.Msg"));
    // One beside the script comes first.
    TestSupport::WriteFile(root + QStringLiteral("/scripts_src/well/brana.msg"), messages);
    EXPECT_EQ(TGameMessageFile::Find(scriptPath), root + QStringLiteral("/scripts_src/well/brana.msg"));

    // None at all: the import goes on with placeholders and says where it looked.
    QTemporaryDir lonely;
    const QString alone = lonely.filePath(QStringLiteral("brana.ssl"));
    TestSupport::WriteFile(alone, script);
    TGameDialogueImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const TGameImportResult res = importer.ImportFromFile(alone, QString(), p);
    EXPECT_TRUE(res.Success);
    EXPECT_EQ(p->FindNode(QStringLiteral("Node001"))->Text(), QStringLiteral("[MSG:100]"));
    EXPECT_EQ(res.Report.MissingMessages.size(), 16);
    ASSERT_FALSE(res.Report.Notes.isEmpty());
    EXPECT_TRUE(res.Report.Notes[0].startsWith(QLatin1String("no message file found; looked for ")));
    EXPECT_TRUE(res.Report.Notes[0].contains(QLatin1String("text/english/dialog/brana.msg")));
}

TEST(GameImport, MessageFileEncodings)
{
    const QString text = QStringLiteral("{100}{}{Caf\u00e9 \u2013 \u20ac5}\r\n");
    struct TCase {
        const char* Name;
        QByteArray Bytes;
        bool Readable;
    };
    QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    const TCase cases[] = {
        {"cp1252", TextEncoding::ToAnsi(text), true},
        {"utf8", text.toUtf8(), true},
        {"utf8 bom", "\xEF\xBB\xBF" + text.toUtf8(), true},
        {"utf16 bom", "\xFF\xFE" + utf16, true},
        {"utf16 without bom", utf16, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QTemporaryDir dir;
        TestSupport::WriteFile(dir.filePath(QStringLiteral("n.ssl")),
                               "procedure talk_p_proc begin gSay_Start; call Node001; gSay_End; end\n"
                               "procedure Node001 begin Reply(100); end\n");
        TestSupport::WriteFile(dir.filePath(QStringLiteral("n.msg")), c.Bytes);
        TGameDialogueImporter importer;
        std::unique_ptr<TDialogueProject> p;
        const TGameImportResult r = importer.ImportFromFile(dir.filePath(QStringLiteral("n.ssl")), QString(), p);
        ASSERT_TRUE(r.Success);
        if (c.Readable) {
            EXPECT_EQ(p->FindNode(QStringLiteral("Node001"))->Text(), QStringLiteral("Caf\u00e9 \u2013 \u20ac5"));
            EXPECT_TRUE(r.Report.Notes.isEmpty());
        } else {
            EXPECT_EQ(p->FindNode(QStringLiteral("Node001"))->Text(), QStringLiteral("[MSG:100]"));
            ASSERT_FALSE(r.Report.Notes.isEmpty());
            EXPECT_TRUE(r.Report.Notes[0].contains(QLatin1String("NUL"))) << r.Report.Notes[0].toStdString();
        }
    }
}

// Everything the import made survives the project file.
TEST(GameImport, ProjectFileKeepsTheImport)
{
    const TImport r = ImportFixture(QStringLiteral("oswin"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("oswin.tlw"));
    ASSERT_TRUE(r.Project->SaveToFile(path));
    TDialogueProject loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(TestSupport::DocumentText(loaded), TestSupport::DocumentText(*r.Project));
    EXPECT_EQ(loaded.GameScript(), r.Project->GameScript());
    EXPECT_FALSE(loaded.GameScript().IsEmpty());
}

TEST(GameImport, FormatAndOptions)
{
    const TDialogueFormat* format = TFormatRegistry::Instance().Reader(QStringLiteral("game"));
    ASSERT_NE(format, nullptr);
    EXPECT_TRUE(format->CanRead());
    ASSERT_NE(TFormatRegistry::Instance().Writer(QStringLiteral("game")), nullptr);
    EXPECT_TRUE(TFormatRegistry::Instance().Writer(QStringLiteral("game"))->CanWrite());
    EXPECT_TRUE(format->TakesCompanion());
    // A message file given by the caller wins over the one beside the script.
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.msg"));
    TestSupport::WriteFile(other, "{100}{}{Another line.}\r\n");
    TReadOptions options;
    options.CompanionPath = other;
    std::unique_ptr<TDialogueProject> p;
    const TReadOutcome outcome =
        format->ReadWith(TestSupport::DataPath(QStringLiteral("gameimport/brana.ssl")), options, p);
    EXPECT_TRUE(outcome.Result.Success);
    EXPECT_EQ(outcome.Result.NodeCount, p->NodeCount());
    EXPECT_EQ(p->FindNode(QStringLiteral("Node001"))->Text(), QStringLiteral("Another line."));
    EXPECT_TRUE(outcome.Report.contains(QStringLiteral("Message file: %1 (1 messages)").arg(other)));
    EXPECT_TRUE(outcome.Report.contains(QStringLiteral("Messages used: 16, unused: 0, missing: 15")));
}
