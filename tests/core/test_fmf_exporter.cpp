// The FMF writer: exact text, names, quoting and the file it writes.

#include "interchange/FMFExporter.h"
#include "model/TextEncoding.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const Header =
    "/*\r\n"
    "    Fan Made Fallout Dialogue Tool\r\n"
    "         dialogue script file\r\n"
    "\r\n"
    " -- hand editing this file is not recommended\r\n"
    "\r\n"
    " Created with version 1.0.7\r\n"
    "*/\r\n"
    "\r\n";

QString Export(const TDialogueProject& project)
{
    TFMFExporter exporter;
    QString text;
    const TFMFExportResult result = exporter.ExportToText(&project, text);
    EXPECT_TRUE(result.Success);
    EXPECT_EQ(result.Text, text);
    return text;
}

// The lines of the exported text, without their CR LF.
QStringList Lines(const QString& text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

}

TEST(FMFExporter, EmptyProjectHasHeaderVarsAndDescriptionOnly)
{
    TDialogueProject project;
    project.SetNPCName(QStringLiteral("Vic"));
    project.SetNPCScript(QStringLiteral("vic"));
    project.SetDescription(QStringLiteral("A trader"));
    TFMFExporter exporter;
    QString text;
    const TFMFExportResult result = exporter.ExportToText(&project, text);
    EXPECT_TRUE(result.Success);
    EXPECT_TRUE(result.Errors.isEmpty());
    EXPECT_EQ(result.WarningCount, 0);
    EXPECT_EQ(result.NodeCount, 0);
    EXPECT_EQ(text, QString::fromLatin1(Header)
                        + QStringLiteral("VARS {\r\n}\r\n\r\n"
                                         "NPCNAME \"Vic\"\r\n"
                                         "LOCATION \"vic\"\r\n"
                                         "DESCRIPTION \"A trader\"\r\n"
                                         "UNKNOWN_DESC \"\"\r\n"
                                         "KNOWN_DESC \"\"\r\n"
                                         "DETAILED_DESC \"\"\r\n"
                                         "\r\n"));
}

TEST(FMFExporter, NoProjectIsAnError)
{
    TFMFExporter exporter;
    QString text = QStringLiteral("old");
    const TFMFExportResult result = exporter.ExportToText(nullptr, text);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.Errors, QStringList{QStringLiteral("No project assigned")});
    EXPECT_EQ(result.NodeCount, 0);
    EXPECT_TRUE(result.Text.isEmpty());
    EXPECT_TRUE(text.isEmpty());
}

