// The project file: JSON tree, text layout, save and load.

#include "model/AtomicFileWriter.h"
#include "model/CommaText.h"
#include "model/JsonSinks.h"
#include "model/ProjectFileWriter.h"
#include "model/ProjectFileReader.h"
#include "model/DateTimeText.h"
#include "model/DialogueTypes.h"
#include "model/JsonText.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// Reads members of one JSON object with the file's leniency rules; errors
// name the key and where it was read.
class TObjectReader {
public:
    TObjectReader(const QJsonObject& obj, QString where) : FObj(obj), FWhere(std::move(where)) {}

    QString String(const char* key) const
    {
        const QJsonValue v = Required(key);
        if (v.isString())
            return v.toString();
        if (v.isDouble())
            return NumberText(v.toDouble());
        Fail(key, v);
    }

    qint32 Int(const char* key) const
    {
        const QJsonValue v = Required(key);
        if (const std::optional<qint32> n = ToInt(v))
            return *n;
        Fail(key, v);
    }

    // Keys added after the format was first fixed: a missing key or a value
    // of the wrong kind gives the default instead of failing the load.
    qint32 OptionalInt(const char* key, qint32 fallback) const
    {
        return ToInt(FObj.value(QLatin1String(key))).value_or(fallback);
    }

    QString OptionalString(const char* key) const
    {
        const QJsonValue v = FObj.value(QLatin1String(key));
        return v.isString() ? v.toString() : QString();
    }

    template <typename TEnum>
    TEnum OptionalEnum(const char* key, int count, TEnum fallback) const
    {
        const qint32 n = OptionalInt(key, fallback);
        return n >= 0 && n < count ? TEnum(n) : fallback;
    }

    quint32 Color(const char* key) const
    {
        const QJsonValue v = Required(key);
        double d = 0;
        bool ok = false;
        if (v.isDouble()) {
            d = v.toDouble();
            ok = true;
        } else if (v.isString()) {
            d = double(v.toString().trimmed().toLongLong(&ok, 10));
        }
        // Colours are 0x00BBGGRR; negative values are how some writers store
        // the same 32 bits.
        if (ok && std::floor(d) == d && d >= std::numeric_limits<qint32>::min()
            && d <= double(std::numeric_limits<quint32>::max()))
            return quint32(qint64(d));
        Fail(key, v);
    }

    double Float(const char* key) const
    {
        const QJsonValue v = Required(key);
        if (v.isDouble())
            return v.toDouble();
        if (v.isString()) {
            bool ok = false;
            const double d = v.toString().trimmed().toDouble(&ok);
            if (ok)
                return d;
        }
        Fail(key, v);
    }

    bool Bool(const char* key) const
    {
        const QJsonValue v = Required(key);
        if (v.isBool())
            return v.toBool();
        Fail(key, v);
    }

    template <typename TEnum>
    TEnum Enum(const char* key, int count) const
    {
        const qint32 n = Int(key);
        if (n < 0 || n >= count)
            throw EDialogueError(QStringLiteral("Value %1 of key \"%2\" is out of range (0 to %3)%4")
                                     .arg(n).arg(QLatin1String(key)).arg(count - 1).arg(FWhere));
        return TEnum(n);
    }

    bool Has(const char* key) const { return FObj.contains(QLatin1String(key)); }
    QJsonValue Value(const char* key) const { return FObj.value(QLatin1String(key)); }
    const QString& Where() const { return FWhere; }

private:
    QJsonValue Required(const char* key) const
    {
        const auto it = FObj.constFind(QLatin1String(key));
        if (it == FObj.constEnd())
            throw EDialogueError(QStringLiteral("Required key \"%1\" is missing%2")
                                     .arg(QLatin1String(key), FWhere));
        return it.value();
    }

    [[noreturn]] void Fail(const char* key, const QJsonValue& v) const
    {
        QString shown;
        switch (v.type()) {
        case QJsonValue::Null: shown = QStringLiteral("null"); break;
        case QJsonValue::Bool: shown = v.toBool() ? QStringLiteral("true") : QStringLiteral("false"); break;
        case QJsonValue::Double: shown = NumberText(v.toDouble()); break;
        case QJsonValue::String: shown = QLatin1Char('"') + v.toString().left(40) + QLatin1Char('"'); break;
        case QJsonValue::Array: shown = QStringLiteral("an array"); break;
        case QJsonValue::Object: shown = QStringLiteral("an object"); break;
        default: shown = QStringLiteral("an undefined value"); break;
        }
        throw EDialogueError(QStringLiteral("Value %1 of key \"%2\" cannot be converted%3")
                                 .arg(shown, QLatin1String(key), FWhere));
    }

