#include "ai/gui/AIDialogueTreeForm.h"

#include "ai/OllamaCloudClient.h"
#include "model/DialogueTypes.h"
#include "project/AppSettings.h"
#include "shell/ThemeManager.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

const QString TAIDialogueTreeForm::ModelName = QStringLiteral("llama3.1");

namespace {

constexpr int RequestMaxTokens = 1000;
constexpr int PreviewTop = 140;

struct TReplyAndFailure {
    QString Reply;
    TRequestFailure Failure;
};

QComboBox* AddList(QWidget* parent, const QString& name, const QStringList& items, int current, const QRect& geometry)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(items);
    list->setCurrentIndex(current);
    list->setGeometry(geometry);
    return list;
}

void AddCaption(QWidget* parent, const QString& text, int x, int y, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, 70, 22);
    label->setBuddy(buddy);
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

}

bool TAIDialogueTreeForm::Execute(QWidget* owner, std::unique_ptr<TDialogueNode>& RootNode)
{
    RootNode.reset();
    TAIDialogueTreeForm form(owner);
    if (form.exec() != QDialog::Accepted || !form.RootNode())
        return false;
    RootNode = form.TakeRootNode();
    return true;
}

TAIDialogueTreeForm::TAIDialogueTreeForm(QWidget* owner, TAppSettings* settings)
    : QDialog(owner), FSettings(settings ? settings : &TAppSettings::Instance()),
      FRandom(AIDialogueTree::DefaultRandom())
{
    setWindowTitle(QStringLiteral("AI Dialogue Tree Generator"));
    resize(FormWidth, FormHeight);
    CreateLayout();
    ApplyTheme();
    connect(btnGenerate, &QPushButton::clicked, this, &TAIDialogueTreeForm::GenerateTree);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnAddToProject, &QPushButton::clicked, this, &TAIDialogueTreeForm::AddToProject);
}

TAIDialogueTreeForm::~TAIDialogueTreeForm() = default;

void TAIDialogueTreeForm::CreateLayout()
{
    setFixedSize(FormWidth, FormHeight);
    auto* top = new QFrame(this);
    top->setObjectName(QStringLiteral("pnlTop"));
    top->setGeometry(0, 0, FormWidth, PreviewTop - 10);
    CreateInputRows(top);
    CreatePreview();
    auto* bottom = new QFrame(this);
    bottom->setObjectName(QStringLiteral("pnlBottom"));
    bottom->setGeometry(0, FormHeight - 66, FormWidth, 66);
    CreateBottom(bottom);
}

