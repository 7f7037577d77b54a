#include "interchange/FMFImporter.h"

#include "interchange/FMFText.h"
#include "model/TextEncoding.h"

#include <QFile>
#include <QFileInfo>

using FMFText::FindOutsideQuotes;
using FMFText::ReadQuoted;
using FMFText::StartsWithKeyword;
using FMFText::TrimLine;

namespace {

const QLatin1String CRLF("\r\n");

// Substring matching of skill-check names against node names is the one
// step whose cost grows with nodes times checks; past this many compared
// characters in one import it finds nothing more, so no file can stall it.
const qint64 NameSearchBudget = 200'000'000;

QVector<QStringView> SplitLines(QStringView text)
{
    QVector<QStringView> lines;
    lines.reserve(text.size() / 32 + 1);
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringView FirstWord(QStringView text)
{
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

QStringView AfterFirstWord(QStringView text)
{
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? QStringView() : TrimLine(text.mid(blank + 1));
}

// Integer value of a key = value line, or `fallback` when it is not one.
int IntOr(QStringView text, int fallback)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok ? n : fallback;
}

struct TConditionWord {
    const char* Word;
    TConditionType Type;
};

const TConditionWord ConditionWords[] = {
    {"local_variable", ctLocalVar},   {"global_variable", ctGlobalVar}, {"check_stat", ctStatCheck},
    {"check_skill", ctSkillCheck},    {"player_has_item", ctInventory}, {"check_custom_code", ctRandom},
    {"reputation", ctReputation},     {"karma", ctKarma},               {"quest_state", ctQuestFlag},
};

struct TOperatorText {
    const char* Text;
    TConditionOperator Operator;
};

const TOperatorText OperatorTexts[] = {
    {">=", coGTE}, {"<=", coLTE}, {">", coGT}, {"<", coLT}, {"==", coEQ}, {"!=", coNEQ},
};

bool IsOperatorWord(QStringView word)
{
    for (const TOperatorText& op : OperatorTexts)
        if (word == QLatin1String(op.Text))
            return true;
    return false;
}

bool IsBlank(QChar c) { return c.unicode() <= ' '; }

// "link_next" standing as a word of its own, so a value such as
// MY_LINK_NEXT_FLAG is not cut inside.
qsizetype FindLinkNext(QStringView text)
{
    const QLatin1String word("link_next");
    for (qsizetype from = 0;;) {
        const qsizetype at = text.indexOf(word, from, Qt::CaseInsensitive);
        if (at < 0)
            return -1;
        const qsizetype after = at + word.size();
        if ((at == 0 || IsBlank(text[at - 1])) && (after == text.size() || IsBlank(text[after])))
            return at;
        from = at + 1;
    }
}

// The node's text or notes, handed over so that appending to it does not
// copy it: a node with very many NPCTEXT lines stays linear to read.
QString TakeText(TDialogueNode& node)
{
    QString text = node.Text();
    node.SetText(QString());
    return text;
}

QString TakeNotes(TDialogueNode& node)
{
    QString notes = node.Notes();
    node.SetNotes(QString());
    return notes;
}

// Pieces of `text` between commas that stand outside quoted values.
QVector<QStringView> SplitClauses(QStringView text)
{
    QVector<QStringView> clauses;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('"')) {
            i = FMFText::ClosingQuote(text, i);
        } else if (text[i] == QLatin1Char(',')) {
            clauses.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    clauses.append(text.mid(start));
    return clauses;
}

}

TFMFImporter::TFMFImporter() = default;
TFMFImporter::~TFMFImporter() = default;

QStringView TFMFImporter::Current() const
{
    return TrimLine(FLines[FPos]);
}

bool TFMFImporter::CurrentStartsWith(QLatin1String keyword) const
{
    return StartsWithKeyword(Current(), keyword);
}

bool TFMFImporter::CurrentContains(QLatin1String text) const
{
    return Current().contains(text, Qt::CaseInsensitive);
}

TFMFImportResult TFMFImporter::ImportFromFile(const QString& APath, std::unique_ptr<TDialogueProject>& AProject)
{
    AProject.reset();
    QFile file(APath);
    if (QFileInfo(APath).isDir())
        throw EDialogueError(QStringLiteral("Cannot open file \"%1\". Is a directory").arg(APath));
    if (!file.open(QIODevice::ReadOnly))
        throw EDialogueError(QStringLiteral("Cannot open file \"%1\". %2").arg(APath, file.errorString()));
    QString text = TextEncoding::DecodeText(file.readAll());
    file.close();

    TFMFImportResult result = ImportFromText(text, AProject);
    if (result.Success && AProject)
        AProject->SetName(QFileInfo(APath).completeBaseName());
    return result;
}

TFMFImportResult TFMFImporter::ImportFromText(const QString& AText, std::unique_ptr<TDialogueProject>& AProject)
{
    FLines = SplitLines(AText);
    FPos = 0;
    FErrors.clear();
    FWarnings = 0;
    FNodeMap.clear();
    FTempSkillChecks.clear();
    FGlobalVars.clear();
    FStartConditions.clear();
    FStartNodeID.clear();
    FCurrentNode = nullptr;
    FUpperNames.clear();
    FNameSearchWork = 0;

    FProject = std::make_unique<TDialogueProject>();
    FProject->SetName(QStringLiteral("Imported from .FMF"));

    ReadTopLevel();
    Finish();
    LayOut();

    FLines.clear();
    FCurrentNode = nullptr;
    FNodeMap.clear();
    AProject = std::move(FProject);

    TFMFImportResult result;
    result.Success = FErrors.isEmpty();
    result.Errors = FErrors;
    result.WarningCount = FWarnings;
    result.NodeCount = AProject->NodeCount();
    result.Project = AProject.get();
    return result;
}

// ---------------------------------------------------------------------------
// Top level and the simple blocks.

void TFMFImporter::ReadTopLevel()
{
    while (!AtEnd()) {
        const QStringView line = Current();
        if (line.isEmpty() || line.startsWith(QLatin1Char('/')) || line.startsWith(QLatin1Char('*'))
            || line.startsWith(QLatin1Char('#'))) {
            ++FPos;
        } else if (StartsWithKeyword(line, QLatin1String("vars"))) {
            ReadVars();
        } else if (StartsWithKeyword(line, QLatin1String("npcname"))) {
            QString value;
            if (ReadQuoted(line, 0, value))
                FProject->SetNPCName(value);
            ++FPos;
        } else if (StartsWithKeyword(line, QLatin1String("location"))) {
            QString value;
            if (ReadQuoted(line, 0, value))
                FProject->SetNPCScript(value);
            ++FPos;
        } else if (StartsWithKeyword(line, QLatin1String("description"))) {
            QString value;
            if (ReadQuoted(line, 0, value))
                FProject->SetDescription(value);
            ++FPos;
        } else if (StartsWithKeyword(line, QLatin1String("start_conditions"))) {
            ReadStartConditions();
        } else if (StartsWithKeyword(line, QLatin1String("floatnode"))) {
            ReadFloatNode();
        } else if (StartsWithKeyword(line, QLatin1String("node "))) {
            ReadNode();
        } else {
            ++FPos;   // UNKNOWN_DESC, KNOWN_DESC, DETAILED_DESC and anything unknown
        }
    }
}

void TFMFImporter::ReadVars()
{
    for (++FPos; !AtEnd(); ++FPos) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1Char('}'))) {
            ++FPos;
            return;
        }
        if (StartsWithKeyword(line, QLatin1String("local var")))
            ReadVarEntry(line);
    }
}

