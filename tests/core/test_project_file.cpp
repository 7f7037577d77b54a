// The project file: exact saved bytes, round trips, lenient reading and
// the errors of bad files.

#include "model/DateTimeText.h"
#include "model/DialogueTypes.h"
#include "model/JsonText.h"
#include "model/ProjectFileReader.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace TestSupport;

namespace {

QByteArray WithFixedModifiedDate(QByteArray bytes)
{
    const QByteArray key("\"modifiedDate\": \"");
    const int at = bytes.indexOf(key);
    if (at >= 0)
        bytes.replace(at + key.size(), 19, "2000-01-01 00:00:00");
    return bytes;
}

TDateTime ParsedDate(const char* text)
{
    TDateTime d = 0;
    EXPECT_TRUE(DateTimeText::Parse(QString::fromLatin1(text), d));
    return d;
}

class ProjectFileTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return FDir.filePath(name); }
    QByteArray SaveAndRead(TDialogueProject& p, const QString& name = "p.tlw")
    {
        EXPECT_TRUE(p.SaveToFile(PathOf(name)));
        return ReadFile(PathOf(name));
    }
    QTemporaryDir FDir;
};

// Every field set to something other than its default, with text that
// needs escaping.
void FillRichProject(TDialogueProject& p)
{
    const QString tricky = QString::fromUtf8("Quote \" back\\slash /slash\r\nline\ttab\b\f é ü — 日本 \U0001F600")
        + QChar(0x01) + QChar(0x1F);
    p.SetName(tricky);
    p.SetNPCName("Harold");
    p.SetNPCScript("harold");
    p.SetDescription("A \"ghoul\"\nwith a tree");
    p.SetVersion("2.1");
    p.SetAuthor("Writer");
    p.SetStartNodeID("Node001");
    p.SetActiveLocale("de");
    p.SetCreatedDate(ParsedDate("2024-05-01 13:45:00"));
    p.Locales() = QStringList { "en-US", "de" };
    p.Tags() = QStringList { "a", "two words", "quote\"d", "comma,d" };
    p.GlobalVars()["GVAR_ONE"] = "1";
    p.GlobalVars()["Ärger"] = tricky;
    for (int t = 0; t < NodeTypeCount; ++t) {
        TDialogueNode* n = p.AddNode(TNodeType(t));
        n->SetText(tricky + QString::number(t));
        n->SetSpeaker("Speaker");
        n->SetPortraitFile("p.png");
        n->SetVoiceFile("v.acm");
        n->SetX(-t * 10);
        n->SetY(t * 7);
        n->SetWidth(200 + t);
        n->SetHeight(100 + t);
        n->SetColor(0xABCDEF);
        n->SetComment("c");
        n->SetQuestID("q");
        n->SetQuestFlag("f");
        n->SetScriptFile("s.ssl");
        n->SetReputation(-5);
        n->SetKarma(300);
        n->SetTag("tag");
        n->SetNotes("notes\n2");
        n->SetNextNodeID("Node002");
        n->SetRandomWeight(3);
        n->SetCombatScript("cs");
        n->SetTradeInventory("ti");
        TPlayerOption* o = n->AddOption();
        o->Text = tricky;
        o->TargetNodeID = "Node003";
        o->IsHidden = true;
        o->HasSkillCheck = true;
        o->SkillCheck = { skBigGuns, 75, 10, 50, "yes", "no", "Node004", "Node005" };
        o->ScriptOnSelect = "x := 1;";
        o->ReputationRequired = 4;
        o->KarmaRequired = -50;
        o->ItemRequired = "PID_KEY";
        o->IntelligenceRequired = 6 - t;
        o->Reaction = TReaction(t % ReactionCount);
        o->MsgNumber = 200 + t;
        o->Guard = "global_var(GVAR_ONE) == 1";
        n->SetMsgNumber(100 + t);
        n->SetProcedureName(QString("Node%1b").arg(t));
        n->AddOption()->Text = "plain";
        n->Conditions() << TCondition { ctRandom, "v", coGTE, "5", boNOT };
        TNodeScript* s = n->AddScript();
        s->EventType = seOnDialogueEnd;
        s->ScriptCode = "display_msg(\"bye\");\n";
        s->IsEnabled = false;
    }
    auto fm = std::make_unique<TFloatMessage>();
    fm->Category = "Ambient";
    fm->Text = tricky;
    fm->Priority = 9;
    fm->Weight = 2;
    fm->Condition = "night";
    fm->TimedDuration = 2.5f;
    fm->IsAmbient = false;
    fm->IsCombatTaunt = true;
    fm->IsContextSensitive = true;
    fm->LocaleKey = "FM_1";
    fm->MsgNumber = 300;
    p.FloatMessages().push_back(std::move(fm));
}

