#include "model/JsonSinks.h"

#include <cstdio>

TJsonValue& TJsonTreeSink::Put(const char* key, TJsonValue v)
{
    if (FOpen.empty()) {
        FRoot = std::move(v);
        return FRoot;
    }
    TJsonValue& parent = *FOpen.back();
    if (parent.kind() == TJsonValue::jkObject)
        return parent.Add(QString::fromLatin1(key), std::move(v));
    return parent.Append(std::move(v));
}

void TJsonTreeSink::BeginObject(const char* key, size_t capacity)
{
    FOpen.push_back(&Put(key, TJsonValue::Object(capacity)));
}

void TJsonTreeSink::BeginArray(const char* key, size_t capacity)
{
    FOpen.push_back(&Put(key, TJsonValue::Array(capacity)));
}

void TJsonTreeSink::End() { FOpen.pop_back(); }

// ---------------------------------------------------------------------------

void TJsonTextSink::StartMember(const char* key)
{
    if (FLevels.empty())
        return;
    TLevel& level = FLevels.back();
    FOut.append(level.Empty ? "\r\n" : ",\r\n");
    level.Empty = false;
    FOut.append(qsizetype(FLevels.size()) * 2, ' ');
    if (key) {
        FOut.append('"');
        FOut.append(key);   // keys are plain ASCII names
        FOut.append("\": ");
    }
}

void TJsonTextSink::Open(const char* key, char bracket)
{
    StartMember(key);
    FOut.append(bracket);
    FLevels.push_back({ bracket == '{' ? '}' : ']', true });
}

void TJsonTextSink::End()
{
    const TLevel level = FLevels.back();
    FLevels.pop_back();
    // An empty container still takes two lines.
    FOut.append("\r\n");
    FOut.append(qsizetype(FLevels.size()) * 2, ' ');
    FOut.append(level.Close);
    constexpr qsizetype DrainChunk = 1 << 20;
    if (FDrain && FOut.size() >= DrainChunk)
        Drain();
}

bool TJsonTextSink::Drain()
{
    if (!FDrain)
        return true;
    if (!FDrainFailed && !FOut.isEmpty())
        FDrainFailed = FDrain->write(FOut) != FOut.size();
    FOut.resize(0);   // keeps the capacity for the next piece
    return !FDrainFailed;
}

void TJsonTextSink::Value(const char* key, const QString& v)
{
    StartMember(key);
    JsonText::AppendString(FOut, v);
}

void TJsonTextSink::Value(const char* key, qint64 v)
{
    StartMember(key);
    char buf[24];
    FOut.append(buf, std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v)));
}

void TJsonTextSink::Value(const char* key, bool v)
{
    StartMember(key);
    FOut.append(v ? "true" : "false");
}

void TJsonTextSink::Float(const char* key, double v)
{
    StartMember(key);
    FOut.append(JsonText::FormatFloat(v).toLatin1());
}