void TFMFImporter::ReadVarEntry(QStringView line)
{
    const QStringView entry = TrimLine(line.mid(9));
    const QStringView name = FirstWord(entry);
    const QStringView rest = AfterFirstWord(entry);
    if (name.isEmpty())
        return;
    QString value;
    const qsizetype notes = rest.indexOf(QLatin1String("notes"), 0, Qt::CaseInsensitive);
    if (notes >= 0) {
        const QStringView remainder = TrimLine(rest.mid(std::min(notes + 6, rest.size())));
        if (remainder.startsWith(QLatin1Char('"'))) {
            // The quotes delimit the value; a ";" after them ends the
            // statement and one inside them belongs to the value.
            if (FMFText::ClosingQuote(remainder, 0) < remainder.size())
                ReadQuoted(remainder, 0, value);
        } else {
            QStringView bare = remainder;
            if (bare.endsWith(QLatin1Char(';')))
                bare.chop(1);
            value = bare.toString();
        }
    }
    FGlobalVars << name.toString() + QLatin1Char('=') + value;
}

void TFMFImporter::ReadStartConditions()
{
    for (; !AtEnd(); ++FPos) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1String("};"))) {
            ++FPos;
            return;
        }
        QString target;
        if (line.contains(QLatin1String("cond target_node"), Qt::CaseInsensitive) && ReadQuoted(line, 0, target))
            FStartConditions << QStringLiteral("target=") + target;
    }
}