void ExpectSameDocument(const TDialogueProject& a, const TDialogueProject& b)
{
    // Everything the file carries, compared through the written tree; the
    // writing time is the one value allowed to differ.
    QJsonObject ja = a.ToJSON().ToQJsonValue().toObject();
    QJsonObject jb = b.ToJSON().ToQJsonValue().toObject();
    ja.remove("modifiedDate");
    jb.remove("modifiedDate");
    EXPECT_EQ(ja, jb);
    EXPECT_EQ(a.Tags(), b.Tags());
    EXPECT_EQ(a.GlobalVars(), b.GlobalVars());
}

}

TEST_F(ProjectFileTest, EmptyProjectMatchesGoldenBytes)
{
    TDialogueProject p;
    p.SetCreatedDate(ParsedDate("2024-05-01 13:45:00"));
    EXPECT_EQ(WithFixedModifiedDate(SaveAndRead(p)), ReadFile(DataPath("project/empty.tlw")));
}

TEST_F(ProjectFileTest, OneNodeProjectMatchesGoldenBytes)
{
    TDialogueProject p;
    p.SetCreatedDate(ParsedDate("2024-05-01 13:45:00"));
    TDialogueNode* n = p.AddNode(ntTrade);
    n->SetText(QString::fromUtf8("Line \"one\"\nzwei \\ é\x01"));
    TPlayerOption* o = n->AddOption();
    o->ID = "N_ABC";
    o->Text = "Buy";
    o->TargetNodeID = "Node001";
    o->HasSkillCheck = true;
    o->SkillCheck.Difficulty = 50;
    TCondition c;
    c.Variable = "GVAR_X";
    c.Value = "1";
    n->Conditions() << c;
    n->AddScript()->ScriptCode = "x";
    auto fm = std::make_unique<TFloatMessage>();
    fm->ID = "N_F";
    fm->TimedDuration = 2.5f;
    p.FloatMessages().push_back(std::move(fm));
    p.GlobalVars()["GVAR_X"] = "0";
    p.Tags() << "a" << "two words";
    EXPECT_EQ(WithFixedModifiedDate(SaveAndRead(p)), ReadFile(DataPath("project/one.tlw")));
}

TEST_F(ProjectFileTest, RichProjectRoundTripsUnchanged)
{
    TDialogueProject original;
    FillRichProject(original);
    const QByteArray first = SaveAndRead(original, "a.tlw");
    EXPECT_FALSE(original.Modified());
    EXPECT_EQ(original.FilePath(), PathOf("a.tlw"));

    TDialogueProject loaded;
    loaded.SetModified(true);
    ASSERT_TRUE(loaded.LoadFromFile(PathOf("a.tlw")));
    EXPECT_FALSE(loaded.Modified());
    EXPECT_EQ(loaded.FilePath(), PathOf("a.tlw"));
    ExpectSameDocument(original, loaded);
    EXPECT_DOUBLE_EQ(loaded.CreatedDate(), original.CreatedDate());
    EXPECT_EQ(loaded.NodeAt(7)->NodeType(), ntTrade);
    EXPECT_EQ(loaded.NodeAt(0)->PlayerOptions()[0]->SkillCheck, original.NodeAt(0)->PlayerOptions()[0]->SkillCheck);

    const QByteArray second = SaveAndRead(loaded, "b.tlw");
    EXPECT_EQ(WithFixedModifiedDate(first), WithFixedModifiedDate(second));
}

