#pragma once
// Finds the members of a JSON object and the elements of its arrays as byte
// ranges, without building a document. Large project files are read one
// node at a time this way, so the whole file never sits in memory twice.
// The scanner only checks the nesting; each slice is parsed by the caller.

#include <QByteArray>
#include <QVector>

struct TJsonSlice {
    qsizetype Begin = 0;   // first byte
    qsizetype End = 0;     // one past the last byte
};

struct TJsonMemberSlice {
    QByteArray Key;        // raw key text between the quotes
    TJsonSlice Value;
};

namespace JsonSlices {

// The members of the object that makes up the whole text (white space
// around it allowed). False when the text is not of that shape or a key
// holds escapes; callers then fall back to a whole-document parse.
bool SplitObject(const QByteArray& text, QVector<TJsonMemberSlice>& members);

// The elements of the array in `array` (which starts with "[").
bool SplitArray(const QByteArray& text, TJsonSlice array, QVector<TJsonSlice>& elements);

}
