#include "ai/gui/AIDialogueForm.h"

#include "ai/OllamaCloudClient.h"
#include "model/DialogueTypes.h"
#include "project/AppSettings.h"
#include "shell/ThemeManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>


namespace {

constexpr int LeftX = 12;
constexpr int RightX = 320;

QLabel* AddCaption(QWidget* parent, const QString& text, int x, int y, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, 225, 16);
    label->setBuddy(buddy);
    return label;
}

QPlainTextEdit* AddMemo(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setGeometry(geometry);
    memo->setTabChangesFocus(true);
    return memo;
}

QCheckBox* AddCheck(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry,
                    bool checked)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setChecked(checked);
    return box;
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

}

bool TfrmAIDialogue::Execute(QWidget* owner, TAIDialogueResult& result)
{
    TfrmAIDialogue form(owner);
    if (form.exec() != QDialog::Accepted)
        return false;
    result = form.Result();
    return true;
}

TfrmAIDialogue::TfrmAIDialogue(QWidget* owner, TAppSettings* settings)
    : QDialog(owner), FSettings(settings ? settings : &TAppSettings::Instance())
{
    setWindowTitle(QStringLiteral("AI Dialogue Generator"));
    setFixedSize(FormWidth, FormHeight);
    BuildLayout();
    ApplyTheme();
    LoadSettings();
    connect(btnGenerate, &QPushButton::clicked, this, &TfrmAIDialogue::Generate);
    connect(btnInsert, &QPushButton::clicked, this, &TfrmAIDialogue::Insert);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkSaveAPIKey, &QCheckBox::toggled, this, &TfrmAIDialogue::SaveAPIKeyToggled);
}

TfrmAIDialogue::~TfrmAIDialogue() = default;

void TfrmAIDialogue::BuildLayout()
{
    BuildInputs();
    BuildTranscriptAndButtons();
    BuildInsertOptions();
}

