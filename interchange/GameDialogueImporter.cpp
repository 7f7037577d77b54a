#include "interchange/GameDialogueImporter.h"

#include "interchange/GameSkillRoll.h"
#include "interchange/LayeredLayout.h"
#include "interchange/SSLMSGText.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// The option calls: message argument, target argument, intelligence argument
// (-1: fixed by the form), and the reaction each carries.
struct TOptionForm {
    const char* Name;
    int MsgArg;
    int TargetArg;
    int IqArg;
    qint32 FixedIq;
    TReaction Reaction;
    int ArgCount;
};
const TOptionForm OptionForms[] = {
    {"noption", 0, 1, 2, 4, rcNeutral, 3},  {"goption", 0, 1, 2, 4, rcGood, 3},
    {"boption", 0, 1, 2, 4, rcBad, 3},      {"nlowoption", 0, 1, -1, -3, rcNeutral, 2},
    {"glowoption", 0, 1, -1, -3, rcGood, 2}, {"blowoption", 0, 1, -1, -3, rcBad, 2},
    {"giq_option", 2, 3, 0, 4, rcNeutral, 5},
};

// The NPC's line: the argument holding the message.
struct TReplyForm {
    const char* Name;
    int MsgArg;
};
const TReplyForm ReplyForms[] = {
    {"reply", 0}, {"nmessage", 0}, {"gmessage", 0}, {"bmessage", 0}, {"gsay_reply", 1}, {"gsay_message", 1},
};

// Every call whose argument is a message number of this script, for the
// numbers kept statements and other procedures use.
const TReplyForm MessageCalls[] = {
    {"mstr", 0}, {"message_str", 1}, {"floater", 0}, {"display_mstr", 0}, {"reply", 0}, {"nmessage", 0},
    {"gmessage", 0}, {"bmessage", 0}, {"gsay_reply", 1}, {"gsay_message", 1}, {"noption", 0}, {"goption", 0},
    {"boption", 0}, {"nlowoption", 0}, {"glowoption", 0}, {"blowoption", 0}, {"giq_option", 2},
};

const TOptionForm* OptionForm(const QString& lowerHead)
{
    for (const TOptionForm& f : OptionForms)
        if (lowerHead == QLatin1String(f.Name))
            return &f;
    return nullptr;
}

bool IsEngineProcedure(const QString& lowerName)
{
    return lowerName == QLatin1String("start") || lowerName.endsWith(QLatin1String("_p_proc"));
}

// "Node" and at least three digits: the node ID form.
bool IsNodeIDForm(const QString& name)
{
    static const QRegularExpression form(QStringLiteral("^Node[0-9]{3,}$"));
    return form.match(name).hasMatch();
}

QString Unquote(QStringView literal)
{
    QStringView inner = literal.mid(1);
    if (inner.endsWith(QLatin1Char('"')))
        inner.chop(1);
    QString text;
    text.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner.at(i) == QLatin1Char('\\') && i + 1 < inner.size()) {
            const QChar c = inner.at(++i);
            text += c == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : c;
        } else {
            text += inner.at(i);
        }
    }
    return text;
}

} // namespace

// ---------------------------------------------------------------------------

void TGameDialogueImporter::Reset()
{
    FScript = TGameScript();
    FDefines = TGameDefineTable();
    FMessages = TGameMessageFile();
    FHaveMessages = false;
    FReport = TGameImportReport();
    FErrors.clear();
    FProcIndex.clear();
    FDialogue.clear();
    FNodeIDs.clear();
    FTokenProcedure.clear();
    FProcLower.clear();
    FNodeIDByProcedure.clear();
    FUsedIDs.clear();
    FStarts.clear();
    FPlainTalkProc = false;
    FTalkProc = -1;
    FUsedMessages.clear();
}

TGameImportResult TGameDialogueImporter::ImportFromText(const QString& script, const QString* messages,
                                                        std::unique_ptr<TDialogueProject>& project)
{
    const QString scriptFile = FReport.ScriptFile;
    const QString messageFile = FReport.MessageFile;
    const QStringList earlyNotes = FReport.Notes;
    Reset();
    FReport.ScriptFile = scriptFile;
    FReport.MessageFile = messageFile;
    FReport.Notes = earlyNotes;
    project = std::make_unique<TDialogueProject>();
    FProject = project.get();

    if (messages) {
        FMessages.Parse(*messages);
        FHaveMessages = true;
        FReport.MessagesInFile = qint32(FMessages.Messages().size());
        for (const QString& problem : FMessages.Problems())
            FReport.Notes << QStringLiteral("message file: ") + problem;
    }

    if (script.contains(QChar(0))) {
        FErrors << QStringLiteral("The script holds NUL characters: it is a binary file, not a script.");
    } else if (script.size() > MaxScriptChars) {
        FErrors << QStringLiteral("The script is too large to read (%1 characters).").arg(script.size());
    } else {
        TGameScriptParser::Parse(script, FScript);
        for (const TGameDefine& d : FScript.Defines)
            FDefines.Add(d);
        for (const TGameScriptProblem& p : FScript.Problems)
            NotUnderstood(p.Line, p.Text);
        IndexProcedures();
        ReadTalkProc();
        FindDialogueProcedures();
        AssignNodeIDs();
        BuildNodes();
        BuildFrame();
        FinishProject();
        if (FDialogue.isEmpty())
            FErrors << (FTalkProc < 0
                            ? QStringLiteral("No dialogue found: the script has no talk_p_proc and no Node procedures "
                                             "(a map or item script?).")
                            : QStringLiteral("No dialogue found: talk_p_proc starts no dialogue procedure."));
    }
    Count();

    TGameImportResult result;
    result.Errors = FErrors;
    result.Success = FErrors.isEmpty();
    result.Report = FReport;
    result.WarningCount = FReport.WarningCount();
    result.NodeCount = FProject->NodeCount();
    FProject = nullptr;
    return result;
}

