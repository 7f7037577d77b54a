#pragma once
// Modal editor of every field of one dialogue node: general fields, player
// options with their skill checks, conditions and scripts. It edits the
// live node; the list buttons and typing an option's text act at once,
// everything else is stored by Apply or OK.
//
// Call interface:
//   static bool TNodePropertiesForm::Execute(QWidget* owner, TDialogueNode* aNode,
//                                            TDialogueProject* aProject,
//                                            std::function<void()> onLiveEdit = {});
// Returns true exactly when closed with OK. Cancel returns false but keeps
// what Apply, the list buttons and option-text typing already changed, so
// callers take their undo point before calling. `onLiveEdit` runs after
// each of those immediate changes (to repaint the canvas); without it the
// owner window and its children are repainted.

#include "editors/NodePropertiesLogic.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QGridLayout;

class TNodePropertiesForm : public QDialog {
    Q_OBJECT
public:
    static bool Execute(QWidget* owner, TDialogueNode* aNode, TDialogueProject* aProject,
                        std::function<void()> onLiveEdit = {});

    // Builds, themes, fills the pickers and loads the node without showing.
    TNodePropertiesForm(QWidget* owner, TDialogueNode* aNode, TDialogueProject* aProject,
                        std::function<void()> onLiveEdit = {});
    ~TNodePropertiesForm() override;

    // Open-file question of the two "..." buttons (title, Qt filter) ->
    // chosen path or empty; replaceable so the buttons can run unattended.
    using TFileChooser = std::function<QString(const QString& title, const QString& filter)>;
    void SetFileChooser(TFileChooser chooser) { FFileChooser = std::move(chooser); }

    // Stores the shown details and the General page (what Apply does).
    void StoreAll();

    void SelectOption(int row);
    void SelectCondition(int row);
    void SelectScript(int row);

public Q_SLOTS:
    void accept() override;

private:
    void BuildControls();
    QWidget* BuildGeneralPage();
    QWidget* BuildOptionsPage();
    QFrame* BuildSkillPanel(QWidget* parent);
    QWidget* BuildConditionsPage();
    QWidget* BuildScriptsPage();
    QFrame* BuildToolStrip(QWidget* parent, std::initializer_list<QPushButton*> buttons);
    // The option, condition and script pages share one frame: the list's
    // tool strip on top, the list left of its details below.
    void FrameListPage(QWidget* page, QFrame* toolStrip, QListWidget* list, QWidget* details, int listWidth);
    // Shows the row the user selects; rows changed while loading are not the user's.
    void ShowSelectedRows(QListWidget* list, void (TNodePropertiesForm::*show)(int));
    QLabel* AddCaption(QGridLayout* grid, int row, int column, const QString& text, QWidget* buddy);
    // A captioned row: the caption for the first of `widgets`, which follow
    // it left-aligned on one line.
    QLabel* AddField(QGridLayout* grid, int& row, const QString& caption, std::initializer_list<QWidget*> widgets);
    void ApplyTheme();

    void FillPickers();
    void LoadNode();
    void ShowPicker(QComboBox* picker, const QString& nodeID);
    QString PickerLink(QComboBox* picker) const;
    void RebuildOptionList(int select);
    void RebuildConditionList(int select);
    void RebuildScriptList(int select);
    void ShowOption(int row);
    void ShowCondition(int row);
    void ShowScript(int row);
    void ShowIntelligence(const TIntelligenceChoice& choice);
    void IntelligenceKindChosen(int kind);
    void StoreShownDetails();
    void StoreGeneral();
    void RefreshCaptions();
    void OptionTextTyped(const QString& text);
    void LiveEdited();
    void ChooseFile(QLineEdit* target, const QString& title, const QString& filter);

    void AddOptionClicked();
    void DeleteOptionClicked();
    void MoveOptionClicked(int delta);
    void AddConditionClicked();
    void DeleteConditionClicked();
    void AddScriptClicked();
    void DeleteScriptClicked();

