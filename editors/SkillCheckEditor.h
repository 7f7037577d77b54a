#pragma once
// Modal editor of one skill-check record: skill, difficulty, rewards,
// messages and target nodes, with the assumed success chance and a
// ten-roll simulation. It edits a copy; only OK writes the copy back.
//
// Call interface:
//   static bool TSkillCheckEditorForm::Execute(QWidget* owner, TSkillCheck& sk,
//                                              bool readOnly = false,
//                                              TRollSource* rolls = nullptr);
// Returns true after OK (sk then holds the edited record), false after
// Cancel (sk untouched). `readOnly` is kept with the window and disables
// nothing. `rolls` replaces the program's random source for "Roll 10x".

#include "editors/SkillCheckEditorLogic.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;

class TSkillCheckEditorForm : public QDialog {
    Q_OBJECT
public:
    static bool Execute(QWidget* owner, TSkillCheck& sk, bool readOnly = false, TRollSource* rolls = nullptr);

    // Builds, themes and loads the window without showing it.
    TSkillCheckEditorForm(QWidget* owner, const TSkillCheck& sk, bool readOnly = false,
                          TRollSource* rolls = nullptr);

    // The working copy; after OK it holds what the controls showed.
    const TSkillCheck& SkillCheck() const { return FSkillCheck; }
    bool ReadOnly() const { return FReadOnly; }

    int CurrentChance() const;
    void RollTen();

    static constexpr int ProbBarWidth = 200;

public Q_SLOTS:
    void accept() override;

private:
    void BuildControls();
    void BuildBody(class QGridLayout* grid);
    QFrame* BuildSimulationPanel();
    void ApplyTheme();
    void LoadControls();
    void StoreControls();
    void RefreshChance();

    TSkillCheck FSkillCheck;
    bool FReadOnly;
    TRollSource* FRolls;

    QLabel* lblTitle = nullptr;
    QComboBox* cmbSkill = nullptr;
    QSlider* trkDifficulty = nullptr;
    QLabel* lblDiffVal = nullptr;
    QFrame* pnlProbBar = nullptr;
    QFrame* pnlProbFill = nullptr;
    QLabel* lblProbability = nullptr;
    QSpinBox* spnXP = nullptr;
    QSpinBox* spnCritBonus = nullptr;
    QLineEdit* edtSuccessMsg = nullptr;
    QLineEdit* edtFailMsg = nullptr;
    QLineEdit* edtSuccessNode = nullptr;
    QLineEdit* edtFailNode = nullptr;
    QFrame* pnlSimulation = nullptr;
    QLabel* lblSimTitle = nullptr;
    QSpinBox* spnSimSkill = nullptr;
    QPushButton* btnRoll = nullptr;
    QPlainTextEdit* memoSimResult = nullptr;
    QFrame* pnlHeader = nullptr;
    QFrame* pnlButtons = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QList<QLabel*> FCaptions;
};

// The name the editor is known by elsewhere in the program.
using TSkillCheckEditor = TSkillCheckEditorForm;
