#pragma once
// A dialogue's message file: number -> text, read with the message-line
// rules of the MSG importer (texts may run over several lines), and found
// beside the script or in the games' text folders when not given.

#include <QMap>
#include <QString>
#include <QStringList>

class TGameMessageFile {
public:
    // The message file of `scriptPath`: NAME.msg beside it, else in
    // ../../data/text/english/dialog/ or ../../text/english/dialog/ from
    // the script's folder; every name compared without case. Empty when
    // none exists.
    static QString Find(const QString& scriptPath);
    // The folders Find looks in, for the report when it finds nothing.
    static QStringList SearchedPlaces(const QString& scriptPath);

    // Reads the file (byte-order mark, else UTF-8 when valid, else
    // Windows-1252). A file that cannot be read raises EDialogueError.
    void Load(const QString& path);
    void Parse(const QString& text);

    const QMap<qint32, QString>& Messages() const { return FMessages; }
    bool Contains(qint32 number) const { return FMessages.contains(number); }
    QString Text(qint32 number) const { return FMessages.value(number); }
    // Lines that could not be read, repeated numbers, signs of a wrong
    // encoding; each "Line n: ..." where it has a line.
    const QStringList& Problems() const { return FProblems; }

private:
    QMap<qint32, QString> FMessages;
    QStringList FProblems;
};