    TPlayerOption* SelectedOption() const;
    TCondition* SelectedCondition() const;
    TNodeScript* SelectedScript() const;

    TDialogueNode* FNode;
    TDialogueProject* FProject;
    std::function<void()> FOnLiveEdit;
    TFileChooser FFileChooser;
    std::unique_ptr<TNodePicker> FPicker;
    bool FLoading = false;
    QList<QLabel*> FCaptions;

    QFrame* pnlHeader = nullptr;
    QLabel* lblTitle = nullptr;
    QTabWidget* tabPages = nullptr;
    QFrame* pnlButtons = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnCancel = nullptr;

    // General
    QComboBox* cmbNodeType = nullptr;
    QLineEdit* edtSpeaker = nullptr;
    QPlainTextEdit* memoText = nullptr;
    QPlainTextEdit* memoNotes = nullptr;
    QLineEdit* edtPortrait = nullptr;
    QPushButton* btnPortrait = nullptr;
    QLineEdit* edtVoice = nullptr;
    QPushButton* btnVoice = nullptr;
    QComboBox* cmbNextNode = nullptr;
    QLineEdit* edtQuestID = nullptr;
    QLineEdit* edtQuestFlag = nullptr;
    QSpinBox* spnReputation = nullptr;
    QSpinBox* spnKarma = nullptr;
    QLineEdit* edtTag = nullptr;
    QSpinBox* spnWeight = nullptr;
    QCheckBox* chkStartNode = nullptr;
    QPlainTextEdit* memoComment = nullptr;
    QLineEdit* edtCombatScript = nullptr;
    QSpinBox* spnMsgNumber = nullptr;
    QLineEdit* edtProcedure = nullptr;

    // Player options
    QPushButton* btnAddOption = nullptr;
    QPushButton* btnDeleteOption = nullptr;
    QPushButton* btnOptionUp = nullptr;
    QPushButton* btnOptionDown = nullptr;
    QListWidget* lstOptions = nullptr;
    QLineEdit* edtOptionText = nullptr;
    QComboBox* cmbTargetNode = nullptr;
    QCheckBox* chkHidden = nullptr;
    QLineEdit* edtItemReq = nullptr;
    QSpinBox* spnRepReq = nullptr;
    QSpinBox* spnKarmaReq = nullptr;
    QComboBox* cmbIntelligence = nullptr;
    QSpinBox* spnIntelligence = nullptr;
    QComboBox* cmbReaction = nullptr;
    QLineEdit* edtGuard = nullptr;
    QSpinBox* spnOptionMsg = nullptr;
    QCheckBox* chkSkillCheck = nullptr;
    QFrame* pnlSkillCheck = nullptr;
    QComboBox* cmbSkill = nullptr;
    QSlider* trkDifficulty = nullptr;
    QLabel* lblDifficulty = nullptr;
    QSpinBox* spnXPReward = nullptr;
    QComboBox* cmbSuccessNode = nullptr;
    QComboBox* cmbFailureNode = nullptr;
    QLineEdit* edtSuccessMsg = nullptr;
    QLineEdit* edtFailureMsg = nullptr;

    // Conditions
    QPushButton* btnAddCondition = nullptr;
    QPushButton* btnDeleteCondition = nullptr;
    QListWidget* lstConditions = nullptr;
    QComboBox* cmbCondType = nullptr;
    QLineEdit* edtCondVariable = nullptr;
    QComboBox* cmbCondOperator = nullptr;
    QLineEdit* edtCondValue = nullptr;
    QComboBox* cmbCondBoolOp = nullptr;
    QLabel* lblCondSummary = nullptr;

    // Scripts
    QPushButton* btnAddScript = nullptr;
    QPushButton* btnDeleteScript = nullptr;
    QListWidget* lstScripts = nullptr;
    QComboBox* cmbScriptEvent = nullptr;
    QCheckBox* chkScriptEnabled = nullptr;
    QLabel* lblScriptCode = nullptr;
    QPlainTextEdit* memoScriptCode = nullptr;
    QLabel* lblScriptHint = nullptr;
};