TEST_F(ProjectFileTest, SavedFileIsStrictJson)
{
    // Control characters are escaped, so strict readers accept the file.
    TDialogueProject p;
    FillRichProject(p);
    QByteArray bytes = SaveAndRead(p);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    ASSERT_TRUE(bytes.endsWith("}\r\n"));
    bytes.remove(0, 3);
    for (char ch : bytes)
        if (uchar(ch) < 0x20)
            ASSERT_TRUE(ch == '\r' || ch == '\n') << "raw control character " << int(ch);
    EXPECT_FALSE(bytes.replace("\r\n", "").contains('\n'));
    EXPECT_TRUE(bytes.contains("\\u0001\\u001F"));
    EXPECT_TRUE(bytes.contains(u8"é ü — 日本"));
    EXPECT_TRUE(bytes.contains("\"tags\": \"a,\\\"two words\\\",\\\"quote\\\"\\\"d\\\",\\\"comma,d\\\"\""));
    EXPECT_TRUE(bytes.contains("\"locales\": \"en-US,de\""));
    EXPECT_TRUE(bytes.contains("\"type\": \"7\""));
    EXPECT_TRUE(bytes.contains("/slash"));
}

TEST_F(ProjectFileTest, OptionWithoutCheckHasNoSkillCheckKey)
{
    TDialogueProject p;
    p.AddNode(ntNPCDialogue)->AddOption();
    EXPECT_FALSE(SaveAndRead(p).contains("skillCheck"));
}

TEST_F(ProjectFileTest, SavingTwiceDiffersOnlyInModifiedDate)
{
    TDialogueProject p;
    FillRichProject(p);
    EXPECT_EQ(WithFixedModifiedDate(SaveAndRead(p, "1.tlw")), WithFixedModifiedDate(SaveAndRead(p, "2.tlw")));
}

TEST_F(ProjectFileTest, SaveFailureRaisesAndKeepsState)
{
    TDialogueProject p;
    p.AddNode(ntNPCDialogue);
    const QString bad = PathOf("no/such/folder/p.tlw");
    EXPECT_THROW(p.SaveToFile(bad), EDialogueError);
    EXPECT_TRUE(p.Modified());
    EXPECT_TRUE(p.FilePath().isEmpty());
}

TEST_F(ProjectFileTest, FailedSaveKeepsPreviousFile)
{
    TDialogueProject p;
    SaveAndRead(p, "keep.tlw");
    const QByteArray before = ReadFile(PathOf("keep.tlw"));
    QDir(FDir.path()).mkdir("keep.tlw.dir");
    // A directory where the file should be cannot be replaced.
    EXPECT_THROW(p.SaveToFile(PathOf("keep.tlw.dir")), EDialogueError);
    EXPECT_EQ(ReadFile(PathOf("keep.tlw")), before);
}

TEST_F(ProjectFileTest, FullDiskFailsTheSaveAndKeepsThePreviousFile)
{
    // Several megabytes, so the text goes out in more than one piece.
    TDialogueProject p;
    for (int i = 0; i < 300; ++i)
        p.AddNode(ntNPCDialogue)->SetText(QString(10000, QLatin1Char('a' + i % 26)));
    const QByteArray before = SaveAndRead(p, "big.tlw");
    ASSERT_GT(before.size(), 3000000);
    p.NodeAt(0)->SetText(QStringLiteral("changed"));
    p.SetModified(true);
    {
        TestSupport::TFileSizeLimit full(1500000);
        EXPECT_THROW(p.SaveToFile(PathOf("big.tlw")), EDialogueError);
    }
    EXPECT_EQ(ReadFile(PathOf("big.tlw")), before);
    EXPECT_TRUE(p.Modified());
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList{QStringLiteral("big.tlw")});   // no leftovers
}

