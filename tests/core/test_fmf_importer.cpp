// The FMF reader: what it takes from files of the outside tool and from the
// writer, the encodings it reads, and the forgiving rules for odd lines.

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "model/TextEncoding.h"
#include "tests/support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<TDialogueProject> Import(const QString& text)
{
    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TFMFImportResult result = importer.ImportFromText(text, project);
    EXPECT_TRUE(result.Success);
    EXPECT_TRUE(result.Errors.isEmpty());
    EXPECT_EQ(result.WarningCount, 0);
    EXPECT_EQ(result.Project, project.get());
    EXPECT_EQ(result.NodeCount, project ? project->NodeCount() : -1);
    return project;
}

// One node holding the given body lines.
std::unique_ptr<TDialogueProject> ImportNode(const QString& body)
{
    return Import(QStringLiteral("NODE \"A\"\n{\n") + body + QStringLiteral("\n}\n"));
}

const TPlayerOption& OnlyOption(const TDialogueProject& project)
{
    return *project.NodeAt(0)->PlayerOptions().at(0);
}

std::unique_ptr<TDialogueProject> ImportOptionLine(const QString& optionLine)
{
    auto project = ImportNode(QStringLiteral("OPTIONS {\n") + optionLine + QStringLiteral("\n}"));
    EXPECT_EQ(project->NodeAt(0)->PlayerOptions().size(), 1u);
    return project;
}

}

