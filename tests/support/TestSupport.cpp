#include "tests/support/TestSupport.h"

#include "model/DialogueTypes.h"
#include "model/JsonText.h"

#include <QFile>

#include <stdexcept>
#include <unistd.h>

namespace TestSupport {

QString DataPath(const QString& relative)
{
    return QStringLiteral(TALLOWIN_TEST_DATA_DIR "/") + relative;
}

QString DocumentText(const TDialogueProject& project)
{
    const TJsonValue json = project.ToJSON();
    TJsonValue stable = TJsonValue::Object();
    for (const auto& member : json.Members())
        if (member.first != QLatin1String("modifiedDate"))
            stable.Add(member.first, member.second);
    return JsonText::Compact(stable);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString());
    f.write(bytes);
}

bool PermissionsEnforced() { return geteuid() != 0; }

}