TEST_F(ProjectFileTest, FullDiskFailsSmallAndLargeSavesWithTheReason)
{
    for (const int size : {FullDiskSmallBytes, FullDiskLargeBytes}) {
        SCOPED_TRACE(size);
        TDialogueProject p;
        p.AddNode(ntNPCDialogue)->SetText(QString(size, QLatin1Char('o')));
        const QByteArray before = SaveAndRead(p, "sized.tlw");
        p.NodeAt(0)->SetText(QString(size, QLatin1Char('n')));
        p.SetModified(true);
        ExpectFullDiskKeepsTheFile(PathOf("sized.tlw"), before, before.size(),
                                   [&] { return RaisedError([&] { p.SaveToFile(PathOf("sized.tlw")); }); });
        EXPECT_TRUE(p.Modified());
    }
}

namespace {

// A minimal valid project object; tests patch it.
QJsonObject MinimalProject()
{
    QJsonObject node {
        { "id", "Node001" }, { "type", "0" }, { "text", "t" }, { "speaker", "s" }, { "portrait", "" },
        { "voice", "" }, { "x", 1 }, { "y", 2 }, { "width", 3 }, { "height", 4 }, { "color", 5 },
        { "comment", "" }, { "questId", "" }, { "questFlag", "" }, { "scriptFile", "" },
        { "reputation", 0 }, { "karma", 0 }, { "tag", "" }, { "notes", "" }, { "nextNodeId", "" },
        { "isStartNode", true }, { "randomWeight", 1 }, { "combatScript", "" }, { "tradeInventory", "" },
    };
    return QJsonObject {
        { "name", "n" }, { "npcName", "" }, { "npcScript", "" }, { "description", "" }, { "version", "1" },
        { "author", "" }, { "startNodeId", "Node001" }, { "activeLocale", "en" }, { "locales", "en" },
        { "tags", "" }, { "nodes", QJsonArray { node } },
    };
}

QJsonObject WithNode(QJsonObject project, const std::function<void(QJsonObject&)>& change)
{
    QJsonArray nodes = project["nodes"].toArray();
    QJsonObject n = nodes[0].toObject();
    change(n);
    nodes[0] = n;
    project["nodes"] = nodes;
    return project;
}

}

TEST_F(ProjectFileTest, LenientReadingOfValues)
{
    TDialogueProject p;
    p.FromJSON(WithNode(MinimalProject(), [](QJsonObject& n) {
        n["type"] = 7;
        n["x"] = "-12";
        n["speaker"] = 42;
        n["options"] = QJsonArray { QJsonObject { { "id", "O1" }, { "text", "t" }, { "targetNodeId", "" },
            { "isHidden", false }, { "hasSkillCheck", true }, { "scriptOnSelect", "" },
            { "reputationRequired", 0 }, { "karmaRequired", 0 }, { "itemRequired", "" } } };
        n["conditions"] = "not an array";
        n["unknownKey"] = "ignored";
    }));
    ASSERT_EQ(p.NodeCount(), 1);
    const TDialogueNode* n = p.NodeAt(0);
    EXPECT_EQ(n->NodeType(), ntTrade);
    EXPECT_EQ(n->X(), -12);
    EXPECT_EQ(n->Speaker(), "42");
    EXPECT_TRUE(n->Conditions().isEmpty());
    ASSERT_EQ(n->PlayerOptions().size(), 1u);
    EXPECT_EQ(n->PlayerOptions()[0]->ID, "O1");
    EXPECT_EQ(n->PlayerOptions()[0]->SkillCheck, TSkillCheck {});
    // Missing dates read as the time of loading.
    EXPECT_NEAR(p.CreatedDate(), DateTimeText::Now(), 1.0 / 24);
}

TEST_F(ProjectFileTest, GameScriptFieldsAreWrittenOnlyWhenSet)
{
    TDialogueProject p;
    TDialogueNode* n = p.AddNode(ntNPCDialogue);
    TPlayerOption* o = n->AddOption();
    p.FloatMessages().push_back(std::make_unique<TFloatMessage>());
    for (const char* key : { "intelligenceRequired", "reaction", "msgNumber", "guard", "procedureName" })
        EXPECT_FALSE(SaveAndRead(p).contains(key)) << key;

    o->IntelligenceRequired = -3;
    o->Reaction = rcGood;
    o->Guard = "dude_iq >= 6";
    n->SetProcedureName("Node001b");
    const QByteArray bytes = SaveAndRead(p);
    EXPECT_TRUE(bytes.contains("          \"itemRequired\": \"\",\r\n          \"intelligenceRequired\": -3,\r\n"
                               "          \"reaction\": 0,\r\n          \"guard\": \"dude_iq >= 6\"\r\n"));
    EXPECT_TRUE(bytes.contains("      \"tradeInventory\": \"\",\r\n      \"procedureName\": \"Node001b\",\r\n"));
    EXPECT_FALSE(bytes.contains("msgNumber"));
}