TEST(FMFImporter, OutsideToolFile)
{
    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TFMFImportResult result =
        importer.ImportFromFile(TestSupport::DataPath(QStringLiteral("fmf/outside_tool.fmf")), project);
    ASSERT_TRUE(result.Success);
    ASSERT_TRUE(project);
    EXPECT_EQ(result.NodeCount, 2);
    const TDialogueProject& p = *project;
    EXPECT_EQ(p.Name(), QStringLiteral("outside_tool"));
    EXPECT_EQ(p.NPCName(), QStringLiteral("Marcus"));
    EXPECT_EQ(p.NPCScript(), QStringLiteral("mcmarcus"));
    EXPECT_EQ(p.Description(), QStringLiteral("A big mutant with C:\\Games\\stuff"));
    const QMap<QString, QString> vars{{QStringLiteral("GVAR_TALKED"), QStringLiteral("0")},
                                      {QStringLiteral("GVAR_PLAIN"), QStringLiteral("12")},
                                      {QStringLiteral("GVAR_EMPTY"), QString()}};
    EXPECT_EQ(p.GlobalVars(), vars);

    ASSERT_EQ(p.FloatMessages().size(), 1u);
    const TFloatMessage& f = *p.FloatMessages()[0];
    EXPECT_EQ(f.ID, QStringLiteral("F1"));
    EXPECT_EQ(f.Text, QStringLiteral("First float | Second float"));
    EXPECT_EQ(f.Category, QStringLiteral("FloatHostile"));
    EXPECT_EQ(f.Priority, 5);
    EXPECT_EQ(f.Weight, 1);
    EXPECT_FLOAT_EQ(f.TimedDuration, 3.0f);
    EXPECT_FALSE(f.IsAmbient);
    EXPECT_TRUE(f.IsCombatTaunt);

    EXPECT_EQ(p.StartNodeID(), QStringLiteral("Greeting"));
    const TDialogueNode* intro = p.NodeAt(0);
    const TDialogueNode* greeting = p.NodeAt(1);
    EXPECT_EQ(intro->ID(), QStringLiteral("Intro"));
    EXPECT_EQ(intro->NodeType(), ntNPCDialogue);
    EXPECT_EQ(intro->Speaker(), QStringLiteral("Marcus"));
    EXPECT_EQ(intro->Notes(), QStringLiteral("intro notes"));
    EXPECT_EQ(intro->Text(), QStringLiteral("Who are you?"));
    EXPECT_TRUE(greeting->IsStartNode());
    EXPECT_EQ(greeting->Text(), QStringLiteral("Hello there.\r\nSecond line."));
    EXPECT_EQ(greeting->Notes(), QStringLiteral("gate\r\n[Female]: Hello, lady."));
    ASSERT_EQ(greeting->Scripts().size(), 1u);
    EXPECT_EQ(greeting->Scripts()[0]->EventType, seOnNodeEnter);
    EXPECT_TRUE(greeting->Scripts()[0]->IsEnabled);
    EXPECT_EQ(greeting->Scripts()[0]->ScriptCode, QStringLiteral("set_local_var(1, 1);\r\ndisplay_msg(\"hi\");"));

    // Start node first at (40,40); the other nodes from there in four columns.
    EXPECT_EQ(greeting->X(), 40);
    EXPECT_EQ(greeting->Y(), 40);
    EXPECT_EQ(intro->X(), 40);
    EXPECT_EQ(intro->Y(), 40);

    ASSERT_EQ(intro->PlayerOptions().size(), 1u);
    const TPlayerOption& nobody = *intro->PlayerOptions()[0];
    EXPECT_EQ(nobody.Text, QStringLiteral("Nobody."));
    EXPECT_EQ(nobody.TargetNodeID, QStringLiteral("Greeting"));
    EXPECT_TRUE(nobody.IsHidden);   // REACTION=-1
    // "Check_0_Intro" names no node and has no SkillCheck_ prefix: the node
    // whose name occurs in it takes it, at option 0.
    EXPECT_TRUE(nobody.HasSkillCheck);
    EXPECT_EQ(nobody.SkillCheck.Skill, skSpeech);
    EXPECT_EQ(nobody.SkillCheck.Difficulty, -10);
    EXPECT_EQ(nobody.SkillCheck.SuccessNodeID, QStringLiteral("Intro"));

    ASSERT_EQ(greeting->PlayerOptions().size(), 3u);
    const TPlayerOption& ladies = *greeting->PlayerOptions()[0];
    EXPECT_TRUE(ladies.IsHidden);   // GENDER=FEMALE
    EXPECT_EQ(ladies.Text, QStringLiteral("For the ladies."));
    EXPECT_FALSE(ladies.HasSkillCheck);
    const TPlayerOption& tryIt = *greeting->PlayerOptions()[1];
    EXPECT_FALSE(tryIt.IsHidden);
    EXPECT_EQ(tryIt.TargetNodeID, QStringLiteral("SkillCheck_1_Greeting"));
    EXPECT_TRUE(tryIt.HasSkillCheck);
    EXPECT_EQ(tryIt.SkillCheck.Skill, skSpeech);      // 99 is no skill
    EXPECT_EQ(tryIt.SkillCheck.Difficulty, 50);       // "hard" is no number
    EXPECT_EQ(tryIt.SkillCheck.FailureNodeID, QStringLiteral("Intro"));
    EXPECT_TRUE(tryIt.SkillCheck.SuccessNodeID.isEmpty());
    const QVector<TCondition> expected{(TCondition{ ctReputation, QString(), coGTE, QStringLiteral("10") }),
                                       (TCondition{ ctKarma, QString(), coLT, QStringLiteral("-5") }),
                                       (TCondition{ ctQuestFlag, QStringLiteral("q1"), coEQ, QStringLiteral("2") })};
    EXPECT_EQ(tryIt.Conditions, expected);
    const TPlayerOption& none = *greeting->PlayerOptions()[2];
    EXPECT_FALSE(none.IsHidden);
    EXPECT_EQ(none.TargetNodeID, QStringLiteral("Nowhere"));
    EXPECT_EQ(none.Conditions,
              QVector<TCondition>{(TCondition{ ctGlobalVar, QStringLiteral("x"), coNEQ, QStringLiteral("5") })});
}

