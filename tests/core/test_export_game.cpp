// The game-ready script and message file: hand-written golden files, the
// shared brana dialogue, what a compiler needs on awkward projects, stable
// message numbers and safe writing.

#include "export/ExportManager.h"
#include "export/GameMessageNumbering.h"
#include "export/GameScriptGenerator.h"
#include "model/TextEncoding.h"
#include "tests/core/test_game_fixtures.h"
#include "tests/core/test_game_script_checker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace GameFixtures;

namespace {

struct TExported {
    TExportResult Result;
    QStringList Log;
    QByteArray Script;
    QByteArray Messages;
};

TExported ExportTo(TDialogueProject& p, const QString& folder)
{
    TExportManager mgr(&p);
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = efGameScript;
    opts.OutputPath = folder;
    TExported e;
    e.Result = mgr.Export(opts);
    e.Log = mgr.Log();
    const QString base = folder + QLatin1Char('/') + TGameScriptGenerator::ScriptName(p);
    if (QFileInfo(base + ".ssl").isFile())
        e.Script = TestSupport::ReadFile(base + ".ssl");
    if (QFileInfo(base + ".msg").isFile())
        e.Messages = TestSupport::ReadFile(base + ".msg");
    return e;
}

QSet<qint32> FloatNumbers(const TDialogueProject& p)
{
    QSet<qint32> out;
    for (const auto& f : p.FloatMessages())
        out.insert(f->MsgNumber);
    return out;
}

QStringList CheckPair(const TDialogueProject& p, const TExported& e)
{
    return GameScriptChecker::Check(TextEncoding::FromAnsi(e.Script), e.Messages, FloatNumbers(p));
}

QByteArray GameData(const QString& name)
{
    return TestSupport::ReadFile(TestSupport::DataPath(QStringLiteral("export/game/") + name));
}

QString Joined(const QStringList& tokens)
{
    return tokens.join(QLatin1Char(' ')).toLower();
}

} // namespace

TEST(GameExport, GoldenProjectGivesTheHandWrittenFiles)
{
    QTemporaryDir dir;
    TDialogueProject p;
    BuildGameGolden(p);
    const TExported e = ExportTo(p, dir.path());
    ASSERT_TRUE(e.Result.Success) << e.Result.Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(e.Result.FilesGenerated, (QStringList { dir.filePath("guard.ssl"), dir.filePath("guard.msg") }));
    EXPECT_EQ(CrLfLines(e.Script), CrLfLines(GameData("golden/guard.ssl")));
    EXPECT_EQ(e.Script, GameData("golden/guard.ssl"));
    EXPECT_EQ(e.Messages, GameData("golden/guard.msg"));

    EXPECT_EQ(e.Result.Warnings, (QStringList {
        "Global variable \"GVAR_NOT_NUMBERED\" is not written: its value \"soon\" is not a number",
        "Global variable \"GVAR_START_VALUE\" is not written: its value 0 is no global variable number of its own",
        "Global variable \"bad name\" is not written: its name is not a valid name",
        "Node Node004: the script code cannot be used (its begin and end do not match); written as a comment",
        "Node Node007, option 2: links to missing node Node404; the link ends the dialogue",
        "Node Node009: variable MYSTERY_FLAG is not defined by the project",
        "Node Node009: value GATE_STATE is not defined by the project",
        "Message 112 (Node Node007 text): \"}\" ends a message in the game; written as \")\"",
        "Message 115 (Node Node008 text): a line break cannot be written; written as a space",
        QString::fromUtf8("Message 117 (Node Node010 text): characters the message file's code page lacks are "
                          "written as \"?\": \u2622"),
    }));
    // The numbers went into the project, in node order from 100; the
    // conditional and random nodes' branches and the silent end took none.
    EXPECT_EQ(e.Result.MessagesNumbered, 20);
    EXPECT_EQ(p.NodeAt(0)->MsgNumber(), 100);
    EXPECT_EQ(p.NodeAt(0)->PlayerOptions()[8]->MsgNumber, 109);
    EXPECT_EQ(p.NodeAt(1)->PlayerOptions()[0]->MsgNumber, 0);
    EXPECT_EQ(p.FloatMessages()[0]->MsgNumber, 119);
    EXPECT_TRUE(e.Log.filter("Message numbers assigned: 20 (100 to 119)").size() == 1) << e.Log.join('\n').toStdString();
    EXPECT_TRUE(e.Log.last().endsWith("  Exported game messages: " + dir.filePath("guard.msg")));

    // The hand-written files themselves pass every compiler check.
    EXPECT_EQ(GameScriptChecker::Check(TextEncoding::FromAnsi(GameData("golden/guard.ssl")), GameData("golden/guard.msg"),
                                       { 119 }), QStringList());
}