TEST_F(ProjectFileTest, GameScriptFieldsOfTheWrongKindReadAsDefaults)
{
    struct Case { QJsonValue iq, reaction, number, guard, procedure; };
    const Case cases[] = {
        { "abc", 7, -5, 12, QJsonArray {} },
        { 2.5, -1, "x", true, 3 },
        { QJsonObject {}, "1", 1e12, QJsonValue::Null, false },
    };
    for (const Case& c : cases) {
        TDialogueProject p;
        p.FromJSON(WithNode(MinimalProject(), [&](QJsonObject& n) {
            n["msgNumber"] = c.number;
            n["procedureName"] = c.procedure;
            n["options"] = QJsonArray { QJsonObject { { "id", "O1" }, { "text", "t" }, { "targetNodeId", "" },
                { "isHidden", false }, { "hasSkillCheck", false }, { "scriptOnSelect", "" },
                { "reputationRequired", 0 }, { "karmaRequired", 0 }, { "itemRequired", "" },
                { "intelligenceRequired", c.iq }, { "reaction", c.reaction }, { "msgNumber", c.number },
                { "guard", c.guard } } };
        }));
        const TDialogueNode* n = p.NodeAt(0);
        const TPlayerOption& o = *n->PlayerOptions()[0];
        EXPECT_EQ(o.IntelligenceRequired, 0);
        EXPECT_EQ(o.Reaction, rcNeutral);
        EXPECT_EQ(o.MsgNumber, 0);
        EXPECT_TRUE(o.Guard.isEmpty());
        EXPECT_EQ(n->MsgNumber(), 0);
        EXPECT_TRUE(n->ProcedureName().isEmpty());
    }
    TDialogueProject p;
    p.FromJSON(WithNode(MinimalProject(), [](QJsonObject& n) {
        n["msgNumber"] = "120";
        n["options"] = QJsonArray { QJsonObject { { "id", "O1" }, { "text", "t" }, { "targetNodeId", "" },
            { "isHidden", false }, { "hasSkillCheck", false }, { "scriptOnSelect", "" },
            { "reputationRequired", 0 }, { "karmaRequired", 0 }, { "itemRequired", "" },
            { "intelligenceRequired", "-3" }, { "reaction", "2" } } };
    }));
    EXPECT_EQ(p.NodeAt(0)->MsgNumber(), 120);
    EXPECT_EQ(p.NodeAt(0)->PlayerOptions()[0]->IntelligenceRequired, -3);
    EXPECT_EQ(p.NodeAt(0)->PlayerOptions()[0]->Reaction, rcBad);
}

TEST_F(ProjectFileTest, DatesReadAsTheLocalTimeTheyState)
{
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        { "2024-05-01 13:45:00", "2024-05-01 13:45:00" },
        { "2024-05-01T13:45:00.250", "2024-05-01 13:45:00" },
        { "1999-12-31 23:59:59", "1999-12-31 23:59:59" },
    };
    for (const Case& c : cases) {
        QJsonObject o = MinimalProject();
        o["createdDate"] = c.text;
        TDialogueProject p;
        p.FromJSON(o);
        EXPECT_EQ(DateTimeText::Format(p.CreatedDate()), c.expected) << c.text;
    }
    QJsonObject o = MinimalProject();
    o["createdDate"] = "yesterday";
    TDialogueProject p;
    p.FromJSON(o);
    EXPECT_NEAR(p.CreatedDate(), DateTimeText::Now(), 1.0 / 24);
}

