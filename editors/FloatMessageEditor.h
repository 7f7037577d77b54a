#pragma once
// Modal editor of the project's float messages (idle barks, taunts,
// greetings): a list filtered by category and a detail pane. Edits go
// straight into the project's message objects; there is no cancel.
//
// Call interface:
//   static bool TFloatMessageForm::Execute(QWidget* owner, TDialogueProject* aProject);
// The result only tells whether the window was closed with "Done" (true,
// the last edits saved) or by its frame (false, the last pane edits
// dropped); earlier edits stay in the project either way, so callers
// refresh and mark modified regardless.

#include "editors/FloatMessageEditorLogic.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

class TFloatMessageForm : public QDialog {
    Q_OBJECT
public:
    static bool Execute(QWidget* owner, TDialogueProject* aProject);

    // Builds, themes and fills the window without showing it.
    TFloatMessageForm(QWidget* owner, TDialogueProject* aProject);

    TFloatMessage* CurrentMessage() const { return FCurrentMsg; }
    // The messages behind the list lines, in line order.
    const QVector<TFloatMessage*>& ShownMessages() const { return FShown; }

    void AddMessage();
    void DeleteMessage();
    void DuplicateMessage();
    // "+Cat" after its question was answered with `answer`.
    void AddCategory(const QString& answer);
    void Done();

private:
    void BuildControls();
    QWidget* BuildListPane();
    QWidget* BuildDetailPane();
    QFrame* BuildButtonBar();
    void ApplyTheme();

    void BuildCategoryLists();
    void RefreshMessageList();
    void SelectLine(int row);
    void SaveCurrent();
    void LoadMessage(TFloatMessage* message);
    void RefreshPreview();
    void AskNewCategory();
    QString SelectedFilter() const;
    TFloatMessageDetails ReadPane() const;
    void ShowPane(const TFloatMessageDetails& details);

    TDialogueProject* FProject;
    TFloatMessage* FCurrentMsg = nullptr;
    QVector<TFloatMessage*> FShown;
    bool FUpdating = false;
    QLocale FLocale;

    QFrame* pnlTop = nullptr;
    QLabel* lblTitle = nullptr;
    QFrame* pnlLeft = nullptr;
    QLabel* lblMessages = nullptr;
    QComboBox* cmbCategoryFilter = nullptr;
    QPushButton* btnAddCategory = nullptr;
    QListWidget* lstMessages = nullptr;
    QFrame* pnlDetail = nullptr;
    QPlainTextEdit* memoText = nullptr;
    QComboBox* cmbCategory = nullptr;
    QSpinBox* spnPriority = nullptr;
    QSpinBox* spnWeight = nullptr;
    QLineEdit* edtDuration = nullptr;
    QLineEdit* edtCondition = nullptr;
    QLineEdit* edtLocaleKey = nullptr;
    QGroupBox* grpFlags = nullptr;
    QCheckBox* chkAmbient = nullptr;
    QCheckBox* chkCombatTaunt = nullptr;
    QCheckBox* chkContextSensitive = nullptr;
    QLabel* lblPreviewCaption = nullptr;
    QFrame* pnlPreview = nullptr;
    QLabel* lblPreview = nullptr;
    QFrame* pnlBottom = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnDuplicate = nullptr;
    QPushButton* btnDone = nullptr;
    QList<QLabel*> FCaptions;
};

// The name the editor is known by elsewhere in the program.
using TFloatMessageEditor = TFloatMessageForm;
