// The FMF reader on bad input: seeded mutations of the fixtures and of
// written files, broken blocks, odd numbers, huge lines, NUL bytes and a
// 50 MB file. Every input gives a project and Success; none may crash or
// stall.

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "model/TextEncoding.h"
#include "tests/core/test_fmf_generator.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace {

const unsigned MutationSeed = 20261210;
const int MutantCount = 1500;

// Imports, checks the result record and that the writer takes the project,
// and returns the project.
std::unique_ptr<TDialogueProject> ImportChecked(const QByteArray& bytes, const std::string& what)
{
    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TFMFImportResult result = importer.ImportFromText(TextEncoding::DecodeText(bytes), project);
    EXPECT_TRUE(result.Success) << what;
    EXPECT_TRUE(result.Errors.isEmpty()) << what;
    EXPECT_TRUE(project) << what;
    if (!project)
        return project;
    EXPECT_EQ(result.NodeCount, project->NodeCount()) << what;
    for (const auto& node : project->Nodes())
        for (const auto& option : node->PlayerOptions())
            EXPECT_LT(int(option->SkillCheck.Skill), SkillTypeCount) << what;

    TFMFExporter exporter;
    const TFMFExportResult written = exporter.ExportToText(project.get());
    EXPECT_TRUE(written.Success) << what;
    std::unique_ptr<TDialogueProject> again;
    EXPECT_TRUE(importer.ImportFromText(written.Text, again).Success) << what;
    EXPECT_EQ(again->NodeCount(), project->NodeCount()) << what;
    return project;
}

QVector<QByteArray> Fixtures()
{
    QVector<QByteArray> fixtures;
    const QDir dir(TestSupport::DataPath(QStringLiteral("fmf")));
    for (const QString& name : dir.entryList({QStringLiteral("*.fmf")}, QDir::Files))
        fixtures << TestSupport::ReadFile(dir.filePath(name));
    for (unsigned seed = 1; seed <= 5; ++seed) {
        TFMFProjectGenerator generator(seed * 31);
        TFMFExporter exporter;
        fixtures << exporter.ExportToText(generator.Make(8).get()).Text.toUtf8();
    }
    return fixtures;
}

class TMutator {
public:
    explicit TMutator(unsigned seed) : FRandom(seed) {}

    QByteArray Mutate(QByteArray bytes)
    {
        for (int steps = Below(8) + 1; steps > 0; --steps)
            Step(bytes);
        return bytes;
    }

private:
    int Below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(FRandom); }

    void Step(QByteArray& b)
    {
        static const char* const tokens[] = {
            "\"", "\\", "\\\"", "{", "}", "};", "\r", "\n", "\r\n", ";", "=", "=>", ",", " ", "NODE \"", "NODE ",
            "FLOATNODE ", "VARS {", "START_CONDITIONS", "COND TARGET_NODE \"", "OPTIONS {", "INT=", "REACTION=-",
            "PLAYERTEXT ", "LINKTO \"", "CONDITIONS {", "CHECK_CUSTOM_CODE \"", "LINK_NEXT", "DEFINE_SKILL_CHECK ",
            "SkillCheck_", "SKILL_NUM = 99999999999;", "SKILL_NUM = -3;", "INSERT_CUSTOM_CODE", "NPCTEXT \"",
            "LOCAL VAR ", " NOTES \"", "\xEF\xBB\xBF", "\xFF\xFE", "\xC3", "\x80", "GENDER=MALE",
        };
        const int size = int(b.size());
        const int at = Below(size + 1);
        switch (Below(8)) {
        case 0:
            if (size > 0)
                b[Below(size)] = char(Below(256));
            break;
        case 1: {
            const char* token = tokens[Below(int(std::size(tokens)))];
            b.insert(at, token);
            break;
        }
        case 2:
            b.remove(at, Below(64) + 1);
            break;
        case 3:
            b.insert(at, b.mid(Below(size + 1), Below(256)));
            break;
        case 4:
            b.truncate(at);
            break;
        case 5:
            b.insert(at, QByteArray(Below(16) + 1, '\0'));
            break;
        case 6: {
            const QByteArray piece = b.mid(at, Below(80) + 1);
            for (int i = Below(50); i > 0; --i)
                b.insert(at, piece);
            break;
        }
        default: {
            QList<QByteArray> lines = b.split('\n');
            if (lines.size() > 1)
                lines.swapItemsAt(Below(int(lines.size())), Below(int(lines.size())));
            b = lines.join('\n');
        }
        }
    }

    std::mt19937 FRandom;
};

}