    // A whole number that fits 32 bits, as a JSON number or a decimal string.
    static std::optional<qint32> ToInt(const QJsonValue& v)
    {
        if (v.isDouble()) {
            const double d = v.toDouble();
            if (std::floor(d) == d && d >= std::numeric_limits<qint32>::min()
                && d <= std::numeric_limits<qint32>::max())
                return qint32(d);
        } else if (v.isString()) {
            bool ok = false;
            const qint32 n = v.toString().trimmed().toInt(&ok, 10);
            if (ok)
                return n;
        }
        return std::nullopt;
    }

    static QString NumberText(double d)
    {
        if (std::floor(d) == d && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return JsonText::FormatFloat(d);
    }

    const QJsonObject FObj;   // a copy: readers are often built on temporaries
    QString FWhere;
};

QString NodeContext(const QString& id)
{
    return QStringLiteral(" (node \"%1\")").arg(id);
}

// The elements of an optional array member; anything that is not an array
// counts as empty.
QJsonArray OptionalArray(const QJsonObject& obj, const char* key)
{
    const QJsonValue v = obj.value(QLatin1String(key));
    return v.isArray() ? v.toArray() : QJsonArray();
}

QJsonObject ElementObject(const QJsonValue& v, const char* arrayKey, const QString& where)
{
    if (!v.isObject())
        throw EDialogueError(QStringLiteral("An element of \"%1\" is not an object%2")
                                 .arg(QLatin1String(arrayKey), where));
    return v.toObject();
}

// A message number below 1 is no number: the line gets one on export.
qint32 MessageNumber(const TObjectReader& r)
{
    return std::max(r.OptionalInt("msgNumber", 0), 0);
}

TSkillCheck SkillCheckFromJSON(const QJsonObject& obj, const QString& where)
{
    TObjectReader r(obj, where);
    TSkillCheck sc;
    sc.Skill = r.Enum<TSkillType>("skill", SkillTypeCount);
    sc.Difficulty = r.Int("difficulty");
    sc.CritSuccessBonus = r.Int("critBonus");
    sc.XPReward = r.Int("xpReward");
    sc.SuccessMessage = r.String("successMsg");
    sc.FailureMessage = r.String("failMsg");
    sc.SuccessNodeID = r.String("successNode");
    sc.FailureNodeID = r.String("failNode");
    return sc;
}

std::unique_ptr<TPlayerOption> OptionFromJSON(const QJsonObject& obj, const QString& where)
{
    TObjectReader r(obj, where);
    auto opt = std::make_unique<TPlayerOption>();
    opt->ID = r.String("id");
    opt->Text = r.String("text");
    opt->TargetNodeID = r.String("targetNodeId");
    opt->IsHidden = r.Bool("isHidden");
    opt->HasSkillCheck = r.Bool("hasSkillCheck");
    opt->ScriptOnSelect = r.String("scriptOnSelect");
    opt->ReputationRequired = r.Int("reputationRequired");
    opt->KarmaRequired = r.Int("karmaRequired");
    opt->ItemRequired = r.String("itemRequired");
    opt->IntelligenceRequired = r.OptionalInt("intelligenceRequired", 0);
    opt->Reaction = r.OptionalEnum<TReaction>("reaction", ReactionCount, rcNeutral);
    opt->MsgNumber = MessageNumber(r);
    opt->Guard = r.OptionalString("guard");
    if (opt->HasSkillCheck && r.Has("skillCheck")) {
        const QJsonValue sc = r.Value("skillCheck");
        if (!sc.isObject())
            throw EDialogueError(QStringLiteral("Key \"skillCheck\" is not an object%1").arg(where));
        opt->SkillCheck = SkillCheckFromJSON(sc.toObject(), where);
    }
    return opt;
}

} // namespace

// ---------------------------------------------------------------------------

TJsonValue TDialogueNode::ToJSON() const
{
    TJsonTreeSink sink;
    WriteNode(sink, *this);
    return sink.Take();
}