TEST(GameExport, CheckerRejectsWhatTheCompilerWould)
{
    const QString head = "procedure start;\nprocedure talk_p_proc;\nprocedure A;\n"
                         "procedure start begin end\nprocedure talk_p_proc begin call A; end\n";
    struct Case { const char* name; QString script; QByteArray messages; const char* error; };
    const Case cases[] = {
        { "undefined target", head + "procedure A begin NOption(100, B, 4); end\n", "{100}{}{x}\r\n", "procedure b used before" },
        { "missing semicolon", head + "procedure A begin Reply(100) end\n", "{100}{}{x}\r\n", "not ended" },
        { "unbalanced", head + "procedure A begin if (1) then begin Reply(100); end\n", "{100}{}{x}\r\n", "expected \"end\"" },
        { "label", head + "procedure A begin here: Reply(100); end\n", "{100}{}{x}\r\n", "label" },
        { "goto", head + "procedure A begin goto A; end\n", "", "goto" },
        { "old comment", head + "procedure A begin (* c *) end\n", "", "(*" },
        { "unknown message", head + "procedure A begin Reply(101); end\n", "{100}{}{x}\r\n", "message 101 used" },
        { "unused message", head + "procedure A begin end\n", "{100}{}{x}\r\n", "neither used" },
        { "brace in message", head + "procedure A begin Reply(100); end\n", "{100}{}{a}b}\r\n", "not {n}{}{text}" },
        { "bad name", head + "procedure A begin Reply(100); x$ := 1; end\n", "{100}{}{x}\r\n", "cannot stand" },
        { "define hides procedure", "#define A (1)\n" + head + "procedure A begin end\n", "", "replaces" },
    };
    for (const Case& c : cases) {
        const QStringList errors = GameScriptChecker::Check(c.script, c.messages, {});
        EXPECT_FALSE(errors.filter(QLatin1String(c.error), Qt::CaseInsensitive).isEmpty())
            << c.name << ": " << errors.join(" | ").toStdString();
    }
}

