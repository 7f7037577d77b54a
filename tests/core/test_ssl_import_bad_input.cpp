// The SSL importer on bad input: binary data, NUL bytes, unterminated
// strings, comments and parentheses, huge numbers, a 50 MB file, an empty
// file, and a seeded mutation run over the fixtures. Every case must come
// back with a result that agrees with the project it hands back, never a
// crash or a hang.

#include "interchange/SSLImporter.h"
#include "model/TextEncoding.h"
#include "tests/core/test_import_support.h"
#include "tests/support/TestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

// What every result must satisfy, whatever the input.
void CheckInvariants(const QString& text, const TSSLImportResult& r, const TDialogueProject* p)
{
    ASSERT_TRUE(p);
    EXPECT_EQ(r.Success, r.Errors.isEmpty());
    EXPECT_EQ(r.NodeCount, p->NodeCount());
    const int lineCount = int(text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r'))) + 1;
    static const QRegularExpression errorShape(
        QStringLiteral("^Line (\\d+): (giq_option syntax|option syntax)$"));
    for (const QString& e : r.Errors) {
        const auto m = errorShape.match(e);
        ASSERT_TRUE(m.hasMatch()) << e.toStdString();
        const int line = m.captured(1).toInt();
        EXPECT_GE(line, 1);
        EXPECT_LE(line, lineCount);
    }
    QSet<QString> ids;
    int unresolved = 0;
    for (const auto& n : p->Nodes()) {
        EXPECT_FALSE(ids.contains(n->ID()));
        ids.insert(n->ID());
        EXPECT_TRUE(n->Notes().startsWith(QLatin1String("Original: ")));
        EXPECT_GE(n->X(), 50);
        EXPECT_GE(n->Y(), 50);
    }
    for (const auto& n : p->Nodes()) {
        if (!n->NextNodeID().isEmpty() && !ids.contains(n->NextNodeID()))
            ++unresolved;
        for (const auto& o : n->PlayerOptions()) {
            EXPECT_TRUE(o->Text.startsWith(QLatin1String("[MSG:")));
            if (!o->TargetNodeID.isEmpty() && !ids.contains(o->TargetNodeID))
                ++unresolved;
        }
    }
    EXPECT_EQ(r.WarningCount, unresolved);
}

TSSLImportResult ImportChecked(const QString& text, std::unique_ptr<TDialogueProject>& p)
{
    TSSLImporter importer;
    TSSLImportResult r = importer.ImportFromText(text, p);
    CheckInvariants(text, r, p.get());
    return r;
}

} // namespace