void TFMFImporter::ReadFloatNode()
{
    QString id;
    const bool named = ReadQuoted(Current(), 0, id);
    QString text;
    bool haveText = false;
    for (++FPos; !AtEnd(); ++FPos) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1Char('}'))) {
            ++FPos;
            break;
        }
        if (StartsWithKeyword(line, QLatin1String("notes")) || !line.startsWith(QLatin1Char('"')))
            continue;
        QString piece;
        ReadQuoted(line, 0, piece);
        text += haveText ? QStringLiteral(" | ") + piece : piece;
        haveText = true;
    }
    // A FLOATNODE line without any quote names nothing; its block is read
    // past and dropped.
    if (!named)
        return;
    auto message = std::make_unique<TFloatMessage>();
    message->ID = id;
    message->Text = text;
    message->Category = QStringLiteral("FloatHostile");
    message->Priority = 5;
    message->Weight = 1;
    message->TimedDuration = 3.0f;
    message->IsAmbient = false;
    message->IsCombatTaunt = true;
    FProject->FloatMessages().push_back(std::move(message));
}

// ---------------------------------------------------------------------------
// Nodes.

TDialogueNode* TFMFImporter::NodeForName(const QString& name)
{
    if (TDialogueNode* known = FNodeMap.value(name, nullptr))
        return known;
    // Made as AddNode makes nodes (the first of a project is marked as a
    // start node, the project becomes modified), without its search for the
    // next free number: the name is the ID.
    auto node = std::make_unique<TDialogueNode>(name, ntNPCDialogue);
    if (FProject->NodeCount() == 0) {
        node->SetIsStartNode(true);
        FStartNodeID = name;
    }
    node->SetSpeaker(FProject->NPCName());
    TDialogueNode* added = FProject->AppendNode(std::move(node));
    FProject->SetModified(true);
    FNodeMap.insert(name, added);
    return added;
}

void TFMFImporter::ReadNode()
{
    QString name;
    const bool named = ReadQuoted(Current(), 0, name);
    // A NODE line without any quote names no node: its block is read into
    // a scratch node and dropped.
    std::unique_ptr<TDialogueNode> scratch;
    TDialogueNode* node = nullptr;
    if (named) {
        node = NodeForName(name);
    } else {
        scratch = std::make_unique<TDialogueNode>(QString(), ntNPCDialogue);
        node = scratch.get();
    }
    FCurrentNode = node;
    ++FPos;
    ReadNodeHeader(*node);
    ReadNodeBody(*node);
    FCurrentNode = nullptr;
}

bool TFMFImporter::ReadEmbeddedBlock(QStringView line, TDialogueNode& node)
{
    if (StartsWithKeyword(line, QLatin1String("insert_custom_code"))) {
        ReadCustomCode(node);
        return true;
    }
    if (StartsWithKeyword(line, QLatin1String("define_skill_check"))) {
        ReadSkillCheck();
        return true;
    }
    return false;
}

