// The MSG importer, on hand-written message files in the games' style and
// on each of its reading rules.

#include "export/ExportManager.h"
#include "interchange/MSGImporter.h"
#include "interchange/SSLMSGText.h"
#include "tests/core/test_import_support.h"
#include "tests/support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using Imported = ImportTest::TImported<TMSGImporter>;

Imported Import(const QString& text) { return ImportTest::ImportWith<TMSGImporter>(text); }

constexpr auto Lines = ImportTest::CrLfLines;

} // namespace

TEST(MSGImport, GameStyleFixture)
{
    TMSGImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const auto r = importer.ImportFromFile(TestSupport::DataPath(QStringLiteral("import/dcbrana.msg")), p);
    ASSERT_TRUE(p);
    EXPECT_EQ(r.Project, p.get());
    EXPECT_TRUE(r.Success) << r.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.WarningCount, 0);
    ASSERT_EQ(r.NodeCount, 7);
    EXPECT_EQ(p->Name(), QStringLiteral("dcbrana"));
    EXPECT_EQ(p->StartNodeID(), QStringLiteral("Node001"));

    struct Expect { int number; const char* text; };
    // 105 comes before 104 in the file: the numbers are sorted. The message
    // that runs over two lines is joined with one space.
    const Expect e[] = {{100, "You see a tired trader."},
                        {101, "What do you want, stranger?"},
                        {102, "Just looking."},
                        {103, "Tell me about the caravans."},
                        {104, "Bye."},
                        {105, "Raiders took the {good\\"},
                        {110, "This message goes on over a second line, as real files do."}};
    for (int i = 0; i < 7; ++i) {
        const TDialogueNode* n = p->NodeAt(i);
        EXPECT_EQ(n->ID(), QStringLiteral("Node%1").arg(i + 1, 3, 10, QLatin1Char('0')));
        EXPECT_EQ(n->NodeType(), ntNPCDialogue);
        EXPECT_EQ(n->Notes(), QStringLiteral("Original MSG ID: %1").arg(e[i].number));
        EXPECT_EQ(n->Text(), QString::fromUtf8(e[i].text)) << i;
        EXPECT_EQ(n->Speaker(), QStringLiteral("NPC"));
        EXPECT_EQ(n->X(), 50 + 250 * i);
        EXPECT_EQ(n->Y(), 50);
        EXPECT_EQ(n->NextNodeID(), i < 6 ? p->NodeAt(i + 1)->ID() : QString());
        EXPECT_EQ(n->IsStartNode(), i == 0);
        EXPECT_TRUE(n->PlayerOptions().empty());
    }
}

TEST(MSGImport, ThreeLinesChained)
{
    auto r = Import(Lines({"{100}{}{Hello}", "{101}{}{Bye}", "{102}{voice}{Again}"}));
    ASSERT_TRUE(r.result.Success);
    ASSERT_EQ(r.result.NodeCount, 3);
    const char* texts[] = {"Hello", "Bye", "Again"};
    for (int i = 0; i < 3; ++i) {
        const TDialogueNode* n = r.project->NodeAt(i);
        EXPECT_EQ(n->Text(), QString::fromUtf8(texts[i]));
        EXPECT_EQ(n->Notes(), QStringLiteral("Original MSG ID: %1").arg(100 + i));
        EXPECT_EQ(n->Speaker(), QStringLiteral("NPC"));
        EXPECT_EQ(n->X(), 50 + 250 * i);
        EXPECT_EQ(n->Y(), 50);
    }
    EXPECT_EQ(r.project->NodeAt(0)->NextNodeID(), r.project->NodeAt(1)->ID());
    EXPECT_EQ(r.project->NodeAt(1)->NextNodeID(), r.project->NodeAt(2)->ID());
    EXPECT_TRUE(r.project->NodeAt(2)->NextNodeID().isEmpty());
    EXPECT_EQ(r.project->Name(), QStringLiteral("Imported from .MSG"));
    EXPECT_EQ(r.project->StartNodeID(), QStringLiteral("Node001"));
}

TEST(MSGImport, OutOfOrderNumbersAreSorted)
{
    auto r = Import(Lines({"{105}{}{Later}", "{100}{}{First}"}));
    ASSERT_EQ(r.result.NodeCount, 2);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("First"));
    EXPECT_EQ(r.project->NodeAt(0)->Notes(), QStringLiteral("Original MSG ID: 100"));
    EXPECT_EQ(r.project->StartNodeID(), r.project->NodeAt(0)->ID());
    EXPECT_TRUE(r.project->NodeAt(0)->IsStartNode());
    EXPECT_EQ(r.project->NodeAt(0)->NextNodeID(), r.project->NodeAt(1)->ID());
}

