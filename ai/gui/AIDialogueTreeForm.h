#pragma once
// The AI dialogue tree generator: asks the AI text service for a small
// branching conversation in the "N:" / "O:" tree text, parses it and
// previews the root node with its options.
//
// Call interface (the main window's AI dialogue tree command):
//   static bool TAIDialogueTreeForm::Execute(QWidget* owner,
//                                            std::unique_ptr<TDialogueNode>& RootNode);
// Returns true after Add to Project with RootNode set; the caller owns it.
// Otherwise false and RootNode null. Apply it with
//   AIDialogueTree::AddRootToProject(project, *RootNode)
// (ai/AIDialogueTree.h) after taking the undo point, then log
// AIDialogueTree::AddedLogLine.

#include "ai/AIDialogueTree.h"
#include "ai/gui/AIDialogueFormWorker.h"

#include <QDialog>

#include <memory>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class TAppSettings;

class TAIDialogueTreeForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int FormWidth = 700;
    static constexpr int FormHeight = 600;

    static bool Execute(QWidget* owner, std::unique_ptr<TDialogueNode>& RootNode);

    // Builds and themes the window without showing it; the key is read
    // from `settings` (the shared settings when null) at each Generate.
    explicit TAIDialogueTreeForm(QWidget* owner, TAppSettings* settings = nullptr);
    ~TAIDialogueTreeForm() override;

    void SetServiceEndpoint(const TAIServiceEndpoint& endpoint) { FEndpoint = endpoint; }
    void SetMessageHandler(TAIMessageHandler handler) { FMessageHandler = std::move(handler); }
    void SetRandom(AIDialogueTree::TRandomBelow random) { FRandom = std::move(random); }

    const std::vector<std::unique_ptr<TDialogueNode>>& GeneratedNodes() const { return FGeneratedNodes; }
    TDialogueNode* RootNode() const { return FRootNode; }
    // Hands the root over to the caller (null when there is none).
    std::unique_ptr<TDialogueNode> TakeRootNode();

    QString BuildPromptText() const;

public Q_SLOTS:
    void GenerateTree();
    void AddToProject();

private:
    void CreateLayout();
    void CreateInputRows(QFrame* top);
    void CreatePreview();
    void CreateBottom(QFrame* bottom);
    void ApplyTheme();
    void TakeParse(AIDialogueTree::TParseResult& parse);
    void ShowServiceHint(const AIDialogueTree::TGeneration& generation, bool noKey);
    void FillPreview(const std::vector<AIDialogueTree::TPreviewItem>& items);
    void ShowMessage(const QString& text);

    TAppSettings* FSettings;
    TAIServiceEndpoint FEndpoint;
    TAIMessageHandler FMessageHandler;
    AIDialogueTree::TRandomBelow FRandom;   // empty: the parser's own
    std::vector<std::unique_ptr<TDialogueNode>> FGeneratedNodes;
    TDialogueNode* FRootNode = nullptr;

public:
    QComboBox* cbCharacter = nullptr;
    QLineEdit* edtTopic = nullptr;
    QComboBox* cbDepth = nullptr;
    QComboBox* cbStyle = nullptr;
    QPushButton* btnGenerate = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lblStatus = nullptr;
    QTreeWidget* tvPreview = nullptr;
    QPushButton* btnAddToProject = nullptr;
    QLabel* lblServiceHint = nullptr;
};
