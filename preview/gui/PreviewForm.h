#pragma once
// The modal window in which the writer plays a conversation through: the
// current node like a game dialogue screen, the conversation log, playback
// buttons and an inspector of the simulated game state. All rules of what
// is shown live in TPreviewEngine; this window displays and forwards.

#include "preview/PreviewSystem.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QTabWidget;

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    // Opens the preview modally on `project`, starting at `startNodeID`
    // (empty: the project's start node, else its first node). `onFinished`
    // is called once the window has closed.
    static void RunPreview(QWidget* owner, TDialogueProject* project, const QString& startNodeID,
                           const std::function<void()>& onFinished = {});

    TPreviewForm(QWidget* owner, TDialogueProject* project, IPreviewRandom* random = nullptr);
    ~TPreviewForm() override;

    // Resets and shows the first node, as RunPreview does before showing.
    void Start(const QString& startNodeID);

    // The line-input box of the inspector; tests replace it. Returns false
    // when cancelled.
    std::function<bool(const QString& title, const QString& prompt, QString& value)> InputBox;

    TPreviewEngine& Engine() { return FEngine; }
    const QVector<QPushButton*>& OptionButtons() const { return FOptionButtons; }
    QPlainTextEdit* DialoguePane() const { return FPane; }
    QListWidget* LogList() const { return FLogList; }
    QLabel* SpeakerLabel() const { return FSpeaker; }
    QLabel* PortraitLabel() const { return FPortrait; }
    QLabel* NodeInfoLabel() const { return FNodeInfo; }
    QTableWidget* VarsGrid() const { return FVarsGrid; }
    QTableWidget* SkillsGrid() const { return FSkillsGrid; }
    QTableWidget* QuestGrid() const { return FQuestGrid; }
    QListWidget* InventoryList() const { return FInventoryList; }
    QLineEdit* InventoryEdit() const { return FInventoryEdit; }

    void EditVarRow(int row);
    void EditSkillRow(int row);
    void AddInventoryItem();
    void RemoveInventoryItem();

    // The 140 x 140 placeholder portrait.
    static QPixmap PlaceholderPortrait();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildGameView();
    QWidget* BuildLogPanel();
    QWidget* BuildControlStrip();
    QWidget* BuildInspector();
    void ApplyTheme();
    void Refresh();
    void RefreshPortrait();
    void RefreshOptions();
    void RefreshLog();
    void RefreshInspector();
    void Choose(int position);
    bool HandleKey(QKeyEvent* event);

    TDialogueProject* FProject;
    TPreviewEngine FEngine;
    QVector<QPushButton*> FOptionButtons;
    QVector<QPushButton*> FRetiredButtons;   // kept until the window goes
    QLabel* FPortrait = nullptr;
    QLabel* FSpeaker = nullptr;
    QPlainTextEdit* FPane = nullptr;
    QScrollArea* FOptionsArea = nullptr;
    QWidget* FOptionsBox = nullptr;
    QListWidget* FLogList = nullptr;
    QCheckBox* FAutoAdvance = nullptr;
    QLabel* FNodeInfo = nullptr;
    QTabWidget* FTabs = nullptr;
    QTableWidget* FVarsGrid = nullptr;
    QTableWidget* FSkillsGrid = nullptr;
    QTableWidget* FQuestGrid = nullptr;
    QListWidget* FInventoryList = nullptr;
    QLineEdit* FInventoryEdit = nullptr;
    int FLoggedLines = 0;
};
