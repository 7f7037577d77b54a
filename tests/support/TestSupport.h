#pragma once
// Small helpers shared by the test programs.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// Path of a file under tests/data.
QString DataPath(const QString& relative);
QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

// Whether permission checks are in force (they are not for root).
bool PermissionsEnforced();

}
