// A game script read by the game dialogue importer and written back by the
// game export: the whole script with only the dialogue procedures
// regenerated. Both scripts are read as dialogues and compared procedure by
// procedure (the texts, options with their targets, intelligence, reaction
// and guards, next links, skill rolls, kept statements), the kept text of
// the frame must stand unchanged in the output, the output must pass the
// compiler's checks, and the message file must give every message the
// original dialogue uses its original number and text.

#include "export/ExportManager.h"
#include "export/GameScriptGenerator.h"
#include "interchange/GameDialogueImporter.h"
#include "interchange/SSLMSGText.h"
#include "model/TextEncoding.h"
#include "tests/core/test_game_import_support.h"
#include "tests/core/test_game_script_checker.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using GameImportTest::TImport;

namespace {

QString Squeezed(const QString& text)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return QString(text).replace(space, QStringLiteral(" ")).trimmed();
}

// What a node is called in its script: the procedure it came from, else
// the ID (nodes the importer made, whose procedure the export names so).
QString ProcedureKey(const TDialogueProject& p, const QString& id)
{
    const TDialogueNode* node = p.FindNode(id);
    if (!node)
        return id.isEmpty() ? QString() : QStringLiteral("<missing ") + id + QLatin1Char('>');
    return (node->ProcedureName().isEmpty() ? node->ID() : node->ProcedureName()).toLower();
}

// One node as the script shows it, in words that do not depend on node IDs
// or layout. `sameNumbers` false leaves the line's own number out (it is
// compared through the message file instead).
QStringList Described(const TDialogueProject& p, const TDialogueNode& n, bool sameNumbers)
{
    QStringList out;
    out << QStringLiteral("type %1").arg(int(n.NodeType()));
    out << QStringLiteral("text %1 \"%2\"").arg(sameNumbers ? n.MsgNumber() : -1).arg(n.Text());
    out << QStringLiteral("next ") + ProcedureKey(p, n.NextNodeID());
    for (const auto& o : n.PlayerOptions()) {
        QString line = QStringLiteral("option %1 \"%2\" -> %3 iq %4 reaction %5 guard [%6]")
                           .arg(o->MsgNumber)
                           .arg(o->Text, ProcedureKey(p, o->TargetNodeID))
                           .arg(o->IntelligenceRequired)
                           .arg(int(o->Reaction))
                           .arg(Squeezed(o->Guard));
        if (o->HasSkillCheck)
            line += QStringLiteral(" roll %1 difficulty %2 success %3 failure %4")
                        .arg(int(o->SkillCheck.Skill))
                        .arg(o->SkillCheck.Difficulty)
                        .arg(ProcedureKey(p, o->SkillCheck.SuccessNodeID), ProcedureKey(p, o->SkillCheck.FailureNodeID));
        out << line;
    }
    for (const auto& s : n.Scripts())
        out << QStringLiteral("kept ") + Squeezed(s->ScriptCode);
    return out;
}

QString KeptText(const TDialogueProject& p)
{
    QString text;
    for (const TGameScriptPart& part : p.GameScript().Parts)
        if (part.Kind == TGameScriptPart::gpText)
            text += part.Text + QLatin1Char(' ');
    return Squeezed(text);
}

struct TRoundTrip {
    TImport Original;
    TImport Again;
    TExportResult Export;
    QString Script;
    QByteArray Messages;
};

TRoundTrip RoundTrip(const QString& stem)
{
    TRoundTrip r;
    r.Original = GameImportTest::ImportFixture(stem);
    QTemporaryDir dir;
    TExportManager mgr(r.Original.Project.get());
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = efGameScript;
    opts.OutputPath = dir.path();
    r.Export = mgr.Export(opts);
    const QString base = dir.path() + QLatin1Char('/') + TGameScriptGenerator::ScriptName(*r.Original.Project);
    if (!QFileInfo(base + QStringLiteral(".ssl")).isFile())
        return r;
    r.Script = TextEncoding::FromAnsi(TestSupport::ReadFile(base + QStringLiteral(".ssl")));
    r.Messages = TestSupport::ReadFile(base + QStringLiteral(".msg"));
    TGameDialogueImporter importer;
    r.Again.Result = importer.ImportFromFile(base + QStringLiteral(".ssl"), base + QStringLiteral(".msg"), r.Again.Project);
    return r;
}

