#pragma once
// TMainForm: the application's single main window. It owns the open project
// and the project manager, and runs every document command: new, open,
// save, recent files, autosave, the unsaved-changes guard, undo and redo,
// the side panels, the project tree, the output log, the canvas events,
// the imports and exports, and the commands that hand the project to the
// other windows.
//
// Every command runs inside a boundary that catches unexpected errors and
// shows them in an error box; the window and the project stay usable.

#include "model/DialogueTypes.h"
#include "project/ProjectManager.h"
#include "shell/MainFormText.h"
#include "shell/RecentList.h"
#include "shell/ShellDialogs.h"
#include "shell/ThemeManager.h"
#include "shell/UndoHistory.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class TNodeTextBox;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TExportManager;
class TDialogueFormat;
struct TReadOptions;
struct TExportResult;
class TNodeCanvas;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int AutoSaveIntervalMs = 120 * 1000;

    // Without `dialogs` the toolkit's own dialogs and message boxes are used.
    explicit TMainForm(std::unique_ptr<IShellDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    TDialogueProject* Project() const { return FProject.get(); }
    TNodeCanvas* Canvas() const { return FCanvas; }
    const QString& SelectedNodeID() const { return FSelectedNodeID; }
    const TUndoHistory& History() const { return FHistory; }
    const TRecentList& RecentProjects() const { return FRecent; }
    QStringList LogLines() const;
    QTimer* AutoSaveTimer() const { return FAutoSaveTimer; }

    // Commands (the menu, toolbar and keys start the same ones).
    void NewProject();
    void OpenProject();
    void OpenRecent(const QString& path);
    void SaveProject(bool saveAs);
    void Undo();
    void Redo();
    void SelectAll();
    void DeleteSelected();
    void AutoLayoutNodes();
    void ToggleGrid();
    void ToggleSnap();
    void ToggleMinimap();
    void ChangeTheme(TThemeStyle style);
    void AddNodeOfType(TNodeType type);
    void EditNodeProperties();
    void SetAsStartNode();
    void ApplyProjectInfo();
    void PreviewDialogue();
    void FloatMessageEditor();
    void LocalizationManager();
    void ValidationAnalysis();
    void ScriptEditor();
    void Settings();
    void About();
    void AutoSaveTick();
    // Offers the autosave copy an unsaved project left behind (called once
    // the window is shown).
    void OfferStartupRecovery();
    void ToggleLogPanel();
    void ClearLog();

    void ExportJSON();
    void ExportMSG();
    void ExportSSL();
    void ExportFMF();
    void ExportEnginePackage();
    void ExportModPackage();
    void ExportGameScript();
    void ImportSSL();
    void ImportMSG();
    void ImportFMF();
    void ImportGameScript();
    void AIDialogueGenerator();
    void AIDialogueTree();
    void AISpriteGenerator();

    void AddLog(const QString& text, TLogLevel level = llInfo);

    // Canvas events.
    void CanvasNodeSelected(const QString& nodeID);
    void CanvasNodeDoubleClicked(const QString& nodeID);
    void CanvasConnectionMade(const QString& fromID, const QString& toID, int optIdx);
    void CanvasModified();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the controls.
    void BuildMenu();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildProjectMenu();
    void BuildOtherMenus();
    void BuildStatusBar();
    void BuildMainPanel();
    QWidget* BuildLogPanel();
    QWidget* BuildLeftPanel();
    QWidget* BuildRightPanel();
    QWidget* BuildNodeInfoPage();
    QWidget* BuildProjectInfoPage();
    QWidget* BuildCanvasArea();
    QWidget* BuildCanvasToolbar();
    void BuildMainToolbar();
    void ConnectCanvas();
    void ApplyFormTheme();

    QAction* AddAction(QMenu* menu, const QString& objectName, const QString& caption, const QKeySequence& key,
                       void (TMainForm::*command)());
    QAction* AddAction(QMenu* menu, const QString& objectName, const QString& caption, const QKeySequence& key,
                       const std::function<void()>& command);
    QPushButton* AddButton(QWidget* parent, const QString& objectName, const QString& caption, QRect geometry,
                           void (TMainForm::*command)());
    void RunCommand(const std::function<void()>& command);

    // Document lifecycle.
    bool GuardUnsavedChanges();
    void ReplaceProject(std::unique_ptr<TDialogueProject> project, bool keepHistory);
    void FinishOpen(std::unique_ptr<TDialogueProject> project);
    void OfferAutoSaveOf(TDialogueProject& project);
    bool WriteAutoSave();
    QString ExecutableAutoSavePath() const;
    void RemoveStaleAutoSave(const QString& savedFrom);

    // Refreshing what the window shows.
    void RefreshAll();
    void RebuildTree();
    void FillNodeInfo();
    void FillProjectInfo();
    void UpdateCounters();
    void UpdateStatusBar();
    void UpdateTitle();
    void UpdateUndoActions();
    void RebuildRecentMenu();
    void AddRecent(const QString& path);
    void MarkModified();
    void SelectNode(const QString& nodeID, bool fromCanvas);
    void NodeFieldsEdited();
    void TreeItemClicked(QTreeWidgetItem* item);
    void TreeItemDoubleClicked(QTreeWidgetItem* item);
    void RefreshAfterEdit();

    // Undo.
    // From a canvas gesture the state taken when the gesture began is used.
    void RecordUndoPoint(bool fromGesture = false);
    void RecordNodeUndoPoint(const TDialogueNode& node);
    void UndoPointRecorded();
    void RestoreFromHistory(bool undo);

    // Imports and exports.
    bool AskExportFile(const QString& title, const QString& fileTypes, const QString& extension,
                       const QString& proposedName, QString& fileName);
    TExportResult RunExport(TExportManager& manager, int format, const QString& outputPath);
    bool RunManagerExport(TExportManager& manager, int format, const QString& outputPath);
    // The manager's log from `fromLine` on, into the window's log.
    void CopyManagerLog(const TExportManager& manager, int fromLine = 0);
    // Asks for a file and replaces the project with what the format with
    // command-line name `key` reads from it.
    void RunImport(const QString& key, const QString& title);
    // Replaces the project with what `format` reads from `file`, and logs
    // the outcome and the format's report.
    void ImportFile(const TDialogueFormat& format, const QString& file, const TReadOptions& options);
    bool RequireProject() const { return FProject != nullptr; }
    bool RequireOpenProject();
    void AfterAIChange();

    std::unique_ptr<IShellDialogs> FDialogs;
    std::unique_ptr<TDialogueProject> FProject;
    std::unique_ptr<TProjectManager> FProjectManager;
    TUndoHistory FHistory;
    std::unique_ptr<TDialogueProject> FPendingGestureSnapshot;
    QString FTextEditSessionNodeID;
    TRecentList FRecent;
    QString FSelectedNodeID;
    bool FIgnoreNodeChanges = false;
    int FCommandDepth = 0;
    int FTreeNodeCount = 0;

    QTimer* FAutoSaveTimer = nullptr;
    TNodeCanvas* FCanvas = nullptr;

    QMenu* FFileMenu = nullptr;
    QAction* FRecentHeading = nullptr;
    QAction* FGameScriptAction = nullptr;
    QAction* FUndoAction = nullptr;
    QAction* FRedoAction = nullptr;
    QAction* FGridAction = nullptr;
    QAction* FSnapAction = nullptr;
    QAction* FMinimapAction = nullptr;
    QActionGroup* FThemeGroup = nullptr;
    QList<QAction*> FThemeActions;
    QToolBar* FMainToolbar = nullptr;
    QList<QLabel*> FStatusPanels;

    QSplitter* FVerticalSplitter = nullptr;
    QWidget* FLogPanel = nullptr;
    QPlainTextEdit* FLog = nullptr;
    QTreeWidget* FTree = nullptr;
    QTabWidget* FRightPages = nullptr;

    QLabel* FNodeIDValue = nullptr;
    QLabel* FNodeTypeValue = nullptr;
    QLineEdit* FSpeakerEdit = nullptr;
    QPlainTextEdit* FTextMemo = nullptr;
    std::unique_ptr<TNodeTextBox> FTextBox;
    QLabel* FOptionsValue = nullptr;
    QPushButton* FEditPropertiesButton = nullptr;
    QPushButton* FStartNodeButton = nullptr;

    QLineEdit* FProjectNameEdit = nullptr;
    QLineEdit* FNPCNameEdit = nullptr;
    QLineEdit* FNPCScriptEdit = nullptr;
    QLineEdit* FAuthorEdit = nullptr;
    QLineEdit* FVersionEdit = nullptr;
    QLineEdit* FStartNodeEdit = nullptr;
    QPlainTextEdit* FDescriptionMemo = nullptr;
    QLabel* FStatisticsLabel = nullptr;

    QLabel* FZoomLabel = nullptr;
    QLabel* FNodesLabel = nullptr;
};
