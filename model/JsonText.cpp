#include "model/JsonText.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>
#include <cstdio>
#include <cstring>

TJsonValue& TJsonValue::Add(const QString& key, TJsonValue value)
{
    FMembers.emplace_back(key, std::move(value));
    return FMembers.back().second;
}

TJsonValue& TJsonValue::Append(TJsonValue value)
{
    FElements.push_back(std::move(value));
    return FElements.back();
}

const TJsonValue* TJsonValue::Find(const QString& key) const
{
    for (const auto& m : FMembers)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

QJsonValue TJsonValue::ToQJsonValue() const
{
    switch (FKind) {
    case jkNull: return QJsonValue();
    case jkBool: return QJsonValue(FBool);
    case jkInt: return QJsonValue(FInt);
    case jkFloat: return QJsonValue(FFloat);
    case jkString: return QJsonValue(FString);
    case jkArray: {
        QJsonArray a;
        for (const auto& e : FElements)
            a.append(e.ToQJsonValue());
        return a;
    }
    case jkObject: {
        QJsonObject o;
        for (const auto& m : FMembers)
            o.insert(m.first, m.second.ToQJsonValue());
        return o;
    }
    }
    return QJsonValue();
}

namespace JsonText {
namespace {

const char HexDigits[] = "0123456789ABCDEF";

// Returns the letter of a named escape, or 0.
char NamedEscape(ushort c)
{
    switch (c) {
    case '"': return '"';
    case '\\': return '\\';
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\f': return 'f';
    case '\r': return 'r';
    default: return 0;
    }
}

// asciiOnly: every character above 127 as \uXXXX of its UTF-16 code unit
// (the settings file); otherwise raw UTF-8 (a lone surrogate becomes U+FFFD,
// as any UTF-8 encoder must).
void AppendStringImpl(QByteArray& out, const QString& s, bool asciiOnly)
{
    // Written straight into a buffer sized for the worst case (six bytes a
    // code unit), then trimmed: saving large projects is dominated by this.
    const QChar* data = s.constData();
    const qsizetype n = s.size();
    const qsizetype start = out.size();
    out.resize(start + n * 6 + 2);
    char* p = out.data() + start;
    *p++ = '"';
        auto escapeU = [&](ushort c) {
        *p++ = '\\'; *p++ = 'u';
        *p++ = HexDigits[(c >> 12) & 0xF]; *p++ = HexDigits[(c >> 8) & 0xF];
        *p++ = HexDigits[(c >> 4) & 0xF]; *p++ = HexDigits[c & 0xF];
    };
    auto utf8 = [&](uint cp) {
        if (cp < 0x800) {
            *p++ = char(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            *p++ = char(0xE0 | (cp >> 12));
            *p++ = char(0x80 | ((cp >> 6) & 0x3F));
        } else {
            *p++ = char(0xF0 | (cp >> 18));
            *p++ = char(0x80 | ((cp >> 12) & 0x3F));
            *p++ = char(0x80 | ((cp >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (cp & 0x3F));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const ushort c = data[i].unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == '"' || c == '\\')
                *p++ = '\\';
            *p++ = char(c);
        } else if (c < 0x20) {
            if (char letter = NamedEscape(c)) {
                *p++ = '\\';
                *p++ = letter;
            } else {
                escapeU(c);
            }
        } else if (asciiOnly) {
            escapeU(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && data[i + 1].isLowSurrogate()) {
            utf8(QChar::surrogateToUcs4(c, data[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            utf8(0xFFFD);
        } else {
            utf8(c);
        }
    }
    *p++ = '"';
    out.resize(p - out.constData());
}

void AppendScalar(QByteArray& out, const TJsonValue& v, bool asciiOnly)
{
    switch (v.kind()) {
    case TJsonValue::jkNull: out.append("null"); break;
    case TJsonValue::jkBool: out.append(v.boolValue() ? "true" : "false"); break;
    case TJsonValue::jkInt: {
        char buf[24];
        const int len = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.intValue()));
        out.append(buf, len);
        break;
    }
    case TJsonValue::jkFloat: out.append(FormatFloat(v.floatValue()).toLatin1()); break;
    case TJsonValue::jkString: AppendStringImpl(out, v.stringValue(), asciiOnly); break;
    default: break;
    }
}

void AppendIndent(QByteArray& out, int level)
{
    out.append(qsizetype(level) * 2, ' ');
}

void WriteIndented(QByteArray& out, const TJsonValue& v, int level)
{
    const bool isObject = v.kind() == TJsonValue::jkObject;
    if (!isObject && v.kind() != TJsonValue::jkArray) {
        AppendScalar(out, v, false);
        return;
    }
    out.append(isObject ? "{\r\n" : "[\r\n");
    const size_t count = isObject ? v.Members().size() : v.Elements().size();
    for (size_t i = 0; i < count; ++i) {
        AppendIndent(out, level + 1);
        if (isObject) {
            AppendStringImpl(out, v.Members()[i].first, false);
            out.append(": ");
            WriteIndented(out, v.Members()[i].second, level + 1);
        } else {
            WriteIndented(out, v.Elements()[i], level + 1);
        }
        out.append(i + 1 < count ? ",\r\n" : "\r\n");
    }
    AppendIndent(out, level);
    out.append(isObject ? '}' : ']');
}

void WriteCompact(QByteArray& out, const TJsonValue& v)
{
    const bool isObject = v.kind() == TJsonValue::jkObject;
    if (!isObject && v.kind() != TJsonValue::jkArray) {
        AppendScalar(out, v, true);
        return;
    }
    out.append(isObject ? '{' : '[');
    const size_t count = isObject ? v.Members().size() : v.Elements().size();
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            out.append(',');
        if (isObject) {
            AppendStringImpl(out, v.Members()[i].first, true);
            out.append(':');
            WriteCompact(out, v.Members()[i].second);
        } else {
            WriteCompact(out, v.Elements()[i]);
        }
    }
    out.append(isObject ? '}' : ']');
}

} // namespace

void AppendString(QByteArray& out, const QString& s)
{
    AppendStringImpl(out, s, false);
}

QByteArray IndentedUtf8(const TJsonValue& value)
{
    QByteArray out;
    AppendIndentedUtf8(out, value);
    return out;
}

void AppendIndentedUtf8(QByteArray& out, const TJsonValue& value)
{
    WriteIndented(out, value, 0);
}

QString Indented(const TJsonValue& value)
{
    return QString::fromUtf8(IndentedUtf8(value));
}

QString Compact(const TJsonValue& value)
{
    QByteArray out;
    WriteCompact(out, value);
    return QString::fromLatin1(out);
}

QString FormatFloat(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    // Shortest of 1..15 significant digits that reads back as the 15-digit
    // rounding of the value.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    const double target = std::strtod(buf, nullptr);
    for (int digits = 1; digits < 15; ++digits) {
        char shorter[40];
        std::snprintf(shorter, sizeof shorter, "%.*g", digits, value);
        if (std::strtod(shorter, nullptr) == target) {
            std::memcpy(buf, shorter, sizeof shorter);
            break;
        }
    }
    QString text = QString::fromLatin1(buf);
    const int ePos = text.indexOf(QLatin1Char('e'));
    if (ePos >= 0) {
        // "1e+20" -> "1E20", "1e-07" -> "1E-7"
        QString mantissa = text.left(ePos);
        int exponent = text.mid(ePos + 1).toInt();
        return mantissa + QLatin1Char('E') + QString::number(exponent);
    }
    if (!text.contains(QLatin1Char('.')))
        text.append(QLatin1String(".0"));
    return text;
}

} // namespace JsonText
