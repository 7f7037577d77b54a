// Export -> import -> export is a fixed point for generated projects, and the
// imported project keeps everything the format carries.

#include "interchange/FMFExporter.h"
#include "interchange/FMFImporter.h"
#include "model/TextEncoding.h"
#include "tests/core/test_fmf_generator.h"
#include "tests/support/TestSupport.h"

#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const unsigned SeedCount = 400;

QString Export(const TDialogueProject& project)
{
    TFMFExporter exporter;
    const TFMFExportResult result = exporter.ExportToText(&project);
    EXPECT_TRUE(result.Success);
    return result.Text;
}

std::unique_ptr<TDialogueProject> Import(const QString& text)
{
    TFMFImporter importer;
    std::unique_ptr<TDialogueProject> project;
    EXPECT_TRUE(importer.ImportFromText(text, project).Success);
    return project;
}

// The format has one kind of line break.
QString Breaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// How the writer names what an ID refers to.
class TNames {
public:
    explicit TNames(const TDialogueProject& project)
    {
        for (int i = 0; i < project.NodeCount(); ++i)
            if (!FNames.contains(project.NodeAt(i)->ID()))
                FNames.insert(project.NodeAt(i)->ID(), QStringLiteral("Node%1").arg(i + 1, 3, 10, QLatin1Char('0')));
    }
    QString operator()(const QString& id) const { return id.isEmpty() ? id : FNames.value(id, id); }

private:
    QHash<QString, QString> FNames;
};

TConditionType WrittenType(TConditionType type)
{
    switch (type) {
    case ctReputation:
    case ctKarma:
    case ctQuestFlag: return ctGlobalVar;
    case ctTimeOfDay:
    case ctCompanion: return ctLocalVar;
    default: return type;
    }
}

QString ScriptAsWritten(const QString& code)
{
    return Breaks(code.split(QLatin1String("\r\n"), Qt::SkipEmptyParts).join(QLatin1String("\r\n")))
        .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void ExpectCarried(const TDialogueProject& source, const TDialogueProject& read, unsigned seed)
{
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    const TNames name(source);
    EXPECT_EQ(read.NPCName(), Breaks(source.NPCName()));
    EXPECT_EQ(read.NPCScript(), source.NPCScript());
    EXPECT_EQ(read.Description(), Breaks(source.Description()));
    QMap<QString, QString> vars;
    for (auto it = source.GlobalVars().cbegin(); it != source.GlobalVars().cend(); ++it)
        vars.insert(it.key(), Breaks(it.value()));
    EXPECT_EQ(read.GlobalVars(), vars);

    ASSERT_EQ(read.FloatMessages().size(), source.FloatMessages().size());
    for (size_t i = 0; i < source.FloatMessages().size(); ++i) {
        EXPECT_EQ(read.FloatMessages()[i]->ID, Breaks(source.FloatMessages()[i]->ID));
        EXPECT_EQ(read.FloatMessages()[i]->Text, Breaks(source.FloatMessages()[i]->Text));
    }

    ASSERT_EQ(read.NodeCount(), source.NodeCount());
    if (source.NodeCount() > 0) {
        const bool startKnown = source.FindNode(source.StartNodeID()) != nullptr;
        EXPECT_EQ(read.StartNodeID(), startKnown ? name(source.StartNodeID()) : QStringLiteral("Node001"));
    }
    for (int n = 0; n < source.NodeCount(); ++n) {
        const TDialogueNode& s = *source.NodeAt(n);
        const TDialogueNode& r = *read.NodeAt(n);
        SCOPED_TRACE(testing::Message() << "node " << n);
        EXPECT_EQ(r.ID(), QStringLiteral("Node%1").arg(n + 1, 3, 10, QLatin1Char('0')));
        EXPECT_EQ(r.Text(), Breaks(s.Text()));
        EXPECT_EQ(r.Notes(), Breaks(s.Notes()));
        QStringList sourceCode, readCode;
        for (const auto& script : s.Scripts())
            if (!script->ScriptCode.trimmed().isEmpty())
                sourceCode << ScriptAsWritten(script->ScriptCode);
        for (const auto& script : r.Scripts())
            readCode << script->ScriptCode.replace(QLatin1String("\r\n"), QLatin1String("\n"))
                            .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        EXPECT_EQ(readCode, sourceCode);

        ASSERT_EQ(r.PlayerOptions().size(), s.PlayerOptions().size());
        for (size_t i = 0; i < s.PlayerOptions().size(); ++i) {
            const TPlayerOption& so = *s.PlayerOptions()[i];
            const TPlayerOption& ro = *r.PlayerOptions()[i];
            SCOPED_TRACE(testing::Message() << "option " << i);
            EXPECT_EQ(ro.Text, Breaks(so.Text));
            EXPECT_EQ(ro.IsHidden, so.IsHidden);
            EXPECT_EQ(ro.HasSkillCheck, so.HasSkillCheck);
            if (so.HasSkillCheck) {
                EXPECT_EQ(ro.TargetNodeID, QStringLiteral("SkillCheck_%1_%2").arg(i).arg(r.ID()));
                EXPECT_EQ(ro.SkillCheck.Skill, so.SkillCheck.Skill);
                EXPECT_EQ(ro.SkillCheck.Difficulty, so.SkillCheck.Difficulty);
                EXPECT_EQ(ro.SkillCheck.SuccessNodeID, name(so.SkillCheck.SuccessNodeID));
                EXPECT_EQ(ro.SkillCheck.FailureNodeID, name(so.SkillCheck.FailureNodeID));
            } else {
                EXPECT_EQ(ro.TargetNodeID, name(so.TargetNodeID));
            }
            ASSERT_EQ(ro.Conditions.size(), so.Conditions.size());
            for (int c = 0; c < so.Conditions.size(); ++c) {
                const TCondition& sc = so.Conditions[c];
                const TCondition& rc = ro.Conditions[c];
                EXPECT_EQ(rc.CondType, WrittenType(sc.CondType)) << c;
                EXPECT_EQ(rc.Value, Breaks(sc.Value)) << c;
                if (sc.CondType != ctRandom) {
                    EXPECT_EQ(rc.Variable, sc.Variable) << c;
                    EXPECT_EQ(rc.Operator, sc.Operator) << c;
                }
            }
        }
    }
}

}

