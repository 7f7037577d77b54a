// The game dialogue importer on bad input: scripts that are no dialogue,
// procedures calling each other in cycles, unbalanced blocks, unclosed
// comments and strings, deep nesting, self-referring defines, binary data,
// a 50 MB script, and a seeded mutation run over the fixtures. Every case
// ends with a result that agrees with its project and a frame that still
// gives back the script; never a crash or a hang.

#include "interchange/GameDialogueImporter.h"
#include "model/TextEncoding.h"
#include "tests/core/test_game_import_support.h"
#include "tests/core/test_import_support.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <random>

using GameImportTest::ImportText;
using GameImportTest::Reassemble;
using GameImportTest::TImport;

namespace {

const QString BranaMessages = QStringLiteral("{100}{}{Hello.}\n{101}{}{Bye.}\n");

// What every result must satisfy, whatever the input.
void CheckInvariants(const QString& text, const TImport& r)
{
    ASSERT_TRUE(r.Project);
    const TDialogueProject& p = *r.Project;
    EXPECT_EQ(r.Result.Success, r.Result.Errors.isEmpty());
    EXPECT_EQ(r.Result.NodeCount, p.NodeCount());
    EXPECT_EQ(r.Result.Report.Nodes, p.NodeCount());
    EXPECT_EQ(r.Result.WarningCount, r.Result.Report.WarningCount());
    QSet<QString> ids;
    int options = 0;
    for (const auto& n : p.Nodes()) {
        EXPECT_FALSE(ids.contains(n->ID())) << n->ID().toStdString();
        ids.insert(n->ID());
        options += int(n->PlayerOptions().size());
    }
    EXPECT_EQ(r.Result.Report.Options, options);
    if (p.NodeCount() > 0)
        EXPECT_NE(p.FindNode(p.StartNodeID()), nullptr);
    else
        EXPECT_FALSE(r.Result.Success);
    const int lineCount = int(text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r'))) + 1;
    static const QRegularExpression lineShape(QStringLiteral("^Line (\\d+): ."));
    for (const QString& item : r.Result.Report.NotUnderstood) {
        const auto m = lineShape.match(item);
        ASSERT_TRUE(m.hasMatch()) << item.toStdString();
        EXPECT_GE(m.captured(1).toInt(), 1);
        EXPECT_LE(m.captured(1).toInt(), lineCount);
    }
    if (!text.contains(QChar(0)))
        EXPECT_TRUE(Reassemble(r) == text) << "the frame does not give back the script";
    if (p.NodeCount() <= 300)
        GameImportTest::ExpectNoOverlaps(p);
}

TImport ImportChecked(const QString& text, const QString* messages = &BranaMessages)
{
    TImport r = ImportText(text, messages);
    CheckInvariants(text, r);
    return r;
}

} // namespace

TEST(GameImportBadInput, ScriptsThatAreNoDialogue)
{
    const char* cases[] = {
        // a map script
        "procedure start;\nprocedure map_enter_p_proc begin\n  override_map_start(100, 100, 0, 0);\nend\n",
        // an item script
        "procedure use_p_proc begin\n  display_msg(mstr(100));\n  destroy_object(self_obj);\nend\n",
        // a talk_p_proc that only floats a line
        "procedure talk_p_proc begin\n  floater(101);\nend\n",
        "",
        "// nothing but a comment",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        const TImport r = ImportChecked(QString::fromUtf8(c));
        EXPECT_FALSE(r.Result.Success);
        ASSERT_EQ(r.Result.Errors.size(), 1);
        EXPECT_TRUE(r.Result.Errors[0].startsWith(QLatin1String("No dialogue found"))) << r.Result.Errors[0].toStdString();
        EXPECT_EQ(r.Project->NodeCount(), 0);
    }
    // The message lines such a script uses are still kept.
    const TImport item = ImportChecked(QString::fromUtf8(cases[1]));
    EXPECT_EQ(item.Project->GameScript().Messages.value(100), QStringLiteral("Hello."));
}

TEST(GameImportBadInput, ProceduresCallingEachOtherInCycles)
{
    const TImport r = ImportChecked(QStringLiteral(
        "procedure talk_p_proc begin gSay_Start; call Node001; gSay_End; call talk_p_proc; end\n"
        "procedure Node001 begin Reply(100); NOption(101, Node002, 4); call Node001; end\n"
        "procedure Node002 begin call Node003; end\n"
        "procedure Node003 begin call Node002; NOption(101, Node001, 4); end\n"
        "procedure helper begin call helper; call Node001; end\n"));
    ASSERT_TRUE(r.Result.Success);
    EXPECT_EQ(r.Project->NodeCount(), 3);
    EXPECT_EQ(r.Node("Node001").NextNodeID(), QStringLiteral("Node001"));
    EXPECT_EQ(r.Node("Node002").NextNodeID(), QStringLiteral("Node003"));
    EXPECT_EQ(r.Node("Node003").NextNodeID(), QStringLiteral("Node002"));
}

TEST(GameImportBadInput, UnbalancedAndUnclosedConstructs)
{
    const char* cases[] = {
        "procedure Node001 begin\n  if (x) then begin\n    Reply(100);\n",
        "procedure Node001 begin\n  Reply(100);\nend\nend\nend\nbegin\n",
        "procedure Node001 begin\n  else Reply(100);\n  then\n  do\nend\n",
        "procedure Node001 begin\n  if (x) Reply(100);\n  if then;\n  if (\nend\n",
        "procedure Node001 begin\n  NOption(((((100, Node001, 4);\n  Reply(100))));\nend\n",
        "procedure Node001 begin\n  Reply(100)\n  NOption(101, Node001, 4)\nend\n",
        "procedure Node001 begin\n  /* never closed\n  Reply(100);\nend\n",
        "procedure Node001 begin\n  Reply(\"never closed);\n  NOption(101, Node001, 4);\nend\n",
        "procedure Node001 begin\n  while (x) Reply(100);\n  while do;\nend\n",
        "procedure Node001\n  Reply(100);\nprocedure Node002 begin end\n",
        "procedure\nprocedure ;\nprocedure begin\nend\nprocedure Node001 begin call; call (; call 5; end\n",
        "procedure Node001 begin\n  giq_option(4, NAME, 100);\n  NOption(100);\n  NOption(100, Node001, 4, 5, 6);\n"
        "  NLowOption();\n  Reply();\nend\n",
        "procedure Node001 begin\n  NOption(100, Nowhere, 4);\n  NOption(100, 5 + Node001, IQ);\n"
        "  giq_option(4, NAME, 101, Node001, 77);\nend\n",
        "procedure Node001 begin\n  if (is_success(roll_vs_skill(dude_obj, SKILL_SPEECH))) then call Node001;\n"
        "  if (is_success(roll_vs_skill(dude_obj, SKILL_SPEECH, x))) then call Node001; else call Node001;\n"
        "  if (is_success(roll_vs_skill(dude_obj, SKILL_SPEECH, 10))) then else;\nend\n",
        "#define A B\n#define B A\n#define X (X + 1)\n#define Y (99999999999999999999)\n#define Z (1/0)\n"
        "procedure Node001 begin Reply(A); NOption(X, Node001, Y); NOption(Z, A, B); end\n",
        "procedure Node001 begin Reply(-5); NOption(2147483648, Node001, -99999); Reply(0x7fffffffff); end\n",
        "#define\n#define 5\n#\n#include\nprocedure Node001 begin\n#define INSIDE 100\n Reply(INSIDE); end\n",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        ImportChecked(QString::fromUtf8(c));
    }
    // What could not be read is reported with its line.
    const TImport r = ImportChecked(QString::fromUtf8(cases[0]));
    EXPECT_TRUE(r.Result.Report.NotUnderstood.join(QLatin1Char('\n')).contains(QLatin1String("Line 2: \"begin\" without its \"end\"")))
        << r.Result.Report.NotUnderstood.join(QLatin1Char('\n')).toStdString();
}

TEST(GameImportBadInput, DeepNestingIsReadWithoutExhaustingTheStack)
{
    // As statements and inside one expression.
    for (const char* opening : {"procedure Node001 begin ", "procedure Node001 begin Reply("})
        for (const char* unit : {"begin ", "if (x) then ", "if (x) then begin ", "(", "-",
                                 "if (is_success(roll_vs_skill(dude_obj, SKILL_SPEECH, 0))) then "}) {
            SCOPED_TRACE(std::string(opening) + unit);
            QString text = QString::fromLatin1(opening);
            text += QString::fromLatin1(unit).repeated(20000);
            text += QStringLiteral("Reply(100); end\n");
            ImportChecked(text);
        }
}

TEST(GameImportBadInput, BinaryData)
{
    std::mt19937 rng(777);
    QByteArray bytes(200000, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(rng() & 0xFF);
    const TImport withNul = ImportChecked(TextEncoding::DecodeText(bytes));
    EXPECT_FALSE(withNul.Result.Success);
    EXPECT_TRUE(withNul.Result.Errors[0].contains(QLatin1String("binary")));
    bytes.replace('\0', '\1');
    ImportChecked(TextEncoding::DecodeText(bytes));
    // A binary message file.
    const QString junk = TextEncoding::DecodeText(bytes);
    ImportChecked(QStringLiteral("procedure talk_p_proc begin call Node001; end procedure Node001 begin Reply(100); end"),
                  &junk);
}

TEST(GameImportBadInput, FiftyMegabyteScript)
{
    // A dialogue, a procedure with a million statements, and comments up to 50 MB.
    QString text = QStringLiteral("procedure talk_p_proc begin gSay_Start; call Node001; gSay_End; end\n"
                                  "procedure Node001 begin Reply(100); NOption(101, Node001, 4); end\n"
                                  "procedure critter_p_proc begin\n");
    const QString statement = QStringLiteral("   x := x + 1;\n");
    text.reserve(50 * 1024 * 1024 + 1024);
    for (int i = 0; i < 1000000; ++i)
        text += statement;
    text += QStringLiteral("end\n/*");
    const QString filler = QStringLiteral("  a comment line of filler text for the importer to pass over\n");
    while (text.size() < 50 * 1024 * 1024)
        text += filler;
    text += QStringLiteral("*/\n");
    const TImport r = ImportChecked(text);
    EXPECT_TRUE(r.Result.Success);
    EXPECT_EQ(r.Project->NodeCount(), 1);
}

TEST(GameImportBadInput, SeededMutationsOfFixtures)
{
    const QStringList fixtures = {QStringLiteral("gameimport/brana.ssl"), QStringLiteral("gameimport/oswin.ssl"),
                                  QStringLiteral("gameimport/tamsin.ssl")};
    // The script words of this importer on top of the common edits.
    auto mutate = [](const QByteArray& input, std::mt19937& rng) {
        static const char* const words[] = {"then ", "/*", "*/", "#define X ", "roll_vs_skill(", "is_success(",
                                            "gSay_Start;", "mstr(", "+ dude_name +", "not ", "004", "LOW_IQ"};
        QByteArray b = ImportTest::MutateScript(input, rng);
        if (rng() % 2 && !b.isEmpty())
            b.insert(qsizetype(rng() % quint32(b.size())), words[rng() % (sizeof words / sizeof *words)]);
        return b;
    };
    auto importChecked = [](const QString& text, std::unique_ptr<TDialogueProject>& p) {
        TImport r = ImportChecked(text);
        p = std::move(r.Project);
        return r.Result;
    };
    ImportTest::RunSeededMutations(fixtures, 20261211, 700, mutate, importChecked);
}
