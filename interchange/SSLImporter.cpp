#include "interchange/SSLImporter.h"

#include "interchange/SSLMSGText.h"

#include <QSet>

#include <algorithm>
#include <deque>

using SSLMSGText::AsciiLowerInto;
using SSLMSGText::Trim;
using SSLMSGText::TrimView;

namespace {

const QString kMsgOpen = QStringLiteral("[MSG:");
const QString kMsgClose = QStringLiteral("]");

// Index of the ")" that closes the "(" at `open`, counting nesting; -1 when
// the line ends first.
qsizetype MatchingParen(QStringView s, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth == 0)
            return i;
    }
    return -1;
}

// The text inside the outermost parentheses: from after the first "(" to its
// matching ")", or to the end of the line when it has none.
QString OuterArguments(QStringView line)
{
    const qsizetype open = line.indexOf(QLatin1Char('('));
    if (open < 0)
        return QString();
    const qsizetype close = MatchingParen(line, open);
    return (close < 0 ? line.mid(open + 1) : line.mid(open + 1, close - open - 1)).toString();
}

bool IsQuoted(const QString& s)
{
    return s.size() >= 2 && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"'));
}

// Trimmed, surrounding double quotes removed, trailing ";" removed.
QString CleanPart(const QString& raw)
{
    QString s = Trim(raw);
    if (IsQuoted(s))
        s = s.mid(1, s.size() - 2);
    while (s.endsWith(QLatin1Char(';')))
        s.chop(1);
    return s;
}

// The two-part rule: message before the first comma, target after it.
bool SplitTwoParts(const QString& args, QString& message, QString& target)
{
    const qsizetype comma = args.indexOf(QLatin1Char(','));
    if (comma < 0)
        return false;
    message = CleanPart(args.left(comma));
    target = CleanPart(args.mid(comma + 1));
    return !message.isEmpty();
}

// Splits at the first `maxCommas` commas (so at most maxCommas + 1 parts).
QStringList SplitAtFirstCommas(const QString& args, int maxCommas)
{
    QStringList parts;
    qsizetype start = 0;
    while (parts.size() < maxCommas) {
        const qsizetype comma = args.indexOf(QLatin1Char(','), start);
        if (comma < 0)
            break;
        parts.append(args.mid(start, comma - start));
        start = comma + 1;
    }
    parts.append(args.mid(start));
    return parts;
}

bool IsDigitOrMinus(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}

bool StartsWithAny(const QString& lower, std::initializer_list<const char*> prefixes)
{
    for (const char* p : prefixes)
        if (lower.startsWith(QLatin1String(p)))
            return true;
    return false;
}

// Lines both the top level and procedure bodies pass over.
bool IsCommentOrBlank(const QString& lower)
{
    return lower.isEmpty() || lower.startsWith(QLatin1Char('/')) || lower.startsWith(QLatin1Char('*'))
        || lower.startsWith(QLatin1Char('#')) || lower.startsWith(QLatin1String("variable"));
}

bool IsIfLine(const QString& lower)
{
    return lower.startsWith(QLatin1String("if(")) || lower.startsWith(QLatin1String("if "));
}