TGameImportResult TGameDialogueImporter::ImportFromFile(const QString& scriptPath, const QString& messagePath,
                                                        std::unique_ptr<TDialogueProject>& project)
{
    const QString script = SSLMSGText::ReadTextFile(scriptPath);
    FReport = TGameImportReport();
    FReport.ScriptFile = scriptPath;
    QString path = messagePath;
    if (path.isEmpty()) {
        path = TGameMessageFile::Find(scriptPath);
        if (path.isEmpty())
            FReport.Notes << QStringLiteral("no message file found; looked for ")
                    + TGameMessageFile::SearchedPlaces(scriptPath).join(QStringLiteral(", "));
    }
    QString messages;
    bool haveMessages = false;
    if (!path.isEmpty()) {
        try {
            messages = SSLMSGText::ReadTextFile(path);
            haveMessages = true;
            FReport.MessageFile = path;
        } catch (const EDialogueError& e) {
            FReport.Notes << QStringLiteral("the message file cannot be read: ") + e.Message();
        }
    }
    TGameImportResult result = ImportFromText(script, haveMessages ? &messages : nullptr, project);
    const QString title = SSLMSGText::FileTitle(scriptPath);
    project->SetName(title);
    if (project->NPCScript().isEmpty())
        project->SetNPCScript(title);
    return result;
}

QHash<QString, QString> TGameDialogueImporter::DialogueProcedureSources() const
{
    QHash<QString, QString> sources;
    for (int index : FDialogue)
        sources.insert(FProcLower.at(index), FScript.Span(FScript.Procedures[size_t(index)].First,
                                                         FScript.Procedures[size_t(index)].Last).toString());
    if (FPlainTalkProc && !FDialogue.isEmpty()) {
        const TGameProcedure& talk = FScript.Procedures[size_t(FTalkProc)];
        sources.insert(QStringLiteral("talk_p_proc"), FScript.Span(talk.First, talk.Last).toString());
    }
    return sources;
}

QHash<QString, QString> TGameDialogueImporter::DialogueDeclarationSources() const
{
    QHash<QString, QString> sources;
    for (const TGameDeclaration& d : FScript.Declarations) {
        const QString lower = d.Name.toLower();
        if (FNodeIDs.contains(lower) && !sources.contains(lower))
            sources.insert(lower, FScript.Span(d.First, d.Last).toString());
    }
    return sources;
}

void TGameDialogueImporter::NotUnderstood(int line, const QString& text)
{
    FReport.NotUnderstood << QStringLiteral("Line %1: %2").arg(line).arg(text);
}

// ---------------------------------------------------------------------------

void TGameDialogueImporter::IndexProcedures()
{
    const qsizetype count = qsizetype(FScript.Procedures.size());
    FProcIndex.reserve(count);
    FNodeIDs.reserve(count);
    FUsedIDs.reserve(count);
    FUsedMessages.reserve(FScript.Tokens.size() / 16 + 16);
    FTokenProcedure.assign(size_t(FScript.Tokens.size()), -2);
    FProcLower.resize(count);
    FNodeIDByProcedure.resize(count);
    for (qsizetype i = 0; i < count; ++i)
        FProcLower[i] = FScript.Procedures[size_t(i)].Name.toLower();
    for (int i = 0; i < int(FScript.Procedures.size()); ++i) {
        const TGameProcedure& proc = FScript.Procedures[size_t(i)];
        const QString key = proc.Name.toLower();
        if (FProcIndex.contains(key)) {
            NotUnderstood(proc.Line, QStringLiteral("procedure %1 is defined again; the first definition is used")
                                         .arg(proc.Name));
            continue;
        }
        FProcIndex.insert(key, i);
    }
    FReport.Procedures = qint32(FProcIndex.size());
    FTalkProc = FProcIndex.value(QStringLiteral("talk_p_proc"), -1);
}

// Each name token is looked up once: options and calls are read several
// times over (targets, graph, messages).
int TGameDialogueImporter::ProcedureIndexOf(int nameToken) const
{
    if (nameToken >= FScript.Tokens.size() || FScript.Tokens.at(nameToken).Kind != gtName)
        return -1;
    int& cached = FTokenProcedure[size_t(nameToken)];
    if (cached == -2) {
        const QString name = FDefines.ResolveName(FScript.Text(nameToken).toString()).toLower();
        cached = FProcIndex.value(name, -1);
    }
    return cached;
}

QString TGameDialogueImporter::ProcedureOf(int nameToken) const
{
    const int index = ProcedureIndexOf(nameToken);
    return index < 0 ? QString() : FProcLower.at(index);
}

QString TGameDialogueImporter::NodeIDOf(int nameToken) const
{
    const int index = ProcedureIndexOf(nameToken);
    return index < 0 ? QString() : FNodeIDByProcedure.at(index);
}