TEST_F(ProjectFileTest, BadFilesFailWithoutTouchingTheProject)
{
    struct Case { const char* name; QByteArray bytes; bool raises; const char* messagePart; };
    auto json = [](const QJsonObject& o) { return QJsonDocument(o).toJson(); };
    QJsonObject noSpeaker = WithNode(MinimalProject(), [](QJsonObject& n) { n.remove("speaker"); });
    QJsonObject badType = WithNode(MinimalProject(), [](QJsonObject& n) { n["type"] = "12"; });
    QJsonObject negativeType = WithNode(MinimalProject(), [](QJsonObject& n) { n["type"] = -1; });
    QJsonObject badX = WithNode(MinimalProject(), [](QJsonObject& n) { n["x"] = "twelve"; });
    QJsonObject badCond = WithNode(MinimalProject(), [](QJsonObject& n) {
        n["conditions"] = QJsonArray { QJsonObject { { "type", 99 }, { "variable", "" }, { "operator", 0 },
                                                     { "value", "" }, { "boolOp", 0 } } };
    });
    QJsonObject dupVars = MinimalProject();
    dupVars["globalVars"] = QJsonArray { QJsonObject { { "key", "A" }, { "value", "1" } },
                                         QJsonObject { { "key", "A" }, { "value", "2" } } };
    QJsonObject notObjectNode = MinimalProject();
    notObjectNode["nodes"] = QJsonArray { 5 };
    QJsonObject noName = MinimalProject();
    noName.remove("name");
    const QByteArray valid = json(MinimalProject());
    const QByteArray Header = "{\"name\":\"n\",\"npcName\":\"\",\"npcScript\":\"\",\"description\":\"\","
        "\"version\":\"1\",\"author\":\"\",\"startNodeId\":\"\",\"activeLocale\":\"en\",\"locales\":\"en\","
        "\"tags\":\"\",\"nodes\":";

    const Case cases[] = {
        { "empty", QByteArray(), false, "" },
        { "truncated", valid.left(valid.size() / 2), false, "" },
        { "not json", "hello world", false, "" },
        { "binary", QByteArray("\x00\x01\xFF\xFE\x80garbage", 12), false, "" },
        { "wrong bom", "\xFF\xFE{\x00}\x00", false, "" },
        { "array at top", "[1,2,3]", true, "does not hold a JSON object" },
        { "string at top", "\"text\"", true, "does not hold a JSON object" },
        { "missing speaker", json(noSpeaker), true, "\"speaker\"" },
        { "node type 12", json(badType), true, "\"type\"" },
        { "node type -1", json(negativeType), true, "\"type\"" },
        { "x not a number", json(badX), true, "\"x\"" },
        { "condition type 99", json(badCond), true, "\"type\"" },
        { "duplicate global var", json(dupVars), true, "Duplicate global variable key: A" },
        { "node not an object", json(notObjectNode), true, "\"nodes\"" },
        { "missing name", json(noName), true, "\"name\"" },
        { "broken node before invalid text", Header + "[{\"id\":\"x\"},{\"x\":tru}]}", false, "" },
        { "broken node in valid text", Header + "[{\"id\":\"x\"}]}", true, "\"type\"" },
        { "scalar node", Header + "[5]}", true, "\"nodes\"" },
        { "trailing garbage", valid + "xyz", false, "" },
        { "unbalanced brackets", Header + "[{\"id\":[}]}", false, "" },
        { "escaped key, missing speaker", json(noSpeaker).replace("\"name\"", "\"n\\u0061me\""), true, "\"speaker\"" },
        { "broken escape in a key", Header + "[], \"x\\u00\":1}", false, "" },
        { "unknown member not JSON", Header + "[], \"extra\": tru}", false, "" },
        { "repeated member not JSON", Header + "[], \"nodes\": [tru]}", false, "" },
        { "object without project keys", "{\"data\": [1, 2, 3]}", true, "Required key \"name\" is missing" },
        { "array after white space", " \r\n\t[{}]", true, "does not hold a JSON object" },
        { "broken array at top", "[1, 2", true, "does not hold a JSON object" },
        { "number at top", "-12", true, "does not hold a JSON object" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(PathOf("bad.tlw"), c.bytes);
        TDialogueProject p;
        p.SetName("Keep me");
        p.AddNode(ntComment)->SetText("existing");
        if (c.raises) {
            try {
                p.LoadFromFile(PathOf("bad.tlw"));
                ADD_FAILURE() << "no error raised";
            } catch (const EDialogueError& e) {
                EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.messagePart))) << e.Message().toStdString();
            }
        } else {
            EXPECT_FALSE(p.LoadFromFile(PathOf("bad.tlw")));
        }
        EXPECT_EQ(p.Name(), "Keep me");
        ASSERT_EQ(p.NodeCount(), 1);
        EXPECT_EQ(p.NodeAt(0)->Text(), "existing");
    }
}

