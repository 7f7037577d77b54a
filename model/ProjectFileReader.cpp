#include "model/ProjectFileReader.h"

#include "model/DialogueTypes.h"
#include "model/JsonSlices.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <optional>

namespace {

const char* const StreamedKeys[] = { "nodes", "floatMessages", "globalVars" };

// One element's value, or nothing when its text is not valid JSON.
std::optional<QJsonValue> ParseSlice(const QByteArray& text, TJsonSlice slice)
{
    const QByteArray raw = QByteArray::fromRawData(text.constData() + slice.Begin, slice.End - slice.Begin);
    QJsonParseError error;
    const char first = raw.at(0);
    if (first == '{' || first == '[') {
        const QJsonDocument doc = QJsonDocument::fromJson(raw, &error);
        if (error.error != QJsonParseError::NoError)
            return std::nullopt;
        return doc.isObject() ? QJsonValue(doc.object()) : QJsonValue(doc.array());
    }
    const QJsonDocument doc = QJsonDocument::fromJson("[" + raw + "]", &error);
    if (error.error != QJsonParseError::NoError || doc.array().size() != 1)
        return std::nullopt;
    return doc.array().at(0);
}

struct TSlicedFile {
    QByteArray Header;                      // "{...}" of the other members
    QVector<TJsonSlice> Elements[3];        // per streamed key
};

bool Slice(const QByteArray& text, TSlicedFile& out)
{
    QVector<TJsonMemberSlice> members;
    if (!JsonSlices::SplitObject(text, members))
        return false;
    QSet<QByteArray> seen;
    out.Header = "{";
    for (const TJsonMemberSlice& m : members) {
        if (seen.contains(m.Key))
            return false;   // duplicate keys: let the full reader decide which wins
        seen.insert(m.Key);
        int streamed = -1;
        for (int k = 0; k < 3; ++k)
            if (m.Key == StreamedKeys[k] && text.at(m.Value.Begin) == '[')
                streamed = k;
        if (streamed >= 0) {
            if (!JsonSlices::SplitArray(text, m.Value, out.Elements[streamed]))
                return false;
            continue;
        }
        if (out.Header.size() > 1)
            out.Header += ',';
        out.Header += '"' + m.Key + "\":" + text.mid(m.Value.Begin, m.Value.End - m.Value.Begin);
    }
    out.Header += '}';
    return true;
}

bool AllElementsParse(const QByteArray& text, const TSlicedFile& file)
{
    for (const auto& list : file.Elements)
        for (const TJsonSlice& s : list)
            if (!ParseSlice(text, s))
                return false;
    return true;
}

}

TProjectFileReader::TOutcome TProjectFileReader::Read(const QByteArray& text, TDialogueProject& into)
{
    TSlicedFile file;
    if (!Slice(text, file))
        return roFallback;
    QJsonParseError error;
    const QJsonDocument header = QJsonDocument::fromJson(file.Header, &error);
    if (error.error != QJsonParseError::NoError || !header.isObject())
        return roNotJson;

    try {
        into.ReadHeaderJSON(header.object());
        into.ClearNodes();
        into.FNodes.reserve(size_t(file.Elements[0].size()));
        into.FFloatMessages.clear();
        into.FGlobalVars.clear();
        // One element at a time, so only one element's tree exists at once.
        const auto readAll = [&](const QVector<TJsonSlice>& slices, auto&& readOne) {
            for (const TJsonSlice& s : slices) {
                const std::optional<QJsonValue> value = ParseSlice(text, s);
                if (!value)
                    return false;
                readOne(*value);
            }
            return true;
        };
        if (!readAll(file.Elements[0], [&](const QJsonValue& v) { into.ReadNodeJSON(v); })
            || !readAll(file.Elements[1], [&](const QJsonValue& v) { into.ReadFloatMessageJSON(v); })
            || !readAll(file.Elements[2], [&](const QJsonValue& v) { into.ReadGlobalVarJSON(v); }))
            return roNotJson;
    } catch (const EDialogueError&) {
        // A broken project inside text that is not JSON at all is reported
        // as "not JSON", as a whole-document reader would.
        if (!AllElementsParse(text, file))
            return roNotJson;
        throw;
    }
    return roLoaded;
}