TEST(FMFImporter, WriterFileReadsBack)
{
    TDialogueProject source;
    source.SetNPCName(QStringLiteral("Sulik"));
    TDialogueNode* a = source.AddNode(ntNPCDialogue);
    TDialogueNode* b = source.AddNode(ntTrade);
    TDialogueNode* c = source.AddNode(ntEndDialogue);
    source.SetStartNodeID(b->ID());
    a->SetText(QStringLiteral("Line\r\nwith \"quotes\"\tand tab"));
    TPlayerOption* o1 = b->AddOption();
    o1->Text = QStringLiteral("Go");
    o1->TargetNodeID = c->ID();
    o1->Conditions << (TCondition{ ctGlobalVar, QStringLiteral("x"), coNEQ, QStringLiteral("5") })
                   << (TCondition{ ctRandom, QString(), coEQ, QStringLiteral("50") })
                   << (TCondition{ ctLocalVar, QStringLiteral("s"), coEQ, QStringLiteral("a, b } c") });
    TPlayerOption* o2 = b->AddOption();
    o2->HasSkillCheck = true;
    o2->SkillCheck.Skill = skBigGuns;
    o2->SkillCheck.Difficulty = 75;
    o2->SkillCheck.SuccessNodeID = a->ID();
    o2->SkillCheck.FailureNodeID = c->ID();

    TFMFExporter exporter;
    auto project = Import(exporter.ExportToText(&source).Text);
    ASSERT_EQ(project->NodeCount(), 3);
    EXPECT_EQ(project->NodeAt(0)->ID(), QStringLiteral("Node001"));
    EXPECT_EQ(project->NodeAt(2)->ID(), QStringLiteral("Node003"));
    EXPECT_EQ(project->StartNodeID(), QStringLiteral("Node002"));
    EXPECT_EQ(project->NodeAt(0)->Speaker(), QStringLiteral("Sulik"));
    // Escapes come back as the characters they stand for (line breaks as LF).
    EXPECT_EQ(project->NodeAt(0)->Text(), QStringLiteral("Line\nwith \"quotes\"\tand tab"));
    const auto& options = project->NodeAt(1)->PlayerOptions();
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0]->TargetNodeID, QStringLiteral("Node003"));
    const QVector<TCondition> expected{(TCondition{ ctGlobalVar, QStringLiteral("x"), coNEQ, QStringLiteral("5") }),
                                       (TCondition{ ctRandom, QString(), coEQ, QStringLiteral("50") }),
                                       (TCondition{ ctLocalVar, QStringLiteral("s"), coEQ, QStringLiteral("a, b } c") })};
    EXPECT_EQ(options[0]->Conditions, expected);
    EXPECT_TRUE(options[1]->HasSkillCheck);
    EXPECT_EQ(options[1]->SkillCheck.Skill, skBigGuns);
    EXPECT_EQ(options[1]->SkillCheck.Difficulty, 75);
    EXPECT_EQ(options[1]->SkillCheck.SuccessNodeID, QStringLiteral("Node001"));
    EXPECT_EQ(options[1]->SkillCheck.FailureNodeID, QStringLiteral("Node003"));
    EXPECT_EQ(options[1]->TargetNodeID, QStringLiteral("SkillCheck_1_Node002"));
}

TEST(FMFImporter, KeywordsInAnyLetterCase)
{
    for (const char* intWord : {"INT=", "int=", "iNt="}) {
        auto project = ImportOptionLine(QString::fromLatin1(intWord) + QStringLiteral("1 PlayerText \"x\" LinkTo \"y\""));
        EXPECT_EQ(OnlyOption(*project).Text, QStringLiteral("x")) << intWord;
        EXPECT_EQ(OnlyOption(*project).TargetNodeID, QStringLiteral("y")) << intWord;
    }
}

TEST(FMFImporter, ReactionAndGenderDecideHidden)
{
    struct Case {
        const char* Items;
        bool Hidden;
    };
    const Case cases[] = {
        {"", false},
        {"REACTION=4", false},
        {"REACTION=0", false},
        {"REACTION= -3", true},
        {"REACTION=-1", true},
        {"REACTION=REACTION_NEUTRAL", false},
        {"REACTION=REACTION_GOOD", false},
        {"REACTION=REACTION_BAD", true},   // the writer's mark for a hidden option
        {"GENDER=MALE", true},
        {"REACTION=2 gender=female", true},
    };
    for (const Case& c : cases) {
        auto project = ImportOptionLine(QStringLiteral("INT=1 ") + QString::fromLatin1(c.Items)
                                        + QStringLiteral(" PLAYERTEXT \"t\" LINKTO \"n\""));
        EXPECT_EQ(OnlyOption(*project).IsHidden, c.Hidden) << c.Items;
    }
}

