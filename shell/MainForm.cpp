// The main window's document lifecycle, panels, canvas events and editing
// commands.

#include "shell/MainForm.h"

#include "ai/gui/AIDialogueForm.h"
#include "ai/gui/AIDialogueTreeForm.h"
#include "ai/gui/AISpriteForm.h"
#include "ai/gui/AISpriteFormLogic.h"
#include "canvas/NodeCanvas.h"
#include "editors/FloatMessageEditor.h"
#include "editors/Localization.h"
#include "editors/NodeProperties.h"
#include "editors/ScriptEditor.h"
#include "editors/ValidationTools.h"
#include "preview/gui/PreviewForm.h"
#include "export/ExportFiles.h"
#include "project/AppPaths.h"
#include "shell/BusyCursor.h"
#include "shell/NodeTextBox.h"
#include "shell/ProjectSnapshot.h"
#include "shell/SettingsForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace {

const char* const StretchMarginProperty = "tlwRightMargin";

// Sets a flag for the lifetime of the object (panels being filled, a
// command running) and restores the previous value.
class TFlagScope {
public:
    TFlagScope(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FOld; }
private:
    bool& FFlag;
    bool FOld;
};

class TDepthScope {
public:
    explicit TDepthScope(int& depth) : FDepth(depth) { ++FDepth; }
    ~TDepthScope() { --FDepth; }
private:
    int& FDepth;
};

QString NodeTypeName(TNodeType type)
{
    return int(type) < NodeTypeCount ? QString::fromUtf8(NodeTypeNames[type]) : QString();
}

// The text field shows line breaks as "\n"; a node loaded from a file may
// hold "\r\n", which must not count as an edit.
}

TMainForm::TMainForm(std::unique_ptr<IShellDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), FDialogs(std::move(dialogs))
{
    TThemeManager::ApplyTheme(tsAmber);
    if (!FDialogs)
        FDialogs = CreateQtShellDialogs(this);
    FProjectManager = std::make_unique<TProjectManager>(FDialogs.get());
    setObjectName(QStringLiteral("MainForm"));
    resize(1280, 800);
    setMinimumSize(900, 600);

    BuildMenu();
    BuildStatusBar();
    BuildMainPanel();
    BuildMainToolbar();
    ConnectCanvas();
    ApplyFormTheme();

    FRecent.LoadFromUserStore();
    RebuildRecentMenu();

    FAutoSaveTimer = new QTimer(this);
    FAutoSaveTimer->setObjectName(QStringLiteral("AutoSaveTimer"));
    FAutoSaveTimer->setInterval(AutoSaveIntervalMs);
    connect(FAutoSaveTimer, &QTimer::timeout, this, [this] { RunCommand([this] { AutoSaveTick(); }); });
    FAutoSaveTimer->start();

    RunCommand([this] {
        ReplaceProject(FProjectManager->NewProject(), false);
        AddLog(QStringLiteral("New project created."));
        UpdateTitle();
    });
    AddLog(QStringLiteral("Tallowin initialized."));
    AddLog(QStringLiteral("Version 1.0.0  |  Desktop Edition"));
    AddLog(QStringLiteral("Right-click on the canvas to add nodes."));
    AddLog(QStringLiteral("Double-click a node to open properties."));
    UpdateUndoActions();
}

TMainForm::~TMainForm()
{
    // The canvas must not keep pointing at the project while both go.
    if (FCanvas)
        FCanvas->SetProject(nullptr);
}

// ---------------------------------------------------------------------------
// Command boundary

void TMainForm::RunCommand(const std::function<void()>& command)
{
    if (!command)
        return;
    TDepthScope depth(FCommandDepth);
    QString failure;
    try {
        command();
        return;
    } catch (const EDialogueError& e) {
        failure = e.Message();
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
        failure = QStringLiteral("An unexpected error occurred.");
    }
    FIgnoreNodeChanges = false;
    FDialogs->ShowError(failure.isEmpty() ? QStringLiteral("An unexpected error occurred.") : failure);
    UpdateTitle();
}

// ---------------------------------------------------------------------------
// Log