TEST(GameExport, BranaRoundTripGivesTheSameStructure)
{
    QTemporaryDir dir;
    TDialogueProject p;
    BuildBrana(p);
    const TExported e = ExportTo(p, dir.path());
    ASSERT_TRUE(e.Result.Success);
    EXPECT_TRUE(e.Result.Warnings.isEmpty()) << e.Result.Warnings.join('\n').toStdString();
    EXPECT_EQ(e.Result.MessagesNumbered, 0);
    EXPECT_EQ(CheckPair(p, e), QStringList());

    // Same message file, byte for byte.
    EXPECT_EQ(e.Messages, GameData("brana/brana.msg"));

    const GameScriptChecker::TScript theirs = GameScriptChecker::ParseScript(QString::fromLatin1(GameData("brana/brana.ssl")));
    ASSERT_EQ(theirs.Errors, QStringList());
    const GameScriptChecker::TScript ours = GameScriptChecker::ParseScript(TextEncoding::FromAnsi(e.Script));
    ASSERT_EQ(ours.Errors, QStringList());
    EXPECT_EQ(ours.Defines.value("GVAR_WELL_QUEST"), theirs.Defines.value("GVAR_WELL_QUEST"));
    EXPECT_EQ(ours.Defines.value("SCRIPT_REALNAME"), theirs.Defines.value("SCRIPT_REALNAME"));

    // Every procedure of theirs, plus the skill roll moved into an
    // option's procedure and the heartbeat that starts combat.
    QStringList extra = ours.Declared;
    for (const QString& name : theirs.Declared)
        EXPECT_TRUE(extra.removeOne(name)) << name.toStdString();
    EXPECT_EQ(extra, (QStringList { "critter_p_proc", "node002_option1" }));

    // Identical statements, options, targets, reactions, intelligence and guard.
    for (const char* name : { "start", "talk_p_proc", "node001", "node003", "node005", "node999" })
        EXPECT_EQ(Joined(ours.Bodies.value(name)), Joined(theirs.Bodies.value(name))) << name;
    EXPECT_EQ(Joined(ours.Bodies.value("node002")).replace("node002_option1", "node004"),
              Joined(theirs.Bodies.value("node002")));
    // Theirs rolls inside Node004 and keeps the failure line there; ours
    // rolls in the option's procedure and Node004 is the failure line.
    const QString roll = Joined(theirs.Bodies.value("node004"));
    EXPECT_TRUE(roll.startsWith("if ( is_success ( roll_vs_skill ( dude_obj , skill_speech , - 10 ) ) ) then call node005 ;"))
        << roll.toStdString();
    EXPECT_TRUE(roll.endsWith("else begin " + Joined(ours.Bodies.value("node004")) + " end")) << roll.toStdString();
    EXPECT_EQ(Joined(ours.Bodies.value("node002_option1")),
              "if ( is_success ( roll_vs_skill ( dude_obj , skill_speech , - 10 ) ) ) then begin call node005 ; end "
              "else begin call node004 ; end");
    EXPECT_TRUE(Joined(ours.Bodies.value("node998")).startsWith(Joined(theirs.Bodies.value("node998"))));
}

TEST(GameExport, ProcedureNamesAreValidUniqueAndKeepTheWritersChoice)
{
    QTemporaryDir dir;
    TDialogueProject p;
    p.SetStartNodeID("Node001");
    const char* ids[] = { "Node001", "node001", "1st line", "begin", "Node999", "Ärger-{x}", "" };
    for (const char* id : ids)
        Add(p, QString::fromUtf8(id), ntNPCDialogue, "Hi");
    p.NodeAt(2)->SetProcedureName("Greeting");
    p.NodeAt(3)->SetProcedureName("bad name");
    p.NodeAt(4)->SetProcedureName("Greeting");
    p.NodeAt(6)->SetProcedureName("talk_p_proc");
    const TExported e = ExportTo(p, dir.path());
    ASSERT_TRUE(e.Result.Success);
    EXPECT_EQ(CheckPair(p, e), QStringList());
    const GameScriptChecker::TScript s = GameScriptChecker::ParseScript(TextEncoding::FromAnsi(e.Script));
    EXPECT_EQ(s.Declared, (QStringList { "start", "talk_p_proc", "node001", "node001_2", "greeting", "begin_2",
                                         "greeting_2", "node__rger__x_", "talk_p_proc_2", "node999" }))
        << s.Declared.join(' ').toStdString();
    EXPECT_EQ(e.Result.Warnings.filter("procedure name").size(), 3) << e.Result.Warnings.join('\n').toStdString();
}