// The starts of the dialogue: the calls talk_p_proc makes between
// gSay_Start and gSay_End (any call when it has no such block), each with
// the guards it stands under.
void TGameDialogueImporter::ReadTalkProc()
{
    if (FTalkProc < 0)
        return;
    const TGameProcedure& talk = FScript.Procedures[size_t(FTalkProc)];
    bool inDialogue = false;
    QVector<TStart> calls;
    for (const TGameStatement& st : talk.Body)
        CollectTalkCalls(st, QStringList(), inDialogue, calls);
    bool anyInDialogue = false;
    for (const TStart& c : calls)
        anyInDialogue = anyInDialogue || c.Line < 0;
    for (TStart c : calls) {
        if (anyInDialogue && c.Line >= 0)
            continue;
        c.Line = std::abs(c.Line);
        FStarts.append(c);
    }

    // The plain entry, which the game export can make again from the start
    // node: start_gdialog(NAME, self_obj, 4, -1, -1); gSay_Start; call X;
    // gSay_End; end_dialogue; and nothing else.
    const std::vector<TGameStatement>& b = talk.Body;
    auto simpleIs = [&](const TGameStatement& st, const char* word) {
        return st.Kind == TGameStatement::gsSimple && FScript.Is(st.First, word);
    };
    if (b.size() == 5 && simpleIs(b[0], "start_gdialog") && simpleIs(b[1], "gsay_start")
        && b[2].Kind == TGameStatement::gsCall && simpleIs(b[3], "gsay_end") && simpleIs(b[4], "end_dialogue")
        && FStarts.size() == 1) {
        QString args = FScript.Span(b[0].First + 1, b[0].Last).toString().toLower();
        args.remove(QRegularExpression(QStringLiteral("\\s")));
        FPlainTalkProc = args == QLatin1String("(name,self_obj,4,-1,-1);") && b[1].Last == b[1].First + 1
            && b[3].Last == b[3].First + 1 && b[4].Last == b[4].First + 1;
    }
}

// A call inside the dialogue block is marked by a negative line.
void TGameDialogueImporter::CollectTalkCalls(const TGameStatement& st, QStringList guards, bool& inDialogue,
                                             QVector<TStart>& calls)
{
    switch (st.Kind) {
    case TGameStatement::gsSimple:
        if (FScript.Is(st.First, "gsay_start"))
            inDialogue = true;
        else if (FScript.Is(st.First, "gsay_end"))
            inDialogue = false;
        break;
    case TGameStatement::gsCall: {
        const QString target = ProcedureOf(st.First + 1);
        if (!target.isEmpty() && target != QLatin1String("talk_p_proc")) {
            const int line = FScript.LineOf(st.First);
            calls.append({target, JoinGuards(guards), inDialogue ? -line : line});
        }
        break;
    }
    case TGameStatement::gsBlock:
        for (const TGameStatement& c : st.Children)
            CollectTalkCalls(c, guards, inDialogue, calls);
        break;
    case TGameStatement::gsIf: {
        const QString cond = GuardText(st.CondFirst, st.CondLast);
        if (!st.Children.empty()) {
            QStringList thenGuards = guards;
            thenGuards << cond;
            CollectTalkCalls(st.Children[0], thenGuards, inDialogue, calls);
        }
        if (st.HasElse()) {
            guards << QStringLiteral("not (") + cond + QLatin1Char(')');
            CollectTalkCalls(st.Children[1], guards, inDialogue, calls);
        }
        break;
    }
    case TGameStatement::gsLoop:
        for (const TGameStatement& c : st.Children)
            CollectTalkCalls(c, guards, inDialogue, calls);
        break;
    }
}

void TGameDialogueImporter::CollectTargets(const TGameStatement& st, QStringList& names) const
{
    switch (st.Kind) {
    case TGameStatement::gsCall: {
        const QString target = ProcedureOf(st.First + 1);
        if (!target.isEmpty())
            names << target;
        break;
    }
    case TGameStatement::gsSimple: {
        const TOptionForm* form = OptionForm(FScript.Text(st.First).toString().toLower());
        if (form && FScript.IsSymbol(st.First + 1, "(")) {
            int close = 0;
            const auto args = Arguments(st.First + 1, close);
            if (args.size() > form->TargetArg && args[form->TargetArg].first == args[form->TargetArg].second) {
                const QString target = ProcedureOf(args[form->TargetArg].first);
                if (!target.isEmpty())
                    names << target;
            }
        }
        break;
    }
    default:
        for (const TGameStatement& c : st.Children)
            CollectTargets(c, names);
        break;
    }
}

// The Node procedures, the starts, and every procedure an option or a call
// of theirs leads to (the engine's own procedures excepted).
void TGameDialogueImporter::FindDialogueProcedures()
{
    QSet<QString> dialogue;
    QStringList queue;
    auto add = [&](const QString& name) {
        if (name.isEmpty() || dialogue.contains(name) || name == QLatin1String("talk_p_proc") || IsEngineProcedure(name))
            return;
        dialogue.insert(name);
        queue << name;
    };
    for (const TStart& s : FStarts)
        add(s.Procedure);
    for (auto it = FProcIndex.cbegin(); it != FProcIndex.cend(); ++it)
        if (it.key().startsWith(QLatin1String("node")))
            add(it.key());
    while (!queue.isEmpty()) {
        const QString name = queue.takeLast();
        QStringList targets;
        for (const TGameStatement& st : FScript.Procedures[size_t(FProcIndex.value(name))].Body)
            CollectTargets(st, targets);
        for (const QString& t : targets)
            add(t);
    }
    for (auto it = FProcIndex.cbegin(); it != FProcIndex.cend(); ++it)
        if (dialogue.contains(it.key()))
            FDialogue.append(it.value());
    std::sort(FDialogue.begin(), FDialogue.end());
    FReport.DialogueProcedures = qint32(FDialogue.size());
}

