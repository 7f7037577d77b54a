#pragma once
// The localization manager window: the project's locale list, the active
// locale, the table of translatable strings and the pack export.
//
//   static void TLocalizationForm::Execute(QWidget* owner, TDialogueProject* project);
//
// Shows the window modally over `owner`. Locale edits go straight into
// `project` (not owned); there is no result.

#include "editors/ValidationToolsFormKit.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QTableWidget;
class TDialogueProject;

class TLocalizationForm : public QDialog {
    Q_OBJECT
public:
    static void Execute(QWidget* owner, TDialogueProject* project);

    TLocalizationForm(QWidget* owner, TDialogueProject* project);

    // The questions the window asks; tests replace them to stay non-modal.
    // Each returns an empty string when the user cancels.
    using TTextQuestion = std::function<QString(QWidget* parent, const QString& title, const QString& prompt)>;
    using TFileQuestion = std::function<QString(QWidget* parent, const QString& title, const QString& proposed,
                                                const QString& filter)>;
    void SetAskText(TTextQuestion ask) { FAskText = std::move(ask); }
    void SetAskSavePath(TFileQuestion ask) { FAskSavePath = std::move(ask); }
    void SetAskOpenPath(TFileQuestion ask) { FAskOpenPath = std::move(ask); }
    void SetMessageSink(FormKit::TMessageSink sink) { FShowMessage = std::move(sink); }

    void RefreshLocales();
    void RefreshStrings();
    void LocaleClicked();
    void AddLocaleClicked();
    void RemoveLocaleClicked();
    void ExportPackClicked();
    void ImportPackClicked();

    QListWidget* LocaleList() const { return lstLocales; }
    QTableWidget* StringTable() const { return lvStrings; }
    QLabel* StatsLabel() const { return lblStats; }
    QPushButton* AddButton() const { return btnAdd; }
    QPushButton* RemoveButton() const { return btnRemove; }
    QPushButton* ExportButton() const { return btnExport; }
    QPushButton* ImportButton() const { return btnImport; }
    QPushButton* DoneButton() const { return btnDone; }

private:
    void BuildControls();
    QWidget* BuildTopBar();
    QWidget* BuildBottomBar();
    QWidget* BuildLocalePane();
    void ApplyTheme();

    TDialogueProject* FProject;
    TTextQuestion FAskText;
    TFileQuestion FAskSavePath;
    TFileQuestion FAskOpenPath;
    FormKit::TMessageSink FShowMessage = FormKit::ShowInformation;

    QFrame* pnlTop = nullptr;
    QFrame* pnlBottom = nullptr;
    QWidget* pnlLocales = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblLocales = nullptr;
    QLabel* lblStats = nullptr;
    QListWidget* lstLocales = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnExport = nullptr;
    QPushButton* btnImport = nullptr;
    QPushButton* btnDone = nullptr;
    QSplitter* FSplitter = nullptr;
    QTableWidget* lvStrings = nullptr;
};
