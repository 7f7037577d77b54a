#include "export/GameMessageFile.h"

#include "model/TextEncoding.h"

void TGameMessageFile::Add(qint32 number, const QString& text, const QString& where)
{
    if (!FLines.contains(number))
        FLines.insert(number, { text, where });
}

QString TGameMessageFile::SafeText(const QString& text, bool* changedBrace, bool* changedBreak)
{
    QString out;
    out.reserve(text.size());
    bool brace = false;
    bool lineBreak = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('}')) {
            out += QLatin1Char(')');
            brace = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1Char(' ');
            lineBreak = true;
        } else {
            out += c;
        }
    }
    if (changedBrace)
        *changedBrace = brace;
    if (changedBreak)
        *changedBreak = lineBreak;
    return out;
}

QString TGameMessageFile::Text(QStringList& warnings) const
{
    QString out;
    for (auto it = FLines.cbegin(); it != FLines.cend(); ++it) {
        bool brace = false;
        bool lineBreak = false;
        const QString safe = SafeText(it->Text, &brace, &lineBreak);
        const QString lacking = TextEncoding::AnsiLacks(safe);
        if (brace || lineBreak || !lacking.isEmpty()) {
            const QString line = QStringLiteral("Message %1 (%2): ").arg(it.key()).arg(it->Where);
            if (brace)
                warnings << line + QStringLiteral("\"}\" ends a message in the game; written as \")\"");
            if (lineBreak)
                warnings << line + QStringLiteral("a line break cannot be written; written as a space");
            if (!lacking.isEmpty())
                warnings << line + QStringLiteral("characters the message file's code page lacks are written as \"?\": ")
                                + lacking.left(40);
        }
        out += QLatin1Char('{') + QString::number(it.key()) + QStringLiteral("}{}{") + safe + QStringLiteral("}\r\n");
    }
    return out;
}
