#include "interchange/GameScriptLexer.h"

namespace {
bool IsLineEnd(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }
bool IsBlank(QChar c) { return c.unicode() <= 0x20 && !IsLineEnd(c); }

const char* const TwoCharSymbols[] = { ":=", "==", "!=", ">=", "<=", "+=", "-=", "*=", "/=", "&&", "||", "++", "--" };
}

TGameScriptLexer::TGameScriptLexer(QStringView source) : FSource(source) {}

void TGameScriptLexer::SkipLineEnd()
{
    // CR LF, a lone CR and a lone LF each end one line.
    if (FSource.at(FPos) == QLatin1Char('\r') && FPos + 1 < FSource.size() && FSource.at(FPos + 1) == QLatin1Char('\n'))
        ++FPos;
    ++FPos;
    ++FLine;
    FLineStart = FPos;
}

bool TGameScriptLexer::AtLineStart() const
{
    for (qsizetype i = FLineStart; i < FPos; ++i)
        if (!IsBlank(FSource.at(i)))
            return false;
    return true;
}

QVector<TGameToken> TGameScriptLexer::Tokenize()
{
    QVector<TGameToken> tokens;
    tokens.reserve(FSource.size() / 6 + 16);
    const qsizetype size = FSource.size();
    while (FPos < size) {
        const QChar c = FSource.at(FPos);
        if (IsLineEnd(c)) {
            SkipLineEnd();
            continue;
        }
        if (IsBlank(c)) {
            ++FPos;
            continue;
        }
        const QChar next = FPos + 1 < size ? FSource.at(FPos + 1) : QChar();
        if (c == QLatin1Char('/') && next == QLatin1Char('/')) {
            while (FPos < size && !IsLineEnd(FSource.at(FPos)))
                ++FPos;
            continue;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            BlockComment();
            continue;
        }
        if (c == QLatin1Char('#') && AtLineStart()) {
            Directive(tokens);
            continue;
        }
        if (c == QLatin1Char('"')) {
            String(tokens);
            continue;
        }
        TGameToken t;
        t.Begin = qint32(FPos);
        t.Line = FLine;
        if (IsNameStart(c)) {
            t.Kind = gtName;
            while (FPos < size && IsNameChar(FSource.at(FPos)))
                ++FPos;
        } else if (c.isDigit()) {
            // Decimal, hexadecimal and the odd fraction: all one run.
            t.Kind = gtNumber;
            while (FPos < size && (FSource.at(FPos).isLetterOrNumber() || FSource.at(FPos) == QLatin1Char('.')))
                ++FPos;
        } else {
            t.Kind = gtSymbol;
            ++FPos;
            for (const char* two : TwoCharSymbols)
                if (c == QLatin1Char(two[0]) && next == QLatin1Char(two[1])) {
                    ++FPos;
                    break;
                }
        }
        t.Length = qint32(FPos - t.Begin);
        tokens.append(t);
    }
    return tokens;
}

void TGameScriptLexer::BlockComment()
{
    const int line = FLine;
    FPos += 2;
    const qsizetype size = FSource.size();
    while (FPos < size) {
        const QChar c = FSource.at(FPos);
        if (c == QLatin1Char('*') && FPos + 1 < size && FSource.at(FPos + 1) == QLatin1Char('/')) {
            FPos += 2;
            return;
        }
        if (IsLineEnd(c))
            SkipLineEnd();
        else
            ++FPos;
    }
    FProblems.append({line, QStringLiteral("comment \"/*\" is never closed")});
}

// A preprocessor line runs to its end; a backslash at the end carries it on.
void TGameScriptLexer::Directive(QVector<TGameToken>& tokens)
{
    TGameToken t;
    t.Kind = gtDirective;
    t.Begin = qint32(FPos);
    t.Line = FLine;
    const qsizetype size = FSource.size();
    qsizetype end = FPos;
    while (FPos < size) {
        const QChar c = FSource.at(FPos);
        if (IsLineEnd(c)) {
            qsizetype back = FPos - 1;
            while (back > t.Begin && IsBlank(FSource.at(back)))
                --back;
            if (FSource.at(back) != QLatin1Char('\\'))
                break;
            SkipLineEnd();
            continue;
        }
        if (c == QLatin1Char('/') && FPos + 1 < size && FSource.at(FPos + 1) == QLatin1Char('*')) {
            BlockComment();
            end = FPos;
            continue;
        }
        ++FPos;
        end = FPos;
    }
    t.Length = qint32(end - t.Begin);
    tokens.append(t);
}

void TGameScriptLexer::String(QVector<TGameToken>& tokens)
{
    TGameToken t;
    t.Kind = gtString;
    t.Begin = qint32(FPos);
    t.Line = FLine;
    ++FPos;
    const qsizetype size = FSource.size();
    bool closed = false;
    while (FPos < size && !IsLineEnd(FSource.at(FPos))) {
        const QChar c = FSource.at(FPos++);
        if (c == QLatin1Char('\\') && FPos < size && !IsLineEnd(FSource.at(FPos))) {
            ++FPos;
        } else if (c == QLatin1Char('"')) {
            closed = true;
            break;
        }
    }
    if (!closed)
        FProblems.append({t.Line, QStringLiteral("string is not closed on its line")});
    t.Length = qint32(FPos - t.Begin);
    tokens.append(t);
}