void TMainForm::AddLog(const QString& text, TLogLevel level)
{
    FLog->appendPlainText(MainFormText::LogLine(level, text, QTime::currentTime()));
    FLog->moveCursor(QTextCursor::End);
    FLog->verticalScrollBar()->setValue(FLog->verticalScrollBar()->maximum());
}

QStringList TMainForm::LogLines() const
{
    QStringList lines = FLog->toPlainText().split(QLatin1Char('\n'));
    if (lines.size() == 1 && lines.first().isEmpty())
        lines.clear();
    return lines;
}

void TMainForm::ClearLog() { FLog->clear(); }

void TMainForm::ToggleLogPanel()
{
    QList<int> sizes = FVerticalSplitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int logHeight = FLogPanel->height() <= 30 ? 140 : 26;
    FVerticalSplitter->setSizes({ total - logHeight, logHeight });
}

// ---------------------------------------------------------------------------
// Document lifecycle

bool TMainForm::GuardUnsavedChanges()
{
    if (!FProject || !FProject->Modified())
        return true;
    switch (FDialogs->Ask(MainFormText::UnsavedChangesQuestion(), true)) {
    case daYes:
        SaveProject(false);
        return true;   // goes on whether or not the save happened
    case daNo:
        return true;
    case daCancel:
        break;
    }
    return false;
}

void TMainForm::ReplaceProject(std::unique_ptr<TDialogueProject> project, bool keepHistory)
{
    std::unique_ptr<TDialogueProject> old = std::move(FProject);
    FProject = std::move(project);
    FCanvas->SetProject(FProject.get());
    old.reset();
    FSelectedNodeID.clear();
    FPendingGestureSnapshot.reset();
    FTextEditSessionNodeID.clear();
    if (!keepHistory)
        FHistory.Clear();
    UpdateUndoActions();
    RefreshAll();
}

void TMainForm::NewProject()
{
    if (!GuardUnsavedChanges())
        return;
    ReplaceProject(FProjectManager->NewProject(), false);
    AddLog(QStringLiteral("New project created."));
    UpdateTitle();
}

void TMainForm::OpenProject()
{
    if (!GuardUnsavedChanges())
        return;
    // Asked here rather than inside the manager so the wait cursor covers
    // the reading only, not the dialog.
    QString path;
    if (!FDialogs->AskOpenFileName(TProjectManager::OpenTitle, TProjectManager::OpenFileTypes, path) || path.isEmpty())
        return;
    TBusyCursor busy;
    FinishOpen(FProjectManager->OpenProject(path));
}

void TMainForm::OpenRecent(const QString& path)
{
    if (!GuardUnsavedChanges())
        return;
    TBusyCursor busy;
    FinishOpen(FProjectManager->OpenProject(path));
}

void TMainForm::FinishOpen(std::unique_ptr<TDialogueProject> project)
{
    if (!project)
        return;
    OfferAutoSaveOf(*project);
    ReplaceProject(std::move(project), false);
    if (!FProject->FilePath().isEmpty())
        AddRecent(FProject->FilePath());
    AddLog(QStringLiteral("Project loaded: %1  (%2 nodes)").arg(FProject->Name()).arg(FProject->NodeCount()));
    UpdateTitle();
}

void TMainForm::SaveProject(bool saveAs)
{
    if (!FProject)
        return;
    const QString previousPath = FProject->FilePath();
    if (FProjectManager->SaveProject(FProject.get(), saveAs)) {
        AddLog(QStringLiteral("Project saved: ") + FProject->FilePath());
        RemoveStaleAutoSave(previousPath);
    } else {
        AddLog(QStringLiteral("Save cancelled or failed."));
    }
    UpdateTitle();
}

QString TMainForm::ExecutableAutoSavePath() const
{
    const TDialogueProject unsaved;
    return MainFormText::AutoSavePath(unsaved, AppPaths::BesideExecutable(AppPaths::ExecutableBaseName()));
}

bool TMainForm::WriteAutoSave()
{
    const QString target =
        MainFormText::AutoSavePath(*FProject, AppPaths::BesideExecutable(AppPaths::ExecutableBaseName()));
    // A copy is written so the project keeps its file path, its modified
    // flag and its dates: the next Save still goes to the real file.
    try {
        ProjectSnapshot::Clone(*FProject)->SaveToFile(target);
    } catch (const EDialogueError& e) {
        AddLog(QStringLiteral("Auto-save failed."), llError);
        AddLog(QStringLiteral("  ") + e.Message(), llError);
        return false;
    }
    AddLog(QStringLiteral("Auto-saved to: ") + ExportFiles::LastComponent(target));
    return true;
}

