#include "editors/NodeProperties.h"

#include "editors/ModalFormControls.h"
#include "editors/ModalFormStyle.h"
#include "editors/ModalFormText.h"
#include "shell/ThemeManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

using namespace ModalFormControls;
using namespace ModalFormStyle;

namespace {

const TTLWTheme& Theme() { return TThemeManager::Current(); }

constexpr int CaptionWidth = 110;
constexpr int ControlWidth = 300;
constexpr int SpinWidth = 80;

class TLoadingGuard {
public:
    explicit TLoadingGuard(bool& flag) : FFlag(flag), FWas(flag) { FFlag = true; }
    ~TLoadingGuard() { FFlag = FWas; }
private:
    bool& FFlag;
    bool FWas;
};

QHBoxLayout* Line(std::initializer_list<QWidget*> widgets, bool stretch = true)
{
    auto* line = new QHBoxLayout;
    line->setSpacing(6);
    for (QWidget* w : widgets)
        line->addWidget(w);
    if (stretch)
        line->addStretch(1);
    return line;
}

// A message number: 0 is shown as not numbered yet.
QSpinBox* MessageNumberSpin(QWidget* parent, const char* name)
{
    QSpinBox* spin = NamedSpin(parent, name, 0, std::numeric_limits<int>::max(), 100);
    spin->setSpecialValueText(QStringLiteral("(none yet)"));
    spin->setToolTip(QStringLiteral("The line's number in the game's message file. The game export numbers the "
                                    "lines that have none and keeps the numbers already given."));
    return spin;
}

QListWidget* NewList(QWidget* parent, const char* name, int width)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setMinimumWidth(120);
    list->resize(width, list->height());
    return list;
}

QWidget* NewPanel(QWidget* parent, const char* name)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    return panel;
}

// Captions in the first column, controls in the second.
QGridLayout* CaptionGrid(QWidget* owner, QMargins margins, int rowSpacing)
{
    auto* grid = new QGridLayout(owner);
    grid->setContentsMargins(margins);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(rowSpacing);
    return grid;
}

// The rows keep to the top; the control column takes the spare width.
void CloseCaptionGrid(QGridLayout* grid, int rowCount)
{
    grid->setRowStretch(rowCount, 1);
    grid->setColumnStretch(1, 1);
}

// Puts a list left of its details with a splitter between them.
QSplitter* ListAndDetails(QWidget* parent, QListWidget* list, QWidget* details, int listWidth)
{
    auto* splitter = new QSplitter(Qt::Horizontal, parent);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(list);
    splitter->addWidget(details);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ listWidth, 800 - listWidth });
    return splitter;
}

}

bool TNodePropertiesForm::Execute(QWidget* owner, TDialogueNode* aNode, TDialogueProject* aProject,
                                  std::function<void()> onLiveEdit)
{
    if (!aNode || !aProject)
        return false;
    TNodePropertiesForm form(owner, aNode, aProject, std::move(onLiveEdit));
    return form.exec() == QDialog::Accepted;
}

TNodePropertiesForm::TNodePropertiesForm(QWidget* owner, TDialogueNode* aNode, TDialogueProject* aProject,
                                         std::function<void()> onLiveEdit)
    : QDialog(owner), FNode(aNode), FProject(aProject), FOnLiveEdit(std::move(onLiveEdit))
{
    FFileChooser = [this](const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(this, title, QString(), filter);
    };
    setWindowTitle(QStringLiteral("Node Properties"));
    setSizeGripEnabled(true);
    resize(820, 680);
    BuildControls();
    ApplyTheme();
    FillPickers();
    LoadNode();
}

TNodePropertiesForm::~TNodePropertiesForm() = default;

// ---------------------------------------------------------------- building

void TNodePropertiesForm::BuildControls()
{
    QVBoxLayout* root = BareColumn(this);

    const TTitleBand header = TitleBand(this, 44, QStringLiteral("Node Properties"), 14);
    pnlHeader = header.Band;
    lblTitle = header.Title;
    lblTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    root->addWidget(pnlHeader);

    tabPages = new QTabWidget(this);
    tabPages->setObjectName(QStringLiteral("tabPages"));
    tabPages->addTab(BuildGeneralPage(), QStringLiteral("&General"));
    tabPages->addTab(BuildOptionsPage(), QStringLiteral("&Player Options"));
    tabPages->addTab(BuildConditionsPage(), QStringLiteral("Co&nditions"));
    tabPages->addTab(BuildScriptsPage(), QStringLiteral("Sc&ripts"));
    root->addWidget(tabPages, 1);

    pnlButtons = Band(42, this);
    auto* buttons = new QHBoxLayout(pnlButtons);
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->setSpacing(6);
    buttons->addStretch(1);
    btnOK = NamedButton(pnlButtons, "btnOK", QStringLiteral("&OK"), QSize(88, 28));
    btnApply = NamedButton(pnlButtons, "btnApply", QStringLiteral("&Apply"), QSize(88, 28));
    btnCancel = NamedButton(pnlButtons, "btnCancel", QStringLiteral("&Cancel"), QSize(88, 28));
    for (QPushButton* b : { btnOK, btnApply, btnCancel })
        buttons->addWidget(b);
    root->addWidget(pnlButtons);

    connect(btnOK, &QPushButton::clicked, this, &TNodePropertiesForm::accept);
    connect(btnApply, &QPushButton::clicked, this, &TNodePropertiesForm::StoreAll);
    connect(btnCancel, &QPushButton::clicked, this, &TNodePropertiesForm::reject);
}

