#include "model/CommaText.h"

namespace {

// Spaces and every control character, NUL included, separate items.
bool IsBlank(QChar c) { return c.unicode() <= 32; }

bool NeedsQuotes(const QString& item)
{
    for (QChar c : item)
        if (IsBlank(c) || c == QLatin1Char('"') || c == QLatin1Char(','))
            return true;
    return false;
}

QString Quoted(const QString& item)
{
    QString s = item;
    s.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Reads a quoted item starting at text[pos] == '"'; leaves pos after it.
QString ReadQuoted(const QString& text, int& pos)
{
    QString out;
    ++pos;
    while (pos < text.size()) {
        QChar c = text.at(pos);
        if (c == QLatin1Char('"')) {
            if (pos + 1 < text.size() && text.at(pos + 1) == QLatin1Char('"')) {
                out += c;
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        out += c;
        ++pos;
    }
    return out;
}

void SkipBlanks(const QString& text, int& pos)
{
    while (pos < text.size() && IsBlank(text.at(pos)))
        ++pos;
}

}

namespace CommaText {

QString Join(const QStringList& items)
{
    if (items.size() == 1 && items.first().isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    for (int i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        out += NeedsQuotes(items[i]) ? Quoted(items[i]) : items[i];
    }
    return out;
}

QStringList Split(const QString& text)
{
    QStringList items;
    int pos = 0;
    SkipBlanks(text, pos);
    while (pos < text.size()) {
        if (text.at(pos) == QLatin1Char('"')) {
            items << ReadQuoted(text, pos);
        } else {
            const int start = pos;
            while (pos < text.size() && !IsBlank(text.at(pos)) && text.at(pos) != QLatin1Char(','))
                ++pos;
            items << text.mid(start, pos - start);
        }
        SkipBlanks(text, pos);
        if (pos < text.size() && text.at(pos) == QLatin1Char(',')) {
            if (pos + 1 == text.size())
                items << QString();
            ++pos;
            SkipBlanks(text, pos);
        }
    }
    return items;
}

}