TEST(MSGImport, EmptyTextIsCouldNotParse)
{
    auto r = Import(Lines({"{100}{}{Hello}", "{101}{}{}", "{102}{}{   }"}));
    EXPECT_FALSE(r.result.Success);
    ASSERT_EQ(r.result.Errors.size(), 2);
    EXPECT_EQ(r.result.Errors[0], QStringLiteral("Line 2: Could not parse: {101}{}{}"));
    EXPECT_EQ(r.result.Errors[1], QStringLiteral("Line 3: Could not parse: {102}{}{   }"));
    ASSERT_TRUE(r.project);
    EXPECT_EQ(r.result.Project, r.project.get());
    EXPECT_EQ(r.result.NodeCount, 1);
    EXPECT_EQ(r.result.WarningCount, 0);
}

TEST(MSGImport, BracesInText)
{
    auto r = Import(Lines({"{1}{}{a}b}", "{2}{}{x \\{y}", "{3}{}{p \\}q}", "{4}{}{no close"}));
    ASSERT_TRUE(r.result.Success);
    ASSERT_EQ(r.result.NodeCount, 4);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("a"));
    EXPECT_EQ(r.project->NodeAt(1)->Text(), QStringLiteral("x {y"));
    // The closing brace ends the text even after a backslash.
    EXPECT_EQ(r.project->NodeAt(2)->Text(), QStringLiteral("p \\"));
    EXPECT_EQ(r.project->NodeAt(3)->Text(), QStringLiteral("no close"));
}

TEST(MSGImport, CommentsAndPlainTextProduceNothing)
{
    auto r = Import(Lines({"# a comment", "   // another", "plain text here", "", "   ", "}{}{", "{100}{}{Only}"}));
    EXPECT_TRUE(r.result.Success);
    EXPECT_TRUE(r.result.Errors.isEmpty());
    ASSERT_EQ(r.result.NodeCount, 1);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("Only"));
}

TEST(MSGImport, NumberRules)
{
    struct Row { const char* line; bool readable; int number; };
    const Row rows[] = {
        {"{ 7 }{}{t}", true, 7},          {"{+7}{}{t}", true, 7},     {"{007}{}{t}", true, 7},
        {"{0}{}{t}", true, 0},            {"{-3}{}{t}", true, -3},    {"{2147483647}{}{t}", true, 2147483647},
        {"{2147483648}{}{t}", false, 0},  {"{99999999999999999999}{}{t}", false, 0},
        {"{x}{}{t}", false, 0},           {"{}{}{t}", false, 0},      {"{1 2}{}{t}", false, 0},
        {"{$1F}{}{t}", false, 0},         {"{1}", false, 0},          {"{1}{}", false, 0},
        {"{1}{", false, 0},               {"{1", false, 0},           {"{", false, 0},
        {"{1}x{y}{t}", true, 1},          {"{1}{}{ t }", true, 1},
    };
    for (const Row& row : rows) {
        const TMSGLine m = ParseMSGLine(QString::fromUtf8(row.line));
        EXPECT_EQ(m.Readable, row.readable) << row.line;
        if (row.readable)
            EXPECT_EQ(m.Number, row.number) << row.line;
    }
}

TEST(MSGImport, NegativeNumbersPassSilently)
{
    auto r = Import(Lines({"{-1}{}{gone}", "{5}{}{kept}"}));
    EXPECT_TRUE(r.result.Success);
    EXPECT_EQ(r.result.WarningCount, 0);
    ASSERT_EQ(r.result.NodeCount, 1);
    EXPECT_EQ(r.project->NodeAt(0)->Notes(), QStringLiteral("Original MSG ID: 5"));
}

TEST(MSGImport, TooBigNumberIsAnError)
{
    auto r = Import(Lines({"{4294967296}{}{overflow}"}));
    EXPECT_FALSE(r.result.Success);
    ASSERT_EQ(r.result.Errors.size(), 1);
    EXPECT_EQ(r.result.Errors[0], QStringLiteral("Line 1: Could not parse: {4294967296}{}{overflow}"));
    EXPECT_EQ(r.result.NodeCount, 0);
    EXPECT_TRUE(r.project->StartNodeID().isEmpty());
}

