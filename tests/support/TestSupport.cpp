#include "tests/support/TestSupport.h"

#include <QFile>

#include <stdexcept>
#include <unistd.h>

namespace TestSupport {

QString DataPath(const QString& relative)
{
    return QStringLiteral(TALLOWIN_TEST_DATA_DIR "/") + relative;
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
