#include "interchange/GameScriptParser.h"

QStringView TGameScript::Span(int first, int last) const
{
    if (first > last || first >= Tokens.size())
        return QStringView();
    const qsizetype begin = Tokens.at(first).Begin;
    return QStringView(Source).mid(begin, Tokens.at(last).End() - begin);
}

bool TGameScript::Is(int token, const char* word) const
{
    if (token < 0 || token >= Tokens.size() || Tokens.at(token).Kind != gtName)
        return false;
    // The length first: most tokens differ there, and the case-blind
    // comparison is the parser's most frequent question.
    const QLatin1String w(word);
    return Tokens.at(token).Length == w.size() && Text(token).compare(w, Qt::CaseInsensitive) == 0;
}

bool TGameScript::IsSymbol(int token, const char* symbol) const
{
    return token >= 0 && token < Tokens.size() && Tokens.at(token).Kind == gtSymbol
        && Text(token) == QLatin1String(symbol);
}

void TGameScriptParser::Parse(const QString& source, TGameScript& script)
{
    script = TGameScript();
    script.Source = source;
    TGameScriptLexer lexer(script.Source);
    script.Tokens = lexer.Tokenize();
    script.Problems = lexer.Problems();
    TGameScriptParser parser(script);
    parser.TopLevel();
}

void TGameScriptParser::Problem(int token, const QString& text)
{
    S.Problems.append({S.LineOf(token), text});
}

void TGameScriptParser::TopLevel()
{
    const int count = S.Tokens.size();
    while (FPos < count) {
        const TGameToken& t = S.Tokens.at(FPos);
        if (t.Kind == gtDirective) {
            Directive(FPos++);
        } else if (S.Is(FPos, "procedure")) {
            ProcedureAt();
        } else if (S.Is(FPos, "variable") || S.Is(FPos, "import") || S.Is(FPos, "export")) {
            // "variable begin ... end" declares several at once.
            if (S.Is(FPos + 1, "begin")) {
                while (FPos < count && !S.Is(FPos, "end"))
                    ++FPos;
                ++FPos;
            } else {
                SkipToSemicolon(QString());
            }
        } else if (S.IsSymbol(FPos, ";")) {
            ++FPos;
        } else {
            Problem(FPos, QStringLiteral("not understood outside a procedure: ") + S.Text(FPos).left(40).toString());
            SkipToSemicolon(QString());
        }
    }
}

// Passes over tokens up to and including the next ";", stopping before a
// "procedure" so one broken line does not swallow the next procedure.
void TGameScriptParser::SkipToSemicolon(const QString& what)
{
    const int start = FPos;
    const int count = S.Tokens.size();
    ++FPos;
    while (FPos < count && !S.IsSymbol(FPos, ";") && !S.Is(FPos, "procedure") && S.Tokens.at(FPos).Kind != gtDirective)
        ++FPos;
    if (FPos < count && S.IsSymbol(FPos, ";"))
        ++FPos;
    if (!what.isEmpty())
        Problem(start, what);
}

void TGameScriptParser::Directive(int token)
{
    QStringView text = S.Text(token).mid(1).trimmed();
    if (!text.startsWith(QLatin1String("define"), Qt::CaseInsensitive))
        return;
    text = text.mid(6);
    if (text.isEmpty() || !text.front().isSpace())
        return;
    text = text.trimmed();
    qsizetype n = 0;
    while (n < text.size() && TGameScriptLexer::IsNameChar(text.at(n)))
        ++n;
    if (n == 0 || !TGameScriptLexer::IsNameStart(text.at(0)))
        return;
    TGameDefine d;
    d.Name = text.left(n).toString();
    d.Line = S.Tokens.at(token).Line;
    d.FunctionLike = n < text.size() && text.at(n) == QLatin1Char('(');
    QString value = text.mid(n).toString();
    const qsizetype lineComment = value.indexOf(QLatin1String("//"));
    if (lineComment >= 0)
        value.truncate(lineComment);
    value.replace(QLatin1String("\\\r\n"), QLatin1String(" "));
    value.replace(QLatin1String("\\\n"), QLatin1String(" "));
    d.Value = value.trimmed();
    S.Defines.append(d);
}