TEST(MSGImport, ErrorShowsFirstSixtyCharactersOfTrimmedLine)
{
    const QString longLine = QStringLiteral("{abc}{}{") + QString(100, QLatin1Char('x')) + QStringLiteral("}");
    auto r = Import(QStringLiteral("\n\t  ") + longLine + QStringLiteral("  \n"));
    ASSERT_EQ(r.result.Errors.size(), 1);
    EXPECT_EQ(r.result.Errors[0], QStringLiteral("Line 2: Could not parse: ") + longLine.left(60));
}

TEST(MSGImport, RepeatedNumberMakesOneNodeAndAWarning)
{
    // Left to the implementer: the first readable line's text is used, the
    // repeat makes no second node and is counted as a number that gave none.
    auto r = Import(Lines({"{100}{}{First}", "{101}{}{Other}", "{100}{}{Second}"}));
    EXPECT_TRUE(r.result.Success);
    EXPECT_EQ(r.result.WarningCount, 1);
    ASSERT_EQ(r.result.NodeCount, 2);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("First"));
    EXPECT_EQ(r.project->NodeAt(1)->Text(), QStringLiteral("Other"));
    EXPECT_EQ(r.project->NodeAt(0)->NextNodeID(), r.project->NodeAt(1)->ID());
}

TEST(MSGImport, EmptyInput)
{
    for (const char* text : {"", "\r\n", "# only a comment\n"}) {
        auto r = Import(QString::fromUtf8(text));
        EXPECT_TRUE(r.result.Success);
        EXPECT_EQ(r.result.NodeCount, 0);
        ASSERT_TRUE(r.project);
        EXPECT_TRUE(r.project->StartNodeID().isEmpty());
        EXPECT_EQ(r.project->Name(), QStringLiteral("Imported from .MSG"));
    }
}

TEST(MSGImport, MixedLineEnds)
{
    auto r = Import(QStringLiteral("{1}{}{a}\r{2}{}{b}\n{3}{}{c}\r\n\r{4}{}{d}"));
    ASSERT_EQ(r.result.NodeCount, 4);
    EXPECT_EQ(r.project->NodeAt(3)->Text(), QStringLiteral("d"));
    auto bad = Import(QStringLiteral("{1}{}{a}\r\r{x}{}{b}"));
    ASSERT_EQ(bad.result.Errors.size(), 1);
    EXPECT_EQ(bad.result.Errors[0], QStringLiteral("Line 3: Could not parse: {x}{}{b}"));
}

TEST(MSGImport, MessageOverSeveralLines)
{
    struct Row { const char* text; int nodes; const char* first; int errors; };
    const Row rows[] = {
        {"{1}{}{Line one\n  line two  \nline three}\n{2}{}{next}\n", 2, "Line one line two line three", 0},
        {"{1}{}{\nstarts on the next line}\n", 1, "starts on the next line", 0},
        {"{1}{}{a\n\n\nb} trailing\n", 1, "a b", 0},
        {"{1}{}{brace \\{ kept\nand \\{ here}\n", 1, "brace { kept and { here", 0},
        // No closing brace before the next message or the end: the text
        // ends with its line, and the lines after it are passed over.
        {"{1}{}{open\nplain\n{2}{}{x}\n", 2, "open", 0},
        {"{1}{}{open\nplain\n", 1, "open", 0},
        {"{1}{}{\n{2}{}{x}\n", 1, "x", 1},
        {"{1}{}{\n   \n}\n", 0, "", 1},
    };
    for (const Row& row : rows) {
        auto r = Import(QString::fromUtf8(row.text));
        EXPECT_EQ(r.result.NodeCount, row.nodes) << row.text;
        EXPECT_EQ(r.result.Errors.size(), row.errors) << row.text;
        if (row.nodes > 0)
            EXPECT_EQ(r.project->NodeAt(0)->Text(), QString::fromUtf8(row.first)) << row.text;
    }
    auto r = Import(QStringLiteral("# head\n{1}{}{\n}\n"));
    ASSERT_EQ(r.result.Errors.size(), 1);
    EXPECT_EQ(r.result.Errors[0], QStringLiteral("Line 2: Could not parse: {1}{}{"));
}

TEST(MSGImport, Encodings)
{
    ImportTest::ExpectEncodingsReadAlike<TMSGImporter>("msg");
}