void TMainForm::AutoSaveTick()
{
    if (FProject && FProject->Modified())
        WriteAutoSave();
}

void TMainForm::RemoveStaleAutoSave(const QString& savedFrom)
{
    // Once saved, the copy of the state before is of no more use; left
    // behind it would be offered again on the next open or start.
    QStringList stale;
    stale << (savedFrom.isEmpty() ? ExecutableAutoSavePath()
                                  : ExportFiles::ChangeFileExt(savedFrom, QStringLiteral(".autosave.tlw")));
    stale << ExportFiles::ChangeFileExt(FProject->FilePath(), QStringLiteral(".autosave.tlw"));
    for (const QString& path : std::as_const(stale))
        if (path != FProject->FilePath() && QFileInfo(path).isFile())
            QFile::remove(path);
}

void TMainForm::OfferAutoSaveOf(TDialogueProject& project)
{
    if (project.FilePath().isEmpty())
        return;
    const QString copyPath = ExportFiles::ChangeFileExt(project.FilePath(), QStringLiteral(".autosave.tlw"));
    const QFileInfo copy(copyPath);
    if (!copy.isFile() || copy.lastModified() <= QFileInfo(project.FilePath()).lastModified())
        return;
    const QString question = QStringLiteral("An auto-saved copy newer than this project was found:\r\n%1\r\n"
                                            "Do you want to open the auto-saved copy instead?")
                                 .arg(QDir::toNativeSeparators(copyPath));
    if (FDialogs->Ask(question, false) != daYes)
        return;
    TDialogueProject recovered;
    try {
        if (!recovered.LoadFromFile(copyPath))
            throw EDialogueError(QStringLiteral("The file is not a project."));
    } catch (const EDialogueError& e) {
        AddLog(QStringLiteral("The auto-saved copy could not be read: ") + e.Message(), llWarning);
        return;
    }
    ProjectSnapshot::Restore(project, recovered);
    project.SetModified(true);
    AddLog(QStringLiteral("Opened the auto-saved copy: ") + ExportFiles::LastComponent(copyPath));
}

void TMainForm::OfferStartupRecovery()
{
    RunCommand([this] {
        const QString path = ExecutableAutoSavePath();
        if (!QFileInfo(path).isFile())
            return;
        const QString question = QStringLiteral("An auto-saved copy of an unsaved project was found:\r\n%1\r\n"
                                                "Do you want to open it?")
                                     .arg(QDir::toNativeSeparators(path));
        if (FDialogs->Ask(question, false) != daYes)
            return;
        auto recovered = std::make_unique<TDialogueProject>();
        if (!recovered->LoadFromFile(path))
            throw EDialogueError(QStringLiteral("The auto-saved copy \"%1\" is not a project.").arg(path));
        recovered->SetFilePath(QString());
        recovered->SetModified(true);
        ReplaceProject(std::move(recovered), false);
        AddLog(QStringLiteral("Recovered the auto-saved project: ") + FProject->Name());
        UpdateTitle();
    });
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    bool proceed = false;
    RunCommand([this, &proceed] { proceed = GuardUnsavedChanges(); });
    if (!proceed) {
        event->ignore();
        return;
    }
    FAutoSaveTimer->stop();
    if (FProject && FProject->Modified())
        RunCommand([this] { WriteAutoSave(); });
    event->accept();
}

// ---------------------------------------------------------------------------
// Refreshing the panels

void TMainForm::RefreshAll()
{
    RebuildTree();
    FCanvas->SetProject(FProject.get());
    FCanvas->FitAll();
    FillProjectInfo();
    FillNodeInfo();
    UpdateCounters();
    UpdateStatusBar();
}