QLabel* TNodePropertiesForm::AddCaption(QGridLayout* grid, int row, int column, const QString& text, QWidget* buddy)
{
    QLabel* label = Caption(text, buddy, column == 0 ? CaptionWidth : 0, grid->parentWidget());
    FCaptions << label;
    grid->addWidget(label, row, column);
    return label;
}

QLabel* TNodePropertiesForm::AddField(QGridLayout* grid, int& row, const QString& caption,
                                      std::initializer_list<QWidget*> widgets)
{
    QLabel* label = AddCaption(grid, row, 0, caption, *widgets.begin());
    grid->addLayout(Line(widgets), row++, 1);
    return label;
}

QWidget* TNodePropertiesForm::BuildGeneralPage()
{
    auto* page = new QWidget;
    QGridLayout* grid = CaptionGrid(page, QMargins(10, 10, 10, 10), 5);
    int row = 0;
    auto inlineCaption = [&](const QString& text, QWidget* buddy) {
        QLabel* label = Caption(text, buddy, 0, page);
        FCaptions << label;
        return label;
    };

    cmbNodeType = FixedList(page, "cmbNodeType", NodePropertiesText::NodeTypeItems(), ControlWidth);
    AddField(grid, row, QStringLiteral("Node T&ype:"), { cmbNodeType });

    edtSpeaker = NamedEdit(page, "edtSpeaker", ControlWidth);
    AddField(grid, row, QStringLiteral("&Speaker:"), { edtSpeaker });

    memoText = WrappedMemo(page, "memoText", QSize(ControlWidth, 80));
    AddField(grid, row, QStringLiteral("&Dialogue Text:"), { memoText })->setAlignment(Qt::AlignRight | Qt::AlignTop);

    memoNotes = WrappedMemo(page, "memoNotes", QSize(ControlWidth, 54));
    AddField(grid, row, QStringLiteral("Not&es:"), { memoNotes })->setAlignment(Qt::AlignRight | Qt::AlignTop);

    edtPortrait = NamedEdit(page, "edtPortrait", ControlWidth);
    btnPortrait = NamedButton(page, "btnPortrait", QStringLiteral("..."), QSize(28, 24));
    AddField(grid, row, QStringLiteral("Portra&it File:"), { edtPortrait, btnPortrait });

    edtVoice = NamedEdit(page, "edtVoice", ControlWidth);
    btnVoice = NamedButton(page, "btnVoice", QStringLiteral("..."), QSize(28, 24));
    AddField(grid, row, QStringLiteral("&Voice File:"), { edtVoice, btnVoice });

    cmbNextNode = EditablePicker(page, "cmbNextNode", ControlWidth);
    AddField(grid, row, QStringLiteral("Ne&xt Node:"), { cmbNextNode });

    edtQuestID = NamedEdit(page, "edtQuestID", 120);
    edtQuestFlag = NamedEdit(page, "edtQuestFlag", 120);
    AddCaption(grid, row, 0, QStringLiteral("&Quest ID:"), edtQuestID);
    grid->addLayout(Line({ edtQuestID, inlineCaption(QStringLiteral("Quest F&lag:"), edtQuestFlag), edtQuestFlag }),
                    row++, 1);

    spnReputation = NamedSpin(page, "spnReputation", -1000, 1000, SpinWidth);
    spnKarma = NamedSpin(page, "spnKarma", -1000, 1000, SpinWidth);
    AddCaption(grid, row, 0, QStringLiteral("Rep&utation:"), spnReputation);
    grid->addLayout(Line({ spnReputation, inlineCaption(QStringLiteral("&Karma:"), spnKarma), spnKarma }), row++, 1);

    edtTag = NamedEdit(page, "edtTag", 120);
    spnWeight = NamedSpin(page, "spnWeight", 1, 100, SpinWidth);
    AddCaption(grid, row, 0, QStringLiteral("&Tag:"), edtTag);
    grid->addLayout(Line({ edtTag, inlineCaption(QStringLiteral("&Weight:"), spnWeight), spnWeight }), row++, 1);

    chkStartNode = NamedCheck(page, "chkStartNode", QStringLiteral("Mark as Start Node (&first node in dialogue)"));
    grid->addWidget(chkStartNode, row++, 1);

    memoComment = WrappedMemo(page, "memoComment", QSize(ControlWidth, 60));
    AddField(grid, row, QStringLiteral("Co&mment:"), { memoComment })->setAlignment(Qt::AlignRight | Qt::AlignTop);

    edtCombatScript = NamedEdit(page, "edtCombatScript", ControlWidth);
    AddField(grid, row, QStringLiteral("Com&bat Script:"), { edtCombatScript });

    // The node's place in the game script and its message file.
    spnMsgNumber = MessageNumberSpin(page, "spnMsgNumber");
    edtProcedure = NamedEdit(page, "edtProcedure", 160);
    edtProcedure->setPlaceholderText(QStringLiteral("from the node ID"));
    edtProcedure->setToolTip(QStringLiteral("The name of this node's procedure in the game script; empty = made from "
                                            "the node ID."));
    AddCaption(grid, row, 0, QStringLiteral("Message Number:"), spnMsgNumber);
    grid->addLayout(Line({ spnMsgNumber, inlineCaption(QStringLiteral("Procedure:"), edtProcedure), edtProcedure }),
                    row++, 1);

    CloseCaptionGrid(grid, row);

    connect(btnPortrait, &QPushButton::clicked, this, [this] {
        ChooseFile(edtPortrait, QStringLiteral("Select Portrait Image"),
                   QStringLiteral("Image Files (*.png *.jpg *.bmp *.gif);;All Files (*.*)"));
    });
    connect(btnVoice, &QPushButton::clicked, this, [this] {
        ChooseFile(edtVoice, QStringLiteral("Select Voice Audio"),
                   QStringLiteral("Audio Files (*.wav *.ogg *.mp3);;All Files (*.*)"));
    });
    return page;
}

