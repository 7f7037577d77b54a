#pragma once
// TMSGImporter makes a new TDialogueProject from a message file of
// the games (.MSG): one NPC dialogue node per message, in message-number
// order, chained one after the other.

#include "model/DialogueTypes.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <memory>

struct TMSGImportResult {
    bool Success = false;
    QStringList Errors;
    qint32 WarningCount = 0;     // message numbers that gave no node
    qint32 NodeCount = 0;
    // The new project: the same object as the out-parameter, which owns it.
    TDialogueProject* Project = nullptr;
};

// One message line, "{" number "}{" second field "}{" text "}". Readable only
// when the number is a 32-bit decimal integer and the text is not empty.
struct TMSGLine {
    bool Readable = false;
    qint32 Number = 0;
    QString Text;
    bool Unclosed = false;   // the text ran to the end of the line
};
// How a one-line text is taken: trimmed (the message importer's rule) or
// exactly as written, spaces at its ends included (joined game texts such
// as "Ten caps, " rely on them).
enum TMSGTextSpaces { msTrim, msKeep };
// Reads one trimmed line that starts with "{".
TMSGLine ParseMSGLine(QStringView trimmedLine, TMSGTextSpaces spaces = msTrim);
// "\}" and "\{" to "}" and "{".
QString UnescapeMSGText(QString text);
// A message whose text has no closing brace on line `index` goes on over the
// following lines up to the one holding the brace; `text` gets the joined
// text. Returns the index of the last line used.
qsizetype ReadMSGContinuation(const QVector<QStringView>& lines, qsizetype index, QString& text);
// The message starting on the trimmed line at `index`, with its continuation
// lines; `index` moves to the last line used.
// A text that runs over several lines is always joined from trimmed pieces.
TMSGLine ReadMSGMessage(const QVector<QStringView>& lines, QStringView trimmedLine, qsizetype& index,
                        TMSGTextSpaces spaces = msTrim);

class TMSGImporter {
public:
    TMSGImporter();
    ~TMSGImporter();
    TMSGImporter(const TMSGImporter&) = delete;
    TMSGImporter& operator=(const TMSGImporter&) = delete;

    // The project is handed back through AProject (and Result.Project) even
    // when Success is false; the caller owns it.
    TMSGImportResult ImportFromText(const QString& AText, std::unique_ptr<TDialogueProject>& AProject);
    // Reads the file (byte-order mark, else UTF-8 when valid, else
    // Windows-1252), imports it and, on success, names the project after the
    // file. A file that cannot be read raises EDialogueError.
    TMSGImportResult ImportFromFile(const QString& AFilePath, std::unique_ptr<TDialogueProject>& AProject);

private:
    QString FText;                  // the input, which FLines view
    QVector<QStringView> FLines;
    QStringList FErrors;
    qint32 FWarnings = 0;
    QHash<qint32, TDialogueNode*> FNodeMap;
};