struct TCase {
    const char* Stem;
    // Procedures whose line the export writes under a new number: the
    // importer keeps joined and literal texts as text without a number,
    // and the export gives every text it writes a message of its own.
    QStringList Renumbered;
    // Procedures the export adds: a skill roll's branch that does more
    // than call becomes a node of its own, written as a procedure of its own.
    QStringList Added;
};

} // namespace

TEST(GameRoundTrip, ImportThenGameExportGivesTheScriptBack)
{
    const TCase cases[] = {
        { "brana", {}, { "node004_failure" } },
        { "oswin", { "node011", "node012" }, {} },   // message 210 keeps its end space: "Ten caps, "
        { "tamsin", {}, {} },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stem);
        const TRoundTrip r = RoundTrip(QLatin1String(c.Stem));
        ASSERT_TRUE(r.Export.Success) << r.Export.Errors.join('\n').toStdString();
        ASSERT_TRUE(r.Again.Result.Success) << r.Again.Result.Errors.join('\n').toStdString();
        const TDialogueProject& a = *r.Original.Project;
        const TDialogueProject& b = *r.Again.Project;

        // What a compiler needs; lines only the kept text uses (mstr,
        // float_msg) count like float messages.
        QSet<qint32> keptNumbers;
        for (auto it = a.GameScript().Messages.cbegin(); it != a.GameScript().Messages.cend(); ++it)
            keptNumbers.insert(it.key());
        EXPECT_EQ(GameScriptChecker::Check(r.Script, r.Messages, keptNumbers), QStringList());

        // The kept text stands unchanged.
        EXPECT_EQ(KeptText(b), KeptText(a));

        // The same procedures, each the same dialogue node.
        QMap<QString, const TDialogueNode*> before;
        QMap<QString, const TDialogueNode*> after;
        for (const auto& n : a.Nodes())
            before.insert(ProcedureKey(a, n->ID()), n.get());
        for (const auto& n : b.Nodes())
            after.insert(ProcedureKey(b, n->ID()), n.get());
        QStringList expected = before.keys();
        for (const QString& added : c.Added)
            expected.removeOne(added);
        QStringList written = after.keys();
        for (const QString& added : c.Added)
            EXPECT_TRUE(written.removeOne(added)) << added.toStdString();
        EXPECT_EQ(written, expected);
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const TDialogueNode* again = after.value(it.key());
            if (!again || c.Added.contains(it.key()))
                continue;
            SCOPED_TRACE(it.key().toStdString());
            const bool renumbered = c.Renumbered.contains(it.key());
            EXPECT_EQ(Described(b, *again, !renumbered), Described(a, *it.value(), !renumbered));
        }
        EXPECT_EQ(ProcedureKey(b, b.StartNodeID()), ProcedureKey(a, a.StartNodeID()));

        // Every message the original dialogue uses keeps its number and text.
        QStringList errors;
        const QMap<qint32, QString> original = GameScriptChecker::ParseMessages(
            TestSupport::ReadFile(TestSupport::DataPath(QStringLiteral("gameimport/%1.msg").arg(QLatin1String(c.Stem)))),
            errors);
        const QMap<qint32, QString> exported = GameScriptChecker::ParseMessages(r.Messages, errors);
        QSet<qint32> used = keptNumbers;
        for (const auto& n : a.Nodes()) {
            used.insert(n->MsgNumber());
            for (const auto& o : n->PlayerOptions())
                used.insert(o->MsgNumber);
        }
        int compared = 0;
        for (const qint32 n : used) {
            if (!original.contains(n))
                continue;
            ++compared;
            EXPECT_EQ(exported.value(n), original.value(n)) << n;
        }
        EXPECT_GT(compared, 5);
    }
}

// A script with no dialogue is written back as it stands.
TEST(GameRoundTrip, ScriptWithoutDialogueIsWrittenBackUnchanged)
{
    const TRoundTrip r = RoundTrip(QStringLiteral("mapscript"));
    ASSERT_TRUE(r.Original.Project);
    ASSERT_FALSE(r.Original.Project->GameScript().Parts.isEmpty());
    ASSERT_TRUE(r.Export.Success) << r.Export.Errors.join('\n').toStdString();
    EXPECT_EQ(r.Script, SSLMSGText::ReadTextFile(TestSupport::DataPath(QStringLiteral("gameimport/mapscript.ssl"))));
}

