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

namespace {

constexpr int PreviewTop = 140;

QStringList ChoiceList(const char* const* texts, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::fromUtf8(texts[i]);
    return list;
}

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
    : QDialog(owner), FSettings(settings ? settings : &TAppSettings::Instance())
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
                          ChoiceList(AIDialogueTree::CharacterNames, AIDialogueTree::CharacterCount), 0,
                          QRect(90, 12, 180, 24));
    AddCaption(top, QStringLiteral("C&haracter:"), 12, 13, cbCharacter);
    edtTopic = new QLineEdit(QString::fromUtf8(AIDialogueTree::DefaultTopic), top);
    edtTopic->setObjectName(QStringLiteral("edtTopic"));
    edtTopic->setGeometry(380, 12, 200, 24);
    AddCaption(top, QStringLiteral("&Topic:"), 310, 13, edtTopic);

    cbDepth = AddList(top, QStringLiteral("cbDepth"), ChoiceList(AIDialogueTree::DepthChoices, AIDialogueTree::DepthCount),
                      AIDialogueTree::DefaultDepthIndex, QRect(90, 46, 80, 24));
    AddCaption(top, QStringLiteral("&Depth:"), 12, 47, cbDepth);
    cbStyle = AddList(top, QStringLiteral("cbStyle"), ChoiceList(AIDialogueTree::StyleChoices, AIDialogueTree::StyleCount),
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
    lblStatus->setText(QString::fromUtf8(AIDialogueTree::GeneratingText));
    lblServiceHint->clear();
    const QString key = FSettings->AIAPIKey();
    const QString character = cbCharacter->currentText();
    const QString topic = edtTopic->text();
    const QString depth = cbDepth->currentText();
    const TAIServiceEndpoint endpoint = FEndpoint;
    const AIDialogueTree::TRandomBelow random = FRandom;
    // Everything the worker touches is a copy: a cancelled request may
    // still be running after the window has moved on.
    std::optional<AIDialogueTree::TGeneration> generation = AIBusyCall::Run<AIDialogueTree::TGeneration>(
        this, QStringLiteral("Waiting for the AI text service..."), [=] {
            const auto factory = [endpoint](const QString& trimmedKey) {
                return endpoint.MakeClient<TOllamaCloudClient>(trimmedKey, QString::fromUtf8(AIDialogueTree::ModelName));
            };
            return AIDialogueTree::Generate(key, character, topic, depth, factory, random);
        });
    if (!generation) {
        lblStatus->setText(QStringLiteral("Generation cancelled."));
        return;
    }
    ShowServiceHint(*generation, key.trimmed().isEmpty());
    AIDialogueTree::TParseResult& parse = generation->Result;
    if (!parse.Error.isEmpty()) {
        // A rejected reply is not offered for adding.
        ShowMessage(parse.Error);
        return;
    }
    lblStatus->setText(AIDialogueTree::StatusText(parse));
    if (!parse.Succeeded())
        return;
    FillPreview(AIDialogueTree::PreviewItems(parse));
    TakeParse(parse);
    btnAddToProject->setEnabled(true);
}

void TAIDialogueTreeForm::ShowServiceHint(const AIDialogueTree::TGeneration& generation, bool noKey)
{
    if (generation.Failure.IsFailure())
        lblServiceHint->setText(generation.Failure.UserHint() + QStringLiteral(" A sample tree is shown."));
    else if (noKey)
        lblServiceHint->setText(QStringLiteral("No API key is stored in the settings: a sample tree is shown."));
}

void TAIDialogueTreeForm::TakeParse(AIDialogueTree::TParseResult& parse)
{
    FGeneratedNodes = std::move(parse.Nodes);
    FRootNode = parse.Root;
}

void TAIDialogueTreeForm::FillPreview(const std::vector<AIDialogueTree::TPreviewItem>& items)
{
    tvPreview->clear();
    for (const AIDialogueTree::TPreviewItem& preview : items) {
        auto* item = new QTreeWidgetItem(tvPreview, QStringList(preview.Text));
        for (const QString& child : preview.Children)
            new QTreeWidgetItem(item, QStringList(child));
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