namespace {

struct TAwkward {
    const char* Name;
    std::function<void(TDialogueProject&)> Build;
};

void Chain(TDialogueProject& p, int count, const std::function<QString(int)>& id)
{
    p.SetStartNodeID(id(0));
    for (int i = 0; i < count; ++i) {
        TDialogueNode* n = Add(p, id(i), TNodeType(i % NodeTypeCount), QStringLiteral("Line %1").arg(i));
        n->SetNextNodeID(id((i + 1) % count));
        Option(n, QStringLiteral("Option %1").arg(i), id((i * 7 + 3) % count));
        Option(n, QString(), id(i))->Guard = "dude_iq > 3";
    }
}

const TAwkward AwkwardProjects[] = {
    { "empty project", [](TDialogueProject&) {} },
    { "cycle of every node type", [](TDialogueProject& p) { Chain(p, 30, [](int i) { return QStringLiteral("Node%1").arg(i); }); } },
    { "self links", [](TDialogueProject& p) {
          TDialogueNode* n = Add(p, "A", ntNPCDialogue, "again");
          n->SetNextNodeID("A");
          Option(n, "again", "A");
          Add(p, "C", ntComment, "loop")->SetNextNodeID("C");
          Option(n, "to the comment loop", "C");
          Add(p, "R", ntRandom)->SetNextNodeID("R");
          Option(p.FindNode("R"), QString(), "R");
          p.SetStartNodeID("A");
      } },
    { "missing targets", [](TDialogueProject& p) {
          TDialogueNode* n = Add(p, "A", ntConditional);
          n->SetNextNodeID("gone");
          Option(n, "x", "nowhere")->Conditions << Cond(ctGlobalVar, "GVAR_X", coEQ, "1");
          TPlayerOption* o = Option(Add(p, "B", ntPlayerReply, "b"), "check", "lost");
          o->HasSkillCheck = true;
          o->SkillCheck.SuccessNodeID = "also lost";
          p.SetStartNodeID("missing start");
      } },
    { "10 000 nodes", [](TDialogueProject& p) { Chain(p, 10000, [](int i) { return QStringLiteral("Node%1").arg(i, 3, 10, QLatin1Char('0')); }); } },
    { "IDs with any characters", [](TDialogueProject& p) {
          const QString ids[] = { "", " ", "a b", "}{", "end", "procedure", "\"quoted\"", "line\r\nbreak", "*/", "(*",
                                  QString::fromUtf8("日本語"), QString(QChar(0)), "9lives", "x;y", "Node001", "NODE001" };
          Chain(p, int(std::size(ids)), [&](int i) { return ids[i]; });
      } },
    { "empty texts", [](TDialogueProject& p) {
          for (int t = 0; t < NodeTypeCount; ++t) {
              TDialogueNode* n = Add(p, QStringLiteral("Node%1").arg(t), TNodeType(t), QString());
              Option(n, QString(), "Node0");
          }
          p.FloatMessages().push_back(std::make_unique<TFloatMessage>());
      } },
    { "duplicate IDs", [](TDialogueProject& p) {
          for (int i = 0; i < 50; ++i)
              Option(Add(p, "Same", TNodeType(i % NodeTypeCount), "dup"), "again", "Same");
          p.SetStartNodeID("Same");
      } },
    { "100 000-character texts", [](TDialogueProject& p) {
          const QString huge = QString(100000, QLatin1Char('x')) + "}\r\n" + QString(100, QChar(0x263A));
          TDialogueNode* n = Add(p, "Node001", ntNPCDialogue, huge);
          Option(n, huge, "Node002");
          Add(p, "Node002", ntComment, huge);
          AddScript(Add(p, "Node003", ntScript), seOnNodeEnter, huge);
          auto f = std::make_unique<TFloatMessage>();
          f->Text = huge;
          p.FloatMessages().push_back(std::move(f));
      } },
    { "hand-written code that would break the script", [](TDialogueProject& p) {
          TDialogueNode* n = Add(p, "Node001", ntScript);
          AddScript(n, seOnNodeEnter, "end\r\nprocedure x begin");
          AddScript(n, seOnNodeEnter, "display_msg(\"unclosed);");
          AddScript(n, seOnNodeEnter, "/* open comment");
          TDialogueNode* m = Add(p, "Node002", ntNPCDialogue, "hi");
          Option(m, "a", "Node001")->Guard = "1); call x; if (1";
          Option(m, "b", "Node001")->Guard = "a // b";
          Option(m, "c", "Node001")->ScriptOnSelect = "begin";
          Option(m, "d", "Node001")->ItemRequired = "two words";
          Add(p, "Node003", ntCombatTrigger, "x")->SetCombatScript("end end");
          Add(p, "Node004", ntQuestUpdate, "q")->SetQuestID("not a name");
          p.GlobalVars().insert("start", "5");
          p.GlobalVars().insert("Node001", "7");
          p.GlobalVars().insert("GVAR_OK", " 12 ");
      } },
    { "numbers already shared and out of range", [](TDialogueProject& p) {
          TDialogueNode* n = Add(p, "Node001", ntNPCDialogue, "hi");
          n->SetMsgNumber(100);
          Option(n, "a")->MsgNumber = 100;
          Option(n, "b")->MsgNumber = -4;
          Option(n, "c")->MsgNumber = 2147483647;
      } },
};

}

