#include "shell/ShellDialogs.h"

#include "project/gui/QtProjectDialogs.h"

#include <QMessageBox>

namespace {

class TQtShellDialogs : public IShellDialogs {
public:
    explicit TQtShellDialogs(QWidget* parent) : FParent(parent), FFiles(parent) {}

    bool AskOpenFileName(const QString& title, const QString& fileTypes, QString& fileName) override
    {
        return FFiles.AskOpenFileName(title, fileTypes, fileName);
    }
    bool AskSaveFileName(const QString& title, const QString& fileTypes, const QString& defaultExtension,
                         const QString& proposedName, QString& fileName, int& chosenType) override
    {
        return FFiles.AskSaveFileName(title, fileTypes, defaultExtension, proposedName, fileName, chosenType);
    }
    bool AskFolder(const QString& title, QString& folder) override { return FFiles.AskFolder(title, folder); }

    TDialogAnswer Ask(const QString& text, bool withCancel) override
    {
        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
        if (withCancel)
            buttons |= QMessageBox::Cancel;
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, buttons, FParent);
        box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
        switch (box.exec()) {
        case QMessageBox::Yes: return daYes;
        case QMessageBox::No: return daNo;
        default: return withCancel ? daCancel : daNo;
        }
    }
    void Inform(const QString& text) override
    {
        QMessageBox::information(FParent, QStringLiteral("Information"), text);
    }
    void ShowError(const QString& text) override { QMessageBox::critical(FParent, QStringLiteral("Error"), text); }

private:
    QWidget* FParent;
    TQtProjectDialogs FFiles;
};

}

std::unique_ptr<IShellDialogs> CreateQtShellDialogs(QWidget* parent)
{
    return std::make_unique<TQtShellDialogs>(parent);
}
