#pragma once
// What the community's script compiler needs of a generated dialogue
// script, checked without the compiler: a tokenizer and a small parser of
// the script language, and a reader of the message file. The checks:
// every procedure declared before it is defined or used and defined once;
// begin/end balanced and every statement ended by ";"; no labels, goto or
// "(* *)" comments; only valid identifiers; preprocessor conditionals
// closed; every message number the script uses in the message file, and
// every message-file line used by the script or a float message.

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

namespace GameScriptChecker {

struct TToken {
    enum TKind { tkName, tkNumber, tkString, tkSymbol } Kind;
    QString Text;
    int Line;
};

struct TScript {
    QStringList Errors;
    QMap<QString, QString> Defines;                  // #define NAME VALUE (last wins)
    QStringList Declared;                            // in order, lower case
    QSet<QString> Defined;                           // lower case
    QHash<QString, QStringList> Bodies;              // lower-case name -> body tokens
    QHash<QString, QString> Spelling;                // lower-case name -> as written
    QSet<qint32> MessagesUsed;
};

inline bool IsNameStart(QChar c) { return (c.isLetter() && c.unicode() < 0x80) || c == QLatin1Char('_'); }
inline bool IsNamePart(QChar c) { return IsNameStart(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')); }

// Splits the script into tokens; preprocessor lines are read apart.
inline QVector<TToken> Tokenize(const QString& text, TScript& s)
{
    QVector<TToken> tokens;
    int line = 1;
    int ifDepth = 0;
    const qsizetype n = text.size();
    bool lineStart = true;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n')) {
            ++line;
            lineStart = true;
            continue;
        }
        if (c.isSpace())
            continue;
        if (lineStart && c == QLatin1Char('#')) {
            qsizetype end = i;
            while (end < n && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
                ++end;
            const QStringList words = text.mid(i + 1, end - i - 1).simplified().split(QLatin1Char(' '));
            const QString d = words.value(0);
            if (d == QLatin1String("define") && words.size() >= 2)
                s.Defines.insert(words[1], words.mid(2).join(QLatin1Char(' ')));
            else if (d == QLatin1String("ifdef") || d == QLatin1String("ifndef"))
                ++ifDepth;
            else if (d == QLatin1String("endif")) {
                if (--ifDepth < 0)
                    s.Errors << QStringLiteral("line %1: #endif without #if").arg(line);
            } else if (d != QLatin1String("include") && d != QLatin1String("else"))
                s.Errors << QStringLiteral("line %1: unknown directive #%2").arg(line).arg(d);
            i = end - 1;
            continue;
        }
        lineStart = false;
        if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('/')) {
            while (i + 1 < n && text[i + 1] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            const qsizetype close = text.indexOf(QLatin1String("*/"), i + 2);
            if (close < 0) {
                s.Errors << QStringLiteral("line %1: comment not closed").arg(line);
                break;
            }
            line += int(text.mid(i, close - i).count(QLatin1Char('\n')));
            i = close + 1;
            continue;
        }
        if (c == QLatin1Char('(') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            s.Errors << QStringLiteral("line %1: \"(*\" comment").arg(line);
            continue;
        }
        if (c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && text[j] != QLatin1Char('"') && text[j] != QLatin1Char('\n'))
                ++j;
            if (j >= n || text[j] != QLatin1Char('"'))
                s.Errors << QStringLiteral("line %1: string not closed").arg(line);
            tokens.append({ TToken::tkString, text.mid(i, j - i + 1), line });
            i = j;
            continue;
        }
        if (IsNameStart(c)) {
            qsizetype j = i;
            while (j + 1 < n && IsNamePart(text[j + 1]))
                ++j;
            tokens.append({ TToken::tkName, text.mid(i, j - i + 1), line });
            i = j;
            continue;
        }
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            qsizetype j = i;
            while (j + 1 < n && text[j + 1].isLetterOrNumber())
                ++j;
            const QString number = text.mid(i, j - i + 1);
            bool ok = false;
            number.toLongLong(&ok, 10);
            if (!ok)
                s.Errors << QStringLiteral("line %1: bad number or name %2").arg(line).arg(number);
            tokens.append({ TToken::tkNumber, number, line });
            i = j;
            continue;
        }
        static const QString twoChar[] = { ":=", "==", "!=", "<=", ">=", "+=", "-=" };
        QString sym(c);
        for (const QString& t : twoChar)
            if (text.mid(i, 2) == t)
                sym = t;
        if (QStringLiteral("();,:=<>+-*/!%&|^").contains(c) || sym.size() == 2) {
            tokens.append({ TToken::tkSymbol, sym, line });
            i += sym.size() - 1;
            continue;
        }
        s.Errors << QStringLiteral("line %1: character '%2' cannot stand in a script").arg(line).arg(c);
    }
    if (ifDepth != 0)
        s.Errors << QStringLiteral("#if without #endif");
    return tokens;
}