TEST(GameExport, AwkwardProjectsGiveACompilablePairWithWarnings)
{
    for (const TAwkward& a : AwkwardProjects) {
        SCOPED_TRACE(a.Name);
        QTemporaryDir dir;
        TDialogueProject p;
        a.Build(p);
        const TExported e = ExportTo(p, dir.path());
        ASSERT_TRUE(e.Result.Success) << e.Result.Errors.join('\n').toStdString();
        const QStringList errors = CheckPair(p, e);
        EXPECT_EQ(errors.mid(0, 10), QStringList());
        EXPECT_TRUE(p.ValidateProject().filter("Duplicate message").isEmpty());
        // Warnings are one line each and stay readable.
        for (const QString& w : e.Result.Warnings) {
            EXPECT_FALSE(w.contains('\n') || w.contains('\r')) << w.toStdString();
            EXPECT_LT(w.size(), 400);
        }
    }
}

TEST(GameExport, NumbersStayStableAcrossEditsAndExports)
{
    QTemporaryDir dir;
    TDialogueProject p;
    BuildBrana(p);
    for (const auto& n : p.Nodes()) {   // as drawn, before any export
        n->SetMsgNumber(0);
        for (const auto& o : n->PlayerOptions())
            o->MsgNumber = 0;
    }
    const TExported first = ExportTo(p, dir.path());
    EXPECT_EQ(first.Result.MessagesNumbered, 16);
    const TExported again = ExportTo(p, dir.path());
    EXPECT_EQ(again.Result.MessagesNumbered, 0);
    EXPECT_EQ(again.Script, first.Script);
    EXPECT_EQ(again.Messages, first.Messages);

    // One line edited, one added: every other line keeps its number.
    p.FindNode("Node002")->PlayerOptions()[1]->Text = "Too bad. Bye.";
    Option(p.FindNode("Node001"), "Who are you?", "Node005")->IntelligenceRequired = 4;
    const TExported edited = ExportTo(p, dir.path());
    EXPECT_EQ(edited.Result.MessagesNumbered, 1);
    const QStringList before = CrLfLines(first.Messages);
    QStringList after = CrLfLines(edited.Messages);
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.last(), "") ;
    EXPECT_TRUE(after.removeOne("{116}{}{Who are you?}"));
    for (int i = 0; i < before.size(); ++i) {
        if (before[i].startsWith("{108}"))
            EXPECT_EQ(after[i], "{108}{}{Too bad. Bye.}");
        else
            EXPECT_EQ(after[i], before[i]);
    }
    EXPECT_TRUE(QString::fromLatin1(edited.Script).contains("NOption(116, Node005, 4);"));
}