// An imported dialogue edited in the editor: a node added, one deleted, one
// renamed (its places no longer name it: it counts as new), a line of the
// kept text's number taken by the dialogue.
TEST(GameRoundTrip, EditedImportKeepsTheFrameAroundTheChanges)
{
    TImport r = GameImportTest::ImportFixture(QStringLiteral("brana"));
    ASSERT_TRUE(r.Result.Success);
    TDialogueProject& p = *r.Project;
    TDialogueNode* added = p.AddNode(ntNPCDialogue);
    added->SetText(QStringLiteral("Anything else?"));
    TPlayerOption* back = added->AddOption();
    back->Text = QStringLiteral("No.");
    back->TargetNodeID = QStringLiteral("Node999");
    TPlayerOption* to = p.FindNode(QStringLiteral("Node003"))->AddOption();
    to->Text = QStringLiteral("One more thing.");
    to->TargetNodeID = added->ID();
    p.DeleteNode(p.FindNode(QStringLiteral("Node005")));
    p.FindNode(QStringLiteral("Node003"))->SetProcedureName(QStringLiteral("Quest"));
    p.FindNode(QStringLiteral("Node002"))->SetMsgNumber(150);   // the floater's line
    p.GameScript().Messages.insert(106, QStringLiteral("A kept line."));

    QTemporaryDir dir;
    TExportManager mgr(&p);
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = efGameScript;
    opts.OutputPath = dir.path();
    const TExportResult result = mgr.Export(opts);
    ASSERT_TRUE(result.Success);
    const QString script = TextEncoding::FromAnsi(TestSupport::ReadFile(dir.filePath(QStringLiteral("brana.ssl"))));
    const QByteArray messages = TestSupport::ReadFile(dir.filePath(QStringLiteral("brana.msg")));
    EXPECT_EQ(GameScriptChecker::Check(script, messages, { 106, 150 }), QStringList());

    const QString addedName = added->ID().toLower();
    const GameScriptChecker::TScript s = GameScriptChecker::ParseScript(script);
    // The places of the deleted and the renamed node write nothing; the
    // procedures the frame does not know follow its last declaration and
    // its last procedure, in node order.
    EXPECT_EQ(s.Declared, (QStringList{"start", "talk_p_proc", "node001", "node002", "node004", "node998", "node999",
                                       "quest", "node004_failure", addedName}));
    EXPECT_FALSE(script.contains(QLatin1String("Node005")));
    EXPECT_FALSE(script.contains(QLatin1String("Node003")));
    const qsizetype lastPlace = script.indexOf(QLatin1String("procedure Node999 begin"));
    EXPECT_GT(script.indexOf(QLatin1String("procedure Quest begin")), lastPlace);
    EXPECT_GT(script.indexOf(QLatin1String("procedure ") + added->ID() + QLatin1String(" begin")),
              script.indexOf(QLatin1String("procedure Quest begin")));
    // The frame's text is all there, in order.
    qsizetype at = 0;
    for (const TGameScriptPart& part : p.GameScript().Parts) {
        if (part.Kind != TGameScriptPart::gpText)
            continue;
        const qsizetype found = script.indexOf(part.Text, at);
        EXPECT_GE(found, at) << part.Text.toStdString();
        at = found < 0 ? at : found + part.Text.size();
    }

    // New lines take numbers the kept text does not hold; on a shared
    // number the dialogue's text wins, with a warning.
    QStringList errors;
    const QMap<qint32, QString> lines = GameScriptChecker::ParseMessages(messages, errors);
    EXPECT_EQ(lines.value(106), QStringLiteral("A kept line."));
    EXPECT_EQ(to->MsgNumber, 107);
    EXPECT_EQ(added->MsgNumber(), 108);
    EXPECT_EQ(lines.value(150), p.FindNode(QStringLiteral("Node002"))->Text());
    EXPECT_TRUE(result.Warnings.join('\n').contains(QLatin1String("Message 150"))) << result.Warnings.join('\n').toStdString();
}
