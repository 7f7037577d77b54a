#include "interchange/SSLMSGText.h"

#include "model/DialogueTypes.h"
#include "model/TextEncoding.h"

#include <QFile>

namespace SSLMSGText {

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    const QChar* data = text.constData();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && data[i + 1].unicode() == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QVector<QStringView> SplitLineViews(QStringView text)
{
    QVector<QStringView> lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1].unicode() == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringView TrimView(QStringView s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first].unicode() <= 0x20)
        ++first;
    while (last > first && s[last - 1].unicode() <= 0x20)
        --last;
    return s.mid(first, last - first);
}

void AsciiLowerInto(QStringView s, QString& out)
{
    out.resize(s.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        d[i] = (c >= u'A' && c <= u'Z') ? QChar(char16_t(c + 32)) : QChar(c);
    }
}

QString Trim(const QString& s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && s.at(last - 1).unicode() <= 0x20)
        --last;
    if (first == 0 && last == s.size())
        return s;
    return s.mid(first, last - first);
}

bool TryParseInt32(const QString& s, qint32& value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s.at(i) == QLatin1Char('-') || s.at(i) == QLatin1Char('+'))) {
        negative = s.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= s.size())
        return false;
    qint64 magnitude = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > 2147483648LL)
            return false;
    }
    if (negative)
        magnitude = -magnitude;
    if (magnitude > 2147483647LL)
        return false;
    value = qint32(magnitude);
    return true;
}

QString ReadTextFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EDialogueError(QStringLiteral("Cannot read file: ") + path + QStringLiteral(" (")
                             + f.errorString() + QStringLiteral(")"));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw EDialogueError(QStringLiteral("Cannot read file: ") + path + QStringLiteral(" (")
                             + f.errorString() + QStringLiteral(")"));
    return TextEncoding::DecodeText(bytes);
}

QString FileTitle(const QString& path)
{
    qsizetype slash = -1;
    for (qsizetype i = path.size(); i-- > 0;) {
        if (path.at(i) == QLatin1Char('/') || path.at(i) == QLatin1Char('\\')) {
            slash = i;
            break;
        }
    }
    QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

}
