#pragma once
// Reads a project file's text into a project one piece at a time: the
// header members are parsed as one small document and checked first, then
// every node, float message and global variable on its own. Peak memory
// stays near the file's size plus the project, instead of file plus a
// whole document tree, and text that is not a project is refused before
// any of its bulk is parsed.

#include <QByteArray>
#include <QtGlobal>

class TDialogueProject;

class TProjectFileReader {
public:
    // Files larger than this are refused unread. A project of 50 000 nodes
    // takes about 130 MB; four times that leaves room for long texts.
    static constexpr qint64 MaxFileBytes = qint64(512) * 1024 * 1024;

    enum TOutcome {
        roLoaded,     // the project holds the file's content
        roNotJson,    // the text is not valid JSON; the project is untouched
        roNotObject   // the text starts as a JSON value other than an object
    };

    // Raises EDialogueError for a JSON object that is not a valid project;
    // `into` is then partly filled (the caller reads into a scratch project).
    static TOutcome Read(const QByteArray& text, TDialogueProject& into);
};
