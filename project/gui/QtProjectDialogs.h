#pragma once
// The standard file and folder dialogs of the desktop toolkit behind the
// project manager's dialog interface.

#include "project/ProjectManager.h"

#include <QStringList>

class QWidget;

// "Caption|*.a;*.b|All Files|*.*" to the toolkit's filters
// ("Caption (*.a *.b)", "All Files (*)").
QStringList FileTypesToNameFilters(const QString& fileTypes);

class TQtProjectDialogs : public IProjectDialogs {
public:
    explicit TQtProjectDialogs(QWidget* parent = nullptr) : FParent(parent) {}

    bool AskOpenFileName(const QString& title, const QString& fileTypes, QString& fileName) override;
    bool AskSaveFileName(const QString& title, const QString& fileTypes, const QString& defaultExtension,
                         const QString& proposedName, QString& fileName, int& chosenType) override;
    // Existing folders only.
    bool AskFolder(const QString& title, QString& folder);

private:
    QWidget* FParent;
    QString FLastFolder;
};
