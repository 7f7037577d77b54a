// The message file and the localization pack: golden files, numbering,
// escaping, encodings, and the pack's rules for what it leaves out.

#include "export/ExportManager.h"
#include "export/MSGWriter.h"
#include "model/JsonText.h"
#include "tests/core/test_export_fixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ExportFixtures;

namespace {

struct TExportRun {
    TExportResult Result;
    QByteArray Bytes;
    QStringList Log;
};

TExportRun ExportTo(TDialogueProject& p, TExportFormat format, const QString& encoding = QStringLiteral("UTF-8"))
{
    QTemporaryDir dir;
    TExportManager mgr(&p);
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = format;
    opts.Encoding = encoding;
    opts.OutputPath = dir.filePath(QStringLiteral("out.txt"));
    TExportRun run;
    run.Result = mgr.Export(opts);
    if (run.Result.Success)
        run.Bytes = TestSupport::ReadFile(opts.OutputPath);
    run.Log = mgr.Log();
    return run;
}

} // namespace

TEST(MSGFile, GoldenProjectMatchesFileByteForByte)
{
    TDialogueProject p;
    BuildGoldenProject(p);
    const TExportRun run = ExportTo(p, efMSG);
    ASSERT_TRUE(run.Result.Success);
    EXPECT_EQ(CrLfLines(run.Bytes), CrLfLines(Golden(QStringLiteral("golden.msg"))));
    EXPECT_EQ(run.Bytes, Golden(QStringLiteral("golden.msg")));
    // Message 5 holds a "}" the game would end the text at.
    ASSERT_EQ(run.Result.Warnings.size(), 1);
    EXPECT_TRUE(run.Result.Warnings[0].startsWith(QStringLiteral("Message 5 ")));
    EXPECT_EQ(run.Log.filter(QStringLiteral("  WARNING: Message 5 ")).size(), 1);
    EXPECT_TRUE(run.Log.last().contains(QStringLiteral("  Exported MSG: ")));
}

TEST(MSGFile, EscapingKeepsEveryMessageOnOneLine)
{
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        {"a\\b", "a\\\\b"},
        {"two\r\nwords", "two words"},
        {"lf\nonly", "lf only"},
        {"cr\ronly", "cr only"},
        {"para\r\n\r\ngraph", "para  graph"},
        {"tab\there", "tab  here"},
        {"{braces} stay", "{braces} stay"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MSGWriter::EscapeMsgText(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.text;
}

TEST(MSGFile, NumbersNodesAndTheirOptionsWithoutGaps)
{
    TDialogueProject p;
    TDialogueNode* a = Add(p, QStringLiteral("A"), ntNPCDialogue, QStringLiteral("a"));
    Option(a, QStringLiteral("a1"));
    Option(a, QStringLiteral("a2"));
    Add(p, QStringLiteral("B"), ntComment, QStringLiteral("b"));
    Option(Add(p, QStringLiteral("C"), ntEndDialogue), QString());
    EXPECT_EQ(MSGWriter::BuildMSGLines(p),
              (QStringList{QStringLiteral("{1}{}{a}"), QStringLiteral("{2}{}{a1}"), QStringLiteral("{3}{}{a2}"),
                           QStringLiteral("{4}{}{b}"), QStringLiteral("{5}{}{}"), QStringLiteral("{6}{}{}")}));
}

TEST(MSGFile, EveryClosingBraceIsReportedOnce)
{
    TDialogueProject p;
    TDialogueNode* n = Add(p, QStringLiteral("N"), ntNPCDialogue, QStringLiteral("ends} early}"));
    Option(n, QStringLiteral("fine {"));
    Option(n, QStringLiteral("}"));
    QStringList warnings;
    const QStringList lines = MSGWriter::BuildMSGLines(p, &warnings);
    EXPECT_EQ(lines[0], QStringLiteral("{1}{}{ends} early}}"));
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("Message 1 (text of node N)")));
    EXPECT_TRUE(warnings[1].startsWith(QStringLiteral("Message 3 (option 1 of node N)")));
}