QString NodeIDFor(qint64 number)
{
    return QStringLiteral("Node%1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

TSkillType SSLSkillFromName(const QString& name)
{
    QString s = Trim(name.toLower());
    if (s.startsWith(QLatin1String("sk")))
        s = s.mid(2);
    static const std::pair<const char*, TSkillType> words[] = {
        {"speech", skSpeech},   {"barter", skBarter},     {"science", skScience},
        {"repair", skRepair},   {"lockpick", skLockpick}, {"sneak", skSneak},
        {"medicine", skMedicine}, {"survival", skSurvival}, {"gambling", skGambling},
        {"energy", skEnergyWeapons}, {"small", skSmallGuns}, {"big", skBigGuns}};
    for (const auto& w : words)
        if (s.contains(QLatin1String(w.first)))
            return w.second;
    return skSpeech;
}

TSSLImporter::TSSLImporter() = default;
TSSLImporter::~TSSLImporter() = default;

void TSSLImporter::AddError(const QString& message)
{
    FErrors.append(QStringLiteral("Line %1: ").arg(FPos + 1) + message);
}

// The node TDialogueProject::AddNode would make in this fresh project
// ("Node" + number of at least three digits, one above the highest so far,
// start mark on the first), without AddNode's scan of every node, which
// would make a large import quadratic.
TDialogueNode* TSSLImporter::NewNode()
{
    auto node = std::make_unique<TDialogueNode>(NodeIDFor(FNextNodeNumber++), ntNPCDialogue);
    if (FProject->NodeCount() == 0)
        node->SetIsStartNode(true);
    TDialogueNode* added = FProject->AppendNode(std::move(node));
    FProject->SetModified(true);
    return added;
}

TSSLImportResult TSSLImporter::ImportFromText(const QString& Text, std::unique_ptr<TDialogueProject>& Proj)
{
    FText = Text;
    FLines = SSLMSGText::SplitLineViews(FText);
    FPos = 0;
    FErrors.clear();
    FWarnings = 0;
    FNodeMap.clear();
    FProcNameMap.clear();
    FTempSkillChecks.clear();
    FCurrentNode = nullptr;
    FCurrentProcName.clear();
    FNextNodeNumber = 1;

    Proj = std::make_unique<TDialogueProject>();
    FProject = Proj.get();
    ReadProcedures();
    Finish();

    TSSLImportResult result;
    result.Success = FErrors.isEmpty();
    result.Errors = FErrors;
    result.WarningCount = FWarnings;
    result.NodeCount = FProject->NodeCount();

    FLines.clear();
    FText.clear();
    FNodeMap.clear();
    FProcNameMap.clear();
    FTempSkillChecks.clear();
    FCurrentNode = nullptr;
    FProject = nullptr;
    return result;
}

TSSLImportResult TSSLImporter::ImportFromFile(const QString& Path, std::unique_ptr<TDialogueProject>& Proj)
{
    const QString text = SSLMSGText::ReadTextFile(Path);
    TSSLImportResult result = ImportFromText(text, Proj);
    if (result.Success)
        Proj->SetName(SSLMSGText::FileTitle(Path));
    return result;
}

// The top level: procedure headers; everything else is passed over.
void TSSLImporter::ReadProcedures()
{
    QString lower;
    while (FPos < FLines.size()) {
        const QStringView line = TrimView(FLines.at(FPos));
        AsciiLowerInto(line, lower);
        if (IsCommentOrBlank(lower) || !lower.startsWith(QLatin1String("procedure "))) {
            ++FPos;
            continue;
        }
        if (lower.contains(QLatin1Char(';')) && !lower.contains(QLatin1String("begin"))) {
            ++FPos;   // forward declaration
            continue;
        }
        if (!OpenProcedure(line))
            return;
    }
}

// Opens the procedure on the current line and reads its body. False when
// reading of the whole file stops (a header without "begin" followed by
// another header before any "begin" line).
bool TSSLImporter::OpenProcedure(QStringView line)
{
    // The line starts with "procedure " (10 characters); " begin" may even
    // overlap that prefix ("procedure begin"), which leaves an empty name.
    const qsizetype beginAt = line.indexOf(QLatin1String(" begin"), 0, Qt::CaseInsensitive);
    QString name;
    if (beginAt >= 0) {
        name = beginAt > 10 ? line.mid(10, beginAt - 10).toString() : QString();
    } else {
        const QStringView rest = line.mid(10);
        const qsizetype semi = rest.indexOf(QLatin1Char(';'));
        name = (semi >= 0 ? rest.left(semi) : rest).toString();
    }
    name = Trim(name).toLower();

    TDialogueNode* node = FProcNameMap.value(name, nullptr);
    if (!node) {
        node = NewNode();
        node->SetNotes(QStringLiteral("Original: ") + name);
        FNodeMap.insert(node->ID(), node);
        FProcNameMap.insert(name, node);
    }
    FCurrentNode = node;
    FCurrentProcName = name;
    ++FPos;

    if (beginAt < 0) {
        QString lower;
        for (;;) {
            if (FPos >= FLines.size())
                return true;
            AsciiLowerInto(TrimView(FLines.at(FPos)), lower);
            ++FPos;
            if (lower == QLatin1String("begin"))
                break;
            if (lower.startsWith(QLatin1String("procedure ")))
                return false;
        }
    }
    ReadBody();
    return true;
}

// One procedure body, up to and including its "end" line.
void TSSLImporter::ReadBody()
{
    QString lower;
    while (FPos < FLines.size()) {
        const QStringView line = TrimView(FLines.at(FPos));
        AsciiLowerInto(line, lower);

        if (IsCommentOrBlank(lower)) {
            ++FPos;
            continue;
        }
        if (lower.startsWith(QLatin1String("end"))) {
            ++FPos;
            return;
        }
        if (StartsWithAny(lower, {"critter_", "dec_", "float_msg", "gset_", "give_", "inc_", "party_",
                                  "remove_", "set_"})) {
            ++FPos;
            continue;
        }
        if (StartsWithAny(lower, {"reply(", "gsay_reply(", "gsay_message("})) {
            const qsizetype open = line.indexOf(QLatin1Char('('));
            qsizetype i = open + 1;
            while (i < line.size() && !IsDigitOrMinus(line.at(i)))
                ++i;
            qsizetype j = i;
            while (j < line.size() && IsDigitOrMinus(line.at(j)))
                ++j;
            qint32 number = 0;
            if (j > i && SSLMSGText::TryParseInt32(line.mid(i, j - i).toString(), number))
                FCurrentNode->SetText(kMsgOpen + QString::number(number) + kMsgClose);
            ++FPos;
            continue;
        }
        if (lower.startsWith(QLatin1String("display_msg"))) {
            const qsizetype q1 = line.indexOf(QLatin1Char('"'));
            const qsizetype q2 = q1 >= 0 ? line.indexOf(QLatin1Char('"'), q1 + 1) : -1;
            if (q2 >= 0) {
                const QStringView piece = line.mid(q1 + 1, q2 - q1 - 1);
                QString text = FCurrentNode->Text();
                if (!text.isEmpty())
                    text += QLatin1Char(' ');
                text += piece;
                FCurrentNode->SetText(text);
                ++FPos;
                continue;
            }
        }
        if (StartsWithAny(lower, {"giq_option(", "goption(", "boption(", "noption("})) {
            ReadOptionLine(line, lower);
            ++FPos;
            continue;
        }
        if (lower.startsWith(QLatin1String("call ")) || lower.startsWith(QLatin1String("call("))) {
            ReadCall(line, lower);
            ++FPos;
            continue;
        }
        if (IsIfLine(lower)) {
            ReadConditionalBlock();
            continue;
        }
        ++FPos;
    }
}

// An option macro: one player option, or an error when it cannot be read.
void TSSLImporter::ReadOptionLine(QStringView line, const QString& lower)
{
    const QString args = OuterArguments(line);
    QString message;
    QString target;
    bool skill = false;
    bool understood = false;

    if (lower.startsWith(QLatin1String("giq_option("))) {
        const QStringList raw = SplitAtFirstCommas(args, 4);
        if (raw.size() == 5) {
            const QString iq = CleanPart(raw.at(0));
            const QString third = CleanPart(raw.at(2));
            const QString fourth = CleanPart(raw.at(3));
            if (!iq.isEmpty() && !fourth.isEmpty()) {
                message = third;
                target = fourth.toLower();
                qint32 intelligence = 4;
                if (!SSLMSGText::TryParseInt32(iq, intelligence))
                    intelligence = 4;
                skill = intelligence == 0 || intelligence == 1;
                understood = true;
            }
        }
        if (!understood) {
            understood = SplitTwoParts(args, message, target);
            skill = false;
            if (!understood)
                AddError(QStringLiteral("giq_option syntax"));
        }
    } else {
        understood = SplitTwoParts(args, message, target);
        if (understood) {
            target = target.toLower();
            skill = !lower.startsWith(QLatin1String("noption("));
        } else {
            AddError(QStringLiteral("option syntax"));
        }
    }

    if (!understood)
        return;
    TPlayerOption* option = FCurrentNode->AddOption();
    option->Text = kMsgOpen + message + kMsgClose;
    option->TargetNodeID = target;
    option->HasSkillCheck = skill;
}

// A call: the procedure that follows this one.
void TSSLImporter::ReadCall(QStringView line, const QString& lower)
{
    QString name;
    if (lower.startsWith(QLatin1String("call("))) {
        const qsizetype open = line.indexOf(QLatin1Char('('));
        const qsizetype close = line.indexOf(QLatin1Char(')'), open + 1);
        name = TrimView(close < 0 ? line.mid(open + 1) : line.mid(open + 1, close - open - 1)).toString();
        if (IsQuoted(name))
            name = name.mid(1, name.size() - 2);
    } else {
        name = TrimView(line.mid(5)).toString();
        if (name.endsWith(QLatin1Char(';')))
            name.chop(1);
    }
    FCurrentNode->SetNextNodeID(Trim(name.toLower()));
}

namespace {

// The code of a line without its trailing comments ("// ..." and
// "/* ... */"; an unclosed "/*" runs to the end), trimmed.
QString WithoutComments(const QString& text)
{
    QString s = text;
    for (qsizetype open = s.indexOf(QLatin1String("/*")); open >= 0; open = s.indexOf(QLatin1String("/*"), open)) {
        const qsizetype close = s.indexOf(QLatin1String("*/"), open + 2);
        s.remove(open, close < 0 ? s.size() - open : close + 2 - open);
    }
    const qsizetype line = s.indexOf(QLatin1String("//"));
    if (line >= 0)
        s.truncate(line);
    return Trim(s);
}

// "if (...) then <statement>" with the statement on the same line: a
// one-statement "if" that opens no block.
bool IsOneLineIf(const QString& lower)
{
    const qsizetype then = lower.lastIndexOf(QLatin1String(" then "));
    if (then < 0)
        return false;
    const QString after = WithoutComments(lower.mid(then + 6));
    return !after.isEmpty() && after != QLatin1String("begin");
}

bool IsOpeningIf(const QString& lower)
{
    return IsIfLine(lower) && !IsOneLineIf(lower);
}

// For "else ..." and "end else ..." (also "end; else ..."): true, with the
// text after "else" trimmed in `tail` (empty when nothing follows).
bool SplitElse(const QString& lower, QString& tail)
{
    QString rest = lower;
    if (rest.startsWith(QLatin1String("end"))) {
        rest = Trim(rest.mid(3));
        if (rest.startsWith(QLatin1Char(';')))
            rest = Trim(rest.mid(1));
    }
    if (rest != QLatin1String("else") && !rest.startsWith(QLatin1String("else ")))
        return false;
    tail = WithoutComments(rest.mid(4));
    return true;
}

bool IsElseLine(const QString& lower)
{
    return lower == QLatin1String("else") || lower.startsWith(QLatin1String("else "));
}

} // namespace

// A conditional block: only skill checks on its "if" lines reach the
// project. Nesting is a depth count rather than recursion, so a file of a
// million nested "if" lines cannot exhaust the stack.
//
// Besides "end", "else", "begin" on lines of their own, the block knows the
// other common shapes of an if/else, each of which would otherwise swallow
// the procedure's own "end" and merge the next procedure into this one:
// one-line "if ... then <statement>" (opens no block), "end else begin",
// "else begin", "end else if ... then begin" (the chain goes on), and an
// else branch of one statement (it closes the block).
void TSSLImporter::ReadConditionalBlock()
{
    const QStringView opening = TrimView(FLines.at(FPos));
    QString lower;
    QString nextLower;
    AsciiLowerInto(opening, lower);
    RecordSkillCheck(opening);
    ++FPos;
    if (IsOneLineIf(lower))
        return;
    int depth = 1;
    while (FPos < FLines.size()) {
        const QStringView line = TrimView(FLines.at(FPos));
        AsciiLowerInto(line, lower);
        ++FPos;
        if (FPos < FLines.size())
            AsciiLowerInto(TrimView(FLines.at(FPos)), nextLower);
        else
            nextLower.clear();
        QString elseTail;

        if (IsIfLine(lower)) {
            RecordSkillCheck(line);
            if (!IsOneLineIf(lower))
                ++depth;
        } else if (SplitElse(lower, elseTail)) {
            if (!ElseGoesOn(line, elseTail, nextLower) && --depth == 0)
                return;
        } else if (lower.startsWith(QLatin1String("end"))) {
            // An "end" followed by an "else" line leaves the block open.
            if (!IsElseLine(nextLower) && --depth == 0)
                return;
        }
        // "begin" and every other line: passed over.
    }
}

// An else branch: true when the block goes on (a "begin" block or a chained
// "if" block follows), false when the branch is one statement, which is
// passed over and closes the block.
bool TSSLImporter::ElseGoesOn(QStringView line, const QString& tail, const QString& nextLower)
{
    if (tail == QLatin1String("begin"))
        return true;
    if (!tail.isEmpty()) {
        if (IsIfLine(tail))
            RecordSkillCheck(line);
        return IsOpeningIf(tail);
    }
    // "else" ends its line: the branch is the next line.
    if (FPos >= FLines.size())
        return true;
    const QStringView next = TrimView(FLines.at(FPos));
    ++FPos;
    if (nextLower == QLatin1String("begin"))
        return true;
    if (IsIfLine(nextLower))
        RecordSkillCheck(next);
    return IsOpeningIf(nextLower);
}

// A skill_check( call on an "if" line, kept until the options are known.
void TSSLImporter::RecordSkillCheck(QStringView line)
{
    const qsizetype at = line.indexOf(QLatin1String("skill_check("), 0, Qt::CaseInsensitive);
    if (at < 0)
        return;
    TSkillCheck check;
    check.Difficulty = 50;
    const qsizetype open = at + 11;
    const qsizetype close = MatchingParen(line, open);
    const QString inner = (close < 0 ? line.mid(open + 1) : line.mid(open + 1, close - open - 1)).toString();
    const QStringList parts = inner.split(QLatin1Char(','));
    if (parts.size() >= 3) {
        check.Skill = SSLSkillFromName(parts.at(1));
        QString digits;
        for (QChar c : parts.at(2))
            if (IsDigitOrMinus(c))
                digits.append(c);
        qint32 difficulty = 0;
        if (SSLMSGText::TryParseInt32(digits, difficulty))
            check.Difficulty = difficulty;
    }
    FTempSkillChecks.append({FCurrentProcName, check});
}

// Links, skill checks, layout and warnings, once every procedure is read.
void TSSLImporter::Finish()
{
    // 1. Pending skill checks.
    for (const auto& pending : FTempSkillChecks) {
        TDialogueNode* node = FProcNameMap.value(pending.first, nullptr);
        if (node && !node->PlayerOptions().empty()) {
            TPlayerOption* first = node->PlayerOptions().front().get();
            first->HasSkillCheck = true;
            first->SkillCheck = pending.second;
        }
    }

    // 2. Links from procedure names to node IDs.
    const TDialogueNodeList& nodes = FProject->Nodes();
    for (const auto& node : nodes) {
        // An empty link names no procedure, not even one with an empty name.
        if (!node->NextNodeID().isEmpty())
            if (TDialogueNode* target = FProcNameMap.value(node->NextNodeID(), nullptr))
                node->SetNextNodeID(target->ID());
        for (const auto& option : node->PlayerOptions())
            if (!option->TargetNodeID.isEmpty())
                if (TDialogueNode* target = FProcNameMap.value(option->TargetNodeID, nullptr))
                    option->TargetNodeID = target->ID();
    }

    // 3. Layout root: the first node nothing links to, else the first node.
    const int count = int(nodes.size());
    if (count > 0) {
        QHash<QString, int> indexOf;
        indexOf.reserve(count);
        for (int i = 0; i < count; ++i)
            indexOf.insert(nodes[size_t(i)]->ID(), i);
        auto indexOfID = [&](const QString& id) { return id.isEmpty() ? -1 : indexOf.value(id, -1); };

        std::vector<int> incoming(static_cast<size_t>(count), 0);
        for (const auto& node : nodes) {
            const int next = indexOfID(node->NextNodeID());
            if (next >= 0)
                ++incoming[size_t(next)];
            for (const auto& option : node->PlayerOptions()) {
                const int t = indexOfID(option->TargetNodeID);
                if (t >= 0)
                    ++incoming[size_t(t)];
            }
        }
        int root = 0;
        for (int i = 0; i < count; ++i) {
            if (incoming[size_t(i)] == 0) {
                root = i;
                break;
            }
        }

        // 4. Depths by a breadth-first walk; unreached nodes keep depth 0.
        std::vector<int> depth(size_t(count), 0);
        std::vector<char> reached(size_t(count), 0);
        std::deque<int> queue;
        reached[size_t(root)] = 1;
        queue.push_back(root);
        auto visit = [&](int from, int to) {
            if (to >= 0 && !reached[size_t(to)]) {
                reached[size_t(to)] = 1;
                depth[size_t(to)] = depth[size_t(from)] + 1;
                queue.push_back(to);
            }
        };
        while (!queue.empty()) {
            const int i = queue.front();
            queue.pop_front();
            const TDialogueNode* node = nodes[size_t(i)].get();
            visit(i, indexOfID(node->NextNodeID()));
            for (const auto& option : node->PlayerOptions())
                visit(i, indexOfID(option->TargetNodeID));
        }

        // 5. Columns by depth, sorted by node ID.
        std::vector<int> order(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            order[size_t(i)] = i;
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            if (depth[size_t(a)] != depth[size_t(b)])
                return depth[size_t(a)] < depth[size_t(b)];
            return QString::compare(nodes[size_t(a)]->ID(), nodes[size_t(b)]->ID(), Qt::CaseSensitive) < 0;
        });
        int column = -1;
        int position = 0;
        for (int i : order) {
            const int d = depth[size_t(i)];
            if (d != column) {
                column = d;
                position = 0;
            }
            TDialogueNode* node = nodes[size_t(i)].get();
            node->SetX(qint32(50 + 300 * qint64(d)));
            node->SetY(qint32(50 + 120 * qint64(position)));
            ++position;
        }
    }

    // 6. Warnings: links that name no node.
    for (const auto& node : nodes) {
        if (!node->NextNodeID().isEmpty() && !FNodeMap.contains(node->NextNodeID()))
            ++FWarnings;
        for (const auto& option : node->PlayerOptions())
            if (!option->TargetNodeID.isEmpty() && !FNodeMap.contains(option->TargetNodeID))
                ++FWarnings;
    }
}
