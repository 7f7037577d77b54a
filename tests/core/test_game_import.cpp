// The game dialogue importer on scripts written in the games' idiom: the
// shared brana pair and fixtures of our own (nested guards, statements over
// several lines, both option forms, joined texts, missing messages, skill
// rolls, several start branches, defines used as numbers), the message file
// search, the kept frame and the report.

#include "interchange/GameDialogueImporter.h"
#include "interchange/GameMessageFile.h"
#include "interchange/GameSkillRoll.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TImport {
    TGameImportResult Result;
    std::unique_ptr<TDialogueProject> Project;
    QHash<QString, QString> Sources;

    const TDialogueNode& Node(const char* id) const
    {
        const TDialogueNode* n = Project->FindNode(QLatin1String(id));
        if (!n)
            throw std::runtime_error(std::string("no node ") + id);
        return *n;
    }
};

TImport ImportFixture(const QString& stem, const QString& messagePath = QString())
{
    TImport r;
    TGameDialogueImporter importer;
    r.Result = importer.ImportFromFile(TestSupport::DataPath(QStringLiteral("gameimport/") + stem + QStringLiteral(".ssl")),
                                       messagePath, r.Project);
    r.Sources = importer.DialogueProcedureSources();
    return r;
}

TImport ImportText(const QString& script, const QString& messages)
{
    TImport r;
    TGameDialogueImporter importer;
    r.Result = importer.ImportFromText(script, &messages, r.Project);
    r.Sources = importer.DialogueProcedureSources();
    return r;
}

// The script the frame stands for, with each place filled by the text that
// stood there: the original script, byte for byte.
QString Reassemble(const TImport& r)
{
    QString text;
    for (const TGameScriptPart& part : r.Project->GameScript().Parts) {
        switch (part.Kind) {
        case TGameScriptPart::gpText: text += part.Text; break;
        case TGameScriptPart::gpDeclaration: text += QStringLiteral("procedure ") + part.Text + QLatin1Char(';'); break;
        case TGameScriptPart::gpProcedure: text += r.Sources.value(part.Text.toLower()); break;
        }
    }
    return text;
}

} // namespace

TEST(GameImport, BranaDump)
{
    const TImport r = ImportFixture(QStringLiteral("brana"));
    for (const QString& line : r.Result.Report.Lines())
        std::printf("%s\n", qPrintable(line));
    for (const auto& n : r.Project->Nodes()) {
        std::printf("%s type=%d msg=%d text=%s next=%s\n", qPrintable(n->ID()), int(n->NodeType()), n->MsgNumber(),
                    qPrintable(n->Text()), qPrintable(n->NextNodeID()));
        for (const auto& o : n->PlayerOptions())
            std::printf("   opt msg=%d iq=%d r=%d target=%s guard=%s text=%s skill=%d %s/%s\n", o->MsgNumber,
                        o->IntelligenceRequired, int(o->Reaction), qPrintable(o->TargetNodeID), qPrintable(o->Guard),
                        qPrintable(o->Text), o->HasSkillCheck ? o->SkillCheck.Difficulty : 0,
                        qPrintable(o->SkillCheck.SuccessNodeID), qPrintable(o->SkillCheck.FailureNodeID));
        for (const auto& s : n->Scripts())
            std::printf("   script: %s\n", qPrintable(s->ScriptCode));
    }
    for (const auto& part : r.Project->GameScript().Parts)
        std::printf("PART %d [%s]\n", int(part.Kind), qPrintable(part.Text));
    EXPECT_EQ(Reassemble(r), QString::fromUtf8(TestSupport::ReadFile(TestSupport::DataPath(QStringLiteral("gameimport/brana.ssl")))));
}