TEST(MSGFile, EncodingNamesAreComparedExactly)
{
    TDialogueProject p;
    Add(p, QStringLiteral("N"), ntNPCDialogue, QString::fromUtf8("Zufall – ½ €"));
    struct Case { const char* encoding; QByteArray expected; };
    const Case cases[] = {
        {"UTF-8", QByteArray("{1}{}{Zufall \xE2\x80\x93 \xC2\xBD \xE2\x82\xAC}\r\n")},
        {"ASCII", QByteArray("{1}{}{Zufall ? ? ?}\r\n")},
        {"ANSI", QByteArray("{1}{}{Zufall \x96 \xBD \x80}\r\n")},
        {"utf-8", QByteArray("{1}{}{Zufall \x96 \xBD \x80}\r\n")},   // not "UTF-8": the ANSI code page
    };
    for (const Case& c : cases) {
        const TExportRun run = ExportTo(p, efMSG, QString::fromLatin1(c.encoding));
        EXPECT_EQ(run.Bytes.toHex(' '), c.expected.toHex(' ')) << c.encoding;
    }
}

TEST(LocalizationPack, GoldenProjectMatchesFileByteForByte)
{
    TDialogueProject p;
    BuildGoldenProject(p);
    const TExportRun run = ExportTo(p, efLocalization);
    ASSERT_TRUE(run.Result.Success);
    EXPECT_EQ(CrLfLines(run.Bytes), CrLfLines(Golden(QStringLiteral("golden_loc.json"))));
    EXPECT_EQ(run.Bytes, Golden(QStringLiteral("golden_loc.json")));
    EXPECT_TRUE(run.Log.last().contains(QStringLiteral("  Exported localization: ")));
}

TEST(LocalizationPack, CommentOnlyProjectGivesOneMessageAndAnEmptyPack)
{
    TDialogueProject p;
    Add(p, QStringLiteral("Node001"), ntComment, QStringLiteral("note"));
    EXPECT_EQ(ExportTo(p, efMSG).Bytes, QByteArray("{1}{}{note}\r\n"));
    EXPECT_EQ(ExportTo(p, efLocalization).Bytes, QByteArray("[\r\n]\r\n"));
}

TEST(LocalizationPack, BlankNodeTextDropsTheNodeAndItsOptions)
{
    TDialogueProject p;
    TDialogueNode* n = Add(p, QStringLiteral("Node001"), ntPlayerReply, QStringLiteral(" \t "));
    Option(n, QStringLiteral("yes"));
    Option(n, QStringLiteral("no"));
    EXPECT_EQ(ExportTo(p, efLocalization).Bytes, QByteArray("[\r\n]\r\n"));
    EXPECT_EQ(ExportTo(p, efMSG).Bytes, QByteArray("{1}{}{ \t }\r\n{2}{}{yes}\r\n{3}{}{no}\r\n").replace("\t", "  "));
}

TEST(LocalizationPack, BlankOptionsKeepTheirIndexButNoEntry)
{
    TDialogueProject p;
    TDialogueNode* n = Add(p, QStringLiteral("Node001"), ntNPCDialogue, QStringLiteral(" Hi "));
    n->SetSpeaker(QStringLiteral("Ann"));
    Option(n, QStringLiteral("first"));
    Option(n, QStringLiteral("  "));
    Option(n, QStringLiteral("third"));
    const QByteArray expected =
        "[\r\n"
        "  {\r\n"
        "    \"key\": \"node_Node001_text\",\r\n"
        "    \"context\": \"NPC Dialogue (Ann)\",\r\n"
        "    \"source\": \" Hi \",\r\n"
        "    \"translation\": \" Hi \"\r\n"
        "  },\r\n"
        "  {\r\n"
        "    \"key\": \"node_Node001_opt0_text\",\r\n"
        "    \"context\": \"Player option\",\r\n"
        "    \"source\": \"first\",\r\n"
        "    \"translation\": \"first\"\r\n"
        "  },\r\n"
        "  {\r\n"
        "    \"key\": \"node_Node001_opt2_text\",\r\n"
        "    \"context\": \"Player option\",\r\n"
        "    \"source\": \"third\",\r\n"
        "    \"translation\": \"third\"\r\n"
        "  }\r\n"
        "]\r\n";
    EXPECT_EQ(ExportTo(p, efLocalization).Bytes, expected);
}