QString TGameDialogueImporter::UniqueID(const QString& wanted)
{
    QString id = wanted;
    for (int n = 2; FUsedIDs.contains(id); ++n)
        id = wanted + QLatin1Char('_') + QString::number(n);
    FUsedIDs.insert(id);
    return id;
}

// Procedures named in the node ID form keep their name as ID; the others
// get the next free "Node" number.
void TGameDialogueImporter::AssignNodeIDs()
{
    qint64 highest = 0;
    for (int index : FDialogue) {
        const QString& name = FScript.Procedures[size_t(index)].Name;
        if (IsNodeIDForm(name) && !FUsedIDs.contains(name)) {
            FUsedIDs.insert(name);
            FNodeIDs.insert(name.toLower(), name);
            highest = std::max(highest, name.mid(4).toLongLong());
        }
    }
    for (int index : FDialogue) {
        const QString& name = FScript.Procedures[size_t(index)].Name;
        if (FNodeIDs.contains(name.toLower()))
            continue;
        QString id;
        do
            id = QStringLiteral("Node%1").arg(++highest, 3, 10, QLatin1Char('0'));
        while (FUsedIDs.contains(id));
        FUsedIDs.insert(id);
        FNodeIDs.insert(name.toLower(), id);
    }
    for (int index : FDialogue)
        FNodeIDByProcedure[index] = FNodeIDs.value(FProcLower.at(index));
}

// ---------------------------------------------------------------------------

void TGameDialogueImporter::BuildNodes()
{
    // Made first, so that links to nodes further down resolve as they are read.
    QVector<TDialogueNode*> nodes;
    for (int index : FDialogue) {
        const TGameProcedure& proc = FScript.Procedures[size_t(index)];
        auto node = std::make_unique<TDialogueNode>(FNodeIDs.value(proc.Name.toLower()), ntNPCDialogue);
        node->SetProcedureName(proc.Name);
        if (node->ID() != proc.Name)
            node->SetNotes(QStringLiteral("Procedure: ") + proc.Name);
        nodes << FProject->AppendNode(std::move(node));
    }
    for (int i = 0; i < FDialogue.size(); ++i) {
        const TGameProcedure& proc = FScript.Procedures[size_t(FDialogue[i])];
        TNodeState state;
        state.Node = nodes[i];
        state.Procedure = proc.Name;
        Walk(proc.Body, state, QStringList(), 0);
        FinishNode(state);
    }
}

void TGameDialogueImporter::Walk(const std::vector<TGameStatement>& list, TNodeState& state,
                                 const QStringList& guards, int depth)
{
    for (const TGameStatement& st : list)
        WalkOne(st, state, guards, depth);
}

void TGameDialogueImporter::WalkOne(const TGameStatement& st, TNodeState& state, const QStringList& guards, int depth)
{
    state.Empty = false;
    switch (st.Kind) {
    case TGameStatement::gsBlock:
        Walk(st.Children, state, guards, depth + 1);
        break;
    case TGameStatement::gsIf:
        WalkIf(st, state, guards, depth);
        break;
    case TGameStatement::gsCall:
        WalkCall(st, state, guards);
        break;
    case TGameStatement::gsSimple:
        WalkSimple(st, state, guards);
        break;
    case TGameStatement::gsLoop:
        Keep(st, state, guards);
        break;
    }
}

void TGameDialogueImporter::WalkIf(const TGameStatement& st, TNodeState& state, const QStringList& guards, int depth)
{
    if (guards.isEmpty() && ReadSkillRoll(st, state, depth))
        return;
    if (!ContainsGraph(st)) {
        Keep(st, state, guards);
        return;
    }
    const QString cond = GuardText(st.CondFirst, st.CondLast);
    if (!st.Children.empty()) {
        QStringList thenGuards = guards;
        thenGuards << cond;
        WalkOne(st.Children[0], state, thenGuards, depth + 1);
    }
    if (st.HasElse()) {
        QStringList elseGuards = guards;
        elseGuards << QStringLiteral("not (") + cond + QLatin1Char(')');
        WalkOne(st.Children[1], state, elseGuards, depth + 1);
    }
}

void TGameDialogueImporter::WalkCall(const TGameStatement& st, TNodeState& state, const QStringList& guards)
{
    const QString id = NodeIDOf(st.First + 1);
    if (id.isEmpty()) {
        if (ProcedureIndexOf(st.First + 1) < 0)
            NotUnderstood(FScript.LineOf(st.First),
                          QStringLiteral("call of %1, which the script does not define").arg(
                              FScript.Span(st.First + 1, st.Last).toString()));
        Keep(st, state, guards);
        return;
    }
    if (guards.isEmpty() && state.Node->NextNodeID().isEmpty()) {
        state.Node->SetNextNodeID(id);
        return;
    }
    // A call that depends on a condition, or a second call: a way on that
    // the canvas shows as a link and the preview offers under its guard.
    TPlayerOption* option = state.Node->AddOption();
    option->Text = QStringLiteral("[Continue]");
    option->TargetNodeID = id;
    option->Guard = JoinGuards(guards);
}