void TDialogueNode::FromJSON(const QJsonObject& obj)
{
    const QString where = NodeContext(FID);
    TObjectReader r(obj, where);
    FNodeType = r.Enum<TNodeType>("type", NodeTypeCount);
    FText = r.String("text");
    FSpeaker = r.String("speaker");
    FPortraitFile = r.String("portrait");
    FVoiceFile = r.String("voice");
    FX = r.Int("x");
    FY = r.Int("y");
    FWidth = r.Int("width");
    FHeight = r.Int("height");
    FColor = r.Color("color");
    FComment = r.String("comment");
    FQuestID = r.String("questId");
    FQuestFlag = r.String("questFlag");
    FScriptFile = r.String("scriptFile");
    FReputation = r.Int("reputation");
    FKarma = r.Int("karma");
    FTag = r.String("tag");
    FNotes = r.String("notes");
    FNextNodeID = r.String("nextNodeId");
    FIsStartNode = r.Bool("isStartNode");
    FRandomWeight = r.Int("randomWeight");
    FCombatScript = r.String("combatScript");
    FTradeInventory = r.String("tradeInventory");
    FMsgNumber = MessageNumber(r);
    FProcedureName = r.OptionalString("procedureName");

    FPlayerOptions.clear();
    for (const QJsonValue& v : OptionalArray(obj, "options"))
        FPlayerOptions.push_back(OptionFromJSON(ElementObject(v, "options", where), where));

    FConditions.clear();
    for (const QJsonValue& v : OptionalArray(obj, "conditions")) {
        TObjectReader cr(ElementObject(v, "conditions", where), where);
        TCondition c;
        c.CondType = cr.Enum<TConditionType>("type", ConditionTypeCount);
        c.Variable = cr.String("variable");
        c.Operator = cr.Enum<TConditionOperator>("operator", ConditionOperatorCount);
        c.Value = cr.String("value");
        c.BoolOp = cr.Enum<TBoolOp>("boolOp", BoolOpCount);
        FConditions.append(c);
    }

    FScripts.clear();
    for (const QJsonValue& v : OptionalArray(obj, "scripts")) {
        TObjectReader sr(ElementObject(v, "scripts", where), where);
        auto s = std::make_unique<TNodeScript>();
        s->EventType = sr.Enum<TScriptEvent>("event", ScriptEventCount);
        s->ScriptCode = sr.String("code");
        s->IsEnabled = sr.Bool("enabled");
        FScripts.push_back(std::move(s));
    }
}

// ---------------------------------------------------------------------------

TJsonValue TFloatMessage::ToJSON() const
{
    TJsonTreeSink sink;
    WriteFloatMessage(sink, *this);
    return sink.Take();
}

void TFloatMessage::FromJSON(const QJsonObject& obj)
{
    TObjectReader r(obj, QStringLiteral(" (float message)"));
    ID = r.String("id");
    Category = r.String("category");
    Text = r.String("text");
    Priority = r.Int("priority");
    Weight = r.Int("weight");
    Condition = r.String("condition");
    TimedDuration = float(r.Float("timedDuration"));
    IsAmbient = r.Bool("isAmbient");
    IsCombatTaunt = r.Bool("isCombatTaunt");
    IsContextSensitive = r.Bool("isContextSensitive");
    LocaleKey = r.String("localeKey");
    MsgNumber = MessageNumber(r);
}

// ---------------------------------------------------------------------------

namespace {
// Read leniently like the other later keys: what is not of the expected
// kind is passed over.
TGameScriptFrame ReadGameScript(const QJsonValue& value)
{
    static const char* const kindKeys[] = { "text", "declare", "procedure" };
    TGameScriptFrame frame;
    const QJsonObject obj = value.toObject();
    for (const QJsonValue& v : obj.value(QLatin1String("parts")).toArray()) {
        const QJsonObject partObj = v.toObject();
        for (int kind = 0; kind < 3; ++kind) {
            const QJsonValue text = partObj.value(QLatin1String(kindKeys[kind]));
            if (text.isString()) {
                frame.Parts.append({TGameScriptPart::TKind(kind), text.toString()});
                break;
            }
        }
    }
    for (const QJsonValue& v : obj.value(QLatin1String("messages")).toArray()) {
        const TObjectReader mr(v.toObject(), QString());
        const QJsonValue text = mr.Value("text");
        if (mr.Has("number") && text.isString())
            frame.Messages.insert(mr.OptionalInt("number", 0), text.toString());
    }
    return frame;
}
}

TJsonValue TDialogueProject::ToJSON() const
{
    TJsonTreeSink sink;
    WriteProject(sink, *this);
    return sink.Take();
}

void TDialogueProject::FromJSON(const QJsonObject& obj)
{
    ReadHeaderJSON(obj);
    ClearNodes();
    const QJsonArray nodes = OptionalArray(obj, "nodes");
    FNodes.reserve(size_t(nodes.size()));
    for (const QJsonValue& v : nodes)
        ReadNodeJSON(v);
    FFloatMessages.clear();
    for (const QJsonValue& v : OptionalArray(obj, "floatMessages"))
        ReadFloatMessageJSON(v);
    FGlobalVars.clear();
    for (const QJsonValue& v : OptionalArray(obj, "globalVars"))
        ReadGlobalVarJSON(v);
}

