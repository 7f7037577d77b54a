#include "interchange/FMFText.h"

namespace FMFText {

QString EscapeFMFText(QStringView value)
{
    QString out;
    out.reserve(value.size() + 8);
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value[i];
        switch (c.unicode()) {
        case '\r':
            // A lone CR is a line break too: left raw it would end the line
            // in the file and cut the value in two.
            if (i + 1 < n && value[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString UnescapeFMFText(QStringView raw)
{
    const qsizetype backslash = raw.indexOf(QLatin1Char('\\'));
    if (backslash < 0)
        return raw.toString();
    QString out;
    out.reserve(raw.size());
    out += raw.left(backslash);
    const qsizetype n = raw.size();
    for (qsizetype i = backslash; i < n; ++i) {
        const QChar c = raw[i];
        if (c != QLatin1Char('\\') || i + 1 >= n) {
            out += c;
            continue;
        }
        const QChar next = raw[i + 1];
        if (next == QLatin1Char('n')) {
            out += QLatin1Char('\n');
            ++i;
        } else if (next == QLatin1Char('t')) {
            out += QLatin1Char('\t');
            ++i;
        } else if (next == QLatin1Char('"')) {
            out += QLatin1Char('"');
            ++i;
        } else {
            // Kept with the character after it, which the quote scan also
            // stepped over.
            out += c;
            out += next;
            ++i;
        }
    }
    return out;
}

qsizetype ClosingQuote(QStringView text, qsizetype open)
{
    const qsizetype n = text.size();
    for (qsizetype i = open + 1; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\'))
            ++i;
        else if (c == QLatin1Char('"'))
            return i;
    }
    return n;
}

bool ReadQuoted(QStringView text, qsizetype from, QString& value, qsizetype* end)
{
    const qsizetype open = from < text.size() ? text.indexOf(QLatin1Char('"'), from) : -1;
    if (open < 0) {
        value.clear();
        if (end)
            *end = text.size();
        return false;
    }
    const qsizetype close = ClosingQuote(text, open);
    value = UnescapeFMFText(text.mid(open + 1, close - open - 1));
    if (end)
        *end = close < text.size() ? close + 1 : close;
    return true;
}

qsizetype FindOutsideQuotes(QStringView text, QLatin1String keyword, qsizetype from)
{
    const qsizetype n = text.size();
    const qsizetype k = keyword.size();
    qsizetype i = std::max<qsizetype>(from, 0);
    while (i < n) {
        if (text[i] == QLatin1Char('"')) {
            i = ClosingQuote(text, i) + 1;
            continue;
        }
        if (n - i >= k && text.mid(i, k).compare(keyword, Qt::CaseInsensitive) == 0)
            return i;
        ++i;
    }
    return -1;
}

bool StartsWithKeyword(QStringView line, QLatin1String keyword)
{
    return line.startsWith(keyword, Qt::CaseInsensitive);
}

QStringView TrimLine(QStringView line)
{
    qsizetype first = 0;
    qsizetype last = line.size();
    while (first < last && line[first].unicode() <= ' ')
        ++first;
    while (last > first && line[last - 1].unicode() <= ' ')
        --last;
    return line.mid(first, last - first);
}

QString NodeName(int position)
{
    return QStringLiteral("Node%1").arg(position, 3, 10, QLatin1Char('0'));
}

const char* ConditionTypeWord(TConditionType type)
{
    switch (type) {
    case ctSkillCheck: return "CHECK_SKILL";
    case ctStatCheck: return "CHECK_STAT";
    case ctReputation:
    case ctKarma:
    case ctGlobalVar:
    case ctQuestFlag: return "GLOBAL_VARIABLE";
    case ctInventory: return "PLAYER_HAS_ITEM";
    case ctRandom: return "CHECK_CUSTOM_CODE";
    case ctLocalVar:
    case ctTimeOfDay:
    case ctCompanion: return "LOCAL_VARIABLE";
    }
    return "LOCAL_VARIABLE";
}

bool IsBareConditionValue(QStringView value)
{
    // The reader ends a bare value at the word LINK_NEXT, so that word
    // itself must be quoted.
    if (value.isEmpty() || value.compare(QLatin1String("link_next"), Qt::CaseInsensitive) == 0)
        return false;
    qsizetype digitsFrom = (value[0] == QLatin1Char('-') || value[0] == QLatin1Char('+')) ? 1 : 0;
    bool allDigits = digitsFrom < value.size();
    bool allWordChars = true;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (i >= digitsFrom && !digit)
            allDigits = false;
        if (!digit && !letter && c != '_')
            allWordChars = false;
    }
    return allDigits || allWordChars;
}

}