QFrame* TNodePropertiesForm::BuildToolStrip(QWidget* parent, std::initializer_list<QPushButton*> buttons)
{
    QFrame* strip = Band(36, parent);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(6);
    for (QPushButton* b : buttons) {
        b->setParent(strip);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    return strip;
}

void TNodePropertiesForm::FrameListPage(QWidget* page, QFrame* toolStrip, QListWidget* list, QWidget* details,
                                        int listWidth)
{
    auto* column = static_cast<QVBoxLayout*>(page->layout());
    column->addWidget(toolStrip);
    column->addWidget(ListAndDetails(page, list, details, listWidth), 1);
}

void TNodePropertiesForm::ShowSelectedRows(QListWidget* list, void (TNodePropertiesForm::*show)(int))
{
    connect(list, &QListWidget::currentRowChanged, this, [this, show](int row) {
        if (!FLoading)
            (this->*show)(row);
    });
}

QWidget* TNodePropertiesForm::BuildOptionsPage()
{
    auto* page = new QWidget;
    BareColumn(page);
    btnAddOption = NamedButton(page, "btnAddOption", QStringLiteral("+ A&dd Option"), QSize(110, 26));
    btnDeleteOption = NamedButton(page, "btnDeleteOption", QStringLiteral("D&elete"), QSize(70, 26));
    btnOptionUp = NamedButton(page, "btnOptionUp", QStringLiteral("&Up"), QSize(56, 26));
    btnOptionDown = NamedButton(page, "btnOptionDown", QStringLiteral("Do&wn"), QSize(56, 26));
    QFrame* strip = BuildToolStrip(page, { btnAddOption, btnDeleteOption, btnOptionUp, btnOptionDown });

    lstOptions = NewList(page, "lstOptions", 200);
    QWidget* details = NewPanel(page, "pnlOptionDetails");
    QGridLayout* grid = CaptionGrid(details, QMargins(10, 8, 10, 8), 5);
    int row = 0;

    edtOptionText = NamedEdit(details, "edtOptionText", 0);
    AddCaption(grid, row, 0, QStringLiteral("Option Te&xt:"), edtOptionText);
    grid->addWidget(edtOptionText, row++, 1);

    cmbTargetNode = EditablePicker(details, "cmbTargetNode", 240);
    AddField(grid, row, QStringLiteral("&Target Node:"), { cmbTargetNode });

    chkHidden = NamedCheck(details, "chkHidden", QStringLiteral("&Hidden (conditionally shown)"));
    grid->addWidget(chkHidden, row++, 1);

    edtItemReq = NamedEdit(details, "edtItemReq", 200);
    AddField(grid, row, QStringLiteral("&Item Req:"), { edtItemReq });

    spnRepReq = NamedSpin(details, "spnRepReq", -1000, 1000, SpinWidth);
    AddField(grid, row, QStringLiteral("Reputation Re&q:"), { spnRepReq });

    spnKarmaReq = NamedSpin(details, "spnKarmaReq", -1000, 1000, SpinWidth);
    AddField(grid, row, QStringLiteral("&Karma Req:"), { spnKarmaReq });

    // How the option is offered in the game script.
    cmbIntelligence = FixedList(details, "cmbIntelligence", NodePropertiesText::IntelligenceKindItems(), 190);
    spnIntelligence = NamedSpin(details, "spnIntelligence", 1, 10, 56);
    const QString iqTip = QStringLiteral(
        "The intelligence a player needs to be offered this option. The games' average is 4. "
        "\"At most\" makes an option only a dim-witted player sees (the games use at most 3).");
    cmbIntelligence->setToolTip(iqTip);
    spnIntelligence->setToolTip(iqTip);
    cmbReaction = FixedList(details, "cmbReaction", NodePropertiesText::ReactionItems(), 90);
    cmbReaction->setToolTip(QStringLiteral("How the NPC takes this answer: a good, neutral or bad reaction."));
    QLabel* reactionCaption = Caption(QStringLiteral("Reaction:"), cmbReaction, 0, details);
    FCaptions << reactionCaption;
    AddField(grid, row, QStringLiteral("Intelligence Le&vel:"),
             { cmbIntelligence, spnIntelligence, reactionCaption, cmbReaction });

    edtGuard = NamedEdit(details, "edtGuard", 0);
    edtGuard->setPlaceholderText(QStringLiteral("e.g. global_var(GVAR_WELL_QUEST) == 2"));
    edtGuard->setToolTip(QStringLiteral("Offered only while this condition holds in the game. Written into the "
                                        "script exactly as typed; empty = always offered."));
    AddCaption(grid, row, 0, QStringLiteral("Script Guard:"), edtGuard);
    grid->addWidget(edtGuard, row++, 1);

    spnOptionMsg = MessageNumberSpin(details, "spnOptionMsg");
    AddField(grid, row, QStringLiteral("Message Num&ber:"), { spnOptionMsg });

    chkSkillCheck = NamedCheck(details, "chkSkillCheck", QStringLiteral("Requires &Skill Check"));
    grid->addWidget(chkSkillCheck, row++, 1);

    grid->addWidget(BuildSkillPanel(details), row++, 0, 1, 2);
    CloseCaptionGrid(grid, row);

    FrameListPage(page, strip, lstOptions, details, 200);
    ShowSelectedRows(lstOptions, &TNodePropertiesForm::ShowOption);
    connect(btnAddOption, &QPushButton::clicked, this, &TNodePropertiesForm::AddOptionClicked);
    connect(btnDeleteOption, &QPushButton::clicked, this, &TNodePropertiesForm::DeleteOptionClicked);
    connect(btnOptionUp, &QPushButton::clicked, this, [this] { MoveOptionClicked(-1); });
    connect(btnOptionDown, &QPushButton::clicked, this, [this] { MoveOptionClicked(+1); });
    connect(edtOptionText, &QLineEdit::textChanged, this, &TNodePropertiesForm::OptionTextTyped);
    connect(chkSkillCheck, &QCheckBox::toggled, pnlSkillCheck, &QWidget::setVisible);
    connect(cmbIntelligence, &QComboBox::currentIndexChanged, this, &TNodePropertiesForm::IntelligenceKindChosen);
    ShowIntelligence({});
    return page;
}

QFrame* TNodePropertiesForm::BuildSkillPanel(QWidget* parent)
{
    pnlSkillCheck = new QFrame(parent);
    pnlSkillCheck->setObjectName(QStringLiteral("pnlSkillCheck"));
    pnlSkillCheck->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlSkillCheck->setFixedHeight(200);
    QGridLayout* grid = CaptionGrid(pnlSkillCheck, QMargins(8, 6, 8, 6), 4);
    int row = 0;

    cmbSkill = FixedList(pnlSkillCheck, "cmbSkill", NodePropertiesText::SkillItems(), 160);
    AddField(grid, row, QStringLiteral("Ski&ll:"), { cmbSkill });

    trkDifficulty = DifficultySlider(pnlSkillCheck);
    lblDifficulty = new QLabel(QStringLiteral("50"), pnlSkillCheck);
    lblDifficulty->setObjectName(QStringLiteral("lblDifficulty"));
    lblDifficulty->setMinimumWidth(40);
    AddField(grid, row, QStringLiteral("Difficult&y:"), { trkDifficulty, lblDifficulty });

    spnXPReward = NamedSpin(pnlSkillCheck, "spnXPReward", 0, 9999, SpinWidth);
    AddField(grid, row, QStringLiteral("XP Reward:"), { spnXPReward });

    cmbSuccessNode = EditablePicker(pnlSkillCheck, "cmbSuccessNode", 200);
    AddField(grid, row, QStringLiteral("Success ->"), { cmbSuccessNode });

    cmbFailureNode = EditablePicker(pnlSkillCheck, "cmbFailureNode", 200);
    AddField(grid, row, QStringLiteral("&Failure ->"), { cmbFailureNode });

    edtSuccessMsg = NamedEdit(pnlSkillCheck, "edtSuccessMsg", 0);
    AddCaption(grid, row, 0, QStringLiteral("Success &Message:"), edtSuccessMsg);
    grid->addWidget(edtSuccessMsg, row++, 1);

    edtFailureMsg = NamedEdit(pnlSkillCheck, "edtFailureMsg", 0);
    AddCaption(grid, row, 0, QStringLiteral("Failure Message:"), edtFailureMsg);
    grid->addWidget(edtFailureMsg, row++, 1);
    grid->setColumnStretch(1, 1);

    pnlSkillCheck->setVisible(false);
    connect(trkDifficulty, &QSlider::valueChanged, this,
            [this](int value) { lblDifficulty->setText(QString::number(value) + QLatin1Char('%')); });
    return pnlSkillCheck;
}

QWidget* TNodePropertiesForm::BuildConditionsPage()
{
    auto* page = new QWidget;
    BareColumn(page);
    btnAddCondition = NamedButton(page, "btnAddCondition", QStringLiteral("+ A&dd Condition"), QSize(120, 26));
    btnDeleteCondition = NamedButton(page, "btnDeleteCondition", QStringLiteral("D&elete"), QSize(70, 26));
    QFrame* strip = BuildToolStrip(page, { btnAddCondition, btnDeleteCondition });

    lstConditions = NewList(page, "lstConditions", 200);
    QWidget* details = NewPanel(page, "pnlConditionDetails");
    QGridLayout* grid = CaptionGrid(details, QMargins(10, 8, 10, 8), 5);
    int row = 0;

    cmbCondType = FixedList(details, "cmbCondType", NodePropertiesText::ConditionTypeItems(), 200);
    AddField(grid, row, QStringLiteral("Condition &Type:"), { cmbCondType });

    edtCondVariable = NamedEdit(details, "edtCondVariable", 200);
    AddField(grid, row, QStringLiteral("&Variable/Key:"), { edtCondVariable });

    cmbCondOperator = FixedList(details, "cmbCondOperator", NodePropertiesText::OperatorItems(), 80);
    AddField(grid, row, QStringLiteral("Operator:"), { cmbCondOperator });

    edtCondValue = NamedEdit(details, "edtCondValue", 200);
    AddField(grid, row, QStringLiteral("Va&lue:"), { edtCondValue });

    cmbCondBoolOp = FixedList(details, "cmbCondBoolOp", NodePropertiesText::BoolOpItems(), 80);
    AddField(grid, row, QStringLiteral("&Boolean Op:"), { cmbCondBoolOp });

    lblCondSummary = BoldLabel(QStringLiteral("Total conditions: 0"), 0, details);
    lblCondSummary->setObjectName(QStringLiteral("lblCondSummary"));
    grid->addWidget(lblCondSummary, row++, 0, 1, 2);
    CloseCaptionGrid(grid, row);

    FrameListPage(page, strip, lstConditions, details, 200);
    ShowSelectedRows(lstConditions, &TNodePropertiesForm::ShowCondition);
    connect(btnAddCondition, &QPushButton::clicked, this, &TNodePropertiesForm::AddConditionClicked);
    connect(btnDeleteCondition, &QPushButton::clicked, this, &TNodePropertiesForm::DeleteConditionClicked);
    return page;
}

QWidget* TNodePropertiesForm::BuildScriptsPage()
{
    auto* page = new QWidget;
    BareColumn(page);
    btnAddScript = NamedButton(page, "btnAddScript", QStringLiteral("+ A&dd Script"), QSize(110, 26));
    btnDeleteScript = NamedButton(page, "btnDeleteScript", QStringLiteral("D&elete"), QSize(70, 26));
    QFrame* strip = BuildToolStrip(page, { btnAddScript, btnDeleteScript });

    lstScripts = NewList(page, "lstScripts", 180);
    QWidget* details = NewPanel(page, "pnlScriptDetails");
    auto* column = new QVBoxLayout(details);
    column->setContentsMargins(10, 8, 10, 8);
    column->setSpacing(5);

    cmbScriptEvent = FixedList(details, "cmbScriptEvent", NodePropertiesText::ScriptEventItems(), 200);
    auto* eventCaption = Caption(QStringLiteral("E&vent Type:"), cmbScriptEvent, 0, details);
    FCaptions << eventCaption;
    column->addLayout(Line({ eventCaption, cmbScriptEvent }));

    chkScriptEnabled = NamedCheck(details, "chkScriptEnabled", QStringLiteral("Scrip&t Enabled"));
    column->addWidget(chkScriptEnabled);

    memoScriptCode = new QPlainTextEdit(details);
    memoScriptCode->setObjectName(QStringLiteral("memoScriptCode"));
    memoScriptCode->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoScriptCode->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoScriptCode->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lblScriptCode = BoldLabel(QStringLiteral("Scr&ipt Code:"), 0, details);
    lblScriptCode->setBuddy(memoScriptCode);
    column->addWidget(lblScriptCode);
    column->addWidget(memoScriptCode, 1);

    lblScriptHint = new QLabel(
        QStringLiteral("Tip: Use player.skill[SPEECH], global_var[\"VAR_NAME\"], npc.reputation, etc."), details);
    lblScriptHint->setObjectName(QStringLiteral("lblScriptHint"));
    lblScriptHint->setWordWrap(true);
    SetPointSize(lblScriptHint, 8);
    column->addWidget(lblScriptHint);

    FrameListPage(page, strip, lstScripts, details, 180);
    ShowSelectedRows(lstScripts, &TNodePropertiesForm::ShowScript);
    connect(btnAddScript, &QPushButton::clicked, this, &TNodePropertiesForm::AddScriptClicked);
    connect(btnDeleteScript, &QPushButton::clicked, this, &TNodePropertiesForm::DeleteScriptClicked);
    return page;
}

void TNodePropertiesForm::ApplyTheme()
{
    const TTLWTheme& t = Theme();
    ThemeWindowBase(this, t);
    SetBackground(pnlHeader, t.BgMedium);
    SetBackground(pnlButtons, t.BgMedium);
    SetTextColor(lblTitle, t.AccentPrimary);
    SetBackground(tabPages, t.BgDark);
    for (QWidget* w : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<QSpinBox*>(w))
            SetColors(w, t.BgLight, t.TextPrimary);
        else if (qobject_cast<QCheckBox*>(w) || w == pnlSkillCheck)
            SetColors(w, t.BgDark, t.TextPrimary);
        else if (qobject_cast<QListWidget*>(w))
            SetColors(w, t.BgMedium, t.TextPrimary);
    }
    ThemeCaptions(FCaptions, t);
    SetFontName(memoScriptCode, t.MonoFontName);
    SetTextColor(memoScriptCode, t.AccentPrimary);
    TThemeManager::ApplyToForm(this);
}