TEST(FMFRobustness, SeededMutationsOfTheFixtures)
{
    const QVector<QByteArray> fixtures = Fixtures();
    ASSERT_GE(fixtures.size(), 7);
    TMutator mutator(MutationSeed);
    for (int i = 0; i < MutantCount; ++i) {
        const QByteArray mutant = mutator.Mutate(fixtures[i % fixtures.size()]);
        ImportChecked(mutant, "mutant " + std::to_string(i));
        if (HasFailure())
            return;
    }
}

TEST(FMFRobustness, BrokenBlocksAndOddLines)
{
    const char* const cases[] = {
        "VARS {",
        "VARS {\nLOCAL VAR",
        "VARS {\nLOCAL VAR A NOTES \"1\";\nLOCAL VAR A NOTES \"2\";\n}\nVARS {\nLOCAL VAR A NOTES \"3\";\n}",
        "START_CONDITIONS\nCOND TARGET_NODE",
        "START_CONDITIONS\nCOND TARGET_NODE \"x",
        "FLOATNODE",
        "FLOATNODE \"f\"\n{\n\"unterminated",
        "NODE",
        "NODE \"",
        "NODE \"a\"",
        "NODE \"a\"\n{",
        "NODE \"a\"\n{\nOPTIONS {",
        "NODE \"a\"\n{\nOPTIONS {\nINT=",
        "NODE \"a\"\n{\nOPTIONS {\nINT=1 PLAYERTEXT LINKTO CONDITIONS {",
        "NODE \"a\"\n{\nOPTIONS {\nINT=1 CONDITIONS {\"",
        "NODE \"a\"\n{\nOPTIONS {\nINT=1 CONDITIONS {CHECK_CUSTOM_CODE \"\\\"",
        "NODE \"a\"\n{\nOPTIONS {\nINT=1 REACTION=-99999999999999999999 GENDER=",
        "NODE \"a\"\n{\nINSERT_CUSTOM_CODE",
        "NODE \"a\"\n{\nINSERT_CUSTOM_CODE {\n\"x\\",
        "NODE \"a\"\nDEFINE_SKILL_CHECK",
        "NODE \"a\"\n{\nDEFINE_SKILL_CHECK SkillCheck_0_a {\nSKILL_NUM = 12;\nONSUCCESS =>",
        "NODE \"a\"\n{\nDEFINE_SKILL_CHECK SkillCheck_0_a {\nSKILL_NUM = 2147483648;\nDIFFICULTY_MODIFIER = -2147483649;\n}\n"
        "OPTIONS {\nINT=1 LINKTO \"SkillCheck_0_a\"\n}\n}",
        "NODE \"a\"\n{\nDEFINE_SKILL_CHECK _-1_a {\nONSUCCESS => a;\n}\nDEFINE_SKILL_CHECK x_99999999999_a {\nONSUCCESS => a;\n}\n}",
        "\"\"\"\"\"\"",
        "\\\\\\\\\\",
        "NPCNAME \"\\",
        "}\n};\n{\n{\n",
        "NODE \"\"\n{\n}\nDEFINE_SKILL_CHECK zz {\nONSUCCESS => x;\n}",
    };
    for (const char* text : cases) {
        auto project = ImportChecked(QByteArray(text), text);
        if (HasFailure())
            return;
    }
    // Duplicate VARS entries: one per name, the last value.
    auto project = ImportChecked(QByteArray(cases[2]), "duplicate vars");
    EXPECT_EQ(project->GlobalVars().value(QStringLiteral("A")), QStringLiteral("3"));
    EXPECT_EQ(project->GlobalVars().size(), 1);
}