void TMainForm::RebuildTree()
{
    FTree->setUpdatesEnabled(false);
    FTree->clear();
    FTreeNodeCount = 0;
    if (FProject) {
        auto* root = new QTreeWidgetItem(QStringList(MainFormText::TreeRootCaption(*FProject)));
        // Groups appear in the order their type first occurs.
        QVector<QTreeWidgetItem*> groups(NodeTypeCount, nullptr);
        QVector<QList<QTreeWidgetItem*>> members(NodeTypeCount);
        for (const auto& node : FProject->Nodes()) {
            const int type = int(node->NodeType()) < NodeTypeCount ? int(node->NodeType()) : 0;
            if (!groups[type])
                groups[type] = new QTreeWidgetItem(root, QStringList(NodeTypeName(TNodeType(type))));
            auto* item = new QTreeWidgetItem(QStringList(MainFormText::TreeNodeCaption(*node)));
            item->setData(0, Qt::UserRole, node->ID());
            members[type].append(item);
        }
        for (int type = 0; type < NodeTypeCount; ++type)
            if (groups[type])
                groups[type]->addChildren(members[type]);
        const int floatCount = int(FProject->FloatMessages().size());
        if (floatCount > 0) {
            auto* group = new QTreeWidgetItem(root, QStringList(MainFormText::TreeFloatGroupCaption(floatCount)));
            QList<QTreeWidgetItem*> items;
            for (const auto& fm : FProject->FloatMessages())
                items << new QTreeWidgetItem(QStringList(MainFormText::TreeFloatCaption(*fm)));
            group->addChildren(items);
        }
        FTree->addTopLevelItem(root);
        root->setExpanded(true);
        FTreeNodeCount = FProject->NodeCount();
    }
    FTree->setUpdatesEnabled(true);
}

void TMainForm::FillNodeInfo()
{
    TFlagScope ignore(FIgnoreNodeChanges);
    TDialogueNode* node = FProject ? FProject->FindNode(FSelectedNodeID) : nullptr;
    if (node) {
        FNodeIDValue->setText(node->ID().left(18));
        FNodeTypeValue->setText(NodeTypeName(node->NodeType()));
        FSpeakerEdit->setText(node->Speaker());
        FTextBox->Show(node);
        FOptionsValue->setText(QStringLiteral("%1 option(s)").arg(node->PlayerOptions().size()));
        FStartNodeButton->setText(MainFormText::StartButtonCaption(node->IsStartNode()));
    } else {
        FNodeIDValue->setText(QString(MainFormText::Replacement));
        FNodeTypeValue->setText(QString(MainFormText::Replacement));
        FSpeakerEdit->clear();
        FTextBox->Show(nullptr);
        FOptionsValue->setText(QStringLiteral("0"));
        FStartNodeButton->setText(MainFormText::StartButtonCaption(false));
    }
    FEditPropertiesButton->setEnabled(node != nullptr);
    FStartNodeButton->setEnabled(node != nullptr);
}

void TMainForm::FillProjectInfo()
{
    TFlagScope ignore(FIgnoreNodeChanges);
    if (!FProject)
        return;
    FProjectNameEdit->setText(FProject->Name());
    FNPCNameEdit->setText(FProject->NPCName());
    FNPCScriptEdit->setText(FProject->NPCScript());
    FAuthorEdit->setText(FProject->Author());
    FVersionEdit->setText(FProject->Version());
    FStartNodeEdit->setText(FProject->StartNodeID());
    FDescriptionMemo->setPlainText(FProject->Description());
    FStatisticsLabel->setText(MainFormText::StatisticsLine(*FProject));
}

void TMainForm::UpdateCounters()
{
    const int selected = FProject ? int(FCanvas->SelectedNodes().size()) : 0;
    FNodesLabel->setText(MainFormText::NodeCounter(FProject.get(), selected));
    FZoomLabel->setText(MainFormText::ZoomCounter(FCanvas->Zoom()));
}

void TMainForm::UpdateStatusBar()
{
    const QStringList texts = MainFormText::StatusPanels(FProject.get(), TThemeManager::StyleName());
    for (int i = 0; i < FStatusPanels.size() && i < texts.size(); ++i)
        FStatusPanels[i]->setText(texts[i]);
}

void TMainForm::UpdateTitle() { setWindowTitle(MainFormText::WindowTitle(FProject.get())); }

void TMainForm::MarkModified()
{
    if (!FProject)
        return;
    FProject->SetModified(true);
    UpdateTitle();
}

