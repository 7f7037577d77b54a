#pragma once
// Splits a game script into tokens: names, numbers, strings, symbols and
// preprocessor lines. Comments of both kinds are dropped wherever they stand;
// line ends are only counted. Every token keeps its place in the text, so
// statements can be cut out of the script exactly as written.

#include <QString>
#include <QStringView>
#include <QVector>

#include <cstdint>

enum TGameTokenKind : std::uint8_t { gtName, gtNumber, gtString, gtSymbol, gtDirective };

struct TGameToken {
    // 32-bit places keep a token at 16 bytes; the importer refuses scripts
    // too large for them.
    qint32 Begin = 0;       // offset in the script text
    qint32 Length = 0;
    qint32 Line = 1;        // 1-based line of the first character
    TGameTokenKind Kind = gtSymbol;
    qsizetype End() const { return qsizetype(Begin) + Length; }
};

// Something the lexer could not read cleanly (an unclosed comment or string).
struct TGameScriptProblem {
    int Line = 0;
    QString Text;
};

class TGameScriptLexer {
public:
    explicit TGameScriptLexer(QStringView source);

    QVector<TGameToken> Tokenize();
    const QVector<TGameScriptProblem>& Problems() const { return FProblems; }

    static bool IsNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
    static bool IsNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

private:
    void SkipLineEnd();
    bool AtLineStart() const;
    void Directive(QVector<TGameToken>& tokens);
    void BlockComment();
    void String(QVector<TGameToken>& tokens);

    QStringView FSource;
    qsizetype FPos = 0;
    int FLine = 1;
    qsizetype FLineStart = 0;   // offset where the current line begins
    QVector<TGameScriptProblem> FProblems;
};