void TGameDialogueImporter::WalkSimple(const TGameStatement& st, TNodeState& state, const QStringList& guards)
{
    const bool isCall = FScript.Tokens.at(st.First).Kind == gtName && FScript.IsSymbol(st.First + 1, "(");
    const QString head = FScript.Text(st.First).toString().toLower();
    if (isCall) {
        int close = 0;
        const auto args = Arguments(st.First + 1, close);
        const bool whole = close == st.Last - 1 && FScript.IsSymbol(st.Last, ";");
        if (whole) {
            if (OptionForm(head)) {
                if (ReadOption(head, st.First + 1, close, state, guards))
                    return;
                Keep(st, state, guards);
                return;
            }
            for (const TReplyForm& form : ReplyForms) {
                if (head != QLatin1String(form.Name))
                    continue;
                if (args.size() <= form.MsgArg) {
                    NotUnderstood(FScript.LineOf(st.First), QStringLiteral("%1 without its message").arg(head));
                    break;
                }
                if (state.HasReply) {
                    // The node holds one line; later ones stay statements.
                    break;
                }
                const TText text = ResolveText(args[form.MsgArg].first, args[form.MsgArg].second, FScript.LineOf(st.First));
                state.Node->SetText(text.Text);
                state.Node->SetMsgNumber(text.MsgNumber);
                state.HasReply = true;
                if (!guards.isEmpty())
                    state.Node->SetNotes((state.Node->Notes().isEmpty() ? QString() : state.Node->Notes() + QLatin1Char('\n'))
                                         + QStringLiteral("Line shown when: ") + JoinGuards(guards));
                return;
            }
        }
        if (head == QLatin1String("gdialog_mod_barter") || head == QLatin1String("gdialog_barter"))
            state.Trade = true;
        if (head == QLatin1String("attack") || head == QLatin1String("attack_setup")
            || head == QLatin1String("attack_complex"))
            state.Combat = true;
    }
    if (FScript.Span(st.First, st.Last).contains(QLatin1String("hostile"), Qt::CaseInsensitive))
        state.Combat = true;
    Keep(st, state, guards);
}

bool TGameDialogueImporter::ReadOption(const QString& head, int open, int close, TNodeState& state,
                                       const QStringList& guards)
{
    const TOptionForm& form = *OptionForm(head);
    const int line = FScript.LineOf(open);
    int end = 0;
    const auto args = Arguments(open, end);
    Q_UNUSED(close);
    if (args.size() != form.ArgCount && !(form.IqArg == 2 && args.size() == 2)) {
        NotUnderstood(line, QStringLiteral("%1 with %2 arguments (expected %3)").arg(head).arg(args.size()).arg(form.ArgCount));
        return false;
    }
    TPlayerOption* option = state.Node->AddOption();
    const TText text = ResolveText(args[form.MsgArg].first, args[form.MsgArg].second, line);
    option->Text = text.Text;
    option->MsgNumber = text.MsgNumber;
    option->Guard = JoinGuards(guards);

    const QPair<int, int> targetArg = args[form.TargetArg];
    const QString target = targetArg.first == targetArg.second ? NodeIDOf(targetArg.first) : QString();
    if (!target.isEmpty()) {
        option->TargetNodeID = target;
    } else {
        const QString written = FScript.Span(targetArg.first, targetArg.second).toString();
        option->TargetNodeID = written;
        NotUnderstood(line, QStringLiteral("option target %1 is not a dialogue procedure of the script").arg(written));
    }

    qint32 iq = form.FixedIq;
    if (form.IqArg >= 0 && form.IqArg < args.size()) {
        if (const std::optional<qint64> v = FDefines.Evaluate(FScript, args[form.IqArg].first, args[form.IqArg].second))
            iq = qint32(std::clamp<qint64>(*v, -1000, 1000));
        else
            NotUnderstood(line, QStringLiteral("intelligence %1 is not a constant; 4 is used")
                                    .arg(FScript.Span(args[form.IqArg].first, args[form.IqArg].second).toString()));
    }
    option->IntelligenceRequired = iq;

    option->Reaction = form.Reaction;
    if (head == QLatin1String("giq_option")) {
        const std::optional<qint64> r = FDefines.Evaluate(FScript, args[4].first, args[4].second);
        if (r && *r == 49)
            option->Reaction = rcGood;
        else if (r && *r == 51)
            option->Reaction = rcBad;
        else if (!r || *r != 50)
            NotUnderstood(line, QStringLiteral("reaction %1 is not one of the three; neutral is used")
                                    .arg(FScript.Span(args[4].first, args[4].second).toString()));
    }
    return true;
}

// "if (is_success(roll_vs_skill(dude_obj, SKILL_X, m))) then A else B" at
// the top of a procedure: a skill check
// on a made option of the node, leading to A's node on success and B's on
// failure (branches that do more than call become nodes of their own).
bool TGameDialogueImporter::ReadSkillRoll(const TGameStatement& st, TNodeState& state, int depth)
{
    if (st.Children.empty())
        return false;
    int first = st.CondFirst;
    int last = st.CondLast;
    StripOuterParentheses(first, last);
    if (!FScript.Is(first, "is_success") || !FScript.IsSymbol(first + 1, "(") || !FScript.Is(first + 2, "roll_vs_skill")
        || !FScript.IsSymbol(first + 3, "("))
        return false;
    int outer = 0;
    Arguments(first + 1, outer);
    int inner = 0;
    const auto args = Arguments(first + 3, inner);
    if (outer != last || inner != outer - 1 || args.size() != 3)
        return false;
    const QString skillName = FScript.Span(args[1].first, args[1].second).toString();
    const std::optional<TSkillType> skill = GameSkillRoll::SkillFromName(skillName);
    const std::optional<qint64> modifier = FDefines.Evaluate(FScript, args[2].first, args[2].second);
    if (!skill || !modifier)
        return false;

    TPlayerOption* option = state.Node->AddOption();
    option->HasSkillCheck = true;
    option->SkillCheck.Skill = *skill;
    option->SkillCheck.Difficulty = GameSkillRoll::DifficultyFromModifier(qint32(std::clamp<qint64>(*modifier, -1000, 1000)));
    option->Text = QStringLiteral("[%1 roll %2%3]")
                       .arg(QLatin1String(SkillNames[*skill]), *modifier >= 0 ? QStringLiteral("+") : QString())
                       .arg(*modifier);
    const QString id = state.Node->ID();
    option->SkillCheck.SuccessNodeID = BranchTarget(&st.Children[0], state, QStringLiteral("success"), depth);
    option->SkillCheck.FailureNodeID = BranchTarget(st.HasElse() ? &st.Children[1] : nullptr, state,
                                                    QStringLiteral("failure"), depth);
    Q_UNUSED(id);
    return true;
}