TEST(FMFExporter, WholeProjectExactText)
{
    TDialogueProject project;
    project.SetNPCName(QStringLiteral("Guard"));
    project.SetNPCScript(QStringLiteral("gcguard"));
    project.SetDescription(QStringLiteral("Line one\r\nline \"two\""));
    project.GlobalVars().insert(QStringLiteral("GVAR_MET"), QStringLiteral("0"));
    auto floatMessage = std::make_unique<TFloatMessage>();
    floatMessage->ID = QStringLiteral("N_0123456789AB");
    floatMessage->Text = QStringLiteral("Move\talong");
    project.FloatMessages().push_back(std::move(floatMessage));

    TDialogueNode* first = project.AddNode(ntNPCDialogue);    // Node001
    TDialogueNode* second = project.AddNode(ntEndDialogue);   // Node002
    second->SetID(QStringLiteral("Bye"));
    project.SetStartNodeID(QStringLiteral("Bye"));
    first->SetText(QStringLiteral("Halt!"));
    first->SetNotes(QStringLiteral("gate"));
    first->AddScript()->ScriptCode = QStringLiteral("a\r\n\r\nb");
    first->AddScript()->ScriptCode = QStringLiteral("   ");
    TPlayerOption* plain = first->AddOption();
    plain->Text = QStringLiteral("Bye.");
    plain->TargetNodeID = QStringLiteral("Bye");
    plain->IsHidden = true;
    plain->Conditions << (TCondition{ ctReputation, QStringLiteral("REP"), coGTE, QStringLiteral("-5") })
                      << (TCondition{ ctRandom, QString(), coEQ, QStringLiteral("50") });
    TPlayerOption* check = first->AddOption();
    check->Text = QStringLiteral("Let me pass.");
    check->TargetNodeID = QStringLiteral("Bye");
    check->HasSkillCheck = true;
    check->SkillCheck.Skill = skBarter;
    check->SkillCheck.Difficulty = 30;
    check->SkillCheck.SuccessNodeID = QStringLiteral("Bye");
    TPlayerOption* dangling = first->AddOption();
    dangling->TargetNodeID = QStringLiteral("Ghost");

    const QString expected = QString::fromLatin1(Header) + QStringLiteral(
        "VARS {\r\n"
        "  LOCAL VAR GVAR_MET NOTES \"0\";\r\n"
        "}\r\n"
        "\r\n"
        "/* Dialogue starting conditions */\r\n"
        "\r\n"
        "START_CONDITIONS\r\n"
        "DEFAULT_CONDITION -1\r\n"
        "{\r\n"
        "  COND TARGET_NODE \"Node002\"\r\n"
        "  {\r\n"
        "    SSL \"default\" VAR_PARAM \"\" EVAL -1 VALUE_TO_CHECK \"\" INI_INDEX 0 LINK 0\r\n"
        "  }\r\n"
        "};\r\n"
        "\r\n"
        "NPCNAME \"Guard\"\r\n"
        "LOCATION \"gcguard\"\r\n"
        "DESCRIPTION \"Line one\\nline \\\"two\\\"\"\r\n"
        "UNKNOWN_DESC \"\"\r\n"
        "KNOWN_DESC \"\"\r\n"
        "DETAILED_DESC \"\"\r\n"
        "\r\n"
        "FLOATNODE \"N_0123456789AB\"\r\n"
        "  NOTES \"Move\\talong\"\r\n"
        "  {\r\n"
        "    \"Move\\talong\"\r\n"
        "  }\r\n"
        "\r\n"
        "NODE \"Node001\"\r\n"
        "  NOTES \"gate\"\r\n"
        "  IS_WTG = false\r\n"
        "{\r\n"
        "  NPCTEXT \"Halt!\"\r\n"
        "  INSERT_CUSTOM_CODE {\r\n"
        "    \"a\",\r\n"
        "    \"b\"\r\n"
        "  }\r\n"
        "  /* Skill checks for node Node001 */\r\n"
        "  DEFINE_SKILL_CHECK SkillCheck_1_Node001 {\r\n"
        "    SKILL_NUM = 1;\r\n"
        "    DIFFICULTY_MODIFIER = 30;\r\n"
        "    ONSUCCESS => Node002;\r\n"
        "  }\r\n"
        "\r\n"
        "  OPTIONS {\r\n"
        "    INT=1 REACTION=REACTION_BAD PLAYERTEXT \"Bye.\" LINKTO \"Node002\" CONDITIONS {GLOBAL_VARIABLE REP >= -5 LINK_NEXT AND, CHECK_CUSTOM_CODE \"50\" LINK_NEXT NONE } NOTES \"\"\r\n"
        "    INT=2 LINKFLAGS SKILL_CHECK REACTION=REACTION_NEUTRAL PLAYERTEXT \"Let me pass.\" LINKTO \"SkillCheck_1_Node001\" NOTES \"\"\r\n"
        "    INT=3 REACTION=REACTION_NEUTRAL PLAYERTEXT \"\" LINKTO \"Ghost\" NOTES \"\"\r\n"
        "  }\r\n"
        "}\r\n"
        "\r\n"
        "NODE \"Node002\"\r\n"
        "  NOTES \"\"\r\n"
        "  IS_WTG = false\r\n"
        "{\r\n"
        "  NPCTEXT \"\"\r\n"
        "  OPTIONS {\r\n"
        "  }\r\n"
        "}\r\n"
        "\r\n");
    TFMFExporter exporter;
    QString text;
    const TFMFExportResult result = exporter.ExportToText(&project, text);
    EXPECT_TRUE(result.Success);
    EXPECT_EQ(result.NodeCount, 2);
    EXPECT_EQ(text.toStdString(), expected.toStdString());
}

