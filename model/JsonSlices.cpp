#include "model/JsonSlices.h"

#include <cstring>
#include <string>

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
    // Most of a project file is string content: jump from quote to quote
    // and look for escapes only in between.
    const char* d = t.constData();
    for (++i; i < end;) {
        const auto* quote = static_cast<const char*>(std::memchr(d + i, '"', size_t(end - i)));
        if (!quote)
            return -1;
        const auto* escape = static_cast<const char*>(std::memchr(d + i, '\\', size_t(quote - (d + i))));
        if (!escape)
            return quote - d + 1;
        i = escape - d + 2;   // past the escaped character, which may be a quote
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
    // The closing brackets still owed, innermost last.
    std::string stack;
    const char* d = t.constData();
    for (; i < end; ++i) {
        const char c = d[i];
        if (c == '"') {
            i = SkipString(t, i, end);
            if (i < 0)
                return -1;
            --i;
        } else if (c == '{' || c == '[') {
            stack.push_back(c == '{' ? '}' : ']');
        } else if (c == '}' || c == ']') {
            if (stack.empty() || stack.back() != c)
                return -1;
            stack.pop_back();
            if (stack.empty())
                return i + 1;
        }
    }
    return -1;
}

}

namespace JsonSlices {

bool ForEachMember(const QByteArray& text, const std::function<void(TJsonSlice key, TJsonSlice value)>& member)
{
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
        const TJsonSlice key { i + 1, keyEnd - 1 };
        i = SkipSpace(text, keyEnd, end);
        if (i >= end || text[i] != ':')
            return false;
        i = SkipSpace(text, i + 1, end);
        const qsizetype valueEnd = SkipValue(text, i, end);
        if (valueEnd < 0 || valueEnd == i)
            return false;
        member(key, { i, valueEnd });
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

bool ForEachElement(const QByteArray& text, TJsonSlice array, const std::function<void(TJsonSlice)>& element)
{
    const qsizetype end = array.End;
    if (array.Begin >= end || text[array.Begin] != '[')
        return false;
    qsizetype i = SkipSpace(text, array.Begin + 1, end);
    if (i < end && text[i] == ']')
        return i + 1 == end;
    for (;;) {
        const qsizetype valueEnd = SkipValue(text, i, end);
        if (valueEnd < 0 || valueEnd == i)
            return false;
        element({ i, valueEnd });
        i = SkipSpace(text, valueEnd, end);
        if (i < end && text[i] == ',') {
            i = SkipSpace(text, i + 1, end);
            continue;
        }
        return i < end && text[i] == ']' && i + 1 == end;
    }
}

}