QString TGameDialogueImporter::BranchTarget(const TGameStatement* branch, TNodeState& state, const QString& suffix,
                                            int depth)
{
    if (!branch)
        return QString();
    const TGameStatement* single = branch;
    while (single->Kind == TGameStatement::gsBlock && single->Children.size() == 1)
        single = &single->Children[0];
    if (single->Kind == TGameStatement::gsBlock && single->Children.empty())
        return QString();
    if (single->Kind == TGameStatement::gsCall) {
        const QString target = NodeIDOf(single->First + 1);
        if (!target.isEmpty())
            return target;
    }
    // A branch that does more: a node of its own, made from its statements.
    auto made = std::make_unique<TDialogueNode>(UniqueID(state.Node->ID() + QLatin1Char('_') + suffix), ntNPCDialogue);
    made->SetNotes(QStringLiteral("The %1 branch of the skill roll in procedure %2").arg(suffix, state.Procedure));
    TNodeState branchState;
    branchState.Node = FProject->AppendNode(std::move(made));
    branchState.Procedure = state.Procedure;
    if (depth > TGameScriptParser::MaxDepth)
        Keep(*branch, branchState, QStringList());
    else
        WalkOne(*branch, branchState, QStringList(), depth + 1);
    FinishNode(branchState);
    return branchState.Node->ID();
}

// A statement the graph does not show: kept verbatim, under the guards it
// stood under, in the node's scripts.
void TGameDialogueImporter::Keep(const TGameStatement& st, TNodeState& state, const QStringList& guards)
{
    if (st.Last < st.First)
        return;
    QString code = FScript.Span(st.First, st.Last).toString();
    if (!guards.isEmpty())
        code = QStringLiteral("if (") + JoinGuards(guards) + QStringLiteral(") then begin\n   ") + code
            + QStringLiteral("\nend");
    TNodeScript* script = state.Node->AddScript();
    script->EventType = seOnNodeEnter;
    script->ScriptCode = code;
    NoteMessageRefs(st.First, st.Last, true);
}

void TGameDialogueImporter::FinishNode(TNodeState& state)
{
    TDialogueNode* node = state.Node;
    const QString lower = state.Procedure.toLower();
    const bool hasOptions = !node->PlayerOptions().empty();
    TNodeType type = ntNPCDialogue;
    if (!hasOptions && !state.HasReply && node->NextNodeID().isEmpty()
        && (state.Empty || lower == QLatin1String("node999")) && node->Notes().indexOf(QLatin1String("branch")) < 0)
        type = ntEndDialogue;
    else if (!hasOptions && (state.Combat || lower == QLatin1String("node998")))
        type = ntCombatTrigger;
    else if (state.Trade)
        type = ntTrade;
    else if (!state.HasReply && !hasOptions)
        type = ntScript;
    else if (!state.HasReply && std::all_of(node->PlayerOptions().begin(), node->PlayerOptions().end(),
                                            [](const auto& o) { return o->HasSkillCheck; }))
        type = ntScript;
    node->SetNodeType(type);
    node->SetColor(DefaultColorFor(type));
}

// ---------------------------------------------------------------------------

// Everything but the dialogue procedures and their declarations, in order,
// with places where those stood. A talk_p_proc that only starts the
// dialogue is a place too (the export makes it from the start node).
void TGameDialogueImporter::BuildFrame()
{
    struct TSlot {
        qsizetype Begin;
        qsizetype End;
        TGameScriptPart::TKind Kind;
        QString Name;
    };
    QVector<TSlot> slots;
    QSet<QString> declared;
    for (const TGameDeclaration& d : FScript.Declarations) {
        const QString lower = d.Name.toLower();
        if (IsDialogue(lower) && !declared.contains(lower)) {
            declared.insert(lower);
            slots.append({FScript.Tokens.at(d.First).Begin, FScript.Tokens.at(d.Last).End(),
                          TGameScriptPart::gpDeclaration, FScript.Procedures[size_t(FProcIndex.value(lower))].Name});
        }
    }
    auto procedureSlot = [&](int index, const QString& name) {
        const TGameProcedure& p = FScript.Procedures[size_t(index)];
        slots.append({FScript.Tokens.at(p.First).Begin, FScript.Tokens.at(p.Last).End(), TGameScriptPart::gpProcedure, name});
    };
    for (int index : FDialogue)
        procedureSlot(index, FScript.Procedures[size_t(index)].Name);
    if (FPlainTalkProc && !FDialogue.isEmpty()) {
        procedureSlot(FTalkProc, QStringLiteral("talk_p_proc"));
    }
    std::sort(slots.begin(), slots.end(), [](const TSlot& a, const TSlot& b) { return a.Begin < b.Begin; });

    TGameScriptFrame& frame = FProject->GameScript();
    qsizetype at = 0;
    for (const TSlot& s : slots) {
        if (s.Begin < at)
            continue;   // inside one already taken (cannot happen with sound spans)
        if (s.Begin > at)
            frame.Parts.append({TGameScriptPart::gpText, FScript.Source.mid(at, s.Begin - at)});
        frame.Parts.append({s.Kind, s.Name});
        at = s.End;
    }
    if (at < FScript.Source.size())
        frame.Parts.append({TGameScriptPart::gpText, FScript.Source.mid(at)});

    // Message numbers the kept text uses: every token outside the dialogue
    // procedures (the plain talk_p_proc uses none).
    QVector<QPair<int, int>> taken;
    for (int index : FDialogue)
        taken.append({FScript.Procedures[size_t(index)].First, FScript.Procedures[size_t(index)].Last});
    std::sort(taken.begin(), taken.end());
    int from = 0;
    for (const auto& span : taken) {
        if (span.first > from)
            NoteMessageRefs(from, span.first - 1, true);
        from = std::max(from, span.second + 1);
    }
    if (from < FScript.Tokens.size())
        NoteMessageRefs(from, FScript.Tokens.size() - 1, true);
}