TEST(FMFRobustness, NulBytesAndHugeLines)
{
    QByteArray nul("NODE \"a\0b\"\n{\nNPCTEXT \"x\0y\"\n}\n", 30);
    auto project = ImportChecked(nul, "nul bytes");
    ASSERT_EQ(project->NodeCount(), 1);
    EXPECT_EQ(project->NodeAt(0)->ID(), QString::fromLatin1("a\0b", 3));
    EXPECT_EQ(project->NodeAt(0)->Text(), QString::fromLatin1("x\0y", 3));

    QByteArray huge = "NODE \"h\"\n{\nNPCTEXT \"";
    huge += QByteArray(8 * 1024 * 1024, 'x');
    huge += "\"\nOPTIONS {\nINT=1 PLAYERTEXT \"";
    for (int i = 0; i < 200000; ++i)
        huge += "\\\" linkto {, ";
    huge += "\n}\n}\n";
    project = ImportChecked(huge, "huge lines");
    ASSERT_EQ(project->NodeCount(), 1);
    EXPECT_EQ(project->NodeAt(0)->Text().size(), 8 * 1024 * 1024);
}

TEST(FMFRobustness, ManyUnmatchedSkillCheckNamesFinish)
{
    // Names that only the substring match could place: its work is bounded.
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "NODE \"N" + QByteArray::number(i) + "\"\n{\nDEFINE_SKILL_CHECK zz_" + QByteArray::number(i)
                + "_" + QByteArray(40, 'q') + " {\nONSUCCESS => x;\n}\n}\n";
    auto project = ImportChecked(text, "unmatched skill checks");
    EXPECT_EQ(project->NodeCount(), 20000);
}

TEST(FMFRobustness, FiftyMegabyteFile)
{
    QByteArray block;
    QByteArray bytes;
    bytes.reserve(52 * 1024 * 1024);
    int nodes = 0;
    while (bytes.size() < 50 * 1024 * 1024) {
        const QByteArray name = "Node" + QByteArray::number(++nodes);
        bytes += "NODE \"" + name + "\"\r\n  NOTES \"\"\r\n  IS_WTG = false\r\n{\r\n  NPCTEXT \"Gr\xFC\xDF dich, \\\"friend\\\"\\nline two\"\r\n"
                 "  OPTIONS {\r\n    INT=1 REACTION=REACTION_NEUTRAL PLAYERTEXT \"Bye\" LINKTO \"" + name
                 + "\" CONDITIONS {GLOBAL_VARIABLE x == 1 LINK_NEXT NONE } NOTES \"\"\r\n  }\r\n}\r\n\r\n";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.fmf"));
    TestSupport::WriteFile(path, bytes);
    bytes.clear();
    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    const TFMFImportResult result = importer.ImportFromFile(path, project);
    EXPECT_TRUE(result.Success);
    ASSERT_EQ(result.NodeCount, nodes);
    EXPECT_EQ(project->NodeAt(nodes - 1)->Text(), QStringLiteral("Grüß dich, \"friend\"\nline two"));
}

TEST(FMFRobustness, ManyTextLinesInOneNodeStayLinear)
{
    QByteArray text = "NODE \"a\"\n{\n";
    for (int i = 0; i < 300000; ++i)
        text += "NPCTEXT \"some line of text\"\nNPCFEMALETEXT \"and hers\"\n";
    text += "}\n";
    auto project = ImportChecked(text, "many text lines");
    ASSERT_EQ(project->NodeCount(), 1);
    EXPECT_EQ(project->NodeAt(0)->Text().size(), 300000 * 17 + 299999 * 2);
}
