#include "interchange/GameMessageFile.h"

#include "interchange/MSGImporter.h"
#include "interchange/SSLMSGText.h"

#include <QDir>
#include <QFileInfo>

namespace {

// `relative` below `folder`, each name matched without case as trees copied
// from Windows spell them any way. Empty when a step does not exist.
QString ResolveWithoutCase(const QString& folder, const QStringList& relative)
{
    QDir dir(folder);
    for (int i = 0; i < relative.size(); ++i) {
        const QString& step = relative.at(i);
        const bool last = i == relative.size() - 1;
        if (step == QLatin1String("..")) {
            if (!dir.cdUp())
                return QString();
            continue;
        }
        QString match;
        const QStringList entries = dir.entryList((last ? QDir::Files : QDir::Dirs) | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& entry : entries)
            if (entry.compare(step, Qt::CaseInsensitive) == 0) {
                match = entry;
                if (entry == step)
                    break;
            }
        if (match.isEmpty())
            return QString();
        if (last)
            return dir.filePath(match);
        if (!dir.cd(match))
            return QString();
    }
    return QString();
}

QList<QStringList> Places(const QString& scriptPath)
{
    const QString name = QFileInfo(scriptPath).completeBaseName() + QStringLiteral(".msg");
    return {
        {name},
        {QStringLiteral(".."), QStringLiteral(".."), QStringLiteral("data"), QStringLiteral("text"),
         QStringLiteral("english"), QStringLiteral("dialog"), name},
        {QStringLiteral(".."), QStringLiteral(".."), QStringLiteral("text"), QStringLiteral("english"),
         QStringLiteral("dialog"), name},
    };
}

}

QString TGameMessageFile::Find(const QString& scriptPath)
{
    const QString folder = QFileInfo(scriptPath).absolutePath();
    for (const QStringList& place : Places(scriptPath)) {
        const QString found = ResolveWithoutCase(folder, place);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QStringList TGameMessageFile::SearchedPlaces(const QString& scriptPath)
{
    const QString folder = QFileInfo(scriptPath).absolutePath();
    QStringList places;
    for (const QStringList& place : Places(scriptPath))
        places << QDir::cleanPath(folder + QLatin1Char('/') + place.join(QLatin1Char('/')));
    return places;
}

void TGameMessageFile::Load(const QString& path)
{
    Parse(SSLMSGText::ReadTextFile(path));
}

void TGameMessageFile::Parse(const QString& text)
{
    FMessages.clear();
    FProblems.clear();
    if (text.contains(QChar(0)))
        FProblems << QStringLiteral("the message file holds NUL characters: it is not text in a known encoding "
                                    "(UTF-16 without a byte-order mark?)");
    const QVector<QStringView> lines = SSLMSGText::SplitLineViews(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = SSLMSGText::TrimView(lines.at(i));
        // Anything outside the braces is a comment.
        if (!line.startsWith(QLatin1Char('{')))
            continue;
        const qsizetype first = i;
        // Texts exactly as written: a joined line's pieces keep their spaces.
        const TMSGLine msg = ReadMSGMessage(lines, line, i, msKeep);
        if (!msg.Readable) {
            // An empty text is a line the games leave blank on purpose; only
            // a line without its number and braces is a problem.
            if (msg.Number == 0 && !line.startsWith(QLatin1String("{0}")))
                FProblems << QStringLiteral("Line %1: message line not understood: %2")
                                 .arg(first + 1).arg(line.left(60).toString());
            else if (!FMessages.contains(msg.Number))
                FMessages.insert(msg.Number, QString());
            continue;
        }
        if (FMessages.contains(msg.Number)) {
            FProblems << QStringLiteral("Line %1: message %2 appears again; the first text is used")
                             .arg(first + 1).arg(msg.Number);
            continue;
        }
        FMessages.insert(msg.Number, msg.Text);
    }
}
