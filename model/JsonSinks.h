#pragma once
// Two ways to receive a JSON tree as a sequence of calls: build an ordered
// TJsonValue, or write the project file's indented text straight away.
// The project's serializers are written once against this call sequence,
// so the tree and the saved text can never disagree.

#include "model/JsonText.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <vector>

class TJsonTreeSink {
public:
    void BeginObject(const char* key = nullptr, size_t capacity = 0);
    void BeginArray(const char* key = nullptr, size_t capacity = 0);
    void End();
    void Value(const char* key, const QString& v) { Put(key, TJsonValue(v)); }
    void Value(const char* key, qint64 v) { Put(key, TJsonValue(v)); }
    void Value(const char* key, bool v) { Put(key, TJsonValue(v)); }
    void Float(const char* key, double v) { Put(key, TJsonValue(v)); }
    TJsonValue Take() { return std::move(FRoot); }

private:
    TJsonValue& Put(const char* key, TJsonValue v);
    TJsonValue FRoot;
    std::vector<TJsonValue*> FOpen;
};

// Two spaces per level, CR LF, no line break after the closing bracket.
// With a drain, the text goes to the device in pieces as it is made: a large
// project is then written from a buffer that stays in the cache instead of
// one as large as the file.
class TJsonTextSink {
public:
    explicit TJsonTextSink(QByteArray& out, QIODevice* drain = nullptr) : FOut(out), FDrain(drain) {}
    void BeginObject(const char* key = nullptr, size_t = 0) { Open(key, '{'); }
    void BeginArray(const char* key = nullptr, size_t = 0) { Open(key, '['); }
    void End();
    void Value(const char* key, const QString& v);
    void Value(const char* key, qint64 v);
    void Value(const char* key, bool v);
    void Float(const char* key, double v);
    // Writes what the buffer holds to the drain and empties it. False once
    // any write has failed (nothing more is written then).
    bool Drain();

private:
    void Open(const char* key, char bracket);
    void StartMember(const char* key);
    QByteArray& FOut;
    QIODevice* FDrain;
    bool FDrainFailed = false;
    struct TLevel { char Close; bool Empty; };
    std::vector<TLevel> FLevels;
};