TEST(SSLImportBadInput, EmptyFileAndText)
{
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(QString(), p);
    EXPECT_TRUE(r.Success);
    EXPECT_EQ(r.NodeCount, 0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.ssl"));
    TestSupport::WriteFile(path, QByteArray());
    TSSLImporter importer;
    const auto rf = importer.ImportFromFile(path, p);
    EXPECT_TRUE(rf.Success);
    EXPECT_EQ(p->NodeCount(), 0);
    EXPECT_EQ(p->Name(), QStringLiteral("empty"));
}

TEST(SSLImportBadInput, BinaryFile)
{
    std::mt19937 rng(1234);
    QByteArray bytes(200000, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(rng() & 0xFF);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("junk.ssl"));
    TestSupport::WriteFile(path, bytes);
    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const auto r = importer.ImportFromFile(path, p);
    CheckInvariants(TextEncoding::DecodeText(bytes), r, p.get());
}

TEST(SSLImportBadInput, NulBytes)
{
    static const char raw[] = "procedure p begin\r\n  Reply(1\0002);\r\n\0\0\0\r\n  NOption(\0, q);\r\nend\0\r\n";
    const QByteArray bytes(raw, sizeof raw - 1);
    std::unique_ptr<TDialogueProject> p;
    const QString text = TextEncoding::DecodeText(bytes);
    const auto r = ImportChecked(text, p);
    ASSERT_EQ(r.NodeCount, 1);
    // The NUL ends the digit run: the number read is 1.
    EXPECT_EQ(p->NodeAt(0)->Text(), QStringLiteral("[MSG:1]"));
    // "(\0, q)": the message is a lone NUL, trimmed away: option syntax.
    ASSERT_EQ(r.Errors.size(), 1);
    EXPECT_EQ(r.Errors[0], QStringLiteral("Line 4: option syntax"));
}

TEST(SSLImportBadInput, UnterminatedConstructs)
{
    const char* cases[] = {
        "procedure p begin\n  display_msg(\"never closed);\nend\n",
        "procedure p begin\n  NOption(\"106, Node002);\nend\n",
        "/* a comment that never ends\nprocedure p begin\n  Reply(1);\nend\n",
        "procedure p begin\n  /* open comment\n  Reply(2);\n",
        "procedure p begin\n  NOption(((((106, x\n  giq_option(((\nend\n",
        "procedure p begin\n  if (skill_check(dude_obj, SKILL_SPEECH, 10 then begin\n    NOption(1, p);\n",
        "procedure p begin\n  if (x) then begin\n  if (y) then begin\n",
        "procedure p begin\n  Reply(1);\n",
        "procedure p\n  Reply(1);\n",
        "procedure p begin\n  call(\n  call \n  call \"\n  call(\"\n",
        "procedure\nprocedure \nprocedure ;\nprocedure begin\nend",
        "procedure p begin\n  else\n  begin\n  end\n  else\n",
        "procedure p begin\n  if (a) then\n  end\n  else",
    };
    for (const char* c : cases) {
        std::unique_ptr<TDialogueProject> p;
        ImportChecked(QString::fromUtf8(c), p);
    }
}

TEST(SSLImportBadInput, NumbersTooBigForAnInteger)
{
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(QStringLiteral(
        "procedure p begin\n  Reply(99999999999999999999);\n  NOption(99999999999999999999, p);\n"
        "  giq_option(99999999999999999999, N, 1, p, X);\n"
        "  if (skill_check(d, SKILL_SPEECH, -99999999999999999)) then\n  end\nend\n"), p);
    EXPECT_TRUE(r.Success);
    const TDialogueNode* n = p->NodeAt(0);
    // No 32-bit integer: no text. Option messages are text, not numbers.
    EXPECT_TRUE(n->Text().isEmpty());
    ASSERT_EQ(n->PlayerOptions().size(), 2u);
    EXPECT_EQ(n->PlayerOptions()[0]->Text, QStringLiteral("[MSG:99999999999999999999]"));
    // An IQ that is no integer reads as 4: no skill flag from it, but the
    // conditional line's check (difficulty left at 50) is attached.
    EXPECT_TRUE(n->PlayerOptions()[0]->HasSkillCheck);
    EXPECT_EQ(n->PlayerOptions()[0]->SkillCheck.Difficulty, 50);
    EXPECT_FALSE(n->PlayerOptions()[1]->HasSkillCheck);
}

TEST(SSLImportBadInput, DeepNestingDoesNotOverflowTheStack)
{
    QString text = QStringLiteral("procedure p begin\n");
    for (int i = 0; i < 200000; ++i)
        text += QStringLiteral("if (x) then begin\n");
    for (int i = 0; i < 200000; ++i)
        text += QStringLiteral("end\n");
    text += QStringLiteral("  NOption(1, p);\nend\n");
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(text, p);
    ASSERT_EQ(r.NodeCount, 1);
    EXPECT_EQ(p->NodeAt(0)->PlayerOptions().size(), 1u);
}

TEST(SSLImportBadInput, FiftyMegabyteFile)
{
    // A realistic script repeated to 50 MB: 3 procedures per block.
    QByteArray block;
    QByteArray bytes;
    bytes.reserve(50 * 1024 * 1024 + 4096);
    int i = 0;
    while (bytes.size() < 50 * 1024 * 1024) {
        block = QStringLiteral(
                    "procedure Node%1 begin\r\n   Reply(%1);\r\n   NOption(%2, Node%3, 004);\r\n"
                    "   GOption(%2, Node%3);\r\n   if (skill_check(dude_obj, SKILL_SPEECH, 10)) then begin\r\n"
                    "      call Node%3;\r\n   end\r\nend\r\n\r\n")
                    .arg(i)
                    .arg(i + 1)
                    .arg(i + 1)
                    .toLatin1();
        bytes += block;
        ++i;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.ssl"));
    TestSupport::WriteFile(path, bytes);
    bytes.clear();
    TSSLImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const auto r = importer.ImportFromFile(path, p);
    EXPECT_TRUE(r.Success);
    EXPECT_EQ(r.NodeCount, i);
    EXPECT_EQ(r.WarningCount, i + 1);   // every three-argument NOption, and the last GOption
}

TEST(SSLImportBadInput, FiftyMegabytesOfJunk)
{
    // Long lines of parentheses, quotes and keywords, no line breaks at all
    // in the first half.
    QByteArray bytes;
    bytes.reserve(50 * 1024 * 1024 + 64);
    bytes += "procedure p begin ";
    while (bytes.size() < 25 * 1024 * 1024)
        bytes += "NOption((((\"\"(,,,))) ";
    bytes += "\nprocedure q begin\n";
    while (bytes.size() < 50 * 1024 * 1024)
        bytes += "if (skill_check(((((\n";
    std::unique_ptr<TDialogueProject> p;
    const QString text = TextEncoding::DecodeText(bytes);
    bytes.clear();
    const auto r = ImportChecked(text, p);
    // "procedure q begin" stands inside p's body, where it is skipped.
    EXPECT_EQ(r.NodeCount, 1);
}

TEST(SSLImportBadInput, SeededMutationsOfFixtures)
{
    const QStringList fixtures = {QStringLiteral("import/dcbrana.ssl"), QStringLiteral("import/enc_cp1252.ssl"),
                                  QStringLiteral("import/enc_utf8_bom.ssl")};
    ImportTest::RunSeededMutations(fixtures, 20240611, 1500, ImportTest::MutateScript, ImportChecked);
}