// ---------------------------------------------------------------- loading

void TNodePropertiesForm::FillPickers()
{
    FPicker = std::make_unique<TNodePicker>(*FProject, FNode);
    for (QComboBox* picker : { cmbNextNode, cmbTargetNode, cmbSuccessNode, cmbFailureNode }) {
        picker->clear();
        for (const TNodePickerEntry& e : FPicker->Entries())
            picker->addItem(e.Text, e.NodeID);
        picker->setCurrentIndex(-1);
    }
}

void TNodePropertiesForm::ShowPicker(QComboBox* picker, const QString& nodeID)
{
    const int index = FPicker->IndexOfNode(nodeID);
    picker->setCurrentIndex(index);
    if (index < 0)
        picker->setEditText(nodeID);
    // Show the start of a long entry: the id comes first.
    picker->lineEdit()->setCursorPosition(0);
}

QString TNodePropertiesForm::PickerLink(QComboBox* picker) const
{
    return FPicker->LinkFor(picker->currentIndex(), picker->currentText());
}

void TNodePropertiesForm::LoadNode()
{
    TLoadingGuard guard(FLoading);
    const TNodeGeneralFields f = TNodeGeneralFields::From(*FNode);
    cmbNodeType->setCurrentIndex(f.NodeType);
    edtSpeaker->setText(f.Speaker);
    memoText->setPlainText(f.Text);
    memoNotes->setPlainText(f.Notes);
    edtPortrait->setText(f.PortraitFile);
    edtVoice->setText(f.VoiceFile);
    ShowPicker(cmbNextNode, FNode->NextNodeID());
    edtQuestID->setText(f.QuestID);
    edtQuestFlag->setText(f.QuestFlag);
    spnReputation->setValue(f.Reputation);
    spnKarma->setValue(f.Karma);
    edtTag->setText(f.Tag);
    spnWeight->setValue(f.RandomWeight);
    chkStartNode->setChecked(f.IsStartNode);
    memoComment->setPlainText(f.Comment);
    edtCombatScript->setText(f.CombatScript);
    spnMsgNumber->setValue(f.MsgNumber);
    edtProcedure->setText(f.ProcedureName);
    lblTitle->setText(NodePropertiesText::Title(*FNode));
    RebuildOptionList(-1);
    RebuildConditionList(-1);
    RebuildScriptList(-1);
}

