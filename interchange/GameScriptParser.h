#pragma once
// Reads a game script's tokens as a program: preprocessor lines, forward
// declarations, variables and procedures in any order; inside a procedure,
// statements over several lines or several on one line, begin/end blocks
// and if/then/else of any depth. It keeps where each piece stands, so
// callers can take statements verbatim, and never gives up on bad input:
// what it cannot read is reported with its line and passed over.

#include "interchange/GameScriptLexer.h"

#include <QString>
#include <QStringView>
#include <QVector>

#include <vector>

struct TGameStatement {
    enum TKind : std::uint8_t {
        gsSimple,   // an expression or assignment ending in ";"
        gsBlock,    // begin ... end; Children are its statements
        gsIf,       // if Cond then Children[0] [else Children[1]]
        gsCall,     // call Name;
        gsLoop      // while Cond do Children[0]
    };
    TKind Kind = gsSimple;
    int First = 0;       // first token
    int Last = -1;       // last token, inclusive
    int CondFirst = 0;   // gsIf, gsLoop: the condition's tokens
    int CondLast = -1;
    std::vector<TGameStatement> Children;
    bool HasElse() const { return Kind == gsIf && Children.size() > 1; }
};

struct TGameProcedure {
    QString Name;         // as written
    int Line = 0;
    int First = 0;        // the "procedure" token
    int Last = -1;        // the closing "end"
    std::vector<TGameStatement> Body;
};

struct TGameDeclaration {
    QString Name;
    int First = 0;        // "procedure" ... ";"
    int Last = -1;
};

struct TGameDefine {
    QString Name;
    QString Value;        // the rest of the line, comments removed
    bool FunctionLike = false;
    int Line = 0;
};

class TGameScript {
public:
    QString Source;
    QVector<TGameToken> Tokens;
    std::vector<TGameProcedure> Procedures;     // in source order
    QVector<TGameDeclaration> Declarations;
    QVector<TGameDefine> Defines;
    QVector<TGameScriptProblem> Problems;       // in the order met

    QStringView Text(int token) const
    {
        const TGameToken& t = Tokens.at(token);
        return QStringView(Source).mid(t.Begin, t.Length);
    }
    // The text from the first token's start to the last token's end.
    QStringView Span(int first, int last) const;
    bool Is(int token, const char* word) const;   // a name, compared without case
    bool IsSymbol(int token, const char* symbol) const;
    int LineOf(int token) const { return token < Tokens.size() ? Tokens.at(token).Line : LastLine(); }
    int LastLine() const { return Tokens.isEmpty() ? 1 : Tokens.last().Line; }
};

class TGameScriptParser {
public:
    // Parses `source` into `script` (which takes a copy of the text).
    static void Parse(const QString& source, TGameScript& script);

    // Nesting deeper than this is reported and read flat, so a
    // pathological file cannot exhaust the stack.
    static constexpr int MaxDepth = 200;

private:
    explicit TGameScriptParser(TGameScript& script) : S(script) {}
    void TopLevel();
    void ProcedureAt();
    void Directive(int token);
    void SkipToSemicolon(const QString& what);
    bool ParseStatement(TGameStatement& out, int depth);
    void ParseSimple(TGameStatement& out);
    void ParseBlock(TGameStatement& out, int depth);
    void ParseIf(TGameStatement& out, int depth);
    TGameStatement ParseBranch(int depth);
    void ParseLoop(TGameStatement& out, int depth);
    void ParseCall(TGameStatement& out);
    bool StopsStatement(int token) const;
    void Problem(int token, const QString& text);

    TGameScript& S;
    int FPos = 0;
};