// A NUL in "locales" or "tags" separates items like any control
// character; it once made loading loop for ever.
TEST_F(ProjectFileTest, NulInCommaTextSeparatesItems)
{
    const QByteArray valid = QJsonDocument(MinimalProject()).toJson(QJsonDocument::Compact);
    struct Case { const char* name; QByteArray locales, tags; };
    const Case cases[] = {
        { "escaped", "en\\u0000de", "\\u0000a\\u0000,b" },
        { "raw", QByteArray("en\0de", 5), QByteArray("\0a\0,b", 6) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = valid;
        bytes.replace("\"locales\":\"en\"", "\"locales\":\"" + c.locales + "\"");
        bytes.replace("\"tags\":\"\"", "\"tags\":\"" + c.tags + "\"");
        WriteFile(PathOf("nul.tlw"), bytes);
        TDialogueProject p;
        ASSERT_TRUE(p.LoadFromFile(PathOf("nul.tlw")));
        EXPECT_EQ(p.Locales(), QStringList({ "en", "de" }));
        EXPECT_EQ(p.Tags(), QStringList({ "a", "b" }));
    }
}

// Keys that repeat, hold escapes or are unknown read as a whole-document
// parse reads them: the last of a repeated key counts.
TEST_F(ProjectFileTest, MembersReadAsAWholeDocumentReadsThem)
{
    // A missing creation date reads as "now": fixed here, so that the two
    // reads cannot fall on different seconds.
    QJsonObject project = MinimalProject();
    project["createdDate"] = "2024-05-01 13:45:00";
    const QByteArray valid = QJsonDocument(project).toJson(QJsonDocument::Compact);
    const QByteArray body = valid.left(valid.size() - 1);
    struct Case { const char* name; QByteArray text; };
    const Case cases[] = {
        { "repeated name", body + ",\"name\":\"second\"}" },
        { "nodes then not an array", body + ",\"nodes\":5}" },
        { "nodes repeated", body + ",\"nodes\":[]}" },
        { "escaped header key", body + ",\"np\\u0063Name\":\"Harold\"}" },
        { "escaped nodes key", "{\"n\\u006Fdes\":[]," + valid.mid(1) },
        { "unknown members", body + ",\"extra\":{\"a\":[1,2,{}]},\"more\":null}" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDialogueProject whole;
        whole.FromJSON(QJsonDocument::fromJson(c.text).object());
        WriteFile(PathOf("keys.tlw"), c.text);
        TDialogueProject loaded;
        ASSERT_TRUE(loaded.LoadFromFile(PathOf("keys.tlw")));
        ExpectSameDocument(loaded, whole);
    }
}

// A large JSON file that is not a project is refused from its first byte
// or its header, without building a document of it; a file too large to be
// a project is refused unread. Loading a 20 MB array once peaked at nine
// times its size.
TEST_F(ProjectFileTest, LargeFilesThatAreNoProjectFailInLittleMemory)
{
    QByteArray items;
    for (int i = 0; i < 1000; ++i)
        items += "{\"id\":" + QByteArray::number(i) + ",\"text\":\"abc\",\"list\":[1,2,3,4]},";
    items.chop(1);
    QByteArray array = "\xEF\xBB\xBF[";
    QByteArray object = "{\"version\":\"1\",\"data\":[";
    while (array.size() < 20 * 1024 * 1024) {
        array += items + ',';
        object += items + ',';
    }
    array += "1]";
    object += "1]}";
    struct Case { const char* name; QByteArray text; const char* message; };
    const Case cases[] = {
        { "array", array, "does not hold a JSON object" },
        { "object without project keys", object, "Required key \"name\" is missing" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(PathOf("big.json"), c.text);
        TDialogueProject p;
        try {
            p.LoadFromFile(PathOf("big.json"));
            ADD_FAILURE() << "no error raised";
        } catch (const EDialogueError& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.message))) << e.Message().toStdString();
        }
        const long growthKb = PeakGrowthKb([&] {
            TDialogueProject scratch;
            try {
                scratch.LoadFromFile(PathOf("big.json"));
            } catch (const EDialogueError&) {
            }
        });
        ASSERT_GE(growthKb, 0);
        EXPECT_LT(growthKb, 2 * c.text.size() / 1024);
    }

    // Sparse, so it takes no disk.
    QFile huge(PathOf("huge.json"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(TProjectFileReader::MaxFileBytes + 1));
    huge.close();
    TDialogueProject p;
    try {
        p.LoadFromFile(PathOf("huge.json"));
        ADD_FAILURE() << "no error raised";
    } catch (const EDialogueError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("The file \"%1\" is too large to be a project (512 MB; project files "
                                              "are limited to 512 MB)").arg(PathOf("huge.json")));
    }
}

