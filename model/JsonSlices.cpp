#include "model/JsonSlices.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

qsizetype SkipSpace(const QByteArray& t, qsizetype i, qsizetype end)
{
    while (i < end && IsSpace(t[i]))
        ++i;
    return i;
}

// i at an opening quote; returns the index after the closing one, or -1.
qsizetype SkipString(const QByteArray& t, qsizetype i, qsizetype end)
{
    for (++i; i < end; ++i) {
        const char c = t[i];
        if (c == '\\')
            ++i;
        else if (c == '"')
            return i + 1;
    }
    return -1;
}

// The end of the value starting at i, or -1 when nesting is broken.
qsizetype SkipValue(const QByteArray& t, qsizetype i, qsizetype end)
{
    if (i >= end)
        return -1;
    const char first = t[i];
    if (first == '"')
        return SkipString(t, i, end);
    if (first != '{' && first != '[') {
        while (i < end && !IsSpace(t[i]) && t[i] != ',' && t[i] != '}' && t[i] != ']')
            ++i;
        return i;
    }
    QByteArray stack;
    for (; i < end; ++i) {
        const char c = t[i];
        if (c == '"') {
            i = SkipString(t, i, end);
            if (i < 0)
                return -1;
            --i;
        } else if (c == '{' || c == '[') {
            stack.append(c == '{' ? '}' : ']');
        } else if (c == '}' || c == ']') {
            if (stack.isEmpty() || stack.back() != c)
                return -1;
            stack.chop(1);
            if (stack.isEmpty())
                return i + 1;
        }
    }
    return -1;
}

}

namespace JsonSlices {

bool SplitObject(const QByteArray& text, QVector<TJsonMemberSlice>& members)
{
    members.clear();
    const qsizetype end = text.size();
    qsizetype i = SkipSpace(text, 0, end);
    if (i >= end || text[i] != '{')
        return false;
    i = SkipSpace(text, i + 1, end);
    if (i < end && text[i] == '}')
        return SkipSpace(text, i + 1, end) == end;
    for (;;) {
        if (i >= end || text[i] != '"')
            return false;
        const qsizetype keyEnd = SkipString(text, i, end);
        if (keyEnd < 0)
            return false;
        TJsonMemberSlice m;
        m.Key = text.mid(i + 1, keyEnd - i - 2);
        if (m.Key.contains('\\'))
            return false;
        i = SkipSpace(text, keyEnd, end);
        if (i >= end || text[i] != ':')
            return false;
        i = SkipSpace(text, i + 1, end);
        const qsizetype valueEnd = SkipValue(text, i, end);
        if (valueEnd < 0 || valueEnd == i)
            return false;
        m.Value = { i, valueEnd };
        members.append(m);
        i = SkipSpace(text, valueEnd, end);
        if (i < end && text[i] == ',') {
            i = SkipSpace(text, i + 1, end);
            continue;
        }
        if (i < end && text[i] == '}')
            return SkipSpace(text, i + 1, end) == end;
        return false;
    }
}

bool SplitArray(const QByteArray& text, TJsonSlice array, QVector<TJsonSlice>& elements)
{
    elements.clear();
    const qsizetype end = array.End;
    if (array.Begin >= end || text[array.Begin] != '[')
        return false;
    qsizetype i = SkipSpace(text, array.Begin + 1, end);
    if (i < end && text[i] == ']')
        return true;
    for (;;) {
        const qsizetype valueEnd = SkipValue(text, i, end);
        if (valueEnd < 0 || valueEnd == i)
            return false;
        elements.append({ i, valueEnd });
        i = SkipSpace(text, valueEnd, end);
        if (i < end && text[i] == ',') {
            i = SkipSpace(text, i + 1, end);
            continue;
        }
        return i < end && text[i] == ']' && i + 1 == end;
    }
}

}