void TGameScriptParser::ProcedureAt()
{
    const int start = FPos++;
    const int count = S.Tokens.size();
    if (FPos >= count || S.Tokens.at(FPos).Kind != gtName) {
        Problem(start, QStringLiteral("\"procedure\" without a name"));
        return;
    }
    const QString name = S.Text(FPos).toString();
    ++FPos;
    // Arguments: "procedure X(variable a, variable b)".
    if (S.IsSymbol(FPos, "(")) {
        while (FPos < count && !S.IsSymbol(FPos, ")") && !S.IsSymbol(FPos, ";") && !S.Is(FPos, "begin"))
            ++FPos;
        if (S.IsSymbol(FPos, ")"))
            ++FPos;
    }
    if (S.IsSymbol(FPos, ";")) {
        S.Declarations.append({name, start, FPos});
        ++FPos;
        return;
    }
    if (!S.Is(FPos, "begin")) {
        Problem(start, QStringLiteral("procedure %1 has no \"begin\"").arg(name));
        return;
    }
    ++FPos;
    TGameProcedure proc;
    proc.Name = name;
    proc.Line = S.Tokens.at(start).Line;
    proc.First = start;
    while (FPos < count) {
        if (S.Is(FPos, "end")) {
            proc.Last = FPos++;
            break;
        }
        if (S.Is(FPos, "procedure")) {
            Problem(FPos, QStringLiteral("procedure %1 is not closed by \"end\" before the next procedure").arg(name));
            proc.Last = FPos - 1;
            break;
        }
        if (S.Tokens.at(FPos).Kind == gtDirective) {
            Directive(FPos++);
            continue;
        }
        TGameStatement st;
        if (ParseStatement(st, 1))
            proc.Body.push_back(std::move(st));
    }
    if (proc.Last < 0) {
        Problem(start, QStringLiteral("procedure %1 is not closed by \"end\"").arg(name));
        proc.Last = count - 1;
    }
    S.Procedures.push_back(std::move(proc));
}

// Words that cannot stand inside an expression: a statement that meets one
// before its ";" was not closed.
bool TGameScriptParser::StopsStatement(int token) const
{
    return S.Is(token, "end") || S.Is(token, "else") || S.Is(token, "begin") || S.Is(token, "then")
        || S.Is(token, "procedure") || S.Is(token, "if") || S.Is(token, "do")
        || S.Tokens.at(token).Kind == gtDirective;
}

// False when nothing was read (an empty statement, or a word that belongs to
// an enclosing construct and was passed over).
bool TGameScriptParser::ParseStatement(TGameStatement& out, int depth)
{
    const int count = S.Tokens.size();
    if (FPos >= count)
        return false;
    if (S.IsSymbol(FPos, ";")) {
        ++FPos;
        return false;
    }
    if (S.Tokens.at(FPos).Kind == gtDirective) {
        Directive(FPos++);
        return false;
    }
    if (depth > MaxDepth) {
        Problem(FPos, QStringLiteral("nesting deeper than %1 levels; the rest of the block is read flat").arg(MaxDepth));
        ParseSimple(out);
        if (out.Last < out.First)
            ++FPos;
        return out.Last >= out.First;
    }
    if (S.Is(FPos, "begin")) {
        ParseBlock(out, depth);
        return true;
    }
    if (S.Is(FPos, "if")) {
        ParseIf(out, depth);
        return true;
    }
    if (S.Is(FPos, "while")) {
        ParseLoop(out, depth);
        return true;
    }
    if (S.Is(FPos, "call")) {
        ParseCall(out);
        return true;
    }
    if (S.Is(FPos, "else") || S.Is(FPos, "then") || S.Is(FPos, "do")) {
        Problem(FPos, QStringLiteral("\"%1\" out of place").arg(S.Text(FPos).toString()));
        ++FPos;
        return false;
    }
    if (S.Is(FPos, "end") || S.Is(FPos, "procedure"))
        return false;   // the caller's to handle
    ParseSimple(out);
    if (out.Last < out.First) {
        ++FPos;
        return false;
    }
    return true;
}

