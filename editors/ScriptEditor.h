#pragma once
// The script editor window: a plain-text box for dialogue script code with
// a function reference, per-event templates, a caret read-out and a shallow
// keyword check.
//
//   static bool TScriptEditorForm::Execute(QWidget* owner, QString& code);
//
// Shows `code` modally over `owner`. On OK `code` receives the whole edited
// text (lines ending CR LF) and the result is true; on Cancel the result is
// false and `code` is left as it was.

#include "editors/ValidationToolsFormKit.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TScriptEditorForm : public QDialog {
    Q_OBJECT
public:
    static bool Execute(QWidget* owner, QString& code);

    explicit TScriptEditorForm(QWidget* owner);

    void SetCode(const QString& code);
    QString Code() const;   // the editing box's text with CR LF line breaks
    void SetMessageSink(FormKit::TMessageSink sink) { FShowMessage = std::move(sink); }

    void InsertTemplate();
    void ValidateScript();
    void UpdateLineInfo();

    QComboBox* EventList() const { return cmbEventType; }
    QPlainTextEdit* Editor() const { return memoEditor; }
    QPlainTextEdit* Reference() const { return memoReference; }
    QLabel* LineInfo() const { return lblLineInfo; }
    QTabWidget* Tabs() const { return FTabs; }
    QPushButton* InsertButton() const { return btnInsert; }
    QPushButton* ValidateButton() const { return btnValidate; }
    QPushButton* OkButton() const { return btnOK; }
    QPushButton* CancelButton() const { return btnCancel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildHeader();
    QWidget* BuildToolbar();
    QWidget* BuildBottomBar();
    void ApplyTheme();

    FormKit::TMessageSink FShowMessage = FormKit::ShowInformation;

    QFrame* pnlHeader = nullptr;
    QFrame* pnlToolbar = nullptr;
    QFrame* pnlBottom = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblEvent = nullptr;
    QLabel* lblLineInfo = nullptr;
    QComboBox* cmbEventType = nullptr;
    QPushButton* btnInsert = nullptr;
    QPushButton* btnValidate = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QTabWidget* FTabs = nullptr;
    QPlainTextEdit* memoEditor = nullptr;
    QPlainTextEdit* memoReference = nullptr;
};
