#include "model/ProjectFileReader.h"

#include "model/DialogueTypes.h"
#include "model/JsonSlices.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

const char* const StreamedKeys[] = { "nodes", "floatMessages", "globalVars" };
constexpr int StreamedCount = 3;

// The members ReadHeaderJSON reads. Only these go into the header
// document, so a large member of any other name is never parsed with it.
const char* const HeaderKeys[] = { "name", "npcName", "npcScript", "description", "version", "author",
                                   "startNodeId", "activeLocale", "createdDate", "modifiedDate", "locales",
                                   "tags", "gameScript" };

// Qt's parser drops U+FEFF at the start of a string, as if it marked the
// start of a file; written as an escape it is kept. Outside strings the
// bytes are invalid JSON either way.
QByteArray KeepingZeroWidthSpaces(const QByteArray& json)
{
    static const QByteArray Raw("\xEF\xBB\xBF");
    if (!json.contains(Raw))
        return json;
    return QByteArray(json).replace(Raw, "\\uFEFF");
}

// One value, or nothing when its text is not valid JSON.
std::optional<QJsonValue> ParseSlice(const QByteArray& text, TJsonSlice slice)
{
    const QByteArray raw = KeepingZeroWidthSpaces(
        QByteArray::fromRawData(text.constData() + slice.Begin, slice.End - slice.Begin));
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

// The key's text with its escapes resolved, or nothing when they are bad.
std::optional<QByteArray> KeyText(const QByteArray& text, TJsonSlice key)
{
    const QByteArray raw = text.mid(key.Begin, key.End - key.Begin);
    if (!raw.contains('\\') && !raw.contains("\xEF\xBB\xBF"))
        return raw;
    const std::optional<QJsonValue> value = ParseSlice(text, { key.Begin - 1, key.End + 1 });
    if (!value || !value->isString())
        return std::nullopt;
    return value->toString().toUtf8();
}

// Where the members this reader uses are; for repeated keys the last one
// counts, as in a whole-document parse.
struct TMembers {
    std::optional<TJsonSlice> Header[std::size(HeaderKeys)];
    std::optional<TJsonSlice> Streamed[StreamedCount];
    bool HasOthers = false;    // members read only to check they are JSON

    bool IsUsed(TJsonSlice value) const
    {
        for (const auto& m : Header)
            if (m && m->Begin == value.Begin)
                return true;
        for (const auto& m : Streamed)
            if (m && m->Begin == value.Begin)
                return true;
        return false;
    }
};

bool FindMembers(const QByteArray& text, TMembers& out)
{
    bool badKey = false;
    qsizetype visited = 0;
    const bool shaped = JsonSlices::ForEachMember(text, [&](TJsonSlice keySlice, TJsonSlice value) {
        ++visited;
        const std::optional<QByteArray> key = KeyText(text, keySlice);
        if (!key) {
            badKey = true;
            return;
        }
        for (size_t k = 0; k < std::size(HeaderKeys); ++k)
            if (*key == HeaderKeys[k])
                out.Header[k] = value;
        for (int k = 0; k < StreamedCount; ++k)
            if (*key == StreamedKeys[k]) {
                // Anything but an array counts as no elements.
                if (text.at(value.Begin) == '[')
                    out.Streamed[k] = value;
                else
                    out.Streamed[k].reset();
            }
    });
    qsizetype used = 0;
    for (const auto& m : out.Header)
        used += m.has_value();
    for (const auto& m : out.Streamed)
        used += m.has_value();
    out.HasOthers = visited > used;
    return shaped && !badKey;
}

QByteArray HeaderText(const QByteArray& text, const TMembers& members)
{
    QByteArray header = "{";
    for (size_t k = 0; k < std::size(HeaderKeys); ++k) {
        if (!members.Header[k])
            continue;
        if (header.size() > 1)
            header += ',';
        const TJsonSlice v = *members.Header[k];
        header += '"' + QByteArray(HeaderKeys[k]) + "\":" + text.mid(v.Begin, v.End - v.Begin);
    }
    return header + '}';
}

// True when every member this reader does not use (unknown, repeated, or
// a non-array where elements belong) is valid JSON; each is parsed on its
// own and dropped.
bool OtherMembersParse(const QByteArray& text, const TMembers& members)
{
    bool valid = true;
    JsonSlices::ForEachMember(text, [&](TJsonSlice, TJsonSlice value) {
        if (valid && !members.IsUsed(value))
            valid = ParseSlice(text, value).has_value();
    });
    return valid;
}

// Calls `readOne` with each element of the streamed array, one parsed
// element at a time; false when an element is not valid JSON.
template <class TRead>
bool ReadElements(const QByteArray& text, const std::optional<TJsonSlice>& array, TRead&& readOne)
{
    if (!array)
        return true;
    bool valid = true;
    const bool shaped = JsonSlices::ForEachElement(text, *array, [&](TJsonSlice s) {
        if (!valid)
            return;
        const std::optional<QJsonValue> value = ParseSlice(text, s);
        if (!value)
            valid = false;
        else
            readOne(*value);
    });
    return shaped && valid;
}

bool AllElementsParse(const QByteArray& text, const TMembers& members)
{
    for (const auto& array : members.Streamed)
        if (!ReadElements(text, array, [](const QJsonValue&) {}))
            return false;
    return true;
}

// The first byte of JSON text that is a value but not an object.
bool StartsOtherValue(char c)
{
    return c == '[' || c == '"' || c == '-' || (c >= '0' && c <= '9') || c == 't' || c == 'f' || c == 'n';
}

}

TProjectFileReader::TOutcome TProjectFileReader::Read(const QByteArray& text, TDialogueProject& into)
{
    qsizetype first = 0;
    while (first < text.size() && (text[first] == ' ' || text[first] == '\t' || text[first] == '\n' || text[first] == '\r'))
        ++first;
    if (first == text.size())
        return roNotJson;
    if (text[first] != '{')
        return StartsOtherValue(text[first]) ? roNotObject : roNotJson;

    TMembers members;
    if (!FindMembers(text, members))
        return roNotJson;
    QJsonParseError error;
    const QJsonDocument header = QJsonDocument::fromJson(KeepingZeroWidthSpaces(HeaderText(text, members)), &error);
    if (error.error != QJsonParseError::NoError || !header.isObject())
        return roNotJson;
    // Raises for an object that is not a project, before its bulk is read.
    into.ReadHeaderJSON(header.object());
    if (members.HasOthers && !OtherMembersParse(text, members))
        return roNotJson;

    try {
        into.ClearNodes();
        into.FFloatMessages.clear();
        into.FGlobalVars.clear();
        if (!ReadElements(text, members.Streamed[0], [&](const QJsonValue& v) { into.ReadNodeJSON(v); })
            || !ReadElements(text, members.Streamed[1], [&](const QJsonValue& v) { into.ReadFloatMessageJSON(v); })
            || !ReadElements(text, members.Streamed[2], [&](const QJsonValue& v) { into.ReadGlobalVarJSON(v); }))
            return roNotJson;
    } catch (const EDialogueError&) {
        // A broken project inside text that is not JSON at all is reported
        // as "not JSON", as a whole-document reader would.
        if (!AllElementsParse(text, members))
            return roNotJson;
        throw;
    }
    return roLoaded;
}