void TFMFImporter::ReadNodeHeader(TDialogueNode& node)
{
    while (!AtEnd()) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1Char('{'))) {
            ++FPos;
            return;
        }
        if (ReadEmbeddedBlock(line, node))
            continue;
        QString value;
        if (StartsWithKeyword(line, QLatin1String("notes")) && ReadQuoted(line, 0, value))
            node.SetNotes(value);
        ++FPos;
    }
}

void TFMFImporter::ReadNodeBody(TDialogueNode& node)
{
    while (!AtEnd()) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1Char('}'))) {
            ++FPos;
            return;
        }
        if (ReadEmbeddedBlock(line, node))
            continue;
        if (StartsWithKeyword(line, QLatin1String("options"))) {
            ReadOptions(node);
            continue;
        }
        QString value;
        if (StartsWithKeyword(line, QLatin1String("notes"))) {
            if (ReadQuoted(line, 0, value))
                node.SetNotes(value);
        } else if (StartsWithKeyword(line, QLatin1String("npctext"))) {
            if (ReadQuoted(line, 0, value)) {
                QString text = TakeText(node);
                if (!text.isEmpty())
                    text += CRLF;
                text += value;
                node.SetText(text);
            }
        } else if (StartsWithKeyword(line, QLatin1String("npcfemaletext"))) {
            if (ReadQuoted(line, 0, value) && !value.isEmpty() && !node.Text().isEmpty()) {
                QString notes = TakeNotes(node);
                notes += CRLF;
                notes += QLatin1String("[Female]: ");
                notes += value;
                node.SetNotes(notes);
            }
        }
        ++FPos;
    }
}

void TFMFImporter::ReadOptions(TDialogueNode& node)
{
    for (++FPos; !AtEnd(); ++FPos) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1Char('}'))) {
            ++FPos;
            return;
        }
        if (StartsWithKeyword(line, QLatin1String("int=")))
            ReadOptionLine(node, line);
    }
}

void TFMFImporter::ReadOptionLine(TDialogueNode& node, QStringView line)
{
    // Keywords are looked for outside quoted values, so a reply that says
    // "linkto" or "conditions" keeps its text and its target.
    const QLatin1String reactionKey("reaction=");
    const qsizetype reactionAt = FindOutsideQuotes(line, reactionKey);
    const QStringView r = reactionAt >= 0 ? line.mid(reactionAt + reactionKey.size()) : line;

    bool hidden = false;
    if (reactionAt >= 0) {
        const QStringView word = TrimLine(r);
        // The writer marks hidden options REACTION_BAD; a negative number
        // from other files means the same.
        if (StartsWithKeyword(word, QLatin1String("reaction_bad")))
            hidden = true;
        else if (word.startsWith(QLatin1Char('-')) && word.size() > 1 && word[1].isDigit() && word[1].unicode() < 128)
            hidden = true;
    }
    if (FindOutsideQuotes(r, QLatin1String("gender=male")) >= 0
        || FindOutsideQuotes(r, QLatin1String("gender=female")) >= 0)
        hidden = true;

    TPlayerOption* option = node.AddOption();
    option->IsHidden = hidden;
    const qsizetype textAt = FindOutsideQuotes(r, QLatin1String("playertext"));
    if (textAt >= 0)
        ReadQuoted(r, textAt + 10, option->Text);
    const qsizetype linkAt = FindOutsideQuotes(r, QLatin1String("linkto"));
    if (linkAt >= 0)
        ReadQuoted(r, linkAt + 6, option->TargetNodeID);
    const qsizetype conditionsAt = FindOutsideQuotes(r, QLatin1String("conditions"));
    if (conditionsAt >= 0)
        option->Conditions = ReadConditions(r.mid(conditionsAt));
}

QVector<TCondition> TFMFImporter::ReadConditions(QStringView text) const
{
    QVector<TCondition> conditions;
    const qsizetype open = FindOutsideQuotes(text, QLatin1String("{"));
    if (open < 0)
        return conditions;
    const qsizetype close = FindOutsideQuotes(text, QLatin1String("}"), open + 1);
    const QStringView body = text.mid(open + 1, (close < 0 ? text.size() : close) - open - 1);
    for (QStringView clause : SplitClauses(body)) {
        TCondition condition;
        if (ReadCondition(TrimLine(clause), condition))
            conditions.append(condition);
    }
    return conditions;
}