void TGameScriptParser::ParseSimple(TGameStatement& out)
{
    out.Kind = TGameStatement::gsSimple;
    out.First = FPos;
    const int count = S.Tokens.size();
    int depth = 0;
    while (FPos < count) {
        if (S.IsSymbol(FPos, ";")) {
            if (depth != 0)
                Problem(out.First, QStringLiteral("unbalanced parentheses"));
            out.Last = FPos++;
            return;
        }
        if (StopsStatement(FPos) && FPos > out.First) {
            Problem(out.First, QStringLiteral("statement not ended by \";\""));
            out.Last = FPos - 1;
            return;
        }
        if (S.IsSymbol(FPos, "("))
            ++depth;
        else if (S.IsSymbol(FPos, ")"))
            --depth;
        ++FPos;
    }
    Problem(out.First, QStringLiteral("statement not ended by \";\""));
    out.Last = count - 1;
}

void TGameScriptParser::ParseBlock(TGameStatement& out, int depth)
{
    out.Kind = TGameStatement::gsBlock;
    out.First = FPos++;
    const int count = S.Tokens.size();
    while (FPos < count) {
        if (S.Is(FPos, "end")) {
            out.Last = FPos++;
            return;
        }
        if (S.Is(FPos, "procedure"))
            break;
        TGameStatement st;
        if (ParseStatement(st, depth + 1))
            out.Children.push_back(std::move(st));
    }
    Problem(out.First, QStringLiteral("\"begin\" without its \"end\""));
    out.Last = FPos - 1;
}

void TGameScriptParser::ParseIf(TGameStatement& out, int depth)
{
    out.Kind = TGameStatement::gsIf;
    out.First = FPos++;
    out.CondFirst = FPos;
    const int count = S.Tokens.size();
    while (FPos < count && !S.Is(FPos, "then")) {
        if (S.IsSymbol(FPos, ";") || S.Is(FPos, "begin") || S.Is(FPos, "end") || S.Is(FPos, "procedure")
            || S.Is(FPos, "else")) {
            Problem(out.First, QStringLiteral("\"if\" without \"then\""));
            out.CondLast = FPos - 1;
            out.Last = FPos - 1;
            out.Children.emplace_back();   // an empty then-branch
            out.Children.back().Kind = TGameStatement::gsBlock;
            out.Children.back().First = FPos;
            return;
        }
        ++FPos;
    }
    out.CondLast = FPos - 1;
    if (FPos >= count) {
        Problem(out.First, QStringLiteral("\"if\" without \"then\""));
        out.Last = count - 1;
        return;
    }
    ++FPos;   // then
    out.Children.push_back(ParseBranch(depth));
    if (S.Is(FPos, "else")) {
        ++FPos;
        out.Children.push_back(ParseBranch(depth));
    }
    out.Last = FPos - 1;
}

// The statement after "then" or "else"; an empty block when there is none.
TGameStatement TGameScriptParser::ParseBranch(int depth)
{
    TGameStatement branch;
    branch.First = FPos;
    if (!ParseStatement(branch, depth + 1)) {
        branch = TGameStatement();
        branch.Kind = TGameStatement::gsBlock;
        branch.First = FPos;
        branch.Last = FPos - 1;
    }
    return branch;
}

void TGameScriptParser::ParseLoop(TGameStatement& out, int depth)
{
    out.Kind = TGameStatement::gsLoop;
    out.First = FPos++;
    out.CondFirst = FPos;
    const int count = S.Tokens.size();
    while (FPos < count && !S.Is(FPos, "do") && !S.IsSymbol(FPos, ";") && !S.Is(FPos, "end")
           && !S.Is(FPos, "procedure"))
        ++FPos;
    out.CondLast = FPos - 1;
    if (!S.Is(FPos, "do")) {
        Problem(out.First, QStringLiteral("\"while\" without \"do\""));
        out.Last = FPos - 1;
        return;
    }
    ++FPos;
    TGameStatement body;
    if (ParseStatement(body, depth + 1))
        out.Children.push_back(std::move(body));
    out.Last = FPos - 1;
}

void TGameScriptParser::ParseCall(TGameStatement& out)
{
    ParseSimple(out);
    out.Kind = TGameStatement::gsCall;
}