void TfrmAIDialogue::BuildInputs()
{
    cbPersona = new QComboBox(this);
    cbPersona->setObjectName(QStringLiteral("cbPersona"));
    for (const AIDialogueWriter::TPersona& persona : AIDialogueWriter::Personas)
        cbPersona->addItem(QString::fromUtf8(persona.ListText));
    cbPersona->setCurrentIndex(0);
    cbPersona->setGeometry(LeftX, 28, 225, 22);
    AddCaption(this, QStringLiteral("&Persona:"), LeftX, 10, cbPersona);

    edtNPCName = new QLineEdit(QStringLiteral("NPC"), this);
    edtNPCName->setObjectName(QStringLiteral("edtNPCName"));
    edtNPCName->setGeometry(LeftX, 74, 225, 22);
    AddCaption(this, QStringLiteral("NPC &Name:"), LeftX, 56, edtNPCName);

    edtAPIKey = new QLineEdit(this);
    edtAPIKey->setObjectName(QStringLiteral("edtAPIKey"));
    edtAPIKey->setEchoMode(QLineEdit::Password);
    edtAPIKey->setGeometry(LeftX, 120, 150, 22);
    AddCaption(this, QStringLiteral("API &Key:"), LeftX, 102, edtAPIKey);
    chkSaveAPIKey = AddCheck(this, QStringLiteral("chkSaveAPIKey"), QStringLiteral("&Save"),
                             QRect(LeftX + 158, 120, 70, 22), false);

    memoPlayerInput = AddMemo(this, QStringLiteral("memoPlayerInput"), QRect(LeftX, 166, 290, 70));
    memoPlayerInput->setPlainText(QString::fromLatin1(AIDialogueWriter::InitialPlayerInput));
    AddCaption(this, QStringLiteral("Player &Input:"), LeftX, 148, memoPlayerInput);

    memoResponse = AddMemo(this, QStringLiteral("memoResponse"), QRect(LeftX, 262, 290, 70));
    memoResponse->setReadOnly(true);
    AddCaption(this, QStringLiteral("&Response:"), LeftX, 244, memoResponse);

    // Why the last request fell back to a placeholder, when it did.
    lblServiceHint = new QLabel(this);
    lblServiceHint->setObjectName(QStringLiteral("lblServiceHint"));
    lblServiceHint->setGeometry(LeftX, 338, 290, 48);
    lblServiceHint->setWordWrap(true);
    lblServiceHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TfrmAIDialogue::BuildTranscriptAndButtons()
{
    memoContext = AddMemo(this, QStringLiteral("memoContext"), QRect(RightX, 28, 225, 156));
    memoContext->setReadOnly(true);
    memoContext->setPlainText(QString::fromLatin1(AIDialogueWriter::InitialTranscript));
    AddCaption(this, QStringLiteral("&Context:"), RightX, 10, memoContext);

    btnGenerate = AddButton(this, QStringLiteral("btnGenerate"), QStringLiteral("&Generate"), QRect(RightX, 194, 75, 25));
    btnGenerate->setAutoDefault(false);
    btnInsert = AddButton(this, QStringLiteral("btnInsert"), QStringLiteral("I&nsert"), QRect(RightX + 81, 194, 75, 25));
    btnInsert->setDefault(true);
    btnCancel = AddButton(this, QStringLiteral("btnCancel"), QStringLiteral("Cancel"), QRect(RightX + 162, 194, 58, 25));
    btnCancel->setAutoDefault(false);
}

void TfrmAIDialogue::BuildInsertOptions()
{
    grpOptions = new QGroupBox(QStringLiteral("Insert Options"), this);
    grpOptions->setObjectName(QStringLiteral("grpOptions"));
    grpOptions->setGeometry(RightX, 228, 225, 105);
    cbCreateNode = AddCheck(grpOptions, QStringLiteral("cbCreateNode"), QStringLiteral("Create New &Node"),
                            QRect(8, 24, 112, 22), true);
    cbInsertOption = AddCheck(grpOptions, QStringLiteral("cbInsertOption"), QStringLiteral("Insert as &Option"),
                              QRect(8, 58, 112, 22), false);
    cbReplaceText = AddCheck(grpOptions, QStringLiteral("cbReplaceText"), QStringLiteral("&Replace Text"),
                             QRect(122, 24, 100, 22), false);
    cbAppendText = AddCheck(grpOptions, QStringLiteral("cbAppendText"), QStringLiteral("&Append to Text"),
                            QRect(122, 58, 100, 22), false);
}

void TfrmAIDialogue::ApplyTheme()
{
    TThemeManager::ApplyToForm(this);
    QPalette hint = lblServiceHint->palette();
    const TColor warning = TThemeManager::Current().ColorWarning;
    hint.setColor(QPalette::WindowText, QColor(ColorRed(warning), ColorGreen(warning), ColorBlue(warning)));
    lblServiceHint->setPalette(hint);
}

void TfrmAIDialogue::LoadSettings()
{
    const QString stored = FSettings->AIAPIKey();
    edtAPIKey->setText(stored);
    chkSaveAPIKey->setChecked(!stored.isEmpty());
}

TAIDialogueResult TfrmAIDialogue::Result() const
{
    return TAIDialogueResult{FGeneratedText, edtNPCName->text(), FFlags};
}

QString TfrmAIDialogue::BuildPromptText() const
{
    return AIDialogueWriter::BuildPrompt(edtNPCName->text(), cbPersona->currentIndex(),
                                         AIDialogueWriter::MemoLines(memoContext->toPlainText()),
                                         AIDialogueWriter::MemoLines(memoPlayerInput->toPlainText()));
}

void TfrmAIDialogue::Generate()
{
    AIDialogueWriter::TGenerateRequest request;
    request.PersonaIndex = cbPersona->currentIndex();
    request.NPCName = edtNPCName->text();
    request.APIKey = edtAPIKey->text();
    request.TranscriptLines = AIDialogueWriter::MemoLines(memoContext->toPlainText());
    request.PlayerInputLines = AIDialogueWriter::MemoLines(memoPlayerInput->toPlainText());
    memoResponse->setPlainText(QString::fromLatin1(AIDialogueWriter::GeneratingText));
    lblServiceHint->clear();
    const QString key = request.APIKey.trimmed();
    if (key.isEmpty())
        memoResponse->setPlainText(QString::fromLatin1(AIDialogueWriter::EnterKeyMessage));
    else
        RequestReply(request);
    if (chkSaveAPIKey->isChecked())
        StoreAPIKey(key);
}

void TfrmAIDialogue::RequestReply(const AIDialogueWriter::TGenerateRequest& request)
{
    if (FSessionKey.isEmpty())
        FSessionKey = request.APIKey.trimmed();
    StartSession();
    std::shared_ptr<AIDialogueWriter::TSession> session = FSession;
    std::optional<AIDialogueWriter::TGenerateOutcome> outcome = AIBusyCall::Run<AIDialogueWriter::TGenerateOutcome>(
        this, QStringLiteral("Waiting for the AI text service..."),
        [session, request] { return session->Generate(request); });
    if (!outcome) {
        // The abandoned request still works on the old session.
        FSession.reset();
        memoResponse->setPlainText(FGeneratedText);
        lblServiceHint->setText(QStringLiteral("Request cancelled."));
        return;
    }
    // After an unexpected error the session keeps its last reply and the
    // outcome the old transcript, so only the error text changes. A session
    // started after a cancel has no reply yet: the window's stays.
    memoResponse->setPlainText(outcome->ResponseText);
    if (!session->GeneratedText().isNull())
        FGeneratedText = session->GeneratedText();
    lblServiceHint->setText(outcome->Failure.UserHint());
    const QStringList transcript =
        AIDialogueWriter::MemoLines(AIDialogueWriter::MemoText(outcome->TranscriptLines));
    memoContext->setPlainText(transcript.join(QLatin1Char('\n')));
}

void TfrmAIDialogue::StartSession()
{
    if (FSession)
        return;
    const TAIServiceEndpoint endpoint = FEndpoint;
    const QString key = FSessionKey;
    // The client is made on the worker thread; the factory owns copies only.
    FSession = std::make_shared<AIDialogueWriter::TSession>([endpoint, key](const QString&) {
        return endpoint.MakeClient<TOllamaCloudClient>(key, QString::fromLatin1(AIDialogueWriter::ModelName));
    });
}

void TfrmAIDialogue::SaveAPIKeyToggled(bool checked)
{
    const QString key = edtAPIKey->text().trimmed();
    if (checked && !key.isEmpty())
        StoreAPIKey(key);
}

void TfrmAIDialogue::StoreAPIKey(const QString& key)
{
    FSettings->SetAIAPIKey(key);
    // Called from a check box and a button: an error must be shown here,
    // since one that left the slot would end the program.
    try {
        FSettings->Save();
    } catch (const EDialogueError& e) {
        ShowMessage(e.Message());
    }
}

void TfrmAIDialogue::Insert()
{
    // The box may hold only the key reminder; there is nothing to insert then.
    if (memoResponse->toPlainText().trimmed().isEmpty() || FGeneratedText.trimmed().isEmpty()) {
        ShowMessage(QString::fromLatin1(AIDialogueWriter::GenerateFirstMessage));
        return;
    }
    FFlags.CreateNode = cbCreateNode->isChecked();
    FFlags.InsertAsOption = cbInsertOption->isChecked();
    FFlags.ReplaceText = cbReplaceText->isChecked();
    FFlags.AppendText = cbAppendText->isChecked();
    accept();
}

void TfrmAIDialogue::ShowMessage(const QString& text)
{
    if (FMessageHandler)
        FMessageHandler(text);
    else
        QMessageBox::information(this, windowTitle(), text);
}