void TAIDialogueTreeForm::CreateInputRows(QFrame* top)
{
    cbCharacter = AddList(top, QStringLiteral("cbCharacter"),
                          {QStringLiteral("Vault Dweller"), QStringLiteral("Brotherhood Knight"),
                           QStringLiteral("Raider Chief"), QStringLiteral("Ghoul Philosopher"),
                           QStringLiteral("Settler"), QStringLiteral("Enclave Officer"), QStringLiteral("Super Mutant")},
                          0, QRect(90, 12, 180, 24));
    AddCaption(top, QStringLiteral("C&haracter:"), 12, 13, cbCharacter);
    edtTopic = new QLineEdit(QStringLiteral("Help a stranger"), top);
    edtTopic->setObjectName(QStringLiteral("edtTopic"));
    edtTopic->setGeometry(380, 12, 200, 24);
    AddCaption(top, QStringLiteral("&Topic:"), 310, 13, edtTopic);

    cbDepth = AddList(top, QStringLiteral("cbDepth"),
                      {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")}, 1,
                      QRect(90, 46, 80, 24));
    AddCaption(top, QStringLiteral("&Depth:"), 12, 47, cbDepth);
    cbStyle = AddList(top, QStringLiteral("cbStyle"),
                      {QStringLiteral("Brief (1-2 lines)"), QStringLiteral("Detailed (3-4 lines)"),
                       QStringLiteral("Verbose (full description)")},
                      0, QRect(380, 46, 200, 24));
    AddCaption(top, QStringLiteral("&Style:"), 310, 47, cbStyle);

    btnGenerate = AddButton(top, QStringLiteral("btnGenerate"), QStringLiteral("&Generate Tree"), QRect(12, 86, 120, 30));
    btnCancel = AddButton(top, QStringLiteral("btnCancel"), QStringLiteral("Cancel"), QRect(140, 86, 80, 30));
    lblStatus = new QLabel(top);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setGeometry(232, 90, 300, 22);
}

void TAIDialogueTreeForm::CreatePreview()
{
    auto* preview = new QFrame(this);
    preview->setObjectName(QStringLiteral("pnlPreview"));
    preview->setGeometry(10, PreviewTop, FormWidth - 20, FormHeight - 210);
    tvPreview = new QTreeWidget(preview);
    tvPreview->setObjectName(QStringLiteral("tvPreview"));
    tvPreview->setHeaderHidden(true);
    tvPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvPreview->setGeometry(0, 0, preview->width(), preview->height());
}

void TAIDialogueTreeForm::CreateBottom(QFrame* bottom)
{
    btnAddToProject =
        AddButton(bottom, QStringLiteral("btnAddToProject"), QStringLiteral("&Add to Project"), QRect(12, 6, 150, 30));
    btnAddToProject->setEnabled(false);
    // Why the sample tree stands in for the service's answer, when it does.
    lblServiceHint = new QLabel(bottom);
    lblServiceHint->setObjectName(QStringLiteral("lblServiceHint"));
    lblServiceHint->setGeometry(176, 2, FormWidth - 188, 40);
    lblServiceHint->setWordWrap(true);
}

void TAIDialogueTreeForm::ApplyTheme()
{
    TThemeManager::ApplyToForm(this);
    const TColor warning = TThemeManager::Current().ColorWarning;
    QPalette hint = lblServiceHint->palette();
    hint.setColor(QPalette::WindowText, QColor(ColorRed(warning), ColorGreen(warning), ColorBlue(warning)));
    lblServiceHint->setPalette(hint);
}

QString TAIDialogueTreeForm::BuildPromptText() const
{
    return AIDialogueTree::BuildPrompt(cbCharacter->currentText(), edtTopic->text(), cbDepth->currentText());
}

void TAIDialogueTreeForm::GenerateTree()
{
    FGeneratedNodes.clear();
    FRootNode = nullptr;
    lblStatus->setText(QStringLiteral("Generating..."));
    lblServiceHint->clear();
    const QString prompt = BuildPromptText();
    const QString key = FSettings->AIAPIKey().trimmed();
    const TAIServiceEndpoint endpoint = FEndpoint;
    std::optional<TReplyAndFailure> answer = AIBusyCall::Run<TReplyAndFailure>(
        this, QStringLiteral("Waiting for the AI text service..."), [key, endpoint, prompt] {
            TOllamaCloudClient client(key, ModelName);
            endpoint.ApplyTo(client);
            const QString reply = client.GenerateText(prompt, RequestMaxTokens);
            return TReplyAndFailure{reply, client.LastFailure()};
        });
    if (!answer) {
        lblStatus->setText(QStringLiteral("Generation cancelled."));
        return;
    }
    if (answer->Failure.IsFailure())
        lblServiceHint->setText(answer->Failure.UserHint() + QStringLiteral(" A sample tree is shown."));
    else if (key.isEmpty())
        lblServiceHint->setText(QStringLiteral("No API key is stored in the settings: a sample tree is shown."));

    TAITreeParse parse =
        AIDialogueTree::Parse(AIDialogueTree::TreeTextForReply(answer->Reply), cbCharacter->currentText(), FRandom);
    if (!parse.Error.isEmpty()) {
        // A half-read reply is not offered for adding.
        ShowMessage(parse.Error);
        return;
    }
    TakeParse(parse);
    if (!FRootNode) {
        lblStatus->setText(QStringLiteral("Failed to parse response"));
        return;
    }
    FillPreview();
    lblStatus->setText(QStringLiteral("Generated %1 nodes").arg(FGeneratedNodes.size()));
    btnAddToProject->setEnabled(true);
}

void TAIDialogueTreeForm::TakeParse(TAITreeParse& parse)
{
    FGeneratedNodes = std::move(parse.Nodes);
    FRootNode = parse.Root;
}

void TAIDialogueTreeForm::FillPreview()
{
    tvPreview->clear();
    for (const auto& node : FGeneratedNodes) {
        if (!node->IsStartNode())
            continue;
        auto* item = new QTreeWidgetItem(tvPreview, QStringList(node->Text()));
        for (const auto& option : node->PlayerOptions())
            new QTreeWidgetItem(item, QStringList(QStringLiteral("\u2192 ") + option->Text));
    }
    tvPreview->expandAll();
}

void TAIDialogueTreeForm::AddToProject()
{
    if (FRootNode)
        accept();
}

std::unique_ptr<TDialogueNode> TAIDialogueTreeForm::TakeRootNode()
{
    for (auto it = FGeneratedNodes.begin(); it != FGeneratedNodes.end(); ++it) {
        if (it->get() == FRootNode) {
            std::unique_ptr<TDialogueNode> root = std::move(*it);
            FGeneratedNodes.erase(it);
            FRootNode = nullptr;
            return root;
        }
    }
    return nullptr;
}

void TAIDialogueTreeForm::ShowMessage(const QString& text)
{
    if (FMessageHandler)
        FMessageHandler(text);
    else
        QMessageBox::critical(this, windowTitle(), text);
}
