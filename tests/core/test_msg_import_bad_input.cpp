// The MSG importer on bad input: binary data, NUL bytes, lines without
// closing braces, repeated and oversized message numbers, a 50 MB file, an
// empty file, and a seeded mutation run over the fixtures. Every case must come
// back with a result that agrees with its project; never a crash or a hang.

#include "interchange/MSGImporter.h"
#include "model/TextEncoding.h"
#include "tests/core/test_import_support.h"
#include "tests/support/TestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

void CheckInvariants(const QString& text, const TMSGImportResult& r, const TDialogueProject* p)
{
    ASSERT_TRUE(p);
    EXPECT_EQ(r.Project, p);
    EXPECT_EQ(r.Success, r.Errors.isEmpty());
    EXPECT_EQ(r.NodeCount, p->NodeCount());
    EXPECT_GE(r.WarningCount, 0);
    const int lineCount = int(text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r'))) + 1;
    static const QRegularExpression errorShape(QStringLiteral("^Line (\\d+): Could not parse: (.*)$"),
                                               QRegularExpression::DotMatchesEverythingOption);
    for (const QString& e : r.Errors) {
        const auto m = errorShape.match(e);
        ASSERT_TRUE(m.hasMatch()) << e.toStdString();
        EXPECT_GE(m.captured(1).toInt(), 1);
        EXPECT_LE(m.captured(1).toInt(), lineCount);
        EXPECT_LE(m.captured(2).size(), 60);
        EXPECT_TRUE(m.captured(2).startsWith(QLatin1Char('{')));
    }
    EXPECT_EQ(p->Name(), QStringLiteral("Imported from .MSG"));
    EXPECT_EQ(p->StartNodeID(), p->NodeCount() ? p->NodeAt(0)->ID() : QString());
    qint64 previousNumber = -1;
    for (int i = 0; i < p->NodeCount(); ++i) {
        const TDialogueNode* n = p->NodeAt(i);
        EXPECT_FALSE(n->Text().isEmpty());
        EXPECT_EQ(n->Speaker(), QStringLiteral("NPC"));
        EXPECT_EQ(n->X(), 50 + 250 * i);
        EXPECT_EQ(n->Y(), 50);
        EXPECT_EQ(n->NextNodeID(), i + 1 < p->NodeCount() ? p->NodeAt(i + 1)->ID() : QString());
        ASSERT_TRUE(n->Notes().startsWith(QLatin1String("Original MSG ID: ")));
        const qint64 number = n->Notes().mid(17).toLongLong();
        EXPECT_GT(number, previousNumber);   // ascending, one node per number
        previousNumber = number;
    }
}

TMSGImportResult ImportChecked(const QString& text, std::unique_ptr<TDialogueProject>& p)
{
    TMSGImporter importer;
    TMSGImportResult r = importer.ImportFromText(text, p);
    CheckInvariants(text, r, p.get());
    return r;
}

} // namespace

TEST(MSGImportBadInput, EmptyFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.msg"));
    TestSupport::WriteFile(path, QByteArray());
    TMSGImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const auto r = importer.ImportFromFile(path, p);
    EXPECT_TRUE(r.Success);
    EXPECT_EQ(r.NodeCount, 0);
    EXPECT_EQ(p->Name(), QStringLiteral("empty"));
    EXPECT_TRUE(p->StartNodeID().isEmpty());
}

TEST(MSGImportBadInput, BinaryFile)
{
    std::mt19937 rng(99);
    QByteArray bytes(300000, Qt::Uninitialized);
    for (char& c : bytes) {
        const quint32 v = rng();
        // Plenty of braces and line breaks so that message lines are tried.
        c = (v % 5 == 0) ? "{}\n{"[(v >> 8) % 4] : char(v & 0xFF);
    }
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(TextEncoding::DecodeText(bytes), p);
    EXPECT_FALSE(r.Success);   // some "{" lines are sure to be unreadable
}

TEST(MSGImportBadInput, NulBytes)
{
    static const char raw[] = "{1}{}{a\0b}\r\n{\0}{}{x}\r\n{2}{\0}{\0}\r\n\0{3}{}{c}\r\n";
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(TextEncoding::DecodeText(QByteArray(raw, sizeof raw - 1)), p);
    ASSERT_EQ(r.NodeCount, 2);
    EXPECT_EQ(p->NodeAt(0)->Text(), QString::fromUtf8("a\0b", 3));
    EXPECT_EQ(p->NodeAt(1)->Text(), QStringLiteral("c"));   // leading NUL trimmed
    EXPECT_EQ(r.Errors.size(), 2);
}