void TNodePropertiesForm::RebuildOptionList(int select)
{
    {
        TLoadingGuard guard(FLoading);
        lstOptions->clear();
        for (const auto& option : FNode->PlayerOptions())
            lstOptions->addItem(NodePropertiesText::OptionCaption(*option));
    }
    if (select >= 0)
        lstOptions->setCurrentRow(select);
}

void TNodePropertiesForm::RebuildConditionList(int select)
{
    {
        TLoadingGuard guard(FLoading);
        lstConditions->clear();
        for (const TCondition& c : FNode->Conditions())
            lstConditions->addItem(NodePropertiesText::ConditionCaption(c));
        lblCondSummary->setText(QStringLiteral("Total conditions: ") + QString::number(FNode->Conditions().size()));
    }
    if (select >= 0)
        lstConditions->setCurrentRow(select);
}

void TNodePropertiesForm::RebuildScriptList(int select)
{
    {
        TLoadingGuard guard(FLoading);
        lstScripts->clear();
        for (const auto& script : FNode->Scripts())
            lstScripts->addItem(NodePropertiesText::ScriptCaption(*script));
    }
    if (select >= 0)
        lstScripts->setCurrentRow(select);
}

void TNodePropertiesForm::SelectOption(int row) { lstOptions->setCurrentRow(row); }
void TNodePropertiesForm::SelectCondition(int row) { lstConditions->setCurrentRow(row); }
void TNodePropertiesForm::SelectScript(int row) { lstScripts->setCurrentRow(row); }