void TGameDialogueImporter::FinishProject()
{
    TDialogueProject& p = *FProject;
    for (const TGameDefine& d : FScript.Defines)
        if (d.Name.compare(QLatin1String("SCRIPT_REALNAME"), Qt::CaseInsensitive) == 0 && d.Value.startsWith(QLatin1Char('"'))) {
            p.SetNPCScript(Unquote(d.Value));
            break;
        }
    QStringList others;
    for (const TStart& s : FStarts) {
        const QString id = FNodeIDs.value(s.Procedure);
        if (id.isEmpty())
            continue;
        if (p.StartNodeID().isEmpty()) {
            p.SetStartNodeID(id);
            if (TDialogueNode* node = p.FindNode(id))
                node->SetIsStartNode(true);
            FReport.StartNode = id;
            if (!s.Guard.isEmpty())
                others << QStringLiteral("%1 when %2 (line %3)").arg(id, s.Guard).arg(s.Line);
            continue;
        }
        others << (s.Guard.isEmpty() ? QStringLiteral("%1 (line %2)").arg(id).arg(s.Line)
                                     : QStringLiteral("%1 when %2 (line %3)").arg(id, s.Guard).arg(s.Line));
    }
    if (p.StartNodeID().isEmpty() && p.NodeCount() > 0) {
        p.SetStartNodeID(p.NodeAt(0)->ID());
        p.NodeAt(0)->SetIsStartNode(true);
        FReport.StartNode = p.StartNodeID();
        FReport.Notes << QStringLiteral("talk_p_proc starts no dialogue procedure; the first node is the start node");
    }
    if (others.size() > 1) {
        const QString text = QStringLiteral("talk_p_proc starts the dialogue in several branches:\n  ")
            + others.join(QStringLiteral("\n  "));
        p.SetDescription(text);
        FReport.Notes << text;
    }
    LayeredLayout::Apply(p);
}

void TGameDialogueImporter::Count()
{
    TDialogueProject& p = *FProject;
    FReport.Nodes = p.NodeCount();
    qint32 options = 0;
    qint32 links = 0;
    auto link = [&](const QString& id) { links += !id.isEmpty() && p.FindNode(id) ? 1 : 0; };
    for (const auto& node : p.Nodes()) {
        link(node->NextNodeID());
        for (const auto& o : node->PlayerOptions()) {
            ++options;
            link(o->TargetNodeID);
            if (o->HasSkillCheck) {
                link(o->SkillCheck.SuccessNodeID);
                link(o->SkillCheck.FailureNodeID);
            }
        }
    }
    FReport.Options = options;
    FReport.Links = links;
    FReport.MessagesUsed = qint32(FUsedMessages.size());
    qint32 unused = 0;
    for (auto it = FMessages.Messages().cbegin(); it != FMessages.Messages().cend(); ++it)
        unused += FUsedMessages.contains(it.key()) ? 0 : 1;
    FReport.MessagesUnused = unused;
}

// ---------------------------------------------------------------------------

// The arguments of the call whose "(" is token `open`: token ranges split at
// the commas of its own level; `close` gets its ")" (or the last token read
// when it has none).
QVector<QPair<int, int>> TGameDialogueImporter::Arguments(int open, int& close) const
{
    QVector<QPair<int, int>> args;
    const int count = FScript.Tokens.size();
    int depth = 0;
    int start = open + 1;
    int i = open;
    for (; i < count; ++i) {
        if (FScript.IsSymbol(i, "(")) {
            ++depth;
        } else if (FScript.IsSymbol(i, ")")) {
            if (--depth == 0)
                break;
        } else if (depth == 1 && FScript.IsSymbol(i, ",")) {
            args.append({start, i - 1});
            start = i + 1;
        } else if (FScript.IsSymbol(i, ";")) {
            break;
        }
    }
    close = std::min(i, count - 1);
    if (start <= i - 1 || !args.isEmpty())
        args.append({start, i - 1});
    return args;
}

QString TGameDialogueImporter::MessageText(qint32 number, int line)
{
    FUsedMessages.insert(number);
    if (FHaveMessages && FMessages.Contains(number))
        return FMessages.Text(number);
    bool known = false;
    for (const TGameMissingMessage& m : FReport.MissingMessages)
        known = known || m.Number == number;
    if (!known)
        FReport.MissingMessages.append({number, line});
    return QStringLiteral("[MSG:%1]").arg(number);
}