TEST(FMFImporter, OptionKeywordsInsideTheTextAreText)
{
    auto project = ImportOptionLine(QStringLiteral(
        "INT=1 REACTION=4 PLAYERTEXT \"Under what conditions {do you} linkto \\\"gender=male\\\"?\" LINKTO \"B\""));
    const TPlayerOption& option = OnlyOption(*project);
    EXPECT_EQ(option.Text, QStringLiteral("Under what conditions {do you} linkto \"gender=male\"?"));
    EXPECT_EQ(option.TargetNodeID, QStringLiteral("B"));
    EXPECT_TRUE(option.Conditions.isEmpty());
    EXPECT_FALSE(option.IsHidden);
}

TEST(FMFImporter, ConditionClauses)
{
    struct Case {
        const char* Clauses;
        TCondition Expected;
    };
    const Case cases[] = {
        {"GLOBAL_VARIABLE x != 5 LINK_NEXT AND", (TCondition{ ctGlobalVar, "x", coNEQ, "5" })},
        {"local_variable lv <= -2", (TCondition{ ctLocalVar, "lv", coLTE, "-2" })},
        {"CHECK_STAT ST >3 LINK_NEXT NONE", (TCondition{ ctStatCheck, "ST", coGT, "3" })},
        {"CHECK_SKILL SPEECH 40 LINK_NEXT NONE", (TCondition{ ctSkillCheck, "SPEECH", coEQ, "40" })},
        {"PLAYER_HAS_ITEM PID == MY_LINK_NEXT_FLAG LINK_NEXT NONE", (TCondition{ ctInventory, "PID", coEQ, "MY_LINK_NEXT_FLAG" })},
        {"CHECK_CUSTOM_CODE \"50\" LINK_NEXT NONE", (TCondition{ ctRandom, "", coEQ, "50" })},
        {"CHECK_CUSTOM_CODE \"\\\"a b\\\"\" LINK_NEXT NONE", (TCondition{ ctRandom, "", coEQ, "a b" })},
        {"GLOBAL_VARIABLE g == \"two, words }\" LINK_NEXT NONE", (TCondition{ ctGlobalVar, "g", coEQ, "two, words }" })},
        {"GLOBAL_VARIABLE == 7 LINK_NEXT NONE", (TCondition{ ctGlobalVar, "", coEQ, "7" })},
        {"KARMA", (TCondition{ ctKarma, "", coEQ, "" })},
    };
    for (const Case& c : cases) {
        auto project = ImportOptionLine(QStringLiteral("INT=1 PLAYERTEXT \"t\" LINKTO \"n\" CONDITIONS {")
                                        + QString::fromUtf8(c.Clauses) + QStringLiteral(" } NOTES \"\""));
        ASSERT_EQ(OnlyOption(*project).Conditions.size(), 1) << c.Clauses;
        const TCondition& got = OnlyOption(*project).Conditions[0];
        EXPECT_EQ(got, c.Expected) << c.Clauses << " -> var [" << qPrintable(got.Variable) << "] op " << int(got.Operator)
                                   << " value [" << qPrintable(got.Value) << "]";
    }
    // Unknown type words are dropped; a clause list without braces gives none.
    auto project = ImportOptionLine(QStringLiteral("INT=1 LINKTO \"n\" CONDITIONS {FOO x == 1, BAR}"));
    EXPECT_TRUE(OnlyOption(*project).Conditions.isEmpty());
    project = ImportOptionLine(QStringLiteral("INT=1 LINKTO \"n\" CONDITIONS GLOBAL_VARIABLE x == 1"));
    EXPECT_TRUE(OnlyOption(*project).Conditions.isEmpty());
}