void TMainForm::RefreshAfterEdit()
{
    MarkModified();
    RebuildTree();
    FillNodeInfo();
    FillProjectInfo();
    UpdateCounters();
    UpdateStatusBar();
    FCanvas->update();
}

// ---------------------------------------------------------------------------
// Recent list

void TMainForm::RebuildRecentMenu()
{
    const QList<QAction*> actions = FFileMenu->actions();
    const qsizetype heading = actions.indexOf(FRecentHeading);
    for (qsizetype i = heading + 1; i < actions.size(); ++i) {
        FFileMenu->removeAction(actions[i]);
        actions[i]->setObjectName(QString());
        actions[i]->deleteLater();   // may be the entry being triggered
    }
    const QStringList& items = FRecent.Items();
    for (int i = 0; i < items.size() && i < TRecentList::MaxEntries; ++i) {
        QAction* entry = FFileMenu->addAction(TRecentList::MenuCaption(i, items[i]));
        entry->setObjectName(QStringLiteral("miRecent%1").arg(i));
        entry->setToolTip(items[i]);
        entry->setStatusTip(items[i]);
        const QString path = items[i];
        connect(entry, &QAction::triggered, this, [this, path] { RunCommand([this, path] { OpenRecent(path); }); });
    }
}

void TMainForm::AddRecent(const QString& path)
{
    FRecent.Add(path);
    FRecent.SaveToUserStore();
    RebuildRecentMenu();
}

// ---------------------------------------------------------------------------
// Undo and redo

void TMainForm::RecordUndoPoint(bool fromGesture)
{
    if (!FProject)
        return;
    if (fromGesture && FPendingGestureSnapshot)
        FHistory.RecordSnapshot(std::move(FPendingGestureSnapshot));
    else
        FHistory.Record(*FProject);
    UndoPointRecorded();
}

void TMainForm::RecordNodeUndoPoint(const TDialogueNode& node)
{
    FHistory.RecordNode(node);
    UndoPointRecorded();
}

void TMainForm::UndoPointRecorded()
{
    // A new point ends a pending drag's snapshot and a stretch of typing.
    FPendingGestureSnapshot.reset();
    FTextEditSessionNodeID.clear();
    UpdateUndoActions();
}

void TMainForm::UpdateUndoActions()
{
    FUndoAction->setEnabled(FHistory.CanUndo());
    FRedoAction->setEnabled(FHistory.CanRedo());
    if (FMainToolbar) {
        if (QAction* undo = FMainToolbar->findChild<QAction*>(QStringLiteral("tbUndo")))
            undo->setEnabled(FHistory.CanUndo());
        if (QAction* redo = FMainToolbar->findChild<QAction*>(QStringLiteral("tbRedo")))
            redo->setEnabled(FHistory.CanRedo());
    }
}

void TMainForm::RestoreFromHistory(bool undo)
{
    if (undo)
        FHistory.Undo(*FProject);
    else
        FHistory.Redo(*FProject);
    FPendingGestureSnapshot.reset();
    FTextEditSessionNodeID.clear();
    // Every node is a new object now; the canvas forgets the old ones and
    // the selection follows the node's ID where it still exists.
    FCanvas->SelectedNodes();
    for (const auto& node : FProject->Nodes())
        node->SetSelected(false);
    if (FProject->FindNode(FSelectedNodeID))
        FCanvas->SelectNode(FSelectedNodeID);
    else
        FSelectedNodeID.clear();
    RefreshAfterEdit();
    UpdateUndoActions();
}

void TMainForm::Undo()
{
    if (!FProject || !FHistory.CanUndo()) {
        AddLog(QStringLiteral("Nothing to undo."));
        return;
    }
    RestoreFromHistory(true);
    AddLog(QStringLiteral("Undo: (state restored)"));
}

void TMainForm::Redo()
{
    if (!FProject || !FHistory.CanRedo()) {
        AddLog(QStringLiteral("Nothing to redo."));
        return;
    }
    RestoreFromHistory(false);
    AddLog(QStringLiteral("Redo: (state restored)"));
}

// ---------------------------------------------------------------------------
// Editing commands

void TMainForm::SelectAll()
{
    FCanvas->SelectAll();
    UpdateCounters();
}

