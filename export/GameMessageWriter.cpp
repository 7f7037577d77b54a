// One allocation per joined string: these files build large texts from many pieces.
#define QT_USE_QSTRINGBUILDER

#include "export/GameMessageWriter.h"

#include "model/TextEncoding.h"

#include <algorithm>

void TGameMessageWriter::Add(qint32 number, const QString& text, const TGameWhere& where)
{
    FLines.append({ number, text, where });
}

QHash<qint32, QString> TGameMessageWriter::TextsByNumber() const
{
    QHash<qint32, QString> texts;
    texts.reserve(FLines.size());
    for (const TLine& line : FLines)
        if (!texts.contains(line.Number))
            texts.insert(line.Number, line.Text);
    return texts;
}

QString TGameMessageWriter::SafeText(const QString& text, bool* changedBrace, bool* changedBreak)
{
    bool brace = false;
    bool lineBreak = false;
    for (const QChar c : text) {
        brace = brace || c == QLatin1Char('}');
        lineBreak = lineBreak || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    }
    if (changedBrace)
        *changedBrace = brace;
    if (changedBreak)
        *changedBreak = lineBreak;
    if (!brace && !lineBreak)
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('}')) {
            out += QLatin1Char(')');
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

QString TGameMessageWriter::Text(QStringList& warnings) const
{
    // Number order; the first line given a number keeps it.
    QVector<const TLine*> order;
    order.reserve(FLines.size());
    qsizetype size = 0;
    for (const TLine& line : FLines) {
        order.append(&line);
        size += line.Text.size() + 16;
    }
    std::stable_sort(order.begin(), order.end(), [](const TLine* a, const TLine* b) { return a->Number < b->Number; });

    QString out;
    out.reserve(size);
    qint32 previous = 0;
    for (const TLine* line : order) {
        if (line->Number == previous)
            continue;
        previous = line->Number;
        bool brace = false;
        bool lineBreak = false;
        const QString safe = SafeText(line->Text, &brace, &lineBreak);
        const QString lacking = TextEncoding::AnsiLacks(safe);
        if (brace || lineBreak || !lacking.isEmpty()) {
            const QString where = QStringLiteral("Message %1 (%2 text): ").arg(line->Number).arg(line->Where.Text());
            if (brace)
                warnings << where + QStringLiteral("\"}\" ends a message in the game; written as \")\"");
            if (lineBreak)
                warnings << where + QStringLiteral("a line break cannot be written; written as a space");
            if (!lacking.isEmpty())
                warnings << where + QStringLiteral("characters the message file's code page lacks are written as \"?\": ")
                                + lacking.left(40);
        }
        out += QLatin1Char('{');
        out += QString::number(line->Number);
        out += QLatin1String("}{}{");
        out += safe;
        out += QLatin1String("}\r\n");
    }
    return out;
}
