#pragma once
// The game's message file of a generated script: "{number}{}{text}" lines
// in number order, one for every message the script uses and one for every
// float message.

#include "export/GameWhere.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class TGameMessageWriter {
public:
    // A line; a number given twice keeps its first text.
    void Add(qint32 number, const QString& text, const TGameWhere& where);
    void Reserve(int lines) { FLines.reserve(lines); }
    // The text each number will have in the file (its first one), before
    // the safe form.
    QHash<qint32, QString> TextsByNumber() const;

    // The file text, CR LF after every line. The game ends a text at the
    // first "}" and takes a line break into the text, so each of those is
    // written in its nearest safe form (")" and a space); that and every
    // character Windows-1252 lacks (written as "?") adds a warning.
    QString Text(QStringList& warnings) const;

    // The text as it will stand in the file, before encoding.
    static QString SafeText(const QString& text, bool* changedBrace = nullptr, bool* changedBreak = nullptr);

private:
    struct TLine {
        qint32 Number;
        QString Text;
        TGameWhere Where;
    };
    QVector<TLine> FLines;   // in the order added
};