TEST(FMFProperty, ExportImportExportIsAFixedPoint)
{
    for (unsigned seed = 1; seed <= SeedCount; ++seed) {
        TFMFProjectGenerator generator(seed);
        const auto source = generator.Make();
        const QString first = Export(*source);
        const auto read = Import(first);
        ASSERT_TRUE(read);
        const QString second = Export(*read);
        // Compared line by line so a failure shows the line that differs.
        const QStringList firstLines = first.split(QLatin1String("\r\n"));
        const QStringList secondLines = second.split(QLatin1String("\r\n"));
        for (qsizetype i = 0; i < std::min(firstLines.size(), secondLines.size()); ++i)
            ASSERT_EQ(secondLines[i].toStdString(), firstLines[i].toStdString()) << "seed " << seed << ", line " << i + 1;
        ASSERT_EQ(secondLines.size(), firstLines.size()) << "seed " << seed;
        ExpectCarried(*source, *read, seed);
        if (HasFatalFailure() || HasFailure())
            return;
    }
}

TEST(FMFProperty, FilesInTheAnsiCodePageAreAFixedPointAfterOneTrip)
{
    QTemporaryDir dir;
    const QString firstPath = dir.filePath(QStringLiteral("first.fmf"));
    const QString secondPath = dir.filePath(QStringLiteral("second.fmf"));
    for (unsigned seed = 1; seed <= 60; ++seed) {
        TFMFProjectGenerator generator(seed * 7919);
        const auto source = generator.Make();
        TFMFExporter exporter;
        ASSERT_TRUE(exporter.ExportToFile(source.get(), firstPath).Success);
        TFMFImporter importer;
        std::unique_ptr<TDialogueProject> read;
        ASSERT_TRUE(importer.ImportFromFile(firstPath, read).Success);
        ASSERT_TRUE(exporter.ExportToFile(read.get(), secondPath).Success);
        // Characters the code page cannot hold were written as "?" the
        // first time; from then on the bytes stay as they are.
        EXPECT_EQ(TestSupport::ReadFile(secondPath), TestSupport::ReadFile(firstPath)) << "seed " << seed * 7919;
        EXPECT_EQ(TestSupport::ReadFile(firstPath), TextEncoding::ToAnsi(Export(*source)));
    }
}
