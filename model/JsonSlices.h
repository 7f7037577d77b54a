#pragma once
// Finds the members of a JSON object and the elements of its arrays as byte
// ranges, without building a document. Large project files are read one
// node at a time this way, so the whole file never sits in memory twice.
// The scanner only checks the nesting; each slice is parsed by the caller.

#include <QByteArray>
#include <functional>

struct TJsonSlice {
    qsizetype Begin = 0;   // first byte
    qsizetype End = 0;     // one past the last byte
};

namespace JsonSlices {

// Calls `member` with the raw key text (between the quotes, escapes left
// as they are) and the value of each member of the object that makes up
// the whole text, white space around it allowed. False when the text is
// not of that shape; members before the fault have been visited. Nothing
// is kept, so an object with millions of members costs no memory here.
bool ForEachMember(const QByteArray& text, const std::function<void(TJsonSlice key, TJsonSlice value)>& member);

// Calls `element` with each element of the array in `array` (which starts
// with "["). False when the array is broken.
bool ForEachElement(const QByteArray& text, TJsonSlice array, const std::function<void(TJsonSlice)>& element);

}