bool TFMFImporter::ReadCondition(QStringView clause, TCondition& condition) const
{
    const TConditionWord* found = nullptr;
    for (const TConditionWord& word : ConditionWords)
        if (StartsWithKeyword(clause, QLatin1String(word.Word))) {
            found = &word;
            break;
        }
    if (!found)
        return false;
    condition = TCondition();
    condition.CondType = found->Type;
    condition.BoolOp = boAND;
    QStringView rest = TrimLine(clause.mid(qsizetype(strlen(found->Word))));

    // The writer puts a custom-code value in quotes of its own, around the
    // value as it writes it elsewhere (bare, or quoted when it must be).
    if (found->Type == ctRandom && rest.startsWith(QLatin1Char('"'))) {
        QString inner;
        ReadQuoted(rest, 0, inner);
        if (inner.startsWith(QLatin1Char('"')))
            ReadQuoted(QString(inner), 0, condition.Value);
        else
            condition.Value = inner;
        return true;
    }

    // With no variable the writer puts the operator first.
    const QStringView first = FirstWord(rest);
    if (!IsOperatorWord(first)) {
        condition.Variable = first.toString();
        rest = AfterFirstWord(rest);
    }
    condition.Operator = coEQ;
    for (const TOperatorText& op : OperatorTexts)
        if (rest.startsWith(QLatin1String(op.Text))) {
            condition.Operator = op.Operator;
            rest = TrimLine(rest.mid(qsizetype(strlen(op.Text))));
            break;
        }
    if (rest.startsWith(QLatin1Char('"'))) {
        // Quoted by the writer because the value is not a plain word.
        ReadQuoted(rest, 0, condition.Value);
    } else {
        const qsizetype linkNext = FindLinkNext(rest);
        condition.Value = TrimLine(linkNext < 0 ? rest : rest.left(linkNext)).toString();
    }
    return true;
}

void TFMFImporter::SkipPastOpeningBrace()
{
    while (!AtEnd() && !FLines[FPos].contains(QLatin1Char('{')))
        ++FPos;
    if (!AtEnd())
        ++FPos;
}

void TFMFImporter::ReadCustomCode(TDialogueNode& node)
{
    SkipPastOpeningBrace();
    QString code;
    bool any = false;
    for (; !AtEnd(); ++FPos) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1Char('}'))) {
            ++FPos;
            break;
        }
        if (!line.startsWith(QLatin1Char('"')))
            continue;
        QString piece;
        ReadQuoted(line, 0, piece);
        if (any)
            code += CRLF;
        code += piece;
        any = true;
    }
    if (!any)
        return;
    TNodeScript* script = node.AddScript();
    script->EventType = seOnNodeEnter;
    script->IsEnabled = true;
    script->ScriptCode = code;
}