void TMainForm::DeleteSelected()
{
    if (!FProject)
        return;
    const int count = int(FCanvas->SelectedNodes().size());
    if (count == 0)
        return;
    if (FDialogs->Ask(QStringLiteral("Delete %1 selected node(s)?").arg(count), false) != daYes)
        return;
    RecordUndoPoint();
    FCanvas->DeleteSelected();
    FSelectedNodeID.clear();
    RefreshAfterEdit();
    AddLog(QStringLiteral("Deleted %1 node(s).").arg(count));
}

void TMainForm::AutoLayoutNodes()
{
    if (!FProject)
        return;
    RecordUndoPoint();
    FCanvas->AutoLayout();
    // The nodes moved: that is a change to save.
    MarkModified();
    AddLog(QStringLiteral("Auto-layout applied."));
}

void TMainForm::ToggleGrid()
{
    FCanvas->SetShowGrid(!FCanvas->ShowGrid());
    FGridAction->setChecked(FCanvas->ShowGrid());
    FCanvas->update();
}

void TMainForm::ToggleSnap()
{
    FCanvas->SetSnapToGrid(!FCanvas->SnapToGrid());
    FSnapAction->setChecked(FCanvas->SnapToGrid());
}

void TMainForm::ToggleMinimap()
{
    FCanvas->SetShowMinimap(!FCanvas->ShowMinimap());
    FMinimapAction->setChecked(FCanvas->ShowMinimap());
    FCanvas->update();
}

void TMainForm::ChangeTheme(TThemeStyle style)
{
    TThemeManager::ApplyTheme(style);
    if (int(style) < FThemeActions.size())
        FThemeActions[int(style)]->setChecked(true);
    ApplyFormTheme();
    AddLog(QStringLiteral("Theme changed to: ") + TThemeManager::StyleName());
    UpdateStatusBar();
}

void TMainForm::AddNodeOfType(TNodeType type)
{
    if (!FProject)
        return;
    RecordUndoPoint();
    QRandomGenerator* random = QRandomGenerator::global();
    const int x = FCanvas->width() / 2 + random->bounded(-40, 40);
    const int y = FCanvas->height() / 2 + random->bounded(-30, 30);
    FCanvas->AddNode(type, x, y);
    RebuildTree();
    UpdateCounters();
    FillProjectInfo();
    UpdateStatusBar();
    MarkModified();
    AddLog(QStringLiteral("Added node: ") + NodeTypeName(type));
}

void TMainForm::SelectNode(const QString& nodeID, bool fromCanvas)
{
    FSelectedNodeID = nodeID;
    FTextEditSessionNodeID.clear();
    FillNodeInfo();
    UpdateCounters();
    if (fromCanvas)
        FRightPages->setCurrentIndex(0);
}

void TMainForm::NodeFieldsEdited()
{
    if (FIgnoreNodeChanges || !FProject)
        return;
    TDialogueNode* node = FProject->FindNode(FSelectedNodeID);
    if (!node)
        return;
    const QString speaker = FSpeakerEdit->text();
    // One undo point per stretch of typing in the same node; typing changes
    // only this node's fields, so a copy of the node is enough. The copy
    // shares the text until the box writes into it.
    const bool textChanged = FTextBox->Differs(*node);
    if (!textChanged && speaker == node->Speaker())
        return;
    if (FTextEditSessionNodeID != node->ID()) {
        RecordNodeUndoPoint(*node);
        FTextEditSessionNodeID = node->ID();
    }
    node->SetSpeaker(speaker);
    if (textChanged)
        FTextBox->ApplyTo(*node);
    MarkModified();
    FCanvas->UpdateNode(*node);
}

void TMainForm::TreeItemClicked(QTreeWidgetItem* item)
{
    const QString id = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (id.isEmpty() || !FProject || !FProject->FindNode(id))
        return;
    SelectNode(id, false);
    FCanvas->update();
}

void TMainForm::TreeItemDoubleClicked(QTreeWidgetItem* item)
{
    const QString id = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (id.isEmpty() || !FProject || !FProject->FindNode(id))
        return;
    SelectNode(id, false);
    EditNodeProperties();
}

