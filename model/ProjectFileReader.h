#pragma once
// Reads a project file's text into a project one array element at a time:
// the header members are parsed as one small document, then every node,
// float message and global variable on its own. Peak memory stays near the
// file's size plus the project, instead of file plus a whole document tree.

#include <QByteArray>

class TDialogueProject;

class TProjectFileReader {
public:
    enum TOutcome {
        roLoaded,     // the project holds the file's content
        roNotJson,    // the text is not valid JSON; the project is untouched
        roFallback    // the text's shape needs the whole-document reader
    };

    // Raises EDialogueError for valid JSON that is not a valid project;
    // `into` is then partly filled (the caller reads into a scratch project).
    static TOutcome Read(const QByteArray& text, TDialogueProject& into);
};
