#pragma once
// The validation and analysis window: the project's problem table, the
// dialogue flow report, node search and Auto-Fix of broken links.
//
//   static void TValidationForm::Execute(QWidget* owner, TDialogueProject* project);
//
// Shows the window modally over `owner` for `project` (not owned, edited in
// place only by Auto-Fix, which marks it modified). There is no result.

#include "editors/ValidationToolsFormKit.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TDialogueProject;

class TValidationForm : public QDialog {
    Q_OBJECT
public:
    static void Execute(QWidget* owner, TDialogueProject* project);

    TValidationForm(QWidget* owner, TDialogueProject* project);

    // Called with a node ID when an issue row naming one is double-clicked.
    void SetOnNodeSelected(std::function<void(const QString&)> callback) { FOnNodeSelected = std::move(callback); }
    void SetMessageSink(FormKit::TMessageSink sink) { FShowMessage = std::move(sink); }

    void RunAllChecks();
    void AutoFixWarnings();
    void SearchNodes();
    void IssueDoubleClicked(int row);

    QTableWidget* IssueList() const { return lstIssues; }
    QPlainTextEdit* FlowReport() const { return memoFlowReport; }
    QLineEdit* SearchEdit() const { return edtSearch; }
    QComboBox* SearchIn() const { return cmbSearchIn; }
    QTableWidget* SearchResults() const { return lstSearchResults; }
    QLabel* CountLabel() const { return lblCount; }
    QTabWidget* Tabs() const { return FTabs; }
    QPushButton* RunButton() const { return btnRunAll; }
    QPushButton* AutoFixButton() const { return btnAutoFix; }
    QPushButton* SearchButton() const { return btnSearch; }
    QPushButton* CloseButton() const { return btnClose; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildTopBar();
    QWidget* BuildBottomBar();
    QWidget* BuildSearchPage();
    void ApplyTheme();
    void FillIssues();
    void FillFlowReport();

    TDialogueProject* FProject;
    std::function<void(const QString&)> FOnNodeSelected;
    FormKit::TMessageSink FShowMessage = FormKit::ShowInformation;

    QFrame* pnlTop = nullptr;
    QFrame* pnlBottom = nullptr;
    QFrame* pnlSearch = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblSearch = nullptr;
    QPushButton* btnRunAll = nullptr;
    QPushButton* btnAutoFix = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnSearch = nullptr;
    QTabWidget* FTabs = nullptr;
    QTableWidget* lstIssues = nullptr;
    QPlainTextEdit* memoFlowReport = nullptr;
    QLineEdit* edtSearch = nullptr;
    QComboBox* cmbSearchIn = nullptr;
    QTableWidget* lstSearchResults = nullptr;
};