void TMainForm::SetAsStartNode()
{
    TDialogueNode* node = FProject ? FProject->FindNode(FSelectedNodeID) : nullptr;
    if (!node)
        return;
    RecordUndoPoint();
    for (const auto& n : FProject->Nodes())
        n->SetIsStartNode(false);
    node->SetIsStartNode(true);
    FProject->SetStartNodeID(node->ID());
    MarkModified();
    {
        TFlagScope ignore(FIgnoreNodeChanges);
        FStartNodeEdit->setText(node->ID());
    }
    RebuildTree();
    FStartNodeButton->setText(MainFormText::StartButtonCaption(true));
    FCanvas->update();
    AddLog(QStringLiteral("Start node set to: ") + node->ID().left(12));
}

void TMainForm::ApplyProjectInfo()
{
    if (!FProject)
        return;
    RecordUndoPoint();
    FProject->SetName(FProjectNameEdit->text());
    FProject->SetNPCName(FNPCNameEdit->text());
    FProject->SetNPCScript(FNPCScriptEdit->text());
    FProject->SetAuthor(FAuthorEdit->text());
    FProject->SetVersion(FVersionEdit->text());
    FProject->SetStartNodeID(FStartNodeEdit->text());
    FProject->SetDescription(FDescriptionMemo->toPlainText());
    MarkModified();
    RebuildTree();
    UpdateStatusBar();
    AddLog(QStringLiteral("Project info updated."));
}

// ---------------------------------------------------------------------------
// Canvas events

void TMainForm::CanvasNodeSelected(const QString& nodeID) { SelectNode(nodeID, true); }

void TMainForm::CanvasNodeDoubleClicked(const QString& nodeID)
{
    if (!FProject || !FProject->FindNode(nodeID))
        return;
    SelectNode(nodeID, true);
    EditNodeProperties();
}

void TMainForm::CanvasConnectionMade(const QString& fromID, const QString& toID, int optIdx)
{
    TDialogueNode* source = FProject ? FProject->FindNode(fromID) : nullptr;
    if (!source)
        return;
    RecordUndoPoint(true);
    const int count = int(source->PlayerOptions().size());
    if (optIdx == -1) {
        source->SetNextNodeID(toID);
        AddLog(QStringLiteral("Connected %1 -> %2 (next)").arg(fromID, toID));
    } else if (optIdx >= 0 && optIdx < count) {
        source->PlayerOptions()[size_t(optIdx)]->TargetNodeID = toID;
        AddLog(QStringLiteral("Connected %1 option %2 -> %3").arg(fromID).arg(optIdx).arg(toID));
    } else {
        AddLog(QStringLiteral("ERROR: optIdx %1 out of range for %2 (count=%3)").arg(optIdx).arg(fromID).arg(count));
    }
    MarkModified();
    if (FSelectedNodeID == fromID)
        FillNodeInfo();
    FCanvas->update();
}