void TFMFImporter::ReadSkillCheck()
{
    const QString name = FirstWord(TrimLine(Current().mid(18))).toString();
    SkipPastOpeningBrace();
    TSkillCheck check;
    check.Difficulty = 50;
    for (; !AtEnd(); ++FPos) {
        const QStringView line = Current();
        if (line.startsWith(QLatin1Char('}'))) {
            ++FPos;
            break;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QStringView key = TrimLine(line.left(eq));
        QStringView value = TrimLine(line.mid(eq + 1));
        if (value.endsWith(QLatin1Char(';')))
            value = TrimLine(value.chopped(1));
        if (key.compare(QLatin1String("skill_num"), Qt::CaseInsensitive) == 0) {
            // A number outside the skill list (or none) means the first skill.
            const int skill = IntOr(value, 0);
            check.Skill = (skill >= 0 && skill < SkillTypeCount) ? TSkillType(skill) : skSpeech;
        } else if (key.compare(QLatin1String("difficulty_modifier"), Qt::CaseInsensitive) == 0) {
            check.Difficulty = IntOr(value, 50);
        } else if (key.compare(QLatin1String("onsuccess"), Qt::CaseInsensitive) == 0
                   || key.compare(QLatin1String("onfailure"), Qt::CaseInsensitive) == 0) {
            // "ONSUCCESS => Node002;" splits at its "=" into the key and "> Node002".
            QStringView target = value;
            if (target.startsWith(QLatin1Char('>')))
                target = TrimLine(target.mid(1));
            const bool success = key.compare(QLatin1String("onsuccess"), Qt::CaseInsensitive) == 0;
            (success ? check.SuccessNodeID : check.FailureNodeID) = target.toString();
        }
    }
    FTempSkillChecks.append(qMakePair(name, check));
}

// ---------------------------------------------------------------------------
// Finishing.

void TFMFImporter::Finish()
{
    AttachSkillChecks();
    if (!FStartConditions.isEmpty())
        FStartNodeID = FStartConditions.first().mid(7);
    for (const QString& entry : std::as_const(FGlobalVars)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        FProject->GlobalVars().insert(entry.left(eq), entry.mid(eq + 1));
    }
    if (!FStartNodeID.isEmpty()) {
        FProject->SetStartNodeID(FStartNodeID);
        if (TDialogueNode* start = FProject->FindNode(FStartNodeID))
            start->SetIsStartNode(true);
    } else if (FProject->NodeCount() > 0) {
        TDialogueNode* first = FProject->NodeAt(0);
        first->SetIsStartNode(true);
        FProject->SetStartNodeID(first->ID());
    }
}

void TFMFImporter::AttachSkillChecks()
{
    for (const auto& [name, check] : std::as_const(FTempSkillChecks)) {
        TDialogueNode* node = NodeForSkillCheck(name);
        if (!node)
            continue;
        const QStringList parts = name.split(QLatin1Char('_'));
        bool isIndex = false;
        const int index = parts.size() >= 2 ? parts[1].toInt(&isIndex, 10) : -1;
        if (!isIndex || index < 0 || index >= int(node->PlayerOptions().size()))
            continue;
        TPlayerOption& option = *node->PlayerOptions()[size_t(index)];
        // A check without outcome nodes still belongs to the option that
        // links to it; dropping it would lose its skill and difficulty.
        const bool hasOutcome = !check.SuccessNodeID.isEmpty() || !check.FailureNodeID.isEmpty();
        if (!hasOutcome && option.TargetNodeID != name)
            continue;
        option.HasSkillCheck = true;
        option.SkillCheck = check;
    }
}

TDialogueNode* TFMFImporter::NodeForSkillCheck(const QString& name) const
{
    if (TDialogueNode* named = FNodeMap.value(name, nullptr))
        return named;
    if (StartsWithKeyword(name, QLatin1String("skillcheck_")))
        return FNodeMap.value(name.mid(name.lastIndexOf(QLatin1Char('_')) + 1), nullptr);
    return NodeNamedInside(name);
}

TDialogueNode* TFMFImporter::NodeNamedInside(const QString& name) const
{
    if (FUpperNames.size() != FProject->NodeCount()) {
        FUpperNames.clear();
        FUpperNames.reserve(FProject->NodeCount());
        for (const auto& node : FProject->Nodes())
            FUpperNames << node->ID().toUpper();
    }
    const QString upper = name.toUpper();
    for (int i = 0; i < FUpperNames.size(); ++i) {
        FNameSearchWork += upper.size() + FUpperNames[i].size();
        if (FNameSearchWork > NameSearchBudget)
            return nullptr;
        if (upper.contains(FUpperNames[i]))
            return FProject->NodeAt(i);
    }
    return nullptr;
}

void TFMFImporter::LayOut()
{
    if (FProject->NodeCount() == 0)
        return;
    TDialogueNode* start = FProject->FindNode(FProject->StartNodeID());
    if (start) {
        start->SetX(40);
        start->SetY(40);
    }
    int placed = 0;
    for (const auto& node : FProject->Nodes()) {
        if (node.get() == start)
            continue;
        node->SetX(40 + 320 * (placed % 4));
        node->SetY(40 + 200 * (placed / 4));
        ++placed;
    }
}