TEST(FMFExporter, StartTargetFallsBackToTheFirstNode)
{
    TDialogueProject project;
    project.AddNode(ntNPCDialogue);
    project.AddNode(ntNPCDialogue);
    for (const QString& start : {QString(), QStringLiteral("Missing")}) {
        project.SetStartNodeID(start);
        EXPECT_TRUE(Lines(Export(project)).contains(QStringLiteral("  COND TARGET_NODE \"Node001\""))) << qPrintable(start);
    }
}

TEST(FMFExporter, NamesCountPositionsWithAtLeastThreeDigits)
{
    TDialogueProject project;
    for (int i = 0; i < 1000; ++i)
        project.AddNode(ntComment)->SetID(QStringLiteral("X%1").arg(i));
    const QStringList lines = Lines(Export(project));
    EXPECT_TRUE(lines.contains(QStringLiteral("NODE \"Node001\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("NODE \"Node999\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("NODE \"Node1000\"")));
}

TEST(FMFExporter, ConditionClauses)
{
    struct Case {
        TCondition Condition;
        const char* Clause;
    };
    const Case cases[] = {
        {(TCondition{ ctSkillCheck, "SPEECH", coGT, "40" }), "CHECK_SKILL SPEECH > 40"},
        {(TCondition{ ctStatCheck, "ST", coLT, "5" }), "CHECK_STAT ST < 5"},
        {(TCondition{ ctKarma, "K", coLTE, "-100" }), "GLOBAL_VARIABLE K <= -100"},
        {(TCondition{ ctGlobalVar, "x", coNEQ, "GVAR_ok_1" }), "GLOBAL_VARIABLE x != GVAR_ok_1"},
        {(TCondition{ ctQuestFlag, "q", coEQ, "two words" }), "GLOBAL_VARIABLE q == \"two words\""},
        {(TCondition{ ctInventory, "PID_KEY", coEQ, "" }), "PLAYER_HAS_ITEM PID_KEY == \"\""},
        {(TCondition{ ctLocalVar, "", coGTE, "3" }), "LOCAL_VARIABLE >= 3"},
        {(TCondition{ ctTimeOfDay, "h", coEQ, "say \"hi\"" }), "LOCAL_VARIABLE h == \"say \\\"hi\\\"\""},
        {(TCondition{ ctCompanion, "dog", coEQ, "Größe" }), "LOCAL_VARIABLE dog == \"Größe\""},
        {(TCondition{ ctGlobalVar, "x", coEQ, "link_next" }), "GLOBAL_VARIABLE x == \"link_next\""},
        {(TCondition{ ctRandom, "ignored", coLT, "50" }), "CHECK_CUSTOM_CODE \"50\""},
        {(TCondition{ ctRandom, "", coEQ, "a b" }), "CHECK_CUSTOM_CODE \"\\\"a b\\\"\""},
    };
    for (const Case& c : cases) {
        TDialogueProject project;
        TPlayerOption* option = project.AddNode(ntNPCDialogue)->AddOption();
        option->Conditions << c.Condition << c.Condition;
        const QString clause = QString::fromUtf8(c.Clause);
        const QString expected = QStringLiteral(" CONDITIONS {") + clause + QStringLiteral(" LINK_NEXT AND, ") + clause
                                 + QStringLiteral(" LINK_NEXT NONE } NOTES \"\"");
        const QString text = Export(project);
        EXPECT_TRUE(text.contains(expected)) << c.Clause << "\n" << qPrintable(text);
    }
}