void TMainForm::CanvasModified()
{
    if (!FProject)
        return;
    // Inside a command of this window the command has recorded its undo
    // point already; otherwise it was a gesture on the canvas itself.
    const bool gesture = FCommandDepth == 1;
    if (gesture && FPendingGestureSnapshot) {
        const TDialogueProject& before = *FPendingGestureSnapshot;
        if (ProjectSnapshot::SameLayout(before, *FProject)) {
            // A click that moved nothing; the snapshot stays for the rest
            // of the gesture (a context-menu command may follow).
            UpdateCounters();
            return;
        }
        const bool structureChanged =
            before.NodeCount() != FProject->NodeCount() || before.StartNodeID() != FProject->StartNodeID();
        RecordUndoPoint(true);
        if (structureChanged || FTreeNodeCount != FProject->NodeCount()) {
            if (!FProject->FindNode(FSelectedNodeID))
                FSelectedNodeID.clear();
            RebuildTree();
            FillNodeInfo();
            FillProjectInfo();
        }
    }
    MarkModified();
    UpdateCounters();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FCanvas && FProject
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        // The state before a gesture, kept until the gesture reports a change.
        FPendingGestureSnapshot = ProjectSnapshot::Clone(*FProject);
    } else if (event->type() == QEvent::Resize && watched->isWidgetType()) {
        auto* page = static_cast<QWidget*>(watched);
        for (QWidget* child : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const QVariant margin = child->property(StretchMarginProperty);
            if (margin.isValid())
                child->resize(qMax(40, page->width() - child->x() - margin.toInt()), child->height());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Windows

void TMainForm::EditNodeProperties()
{
    TDialogueNode* node = FProject ? FProject->FindNode(FSelectedNodeID) : nullptr;
    if (!node)
        return;
    const QString id = node->ID();
    RecordUndoPoint();
    if (!TNodePropertiesForm::Execute(this, node, FProject.get()))
        return;
    MarkModified();
    RebuildTree();
    FillNodeInfo();
    FCanvas->update();
    AddLog(QStringLiteral("Node properties updated: ") + id.left(12));
}

void TMainForm::PreviewDialogue()
{
    if (!FProject)
        return;
    AddLog(QStringLiteral("Opening dialogue preview..."));
    TPreviewForm::RunPreview(this, FProject.get(), FSelectedNodeID);
}

void TMainForm::FloatMessageEditor()
{
    if (!FProject)
        return;
    RecordUndoPoint();
    TFloatMessageForm::Execute(this, FProject.get());
    RebuildTree();
    FillProjectInfo();
    MarkModified();
}

void TMainForm::LocalizationManager()
{
    if (!FProject)
        return;
    RecordUndoPoint();
    TLocalizationForm::Execute(this, FProject.get());
}

void TMainForm::ValidationAnalysis()
{
    if (!FProject)
        return;
    TValidationForm::Execute(this, FProject.get());
}

void TMainForm::ScriptEditor()
{
    QString code = MainFormText::ScriptEditorText(FProject ? FProject->NPCScript() : QString());
    if (!TScriptEditorForm::Execute(this, code) || !FProject)
        return;
    RecordUndoPoint();
    FProject->SetNPCScript(code);
    MarkModified();
    AddLog(QStringLiteral("NPC script updated."));
}

void TMainForm::Settings()
{
    if (TSettingsForm::Execute(this))
        AddLog(QStringLiteral("Settings updated."));
}

void TMainForm::About() { FDialogs->Inform(MainFormText::AboutText()); }

// ---------------------------------------------------------------------------
// AI windows

bool TMainForm::RequireOpenProject()
{
    if (FProject)
        return true;
    FDialogs->Inform(QStringLiteral("Please create or open a project first."));
    return false;
}

void TMainForm::AfterAIChange()
{
    MarkModified();
    RebuildTree();
    UpdateStatusBar();
    FCanvas->update();
}

void TMainForm::AIDialogueGenerator()
{
    if (!RequireOpenProject())
        return;
    TAIDialogueResult result;
    if (!TfrmAIDialogue::Execute(this, result))
        return;
    RecordUndoPoint();
    const AIDialogueWriter::TApplyResult outcome = AIDialogueWriter::ApplyResult(
        *FProject, FSelectedNodeID, result.Flags, result.GeneratedText, result.NPCName);
    if (outcome.SelectNode)
        SelectNode(outcome.NodeID, false);
    if (outcome.RefreshProperties)
        FillNodeInfo();
    if (!outcome.LogLine.isEmpty())
        AddLog(outcome.LogLine);
    AfterAIChange();
}

void TMainForm::AIDialogueTree()
{
    if (!RequireOpenProject())
        return;
    std::unique_ptr<TDialogueNode> root;
    if (!TAIDialogueTreeForm::Execute(this, root) || !root)
        return;
    RecordUndoPoint();
    ::AIDialogueTree::AddRootToProject(*FProject, *root);
    AfterAIChange();
    AddLog(QStringLiteral("AI dialogue tree added to project"));
}

void TMainForm::AISpriteGenerator()
{
    if (!RequireOpenProject())
        return;
    TRgbaImage sheet;
    if (!TfrmAISprte::Execute(this, sheet) || sheet.IsNull())
        return;
    RecordUndoPoint();
    QString path;
    QString error;
    if (!AISpriteLogic::SaveSheetIntoProject(*FProject, sheet, QDateTime::currentDateTime(), path, error)) {
        AddLog(QStringLiteral("Sprite sheet could not be saved: ") + error, llError);
        return;
    }
    MarkModified();
    AddLog(QStringLiteral("Sprite sheet saved: ") + QFileInfo(path).fileName());
    FDialogs->Inform(AISpriteLogic::SavedIntoProjectMessage(path));
}
