#include "interchange/ImportLog.h"

namespace ImportLog {

QString Printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pair)
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
        // A lone surrogate is not printable (it is no character at all).
        if (QChar::isPrint(c) && !QChar::isSurrogate(c)) {
            out += text.mid(i, pair ? 2 : 1);
        } else {
            const int digits = c < 0x100 ? 2 : 4;
            out += (c < 0x100 ? QStringLiteral("\\x") : QStringLiteral("\\u"))
                + QString::number(uint(c), 16).toUpper().rightJustified(digits, QLatin1Char('0'));
        }
        if (pair)
            ++i;
    }
    return out;
}

QStringList ErrorLines(const QStringList& errors, int shown)
{
    QStringList lines;
    for (int i = 0; i < errors.size() && i < shown; ++i)
        lines << Printable(errors[i]);
    if (errors.size() > shown)
        lines << QStringLiteral("\u2026 and %1 more").arg(errors.size() - shown);
    return lines;
}

}