TPlayerOption* TNodePropertiesForm::SelectedOption() const
{
    const int row = lstOptions->currentRow();
    const auto& options = FNode->PlayerOptions();
    return row >= 0 && row < int(options.size()) ? options[size_t(row)].get() : nullptr;
}

TCondition* TNodePropertiesForm::SelectedCondition() const
{
    const int row = lstConditions->currentRow();
    return row >= 0 && row < FNode->Conditions().size() ? &FNode->Conditions()[row] : nullptr;
}

TNodeScript* TNodePropertiesForm::SelectedScript() const
{
    const int row = lstScripts->currentRow();
    const auto& scripts = FNode->Scripts();
    return row >= 0 && row < int(scripts.size()) ? scripts[size_t(row)].get() : nullptr;
}

void TNodePropertiesForm::ShowOption(int row)
{
    Q_UNUSED(row);
    const TPlayerOption* option = SelectedOption();
    if (!option)
        return;
    TLoadingGuard guard(FLoading);
    const TOptionDetails d = TOptionDetails::From(*option);
    edtOptionText->setText(d.Text);
    ShowPicker(cmbTargetNode, d.TargetNodeID);
    chkHidden->setChecked(d.IsHidden);
    chkSkillCheck->setChecked(d.HasSkillCheck);
    pnlSkillCheck->setVisible(d.HasSkillCheck);
    edtItemReq->setText(d.ItemRequired);
    spnRepReq->setValue(d.ReputationRequired);
    spnKarmaReq->setValue(d.KarmaRequired);
    ShowIntelligence(TIntelligenceChoice::From(d.IntelligenceRequired));
    cmbReaction->setCurrentIndex(int(d.Reaction) < ReactionCount ? int(d.Reaction) : int(rcNeutral));
    edtGuard->setText(d.Guard);
    edtGuard->setCursorPosition(0);
    spnOptionMsg->setValue(d.MsgNumber);
    // The skill fields are loaded even while hidden, so ticking the box
    // starts from this option's own record, not the previous option's.
    const int skill = int(d.SkillCheck.Skill);
    cmbSkill->setCurrentIndex(skill >= 0 && skill < SkillTypeCount ? skill : 0);
    trkDifficulty->setValue(d.SkillCheck.Difficulty);
    spnXPReward->setValue(d.SkillCheck.XPReward);
    edtSuccessMsg->setText(d.SkillCheck.SuccessMessage);
    edtFailureMsg->setText(d.SkillCheck.FailureMessage);
    ShowPicker(cmbSuccessNode, d.SkillCheck.SuccessNodeID);
    ShowPicker(cmbFailureNode, d.SkillCheck.FailureNodeID);
}