TEST(FMFExporter, EscapesLineBreaksTabsAndQuotesButNotBackslashes)
{
    struct Case {
        const char* Text;
        const char* Written;
    };
    const Case cases[] = {
        {"a\r\nb", "a\\nb"},   {"a\nb", "a\\nb"},     {"a\rb", "a\\nb"},   {"a\r\r\nb", "a\\n\\nb"},
        {"t\tt", "t\\tt"},     {"say \"x\"", "say \\\"x\\\""}, {"C:\\Games", "C:\\Games"},
    };
    for (const Case& c : cases) {
        TDialogueProject project;
        project.AddNode(ntNPCDialogue)->SetText(QString::fromUtf8(c.Text));
        const QString line = QStringLiteral("  NPCTEXT \"") + QString::fromUtf8(c.Written) + QLatin1Char('"');
        EXPECT_TRUE(Lines(Export(project)).contains(line)) << c.Written;
    }
}

TEST(FMFExporter, NameValuesWithQuotesStayInOneValue)
{
    TDialogueProject project;
    project.SetNPCName(QStringLiteral("Bob \"Lucky\" Smith"));
    EXPECT_TRUE(Lines(Export(project)).contains(QStringLiteral("NPCNAME \"Bob \\\"Lucky\\\" Smith\"")));
}

TEST(FMFExporter, DuplicateNodeIDsAreWrittenWithOwnNames)
{
    TDialogueProject project;
    TDialogueNode* a = project.AddNode(ntNPCDialogue);
    TDialogueNode* b = project.AddNode(ntNPCDialogue);
    b->SetID(a->ID());
    TPlayerOption* option = b->AddOption();
    option->TargetNodeID = a->ID();
    const QStringList lines = Lines(Export(project));
    EXPECT_TRUE(lines.contains(QStringLiteral("NODE \"Node001\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("NODE \"Node002\"")));
    EXPECT_TRUE(lines.filter(QStringLiteral("LINKTO \"Node001\"")).size() == 1);
}

TEST(FMFExporter, FileIsAnsiWithoutByteOrderMark)
{
    TDialogueProject project;
    project.AddNode(ntNPCDialogue)->SetText(QStringLiteral("Grüß — ŝ €"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.fmf"));
    TestSupport::WriteFile(path, "old content that is longer than nothing");
    TFMFExporter exporter;
    const TFMFExportResult result = exporter.ExportToFile(&project, path);
    ASSERT_TRUE(result.Success);
    const QByteArray bytes = TestSupport::ReadFile(path);
    EXPECT_EQ(bytes, TextEncoding::ToAnsi(result.Text));
    EXPECT_TRUE(bytes.startsWith("/*\r\n"));
    EXPECT_TRUE(bytes.contains("NPCTEXT \"Gr\xFC\xDF \x97 ? \x80\""));
}

TEST(FMFExporter, UnwritableFileIsReported)
{
    TDialogueProject project;
    project.AddNode(ntNPCDialogue);
    QTemporaryDir dir;
    TFMFExporter exporter;
    const TFMFExportResult result = exporter.ExportToFile(&project, dir.filePath(QStringLiteral("no/such/dir/x.fmf")));
    EXPECT_FALSE(result.Success);
    ASSERT_EQ(result.Errors.size(), 1);
    EXPECT_EQ(result.Errors[0].toStdString(), "Failed to write file: No such file or directory");
    EXPECT_EQ(result.NodeCount, 1);
    EXPECT_FALSE(result.Text.isEmpty());
}

TEST(FMFExporter, FullDiskKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.fmf"));
    for (const int size : {TestSupport::FullDiskSmallBytes, TestSupport::FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        TDialogueProject project;
        project.AddNode(ntNPCDialogue)->SetText(QString(size, QLatin1Char('o')));
        ASSERT_TRUE(TFMFExporter().ExportToFile(&project, path).Success);
        const QByteArray before = TestSupport::ReadFile(path);
        project.NodeAt(0)->SetText(QString(size, QLatin1Char('n')));
        TestSupport::ExpectFullDiskKeepsTheFile(path, before, before.size(), [&] {
            TFMFExporter exporter;
            const TFMFExportResult result = exporter.ExportToFile(&project, path);
            EXPECT_FALSE(result.Success);
            return result.Errors.join(QLatin1Char('\n'));
        });
    }
}