class TParser {
public:
    TParser(const QVector<TToken>& tokens, TScript& s) : T(tokens), S(s) {}

    void Script()
    {
        while (P < T.size()) {
            if (Is("procedure"))
                Procedure();
            else if (Is("variable"))
                Variable(QString());
            else
                Error(QStringLiteral("unexpected \"%1\" outside a procedure").arg(Cur().Text)), ++P;
        }
        for (auto it = FUses.cbegin(); it != FUses.cend(); ++it) {
            const QString& name = it.key();
            const int firstUse = it.value();
            const int declared = FDeclaredAt.value(name, -1);
            if (declared < 0 || declared > firstUse)
                S.Errors << QStringLiteral("procedure %1 used before it is declared").arg(name);
            if (!S.Defined.contains(name))
                S.Errors << QStringLiteral("procedure %1 used but never defined").arg(name);
        }
        if (FDeclaredAt.size() != S.Declared.size())
            S.Errors << QStringLiteral("a procedure is declared twice");
        for (const QString& d : S.Declared)
            if (!S.Defined.contains(d))
                S.Errors << QStringLiteral("procedure %1 declared but never defined").arg(d);
    }

private:
    const TToken& Cur() const
    {
        static const TToken end { TToken::tkSymbol, QStringLiteral("<end of file>"), -1 };
        return P < T.size() ? T[P] : end;
    }
    bool Is(const char* word) const
    {
        return P < T.size() && T[P].Kind != TToken::tkString && T[P].Text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    void Error(const QString& what) { S.Errors << QStringLiteral("line %1: ").arg(Cur().Line) + what; }
    bool Expect(const char* word)
    {
        if (Is(word)) {
            ++P;
            return true;
        }
        Error(QStringLiteral("expected \"%1\", found \"%2\"").arg(QLatin1String(word), Cur().Text));
        return false;
    }
    QString Name()
    {
        if (Cur().Kind != TToken::tkName) {
            Error(QStringLiteral("expected a name, found \"%1\"").arg(Cur().Text));
            ++P;
            return QString();
        }
        return T[P++].Text;
    }
    void Use(const QString& name)
    {
        const QString key = name.toLower();
        if (!FUses.contains(key))
            FUses.insert(key, P);
    }

    void Procedure()
    {
        ++P;
        const QString name = Name();
        const QString key = name.toLower();
        if (Is(";")) {
            ++P;
            S.Declared << key;
            FDeclaredAt.insert(key, P);
            S.Spelling.insert(key, name);
            return;
        }
        if (!FDeclaredAt.contains(key))
            S.Errors << QStringLiteral("procedure %1 defined before it is declared").arg(name);
        if (S.Defined.contains(key))
            S.Errors << QStringLiteral("procedure %1 defined twice").arg(name);
        S.Defined.insert(key);
        const int bodyStart = P;
        if (!Expect("begin"))
            return;
        while (P < T.size() && !Is("end"))
            Statement();
        Expect("end");
        QStringList body;
        for (int i = bodyStart + 1; i < P - 1; ++i)
            body << T[i].Text;
        S.Bodies.insert(key, body);
    }

    void Variable(const QString&)
    {
        ++P;
        Name();
        SimpleTail();
    }

    void Statement()
    {
        if (Is("begin")) {
            ++P;
            while (P < T.size() && !Is("end"))
                Statement();
            Expect("end");
        } else if (Is("if")) {
            ++P;
            Expression("then");
            Expect("then");
            Statement();
            if (Is("else")) {
                ++P;
                Statement();
            }
        } else if (Is("call")) {
            ++P;
            Use(Name());
            SimpleTail();
        } else if (Is("variable")) {
            Variable(QString());
        } else if (Is("goto")) {
            Error(QStringLiteral("goto"));
            ++P;
        } else if (Cur().Kind == TToken::tkName && P + 1 < T.size() && T[P + 1].Text == QLatin1String(":")) {
            Error(QStringLiteral("label %1").arg(Cur().Text));
            P += 2;
        } else {
            SimpleStatement();
        }
    }

    // Tokens up to the word `until` at parenthesis depth 0.
    void Expression(const char* until)
    {
        int depth = 0;
        while (P < T.size() && !(depth == 0 && Is(until))) {
            if (Stops())
                return Error(QStringLiteral("\"%1\" inside a condition").arg(Cur().Text));
            depth += Cur().Text == QLatin1String("(") ? 1 : Cur().Text == QLatin1String(")") ? -1 : 0;
            ++P;
        }
    }

    bool Stops() const
    {
        return Is("begin") || Is("end") || Is("if") || Is("then") || Is("else") || Is("procedure") || Is(";")
            || Is("goto");
    }

    // A call of the idiom: record message numbers and option targets.
    void SimpleStatement()
    {
        const int start = P;
        const QString head = Cur().Text.toLower();
        SimpleTail();
        QStringList args;
        QString arg;
        int depth = 0;
        for (int i = start + 1; i < P - 1; ++i) {
            const QString& t = T[i].Text;
            if (t == QLatin1String("(") && depth++ == 0)
                continue;
            if (t == QLatin1String(")") && --depth == 0)
                break;
            if (t == QLatin1String(",") && depth == 1) {
                args << arg;
                arg.clear();
                continue;
            }
            arg += t;
        }
        args << arg;
        static const QHash<QString, QPair<int, int>> calls = {
            // name -> (message argument, target argument); -1 when none
            { "reply", { 0, -1 } }, { "nmessage", { 0, -1 } }, { "gmessage", { 0, -1 } }, { "bmessage", { 0, -1 } },
            { "floater", { 0, -1 } }, { "display_mstr", { 0, -1 } },
            { "noption", { 0, 1 } }, { "goption", { 0, 1 } }, { "boption", { 0, 1 } },
            { "nlowoption", { 0, 1 } }, { "glowoption", { 0, 1 } }, { "blowoption", { 0, 1 } },
            { "giq_option", { 2, 3 } },
        };
        const auto it = calls.constFind(head);
        if (it == calls.constEnd())
            return;
        if (it->first >= 0) {
            bool ok = false;
            const qint32 n = args.value(it->first).toInt(&ok);
            if (ok)
                S.MessagesUsed.insert(n);
            else
                S.Errors << QStringLiteral("%1 without a message number: %2").arg(head, args.value(it->first));
        }
        if (it->second >= 0)
            Use(args.value(it->second));
    }

    void SimpleTail()
    {
        int depth = 0;
        while (P < T.size()) {
            if (depth == 0 && Is(";")) {
                ++P;
                return;
            }
            if (Stops() && !Is(";"))
                return Error(QStringLiteral("statement not ended by \";\" before \"%1\"").arg(Cur().Text));
            depth += Cur().Text == QLatin1String("(") ? 1 : Cur().Text == QLatin1String(")") ? -1 : 0;
            ++P;
        }
        Error(QStringLiteral("statement not ended by \";\" at the end of the file"));
    }

    const QVector<TToken>& T;
    TScript& S;
    int P = 0;
    QHash<QString, int> FDeclaredAt;
    QMap<QString, int> FUses;   // lower-case name -> token index of first use
};

inline TScript ParseScript(const QString& text)
{
    TScript s;
    const QVector<TToken> tokens = Tokenize(text, s);
    TParser(tokens, s).Script();
    return s;
}

// number -> text of a message file; errors for every malformed line.
inline QMap<qint32, QString> ParseMessages(const QByteArray& bytes, QStringList& errors)
{
    QMap<qint32, QString> lines;
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        errors << QStringLiteral("message file does not end with CR LF");
    static const QRegularExpression form(QStringLiteral("^\\{(\\d+)\\}\\{\\}\\{([^}\\r\\n]*)\\}$"));
    const QList<QByteArray> raw = bytes.split('\n');
    qint32 last = -1;
    for (int i = 0; i + 1 < raw.size() || (i < raw.size() && !raw[i].isEmpty()); ++i) {
        QByteArray line = raw[i];
        if (!line.endsWith('\r')) {
            errors << QStringLiteral("message line %1 does not end with CR LF").arg(i + 1);
        } else {
            line.chop(1);
        }
        const QRegularExpressionMatch m = form.match(QString::fromLatin1(line));
        if (!m.hasMatch()) {
            errors << QStringLiteral("message line %1 is not {n}{}{text}: %2").arg(i + 1).arg(QString::fromLatin1(line.left(60)));
            continue;
        }
        const qint32 n = m.captured(1).toInt();
        if (n <= last)
            errors << QStringLiteral("message %1 out of order or repeated").arg(n);
        last = n;
        lines.insert(n, m.captured(2));
    }
    return lines;
}

// Every check on one exported pair; an empty list means it would compile
// and every message is there.
inline QStringList Check(const QString& script, const QByteArray& messages, const QSet<qint32>& floatNumbers)
{
    TScript s = ParseScript(script);
    QStringList errors = s.Errors;
    for (const QString& p : { QStringLiteral("start"), QStringLiteral("talk_p_proc") })
        if (!s.Defined.contains(p))
            errors << QStringLiteral("procedure %1 missing").arg(p);
    for (auto it = s.Defines.cbegin(); it != s.Defines.cend(); ++it)
        if (s.Declared.contains(it.key().toLower()))
            errors << QStringLiteral("#define %1 replaces a procedure's name").arg(it.key());
    const QMap<qint32, QString> lines = ParseMessages(messages, errors);
    for (const qint32 n : s.MessagesUsed)
        if (!lines.contains(n))
            errors << QStringLiteral("message %1 used but not in the message file").arg(n);
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        if (!s.MessagesUsed.contains(it.key()) && !floatNumbers.contains(it.key()))
            errors << QStringLiteral("message %1 neither used nor a float message").arg(it.key());
    return errors;
}

}
