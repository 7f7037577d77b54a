#include "project/gui/QtProjectDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

QStringList FileTypesToNameFilters(const QString& fileTypes)
{
    const QStringList parts = fileTypes.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p.trimmed() == QLatin1String("*.*"))
                p = QStringLiteral("*");   // every file, with or without a dot
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

bool TQtProjectDialogs::AskOpenFileName(const QString& title, const QString& fileTypes, QString& fileName)
{
    QFileDialog dialog(FParent, title, FLastFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(FileTypesToNameFilters(fileTypes));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().first();
    FLastFolder = QFileInfo(fileName).absolutePath();
    return true;
}

bool TQtProjectDialogs::AskSaveFileName(const QString& title, const QString& fileTypes,
                                        const QString& defaultExtension, const QString& proposedName,
                                        QString& fileName, int& chosenType)
{
    QFileDialog dialog(FParent, title, FLastFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = FileTypesToNameFilters(fileTypes);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultExtension);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().first();
    chosenType = int(filters.indexOf(dialog.selectedNameFilter()));
    FLastFolder = QFileInfo(fileName).absolutePath();
    return true;
}

bool TQtProjectDialogs::AskFolder(const QString& title, QString& folder)
{
    const QString chosen = QFileDialog::getExistingDirectory(FParent, title, FLastFolder);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    FLastFolder = chosen;
    return true;
}
