#pragma once
// An ordered JSON tree for writing (QJsonObject sorts its keys, the files
// we write keep the order their format gives) and the two text layouts the
// system writes: indented with CR LF, and compact with \u escapes.

#include <QByteArray>
#include <QString>
#include <QJsonValue>

#include <utility>
#include <vector>

class TJsonValue {
public:
    enum Kind { jkNull, jkBool, jkInt, jkFloat, jkString, jkArray, jkObject };

    TJsonValue() = default;
    TJsonValue(bool v) : FKind(jkBool), FBool(v) {}
    TJsonValue(int v) : FKind(jkInt), FInt(v) {}
    TJsonValue(qint64 v) : FKind(jkInt), FInt(v) {}
    TJsonValue(unsigned v) : FKind(jkInt), FInt(qint64(v)) {}
    TJsonValue(double v) : FKind(jkFloat), FFloat(v) {}
    TJsonValue(const QString& v) : FKind(jkString), FString(v) {}
    TJsonValue(const char* v) : FKind(jkString), FString(QString::fromUtf8(v)) {}

    // The capacity avoids regrowing containers whose size the caller knows.
    static TJsonValue Array(size_t capacity = 0)
    {
        TJsonValue v;
        v.FKind = jkArray;
        v.FElements.reserve(capacity);
        return v;
    }
    static TJsonValue Object(size_t capacity = 0)
    {
        TJsonValue v;
        v.FKind = jkObject;
        v.FMembers.reserve(capacity);
        return v;
    }

    Kind kind() const { return FKind; }
    bool boolValue() const { return FBool; }
    qint64 intValue() const { return FInt; }
    double floatValue() const { return FFloat; }
    const QString& stringValue() const { return FString; }

    // Object members in insertion order; array elements.
    TJsonValue& Add(const QString& key, TJsonValue value);
    TJsonValue& Append(TJsonValue value);
    const std::vector<std::pair<QString, TJsonValue>>& Members() const { return FMembers; }
    const std::vector<TJsonValue>& Elements() const { return FElements; }
    const TJsonValue* Find(const QString& key) const;

    // For callers that want Qt's document model (keys then lose their order).
    QJsonValue ToQJsonValue() const;

private:
    Kind FKind = jkNull;
    bool FBool = false;
    qint64 FInt = 0;
    double FFloat = 0;
    QString FString;
    std::vector<TJsonValue> FElements;
    std::vector<std::pair<QString, TJsonValue>> FMembers;
};

namespace JsonText {
// Two spaces per level, CR LF between lines, no line break after the last
// "}" (callers add the file's final CR LF). Strings escaped as WriteString.
QString Indented(const TJsonValue& value);
QByteArray IndentedUtf8(const TJsonValue& value);
void AppendIndentedUtf8(QByteArray& out, const TJsonValue& value);
// One line, no whitespace; non-ASCII and control characters as \uXXXX.
QString Compact(const TJsonValue& value);

// The project file's string escaping: \" \\ \b \t \n \f \r by name, other
// control characters as \u00XX, everything else raw.
void AppendString(QByteArray& out, const QString& s);   // UTF-8
// Shortest text of at most 15 significant digits; ".0" added to whole
// numbers; exponents written with "E".
QString FormatFloat(double value);
}