// A text argument: a message number (or a constant naming one), mstr(n),
// a literal string, or pieces joined with "+", where values the engine
// fills in show as <name>.
TGameDialogueImporter::TText TGameDialogueImporter::ResolveText(int first, int last, int line)
{
    TText result;
    if (first > last)
        return result;
    if (const std::optional<qint64> n = FDefines.Evaluate(FScript, first, last)) {
        result.MsgNumber = qint32(std::clamp<qint64>(*n, INT_MIN, INT_MAX));
        result.Text = MessageText(result.MsgNumber, line);
        return result;
    }
    QVector<QPair<int, int>> pieces;
    int depth = 0;
    int start = first;
    for (int i = first; i <= last; ++i) {
        if (FScript.IsSymbol(i, "("))
            ++depth;
        else if (FScript.IsSymbol(i, ")"))
            --depth;
        else if (depth == 0 && FScript.IsSymbol(i, "+")) {
            pieces.append({start, i - 1});
            start = i + 1;
        }
    }
    pieces.append({start, last});
    qint32 single = 0;
    for (const auto& piece : pieces) {
        const int a = piece.first;
        const int b = piece.second;
        if (a > b)
            continue;
        const TGameToken& t = FScript.Tokens.at(a);
        if (a == b && t.Kind == gtString) {
            result.Text += Unquote(FScript.Text(a));
            continue;
        }
        const bool mstr = FScript.Is(a, "mstr") || FScript.Is(a, "message_str");
        if (mstr && FScript.IsSymbol(a + 1, "(")) {
            int close = 0;
            const auto args = Arguments(a + 1, close);
            const int arg = FScript.Is(a, "mstr") ? 0 : 1;
            if (close == b && args.size() == arg + 1) {
                if (const std::optional<qint64> n = FDefines.Evaluate(FScript, args[arg].first, args[arg].second)) {
                    const qint32 number = qint32(std::clamp<qint64>(*n, INT_MIN, INT_MAX));
                    result.Text += MessageText(number, line);
                    single = pieces.size() == 1 ? number : 0;
                    continue;
                }
            }
        }
        if (const std::optional<qint64> n = FDefines.Evaluate(FScript, a, b)) {
            result.Text += QString::number(*n);
            continue;
        }
        result.Text += QLatin1Char('<') + FScript.Span(a, b).toString().simplified() + QLatin1Char('>');
    }
    result.MsgNumber = single;
    if (pieces.size() > 1)
        NoteMessageRefs(first, last, true);
    return result;
}

// Message numbers that calls between tokens first..last use; with
// `intoFrame` their texts join the frame's messages.
void TGameDialogueImporter::NoteMessageRefs(int first, int last, bool intoFrame)
{
    const int count = FScript.Tokens.size();
    last = std::min(last, count - 1);
    for (int i = first; i <= last; ++i) {
        if (FScript.Tokens.at(i).Kind != gtName || !FScript.IsSymbol(i + 1, "("))
            continue;
        const QStringView name = FScript.Text(i);
        for (const TReplyForm& form : MessageCalls) {
            if (name.compare(QLatin1String(form.Name), Qt::CaseInsensitive) != 0)
                continue;
            int close = 0;
            const auto args = Arguments(i + 1, close);
            if (args.size() <= form.MsgArg)
                break;
            if (const std::optional<qint64> n = FDefines.Evaluate(FScript, args[form.MsgArg].first, args[form.MsgArg].second)) {
                const qint32 number = qint32(std::clamp<qint64>(*n, INT_MIN, INT_MAX));
                const QString text = MessageText(number, FScript.LineOf(i));
                if (intoFrame && FHaveMessages && FMessages.Contains(number))
                    FProject->GameScript().Messages.insert(number, text);
            }
            break;
        }
    }
}

// Narrows first..last to within parentheses that enclose all of it.
void TGameDialogueImporter::StripOuterParentheses(int& first, int& last) const
{
    while (first < last && FScript.IsSymbol(first, "(") && FScript.IsSymbol(last, ")")) {
        int close = 0;
        Arguments(first, close);
        if (close != last)
            break;
        ++first;
        --last;
    }
}

// A condition as written, without the parentheses around all of it.
QString TGameDialogueImporter::GuardText(int first, int last) const
{
    StripOuterParentheses(first, last);
    return FScript.Span(first, last).toString();
}

QString TGameDialogueImporter::JoinGuards(const QStringList& guards)
{
    if (guards.size() == 1)
        return guards.first();
    QStringList wrapped;
    for (const QString& g : guards)
        wrapped << QLatin1Char('(') + g + QLatin1Char(')');
    return wrapped.join(QStringLiteral(" and "));
}

// Whether a statement holds anything the graph shows: a line, an option or
// a call of a dialogue procedure.
bool TGameDialogueImporter::ContainsGraph(const TGameStatement& st) const
{
    switch (st.Kind) {
    case TGameStatement::gsSimple: {
        const QString head = FScript.Text(st.First).toString().toLower();
        if (OptionForm(head))
            return true;
        for (const TReplyForm& f : ReplyForms)
            if (head == QLatin1String(f.Name))
                return true;
        return false;
    }
    case TGameStatement::gsCall: {
        return !NodeIDOf(st.First + 1).isEmpty();
    }
    case TGameStatement::gsLoop:
        return false;
    default:
        for (const TGameStatement& c : st.Children)
            if (ContainsGraph(c))
                return true;
        return false;
    }
}