// U+FEFF is written as it is; Qt's parser used to drop it from the start
// of every string, so such texts came back shorter.
TEST_F(ProjectFileTest, ZeroWidthNoBreakSpaceAtTheStartOfTextsSurvives)
{
    const QString zw(QChar(0xFEFF));
    TDialogueProject p;
    p.SetName(zw + "Name");
    p.Tags() = QStringList { zw, zw + "b" };
    p.GlobalVars()[zw + "key"] = zw;
    TDialogueNode* n = p.AddNode(ntNPCDialogue);
    n->SetText(zw);
    n->AddOption()->Text = zw + zw;
    SaveAndRead(p);
    TDialogueProject q;
    ASSERT_TRUE(q.LoadFromFile(PathOf("p.tlw")));
    ExpectSameDocument(q, p);
    EXPECT_EQ(q.NodeAt(0)->Text(), zw);
}

TEST_F(ProjectFileTest, MissingFileIsFalse)
{
    TDialogueProject p;
    EXPECT_FALSE(p.LoadFromFile(PathOf("absent.tlw")));
}

TEST_F(ProjectFileTest, HugeStringLoads)
{
    TDialogueProject p;
    p.AddNode(ntNPCDialogue)->SetText(QString(4 * 1024 * 1024, QChar(0x00E9)));
    SaveAndRead(p);
    TDialogueProject q;
    ASSERT_TRUE(q.LoadFromFile(PathOf("p.tlw")));
    EXPECT_EQ(q.NodeAt(0)->Text().size(), 4 * 1024 * 1024);
}

TEST(JsonNumbers, FloatFormatting)
{
    struct Case { double value; const char* text; };
    const Case cases[] = {
        { 3.0, "3.0" }, { 2.5, "2.5" }, { 0.1, "0.1" }, { -1.0, "-1.0" }, { 0.0, "0.0" },
        { double(0.3f), "0.300000011920929" }, { 1e20, "1E20" }, { 1.5e-7, "1.5E-7" },
        { 123456789012345.0, "123456789012345.0" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonText::FormatFloat(c.value), c.text) << c.value;
}

TEST_F(ProjectFileTest, SavedTextIsTheLaidOutTree)
{
    // The file is written straight from the model; it must equal the
    // tree that ToJSON builds, laid out by the JSON writer.
    TDialogueProject p;
    FillRichProject(p);
    const QByteArray saved = SaveAndRead(p);
    const QByteArray fromTree = "\xEF\xBB\xBF" + JsonText::IndentedUtf8(p.ToJSON()) + "\r\n";
    EXPECT_EQ(WithFixedModifiedDate(saved), WithFixedModifiedDate(fromTree));
}