void TDialogueProject::ReadHeaderJSON(const QJsonObject& obj)
{
    const TObjectReader r(obj, QString());
    FName = r.String("name");
    FNPCName = r.String("npcName");
    FNPCScript = r.String("npcScript");
    FDescription = r.String("description");
    FVersion = r.String("version");
    FAuthor = r.String("author");
    FStartNodeID = r.String("startNodeId");
    FActiveLocale = r.String("activeLocale");

    auto readDate = [&](const char* key) {
        TDateTime value = DateTimeText::Now();
        const QJsonValue v = obj.value(QLatin1String(key));
        if (v.isString())
            DateTimeText::Parse(v.toString(), value);
        return value;
    };
    FCreatedDate = readDate("createdDate");
    FModifiedDate = readDate("modifiedDate");

    FLocales = CommaText::Split(r.String("locales"));
    FTags = CommaText::Split(r.String("tags"));
    FGameScript = ReadGameScript(obj.value(QLatin1String("gameScript")));
}

void TDialogueProject::ReadNodeJSON(const QJsonValue& v)
{
    const QJsonObject nodeObj = ElementObject(v, "nodes", QString());
    const TObjectReader nr(nodeObj, QString());
    const TNodeType type = nr.Enum<TNodeType>("type", NodeTypeCount);
    const QString id = nr.String("id");
    auto node = std::make_unique<TDialogueNode>(id, type);
    node->FromJSON(nodeObj);
    AppendNode(std::move(node));
}

void TDialogueProject::ReadFloatMessageJSON(const QJsonValue& v)
{
    auto fm = std::make_unique<TFloatMessage>();
    fm->FromJSON(ElementObject(v, "floatMessages", QString()));
    FFloatMessages.push_back(std::move(fm));
}

void TDialogueProject::ReadGlobalVarJSON(const QJsonValue& v)
{
    const TObjectReader gr(ElementObject(v, "globalVars", QString()), QStringLiteral(" (global variable)"));
    const QString key = gr.String("key");
    const QString value = gr.String("value");
    if (FGlobalVars.contains(key))
        throw EDialogueError(QStringLiteral("Duplicate global variable key: %1").arg(key));
    FGlobalVars.insert(key, value);
}

bool TDialogueProject::SaveToFile(const QString& aPath)
{
    // A failed save leaves the previous file as it was.
    TAtomicFileWriter file(aPath);
    if (!file.Open())
        throw EDialogueError(file.Error());
    QByteArray bytes("\xEF\xBB\xBF");
    {
        TJsonTextSink sink(bytes, file.Device());
        WriteProject(sink, *this);
        bytes += "\r\n";
        sink.Drain();
    }
    // A write the sink could not make is reported here.
    if (!file.Commit())
        throw EDialogueError(file.Error());

    FFilePath = aPath;
    FModified = false;
    FModifiedDate = DateTimeText::Now();
    return true;
}

bool TDialogueProject::LoadFromFile(const QString& aPath)
{
    QFileInfo info(aPath);
    if (!info.exists() || info.isDir())
        return false;
    // Refused unread: reading a file far larger than any project would
    // take memory in proportion before saying it is not one.
    if (info.size() > TProjectFileReader::MaxFileBytes)
        throw EDialogueError(QStringLiteral("The file \"%1\" is too large to be a project (%2 MB; project files "
                                            "are limited to %3 MB)")
                                 .arg(aPath)
                                 .arg(info.size() / (1024 * 1024))
                                 .arg(TProjectFileReader::MaxFileBytes / (1024 * 1024)));
    QFile file(aPath);
    if (!file.open(QIODevice::ReadOnly))
        throw EDialogueError(QStringLiteral("Cannot open file \"%1\". %2").arg(aPath, file.errorString()));
    QByteArray bytes = file.readAll();
    file.close();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    // Filled into a scratch project first: a file that fails half-way
    // leaves this project exactly as it was.
    TDialogueProject loaded;
    switch (TProjectFileReader::Read(bytes, loaded)) {
    case TProjectFileReader::roLoaded:
        break;
    case TProjectFileReader::roNotJson:
        return false;
    case TProjectFileReader::roNotObject:
        throw EDialogueError(QStringLiteral("The project file \"%1\" does not hold a JSON object").arg(aPath));
    }
    TakeContentFrom(loaded);
    FFilePath = aPath;
    FModified = false;
    return true;
}