void TNodePropertiesForm::ShowIntelligence(const TIntelligenceChoice& choice)
{
    TLoadingGuard guard(FLoading);
    // A value beyond the games' 1..10 from a hand-edited file is shown and kept, not clipped.
    spnIntelligence->setMaximum(std::max(10, choice.Amount));
    spnIntelligence->setValue(choice.Amount);
    cmbIntelligence->setCurrentIndex(choice.Kind);
    spnIntelligence->setEnabled(choice.Kind != ikNone);
}

void TNodePropertiesForm::IntelligenceKindChosen(int kind)
{
    if (FLoading)
        return;
    // Coming from no requirement, start at the games' usual value for the kind.
    if (!spnIntelligence->isEnabled())
        spnIntelligence->setValue(TIntelligenceChoice::UsualAmount(kind));
    spnIntelligence->setEnabled(kind != ikNone);
}

void TNodePropertiesForm::ShowCondition(int row)
{
    Q_UNUSED(row);
    const TCondition* c = SelectedCondition();
    if (!c)
        return;
    cmbCondType->setCurrentIndex(c->CondType);
    edtCondVariable->setText(c->Variable);
    cmbCondOperator->setCurrentIndex(c->Operator);
    edtCondValue->setText(c->Value);
    cmbCondBoolOp->setCurrentIndex(c->BoolOp);
}

void TNodePropertiesForm::ShowScript(int row)
{
    Q_UNUSED(row);
    const TNodeScript* script = SelectedScript();
    if (!script)
        return;
    const TScriptDetails d = TScriptDetails::From(*script);
    cmbScriptEvent->setCurrentIndex(d.EventType);
    chkScriptEnabled->setChecked(d.IsEnabled);
    memoScriptCode->setPlainText(d.Code);
}

// ---------------------------------------------------------------- storing

void TNodePropertiesForm::StoreShownDetails()
{
    if (TPlayerOption* option = SelectedOption()) {
        TOptionDetails d;
        d.Text = edtOptionText->text();
        d.TargetNodeID = PickerLink(cmbTargetNode);
        d.IsHidden = chkHidden->isChecked();
        d.HasSkillCheck = chkSkillCheck->isChecked();
        d.ItemRequired = edtItemReq->text();
        d.ReputationRequired = spnRepReq->value();
        d.KarmaRequired = spnKarmaReq->value();
        d.IntelligenceRequired = TIntelligenceChoice{ cmbIntelligence->currentIndex(), spnIntelligence->value() }
                                     .Required();
        const int reaction = cmbReaction->currentIndex();
        d.Reaction = reaction >= 0 && reaction < ReactionCount ? TReaction(reaction) : option->Reaction;
        d.MsgNumber = spnOptionMsg->value();
        d.Guard = edtGuard->text();
        d.SkillCheck = option->SkillCheck;
        if (cmbSkill->currentIndex() >= 0)
            d.SkillCheck.Skill = TSkillType(cmbSkill->currentIndex());
        d.SkillCheck.Difficulty = trkDifficulty->value();
        d.SkillCheck.XPReward = spnXPReward->value();
        d.SkillCheck.SuccessMessage = edtSuccessMsg->text();
        d.SkillCheck.FailureMessage = edtFailureMsg->text();
        d.SkillCheck.SuccessNodeID = PickerLink(cmbSuccessNode);
        d.SkillCheck.FailureNodeID = PickerLink(cmbFailureNode);
        d.StoreInto(*option);
    }
    if (TCondition* c = SelectedCondition()) {
        if (cmbCondType->currentIndex() >= 0)
            c->CondType = TConditionType(cmbCondType->currentIndex());
        c->Variable = edtCondVariable->text();
        if (cmbCondOperator->currentIndex() >= 0)
            c->Operator = TConditionOperator(cmbCondOperator->currentIndex());
        c->Value = edtCondValue->text();
        if (cmbCondBoolOp->currentIndex() >= 0)
            c->BoolOp = TBoolOp(cmbCondBoolOp->currentIndex());
    }
    if (TNodeScript* script = SelectedScript())
        TScriptDetails{ cmbScriptEvent->currentIndex(), chkScriptEnabled->isChecked(),
                        ModalFormText::KeepLineEnds(memoScriptCode->toPlainText(), script->ScriptCode) }
            .StoreInto(*script);
}