TEST(GameExport, FailedWriteLeavesTheEarlierPairIntact)
{
    QTemporaryDir dir;
    TDialogueProject p;
    BuildBrana(p);
    const TExported first = ExportTo(p, dir.path());
    ASSERT_TRUE(first.Result.Success);

    // The message file cannot be replaced: the script must not change either.
    QFile::remove(dir.filePath("brana.msg"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("brana.msg"));
    p.NodeAt(0)->SetText("Changed");
    p.NodeAt(0)->AddOption()->Text = "New";
    const TExported failed = ExportTo(p, dir.path());
    EXPECT_FALSE(failed.Result.Success);
    EXPECT_EQ(failed.Result.Errors, QStringList { "Failed to write the game script to: " + dir.path() + "/" });
    EXPECT_TRUE(failed.Result.FilesGenerated.isEmpty());
    EXPECT_EQ(TestSupport::ReadFile(dir.filePath("brana.ssl")), first.Script);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "brana.ssl" });   // no leftovers
    // The number given meanwhile stays in the project for the next try.
    EXPECT_EQ(failed.Result.MessagesNumbered, 1);

    // A script that did not exist before is removed again.
    QTemporaryDir fresh;
    ASSERT_TRUE(QDir(fresh.path()).mkdir("brana.msg"));
    EXPECT_FALSE(ExportTo(p, fresh.path()).Result.Success);
    EXPECT_TRUE(QDir(fresh.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(GameExport, NeedsAFolder)
{
    TDialogueProject p;
    TExportManager mgr(&p);
    TExportOptions opts = TExportManager::DefaultOptions();
    opts.Format = efGameScript;
    const TExportResult r = mgr.Export(opts);
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(r.Errors, QStringList { "No folder given for the game script" });
    EXPECT_EQ(TExportManager::FormatName(efGameScript), "Game Script and Messages");
}

TEST(GameExport, ScriptNameComesFromTheNpcScriptElseTheProject)
{
    struct Case { const char* script; const char* name; const char* expected; };
    const Case cases[] = {
        { "Brana", "x", "brana" }, { "acBrana.SSL", "x", "acbrana" }, { "  ", "Old Well Keeper", "old_well_keeper" },
        { "", "", "dialogue" }, { "", "Ärger!", "_rger_" },
    };
    for (const Case& c : cases) {
        TDialogueProject p;
        p.SetNPCScript(QString::fromUtf8(c.script));
        p.SetName(QString::fromUtf8(c.name));
        EXPECT_EQ(TGameScriptGenerator::ScriptName(p), QString::fromLatin1(c.expected)) << c.script << "/" << c.name;
    }
}

TEST(GameExport, BranchesSayWhatTheyCannotCarry)
{
    QTemporaryDir dir;
    TDialogueProject p;
    p.SetNPCScript("branches");
    p.SetStartNodeID("Node001");
    TDialogueNode* cond = Add(p, "Node001", ntConditional);
    TPlayerOption* rolled = Option(cond, "", "Node002");
    rolled->HasSkillCheck = true;
    rolled->Guard = "dude_iq > 5";
    Option(cond, "", "Node002")->ScriptOnSelect = "give_exp_points(5);";
    TDialogueNode* random = Add(p, "Node002", ntRandom);
    Option(random, "", "Node003")->Guard = "dude_iq > 5";
    Option(random, "", "Node003");
    TPlayerOption* checked = Option(Add(p, "Node003", ntNPCDialogue, "Hm?"), "Talk", "Node001");
    checked->HasSkillCheck = true;
    checked->SkillCheck.SuccessMessage = "Yes";
    checked->SkillCheck.CritSuccessBonus = 5;
    const TExported e = ExportTo(p, dir.path());
    ASSERT_TRUE(e.Result.Success);
    EXPECT_EQ(CheckPair(p, e), QStringList());
    EXPECT_EQ(e.Result.Warnings, (QStringList {   // "branches" is just short enough for the script list
        "Node Node001, option 1: a branch of a conditional node rolls no skill check and runs no code of its own",
        "Node Node001, option 2: a branch of a conditional node rolls no skill check and runs no code of its own",
        "Node Node002, option 1: conditions, skill checks and code of a random branch are not used",
        "Node Node003, option 1: the skill check's success and failure messages are not written; put them in the nodes it leads to",
        "Node Node003, option 1: the skill check's critical-success bonus is not written",
    }));
    // The guarded branch is still tested; the one with code is the fallback.
    EXPECT_TRUE(QString::fromLatin1(e.Script).contains("   if (dude_iq > 5) then begin\r\n      call Node002;\r\n   end\r\n"
                                                       "   else begin\r\n      call Node002;\r\n   end\r\n"));
}