TEST(FMFImporter, EscapesAreDecodedOtherBackslashesKept)
{
    struct Case {
        const char* Written;
        const char* Read;
    };
    const Case cases[] = {
        {"a\\nb", "a\nb"},
        {"a\\tb", "a\tb"},
        {"say \\\"hi\\\"", "say \"hi\""},
        {"C:\\Games\\x", "C:\\Games\\x"},
        {"\\\\", "\\\\"},
        {"unterminated", "unterminated"},
    };
    for (const Case& c : cases) {
        const QString written = QString::fromLatin1(c.Written);
        const QString closing = written == QLatin1String("unterminated") ? QString() : QStringLiteral("\"");
        auto project = ImportNode(QStringLiteral("NPCTEXT \"") + written + closing);
        EXPECT_EQ(project->NodeAt(0)->Text(), QString::fromLatin1(c.Read)) << c.Written;
    }
}

TEST(FMFImporter, SkillCheckLines)
{
    auto project = Import(QStringLiteral("NODE \"Node001\"\n{\n"
                                         "DEFINE_SKILL_CHECK SkillCheck_0_Node001 {\n"
                                         "SKILL_NUM = 11;\nDIFFICULTY_MODIFIER = 20;\nONSUCCESS => Node002;\n}\n"
                                         "DEFINE_SKILL_CHECK SkillCheck_1_Node001 {\nSKILL_NUM = -1;\n}\n"
                                         "DEFINE_SKILL_CHECK SkillCheck_5_Node001 {\nONSUCCESS => Node002;\n}\n"
                                         "OPTIONS {\n"
                                         "INT=1 LINKTO \"SkillCheck_0_Node001\"\n"
                                         "INT=2 LINKTO \"SkillCheck_1_Node001\"\n"
                                         "INT=3 LINKTO \"Elsewhere\"\n"
                                         "}\n}\n"));
    const auto& options = project->NodeAt(0)->PlayerOptions();
    ASSERT_EQ(options.size(), 3u);
    EXPECT_TRUE(options[0]->HasSkillCheck);
    EXPECT_EQ(options[0]->SkillCheck.Skill, skBigGuns);
    EXPECT_EQ(options[0]->SkillCheck.Difficulty, 20);
    EXPECT_EQ(options[0]->SkillCheck.SuccessNodeID, QStringLiteral("Node002"));
    // No outcome, but the option links to the check: skill and difficulty stay.
    EXPECT_TRUE(options[1]->HasSkillCheck);
    EXPECT_EQ(options[1]->SkillCheck.Skill, skSpeech);
    EXPECT_EQ(options[1]->SkillCheck.Difficulty, 50);
    // Index 5 is past the options: dropped.
    EXPECT_FALSE(options[2]->HasSkillCheck);
}

TEST(FMFImporter, VarsEntries)
{
    auto project = Import(QStringLiteral("VARS {\n"
                                         "LOCAL VAR A NOTES \"ends;\";\n"
                                         "LOCAL VAR B NOTES \"no close;\n"
                                         "LOCAL VAR C NOTES bare;\n"
                                         "LOCAL VAR D\n"
                                         "LOCAL VAR A NOTES \"again\";\n"
                                         "GLOBAL VAR X NOTES \"skipped\";\n"
                                         "LOCAL VAR E NOTES \"q \\\"x\\\"\";\n"
                                         "}\n"
                                         "LOCAL VAR F NOTES \"after the block\";\n"));
    const QMap<QString, QString> expected{{QStringLiteral("A"), QStringLiteral("again")},
                                          {QStringLiteral("B"), QString()},
                                          {QStringLiteral("C"), QStringLiteral("bare")},
                                          {QStringLiteral("D"), QString()},
                                          {QStringLiteral("E"), QStringLiteral("q \"x\"")}};
    EXPECT_EQ(project->GlobalVars(), expected);
}

TEST(FMFImporter, StartNodeRules)
{
    auto none = Import(QStringLiteral("NPCNAME \"x\"\nVARS {\n}\n"));
    EXPECT_EQ(none->NodeCount(), 0);
    EXPECT_TRUE(none->StartNodeID().isEmpty());

    auto first = Import(QStringLiteral("NODE \"B\"\n{\n}\nNODE \"C\"\n{\n}\n"));
    EXPECT_EQ(first->StartNodeID(), QStringLiteral("B"));
    EXPECT_TRUE(first->NodeAt(0)->IsStartNode());

    auto dangling = Import(QStringLiteral("START_CONDITIONS\n COND TARGET_NODE \"Z\"\n COND TARGET_NODE \"C\"\n};\n"
                                          "NODE \"B\"\n{\n}\nNODE \"C\"\n{\n}\n"));
    EXPECT_EQ(dangling->StartNodeID(), QStringLiteral("Z"));
    EXPECT_FALSE(dangling->NodeAt(1)->IsStartNode());
}