void TNodePropertiesForm::StoreGeneral()
{
    TNodeGeneralFields f;
    f.NodeType = cmbNodeType->currentIndex();
    f.Speaker = edtSpeaker->text();
    f.Text = ModalFormText::KeepLineEnds(memoText->toPlainText(), FNode->Text());
    f.Notes = ModalFormText::KeepLineEnds(memoNotes->toPlainText(), FNode->Notes());
    f.PortraitFile = edtPortrait->text();
    f.VoiceFile = edtVoice->text();
    f.QuestID = edtQuestID->text();
    f.QuestFlag = edtQuestFlag->text();
    f.Reputation = spnReputation->value();
    f.Karma = spnKarma->value();
    f.Tag = edtTag->text();
    f.RandomWeight = spnWeight->value();
    f.IsStartNode = chkStartNode->isChecked();
    f.Comment = ModalFormText::KeepLineEnds(memoComment->toPlainText(), FNode->Comment());
    f.CombatScript = edtCombatScript->text();
    f.MsgNumber = spnMsgNumber->value();
    f.ProcedureName = edtProcedure->text();
    f.StoreInto(*FNode, FProject);
    FNode->SetNextNodeID(PickerLink(cmbNextNode));
}

void TNodePropertiesForm::RefreshCaptions()
{
    TLoadingGuard guard(FLoading);
    const auto& options = FNode->PlayerOptions();
    for (int i = 0; i < lstOptions->count() && i < int(options.size()); ++i)
        lstOptions->item(i)->setText(NodePropertiesText::OptionCaption(*options[size_t(i)]));
    const auto& conditions = FNode->Conditions();
    for (int i = 0; i < lstConditions->count() && i < conditions.size(); ++i)
        lstConditions->item(i)->setText(NodePropertiesText::ConditionCaption(conditions[i]));
    const auto& scripts = FNode->Scripts();
    for (int i = 0; i < lstScripts->count() && i < int(scripts.size()); ++i)
        lstScripts->item(i)->setText(NodePropertiesText::ScriptCaption(*scripts[size_t(i)]));
    lblTitle->setText(NodePropertiesText::Title(*FNode));
}

void TNodePropertiesForm::StoreAll()
{
    StoreShownDetails();
    StoreGeneral();
    RefreshCaptions();
}

void TNodePropertiesForm::accept()
{
    StoreAll();
    QDialog::accept();
}

// ---------------------------------------------------------------- immediate edits

void TNodePropertiesForm::LiveEdited()
{
    if (FOnLiveEdit) {
        FOnLiveEdit();
        return;
    }
    if (QWidget* owner = parentWidget()) {
        owner->update();
        for (QWidget* w : owner->findChildren<QWidget*>())
            if (w->window() != this)
                w->update();
    }
}

void TNodePropertiesForm::OptionTextTyped(const QString& text)
{
    if (FLoading)
        return;
    TPlayerOption* option = SelectedOption();
    if (!option)
        return;
    option->Text = text;
    lstOptions->currentItem()->setText(NodePropertiesText::OptionCaption(*option));
    LiveEdited();
}

void TNodePropertiesForm::ChooseFile(QLineEdit* target, const QString& title, const QString& filter)
{
    const QString path = FFileChooser ? FFileChooser(title, filter) : QString();
    if (!path.isEmpty())
        target->setText(path);
}

void TNodePropertiesForm::AddOptionClicked()
{
    RebuildOptionList(NodeListOps::AddOption(*FNode));
    LiveEdited();
}

void TNodePropertiesForm::DeleteOptionClicked()
{
    const int row = lstOptions->currentRow();
    if (!SelectedOption())
        return;
    RebuildOptionList(NodeListOps::DeleteOption(*FNode, row));
    LiveEdited();
}

void TNodePropertiesForm::MoveOptionClicked(int delta)
{
    const int moved = NodeListOps::MoveOption(*FNode, lstOptions->currentRow(), delta);
    if (moved < 0)
        return;
    // The same option stays selected, so its unsaved details stay valid.
    TLoadingGuard guard(FLoading);
    RefreshCaptions();
    lstOptions->setCurrentRow(moved);
    LiveEdited();
}

void TNodePropertiesForm::AddConditionClicked()
{
    RebuildConditionList(NodeListOps::AddCondition(*FNode));
    LiveEdited();
}

void TNodePropertiesForm::DeleteConditionClicked()
{
    if (!NodeListOps::DeleteCondition(*FNode, lstConditions->currentRow()))
        return;
    RebuildConditionList(-1);
    LiveEdited();
}

void TNodePropertiesForm::AddScriptClicked()
{
    RebuildScriptList(NodeListOps::AddScript(*FNode));
    LiveEdited();
}

void TNodePropertiesForm::DeleteScriptClicked()
{
    if (!NodeListOps::DeleteScript(*FNode, lstScripts->currentRow()))
        return;
    RebuildScriptList(-1);
    LiveEdited();
}