TEST(MSGImportBadInput, MissingClosingBraces)
{
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(QStringLiteral("{100}{}{no closing brace\n{101\n{102}{\n{103}{}\n{104}{}{ok}\n"), p);
    ASSERT_EQ(r.NodeCount, 2);
    EXPECT_EQ(p->NodeAt(0)->Text(), QStringLiteral("no closing brace"));
    ASSERT_EQ(r.Errors.size(), 3);
    EXPECT_EQ(r.Errors[0], QStringLiteral("Line 2: Could not parse: {101"));
    EXPECT_EQ(r.Errors[1], QStringLiteral("Line 3: Could not parse: {102}{"));
    EXPECT_EQ(r.Errors[2], QStringLiteral("Line 4: Could not parse: {103}{}"));
}

TEST(MSGImportBadInput, RepeatedNumbers)
{
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("{%1}{}{text %2}\n").arg(i % 10).arg(i);
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(text, p);
    EXPECT_TRUE(r.Success);
    ASSERT_EQ(r.NodeCount, 10);
    EXPECT_EQ(r.WarningCount, 990);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(p->NodeAt(i)->Text(), QStringLiteral("text %1").arg(i));
}

TEST(MSGImportBadInput, NumbersTooBig)
{
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(
        QStringLiteral("{2147483647}{}{max}\n{2147483648}{}{over}\n{-2147483648}{}{min}\n{-2147483649}{}{under}\n"
                       "{123456789012345678901234567890}{}{huge}\n"), p);
    ASSERT_EQ(r.NodeCount, 1);
    EXPECT_EQ(p->NodeAt(0)->Notes(), QStringLiteral("Original MSG ID: 2147483647"));
    EXPECT_EQ(r.Errors.size(), 3);
}

TEST(MSGImportBadInput, FiftyMegabyteFile)
{
    QByteArray bytes;
    bytes.reserve(50 * 1024 * 1024 + 256);
    int count = 0;
    // Descending numbers force the sort.
    while (bytes.size() < 50 * 1024 * 1024) {
        bytes += "{";
        bytes += QByteArray::number(10000000 - count);
        bytes += "}{}{A line of a long message file, number ";
        bytes += QByteArray::number(count);
        bytes += ".}\r\n";
        ++count;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.msg"));
    TestSupport::WriteFile(path, bytes);
    bytes.clear();
    TMSGImporter importer;
    std::unique_ptr<TDialogueProject> p;
    const auto r = importer.ImportFromFile(path, p);
    EXPECT_TRUE(r.Success);
    EXPECT_EQ(r.NodeCount, count);
    EXPECT_EQ(p->NodeAt(0)->Notes(), QStringLiteral("Original MSG ID: %1").arg(10000000 - count + 1));
}

TEST(MSGImportBadInput, FiftyMegabyteSingleLine)
{
    QByteArray bytes("{1}{}{");
    bytes += QByteArray(50 * 1024 * 1024, '{');
    std::unique_ptr<TDialogueProject> p;
    const auto r = ImportChecked(TextEncoding::DecodeText(bytes), p);
    ASSERT_EQ(r.NodeCount, 1);
    EXPECT_EQ(p->NodeAt(0)->Text().size(), 50 * 1024 * 1024);
}

namespace {

QByteArray Mutate(const QByteArray& input, std::mt19937& rng)
{
    static const char specials[] = {'{', '}', '\\', '#', '/', '-', '\0', '\r', '\n', ' ', '\xff', '\x80', '9'};
    QByteArray b = input;
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        const qsizetype pos = b.isEmpty() ? 0 : qsizetype(rng() % quint32(b.size()));
        switch (rng() % 6) {
        case 0: if (!b.isEmpty()) b[pos] = char(rng() & 0xFF); break;
        case 1: b.insert(pos, specials[rng() % sizeof specials]); break;
        case 2: b.insert(pos, "99999999999"); break;
        case 3: b.remove(pos, qsizetype(rng() % 30)); break;
        case 4: b.truncate(pos); break;
        default: b.insert(pos, b.mid(pos, qsizetype(rng() % 120))); break;
        }
    }
    return b;
}

} // namespace

TEST(MSGImportBadInput, SeededMutationsOfFixtures)
{
    const QStringList fixtures = {QStringLiteral("import/dcbrana.msg"), QStringLiteral("import/enc_cp1252.msg"),
                                  QStringLiteral("import/enc_utf8_bom.msg")};
    ImportTest::RunSeededMutations(fixtures, 7331, 2000, Mutate, ImportChecked);
}