TEST(MSGImport, FileNameOnlyOnSuccessAndReadErrorsRaise)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("broken.msg"));
    TestSupport::WriteFile(bad, "{1}{}{}\r\n");
    TMSGImporter importer;
    std::unique_ptr<TDialogueProject> p;
    EXPECT_FALSE(importer.ImportFromFile(bad, p).Success);
    EXPECT_EQ(p->Name(), QStringLiteral("Imported from .MSG"));
    std::unique_ptr<TDialogueProject> q;
    EXPECT_THROW(importer.ImportFromFile(dir.filePath(QStringLiteral("missing.msg")), q), EDialogueError);
    EXPECT_FALSE(q);
}

// ------------------------------------------------------ export -> import

namespace {
Imported ExportAndImport(TDialogueProject& src, QStringList* exportWarnings = nullptr)
{
    QTemporaryDir dir;
    TExportManager manager(&src);
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = efMSG;
    opts.OutputPath = dir.filePath(QStringLiteral("npc.msg"));
    const TExportResult exported = manager.Export(opts);
    EXPECT_TRUE(exported.Success);
    if (exportWarnings)
        *exportWarnings = exported.Warnings;
    Imported r;
    TMSGImporter importer;
    r.result = importer.ImportFromFile(opts.OutputPath, r.project);
    return r;
}
}

TEST(MSGImport, ExportedFileReadsBackOneNodePerLine)
{
    TDialogueProject src;
    TDialogueNode* a = src.AddNode(ntNPCDialogue);
    a->SetText(QStringLiteral("Welcome to the Den."));
    a->AddOption()->Text = QStringLiteral("Who are you?");
    a->AddOption()->Text = QStringLiteral("Bye.");
    TDialogueNode* b = src.AddNode(ntPlayerReply);
    b->SetText(QStringLiteral("I trade."));
    TDialogueNode* c = src.AddNode(ntEndDialogue);
    c->SetText(QStringLiteral("Two\r\nlines, caf\u00e9"));
    c->AddOption()->Text = QStringLiteral("a {brace}");

    QStringList warnings;
    auto r = ExportAndImport(src, &warnings);
    ASSERT_TRUE(r.result.Success) << r.result.Errors.join(QLatin1Char('\n')).toStdString();
    // One node per written line, chained in the order written: 3 node texts
    // and 3 option texts give 6 nodes.
    ASSERT_EQ(r.result.NodeCount, 6);
    EXPECT_EQ(r.project->Name(), QStringLiteral("npc"));
    const QStringList expected = {
        QStringLiteral("Welcome to the Den."), QStringLiteral("Who are you?"), QStringLiteral("Bye."),
        QStringLiteral("I trade."),
        // What a message file cannot carry: a line break is written as one
        // space, and a closing brace ends the text (the export warns).
        QStringLiteral("Two lines, caf\u00e9"), QStringLiteral("a {brace")};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(r.project->NodeAt(i)->Text(), expected[i]) << i;
        EXPECT_EQ(r.project->NodeAt(i)->Notes(), QStringLiteral("Original MSG ID: %1").arg(i + 1));
        // Neither node types, options, links nor speakers travel: every node
        // is an NPC line spoken by "NPC", chained in number order.
        EXPECT_EQ(r.project->NodeAt(i)->NodeType(), ntNPCDialogue);
        EXPECT_EQ(r.project->NodeAt(i)->Speaker(), QStringLiteral("NPC"));
        EXPECT_TRUE(r.project->NodeAt(i)->PlayerOptions().empty());
    }
    EXPECT_FALSE(warnings.isEmpty());
}

TEST(MSGImport, ExportedEmptyTextsAndBackslashes)
{
    TDialogueProject src;
    src.AddNode(ntNPCDialogue)->SetText(QStringLiteral("a\\b"));
    src.AddNode(ntNPCDialogue);   // empty text: its line is written but cannot be read
    auto r = ExportAndImport(src);
    // The doubled backslash of the export is not undone by the importer.
    ASSERT_EQ(r.result.NodeCount, 1);
    EXPECT_EQ(r.project->NodeAt(0)->Text(), QStringLiteral("a\\\\b"));
    ASSERT_EQ(r.result.Errors.size(), 1);
    EXPECT_EQ(r.result.Errors[0], QStringLiteral("Line 2: Could not parse: {2}{}{}"));
}