TEST(FMFImporter, LayoutInFourColumnsAfterTheStartNode)
{
    QString text = QStringLiteral("START_CONDITIONS\nCOND TARGET_NODE \"S\"\n};\n");
    for (const char* name : {"A", "S", "B", "C", "D", "E"})
        text += QStringLiteral("NODE \"%1\"\n{\n}\n").arg(QLatin1String(name));
    auto project = Import(text);
    const QVector<QPair<int, int>> expected{{40, 40}, {40, 40}, {360, 40}, {680, 40}, {1000, 40}, {40, 240}};
    for (int i = 0; i < project->NodeCount(); ++i)
        EXPECT_EQ(qMakePair(project->NodeAt(i)->X(), project->NodeAt(i)->Y()), expected[i]) << i;
}

TEST(FMFImporter, RepeatedNodeNameContinuesThatNode)
{
    auto project = Import(QStringLiteral("NODE \"A\"\n{\nNPCTEXT \"one\"\n}\nNODE \"A\"\n{\nNPCTEXT \"two\"\n}\n"));
    ASSERT_EQ(project->NodeCount(), 1);
    EXPECT_EQ(project->NodeAt(0)->Text(), QStringLiteral("one\r\ntwo"));
}

TEST(FMFImporter, LinesWithoutQuotesNameNothing)
{
    auto project = Import(QStringLiteral("NPCNAME\nNODE X\n{\nNPCTEXT \"lost\"\n}\nFLOATNODE x\n{\n\"f\"\n}\n"
                                         "START_CONDITIONS\nCOND TARGET_NODE none\n};\nNODE \"Y\"\n{\n}\n"));
    ASSERT_EQ(project->NodeCount(), 1);
    EXPECT_EQ(project->NodeAt(0)->ID(), QStringLiteral("Y"));
    EXPECT_TRUE(project->FloatMessages().empty());
    EXPECT_EQ(project->StartNodeID(), QStringLiteral("Y"));
    EXPECT_TRUE(project->NPCName().isEmpty());
}

TEST(FMFImporter, LineEndsOfEveryKind)
{
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        QString text = QStringLiteral("NODE \"A\"|{|  NPCTEXT \"x\"   |}|");
        text.replace(QLatin1Char('|'), QString::fromLatin1(eol));
        auto project = Import(text);
        ASSERT_EQ(project->NodeCount(), 1) << eol;
        EXPECT_EQ(project->NodeAt(0)->Text(), QStringLiteral("x"));
    }
}

TEST(FMFImporter, FileEncodings)
{
    const QString body = QStringLiteral("NPCNAME \"Grüße €\"\n");
    struct Case {
        const char* Name;
        QByteArray Bytes;
    };
    const Case cases[] = {
        {"utf-8 with byte-order mark", QByteArray("\xEF\xBB\xBF") + body.toUtf8()},
        {"utf-8 without byte-order mark", body.toUtf8()},
        {"windows-1252", TextEncoding::ToAnsi(body)},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QStringLiteral("Some Name.v2.fmf"));
        TestSupport::WriteFile(path, c.Bytes);
        TFMFImporter importer;
        std::unique_ptr<TDialogueProject> project;
        ASSERT_TRUE(importer.ImportFromFile(path, project).Success);
        EXPECT_EQ(project->NPCName(), QStringLiteral("Grüße €")) << c.Name;
        EXPECT_EQ(project->Name(), QStringLiteral("Some Name.v2"));
    }
}

TEST(FMFImporter, UnreadableFileRaises)
{
    QTemporaryDir dir;
    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    EXPECT_THROW(importer.ImportFromFile(dir.filePath(QStringLiteral("missing.fmf")), project), EDialogueError);
    EXPECT_FALSE(project);
    EXPECT_THROW(importer.ImportFromFile(dir.path(), project), EDialogueError);
}
