#include "export/GameScriptText.h"

#include "export/GameIdentifiers.h"

#include <QRegularExpression>

#include <algorithm>

namespace GameScriptText {
namespace {

// The words and single characters of a script text outside strings and
// comments, with what was left open at the end.
struct TScan {
    QStringList Words;        // identifiers, lower case
    QString Symbols;          // every other character that is not white space
    QString Strays;           // characters no script may hold outside strings and comments
    QString Last;             // the last word or symbol
    bool OpenString = false;
    bool OpenComment = false;
};

bool IsScriptSymbol(QChar c)
{
    return QStringLiteral("();,:=<>+-*/!%&|^.[]").contains(c);
}

TScan Scan(const QString& text)
{
    TScan scan;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"')) {
            ++i;
            while (i < n && text[i] != QLatin1Char('"')) {
                if (text[i] == QLatin1Char('\\'))
                    ++i;
                ++i;
            }
            if (i >= n)
                scan.OpenString = true;
        } else if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('/')) {
            while (i < n && text[i] != QLatin1Char('\n') && text[i] != QLatin1Char('\r'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            const qsizetype close = text.indexOf(QLatin1String("*/"), i + 2);
            if (close < 0) {
                scan.OpenComment = true;
                break;
            }
            i = close + 1;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            const qsizetype start = i;
            while (i + 1 < n && (text[i + 1].isLetterOrNumber() || text[i + 1] == QLatin1Char('_')))
                ++i;
            scan.Words << text.mid(start, i - start + 1).toLower();
            scan.Last = scan.Words.last();
            for (qsizetype k = start; k <= i; ++k)
                if (text[k].unicode() >= 0x80)
                    scan.Strays += text[k];
        } else if (c.isDigit()) {
            scan.Last = c;
        } else if (!c.isSpace()) {
            scan.Symbols += c;
            scan.Last = c;
            if (!IsScriptSymbol(c))
                scan.Strays += c;
        }
    }
    return scan;
}

bool Fail(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

bool Balanced(const QString& symbols, QChar open, QChar close)
{
    int depth = 0;
    for (const QChar c : symbols) {
        if (c == open)
            ++depth;
        else if (c == close && --depth < 0)
            return false;
    }
    return depth == 0;
}

bool ClosedAndBalanced(const TScan& scan, QString* why)
{
    if (scan.OpenString)
        return Fail(why, QStringLiteral("a string is not closed"));
    if (scan.OpenComment)
        return Fail(why, QStringLiteral("a comment is not closed"));
    if (!Balanced(scan.Symbols, QLatin1Char('('), QLatin1Char(')')))
        return Fail(why, QStringLiteral("its parentheses do not match"));
    return true;
}

} // namespace

bool IsUsableCondition(const QString& condition, QString* why)
{
    if (IsBlank(condition))
        return Fail(why, QStringLiteral("it is blank"));
    const TScan scan = Scan(condition);
    if (!ClosedAndBalanced(scan, why))
        return false;
    if (!scan.Strays.isEmpty())
        return Fail(why, QStringLiteral("it holds \"%1\" outside a string").arg(scan.Strays.front()));
    if (scan.Symbols.contains(QLatin1Char(';')))
        return Fail(why, QStringLiteral("it holds \";\""));
    if (condition.contains(QLatin1String("//")) || condition.contains(QLatin1String("/*")))
        return Fail(why, QStringLiteral("it holds a comment"));
    for (const char* word : { "begin", "end", "then", "else", "if", "call", "procedure", "variable" })
        if (scan.Words.contains(QLatin1String(word)))
            return Fail(why, QStringLiteral("it holds the word \"%1\"").arg(QLatin1String(word)));
    return true;
}

bool IsSelfContainedCode(const QString& code, QString* why)
{
    const TScan scan = Scan(code);
    if (!ClosedAndBalanced(scan, why))
        return false;
    if (!scan.Strays.isEmpty())
        return Fail(why, QStringLiteral("it holds \"%1\" outside a string").arg(scan.Strays.front()));
    int depth = 0;
    for (const QString& w : scan.Words) {
        if (w == QLatin1String("procedure"))
            return Fail(why, QStringLiteral("it defines a procedure"));
        if (w == QLatin1String("begin"))
            ++depth;
        else if (w == QLatin1String("end") && --depth < 0)
            break;
    }
    if (depth != 0)
        return Fail(why, QStringLiteral("its begin and end do not match"));
    // The code is followed by more statements, so its last one must be ended.
    if (!scan.Last.isEmpty() && scan.Last != QLatin1String(";") && scan.Last != QLatin1String("end"))
        return Fail(why, QStringLiteral("its last statement is not ended by \";\""));
    return true;
}

bool IsBlank(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); });
}

QString OneLine(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

QStringList Lines(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(breaks);
    for (QString& line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line[end - 1].isSpace())
            --end;
        line.truncate(end);
    }
    return lines;
}

QString CommentText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1Char('/');
        else if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += c;
        else
            out += QLatin1Char('?');
    }
    return out;
}

}
