#include "editors/SkillCheckEditor.h"

#include "editors/ModalFormControls.h"
#include "editors/ModalFormStyle.h"
#include "shell/ThemeManager.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace ModalFormControls;
using namespace ModalFormStyle;

namespace {

const TTLWTheme& Theme() { return TThemeManager::Current(); }

constexpr int CaptionWidth = 130;
constexpr int SpinWidth = 90;
constexpr int EditWidth = 280;

QStringList SkillItems()
{
    QStringList items;
    for (const char* name : SkillNames)
        items << QString::fromLatin1(name);
    return items;
}

}

bool TSkillCheckEditorForm::Execute(QWidget* owner, TSkillCheck& sk, bool readOnly, TRollSource* rolls)
{
    TSkillCheckEditorForm form(owner, sk, readOnly, rolls);
    if (form.exec() != QDialog::Accepted)
        return false;
    sk = form.SkillCheck();
    return true;
}

TSkillCheckEditorForm::TSkillCheckEditorForm(QWidget* owner, const TSkillCheck& sk, bool readOnly,
                                             TRollSource* rolls)
    : QDialog(owner), FSkillCheck(sk), FReadOnly(readOnly), FRolls(rolls ? rolls : &DefaultRollSource())
{
    setWindowTitle(QStringLiteral("Skill Check Editor"));
    resize(520, 560);
    BuildControls();
    ApplyTheme();
    LoadControls();
}

void TSkillCheckEditorForm::BuildControls()
{
    QVBoxLayout* root = BareColumn(this);

    const TTitleBand header = TitleBand(this, 40, QStringLiteral("SKILL CHECK CONFIGURATION"), 12);
    pnlHeader = header.Band;
    lblTitle = header.Title;
    root->addWidget(pnlHeader);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 10);
    body->setSpacing(8);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    BuildBody(grid);
    body->addLayout(grid);
    body->addWidget(BuildSimulationPanel());
    body->addStretch(1);
    root->addLayout(body, 1);

    pnlButtons = Band(42, this);
    auto* buttons = new QHBoxLayout(pnlButtons);
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch(1);
    btnOK = Button(QStringLiteral("&OK"), QSize(88, 28), pnlButtons);
    btnCancel = Button(QStringLiteral("&Cancel"), QSize(88, 28), pnlButtons);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    root->addWidget(pnlButtons);

    connect(btnOK, &QPushButton::clicked, this, &TSkillCheckEditorForm::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TSkillCheckEditorForm::reject);
}

void TSkillCheckEditorForm::BuildBody(QGridLayout* grid)
{
    int row = 0;
    auto addRow = [&](const QString& caption, QWidget* buddy, QLayout* content) {
        auto* label = Caption(caption, buddy, CaptionWidth, this);
        FCaptions << label;
        grid->addWidget(label, row, 0);
        grid->addLayout(content, row, 1);
        ++row;
    };
    auto line = [](QWidget* a, QWidget* b = nullptr) {
        auto* l = new QHBoxLayout;
        l->setSpacing(8);
        l->addWidget(a);
        if (b)
            l->addWidget(b);
        l->addStretch(1);
        return l;
    };

    cmbSkill = FixedList(this, "cmbSkill", SkillItems(), 200);
    addRow(QStringLiteral("&Skill:"), cmbSkill, line(cmbSkill));

    trkDifficulty = DifficultySlider(this);
    lblDiffVal = BoldLabel(QStringLiteral("50%"), 0, this);
    lblDiffVal->setObjectName(QStringLiteral("lblDiffVal"));
    addRow(QStringLiteral("&Difficulty (1-100):"), trkDifficulty, line(trkDifficulty, lblDiffVal));

    pnlProbBar = new QFrame(this);
    pnlProbBar->setObjectName(QStringLiteral("pnlProbBar"));
    pnlProbBar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlProbBar->setFixedSize(ProbBarWidth, 18);
    pnlProbFill = new QFrame(pnlProbBar);
    pnlProbFill->setObjectName(QStringLiteral("pnlProbFill"));
    pnlProbFill->setGeometry(0, 0, ProbBarWidth / 2, 18);
    lblProbability = new QLabel(QStringLiteral("50%"), this);
    lblProbability->setObjectName(QStringLiteral("lblProbability"));
    addRow(QStringLiteral("Success Probability:"), nullptr, line(pnlProbBar, lblProbability));

    spnXP = NamedSpin(this, "spnXP", 0, 9999, SpinWidth);
    spnXP->setValue(50);
    addRow(QStringLiteral("&XP Reward:"), spnXP, line(spnXP));

    spnCritBonus = NamedSpin(this, "spnCritBonus", 0, 200, SpinWidth);
    addRow(QStringLiteral("Cr&it. Success Bonus:"), spnCritBonus, line(spnCritBonus));

    edtSuccessMsg = NamedEdit(this, "edtSuccessMsg", EditWidth);
    addRow(QStringLiteral("Success &Message:"), edtSuccessMsg, line(edtSuccessMsg));
    edtFailMsg = NamedEdit(this, "edtFailMsg", EditWidth);
    addRow(QStringLiteral("&Failure Message:"), edtFailMsg, line(edtFailMsg));
    edtSuccessNode = NamedEdit(this, "edtSuccessNode", EditWidth);
    addRow(QStringLiteral("Success &Node ID:"), edtSuccessNode, line(edtSuccessNode));
    edtFailNode = NamedEdit(this, "edtFailNode", EditWidth);
    addRow(QStringLiteral("Fai&lure Node ID:"), edtFailNode, line(edtFailNode));
    grid->setColumnStretch(1, 1);

    connect(trkDifficulty, &QSlider::valueChanged, this, &TSkillCheckEditorForm::RefreshChance);
}

QFrame* TSkillCheckEditorForm::BuildSimulationPanel()
{
    pnlSimulation = new QFrame(this);
    pnlSimulation->setObjectName(QStringLiteral("pnlSimulation"));
    pnlSimulation->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlSimulation->setFixedHeight(110);
    auto* layout = new QVBoxLayout(pnlSimulation);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);

    lblSimTitle = BoldLabel(QStringLiteral("SIMULATION ") + QChar(0x2014) + QStringLiteral(" Test skill check outcome"),
                            8, pnlSimulation);
    layout->addWidget(lblSimTitle);

    auto* controls = new QHBoxLayout;
    controls->setSpacing(8);
    spnSimSkill = NamedSpin(pnlSimulation, "spnSimSkill", 1, 200, 70);
    spnSimSkill->setValue(40);
    auto* caption = Caption(QStringLiteral("Player s&kill value:"), spnSimSkill, 0, pnlSimulation);
    FCaptions << caption;
    btnRoll = NamedButton(pnlSimulation, "btnRoll", QStringLiteral("&Roll 10x"), QSize(80, 24));
    controls->addWidget(caption);
    controls->addWidget(spnSimSkill);
    controls->addWidget(btnRoll);
    controls->addStretch(1);
    layout->addLayout(controls);

    memoSimResult = new QPlainTextEdit(pnlSimulation);
    memoSimResult->setObjectName(QStringLiteral("memoSimResult"));
    memoSimResult->setReadOnly(true);
    memoSimResult->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoSimResult->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoSimResult->setFixedHeight(48);
    layout->addWidget(memoSimResult);

    connect(spnSimSkill, qOverload<int>(&QSpinBox::valueChanged), this, &TSkillCheckEditorForm::RefreshChance);
    connect(btnRoll, &QPushButton::clicked, this, &TSkillCheckEditorForm::RollTen);
    return pnlSimulation;
}

void TSkillCheckEditorForm::ApplyTheme()
{
    const TTLWTheme& t = Theme();
    ThemeWindowBase(this, t);
    SetBackground(pnlHeader, t.BgMedium);
    SetBackground(pnlButtons, t.BgMedium);
    SetTextColor(lblTitle, t.AccentPrimary);
    for (QWidget* input : std::initializer_list<QWidget*>{ cmbSkill, spnXP, spnCritBonus, edtSuccessMsg, edtFailMsg,
                                                           edtSuccessNode, edtFailNode, spnSimSkill })
        SetColors(input, t.BgLight, t.TextPrimary);
    SetBackground(pnlProbBar, t.BgMedium);
    SetTextColor(lblDiffVal, t.AccentPrimary);
    SetTextColor(lblProbability, t.AccentPrimary);
    SetBackground(pnlSimulation, t.BgMedium);
    SetTextColor(lblSimTitle, t.AccentSecondary);
    SetBackground(memoSimResult, t.BgDark);
    ThemeCaptions(FCaptions, t);
    TThemeManager::ApplyToForm(this);
    // The result box keeps its small fixed-pitch face so both lines fit.
    QFont mono(QStringLiteral("Courier New"));
    mono.setFamilies({ QStringLiteral("Courier New"), QStringLiteral("Monospace") });
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(8);
    memoSimResult->setFont(mono);
}

void TSkillCheckEditorForm::LoadControls()
{
    const int skill = int(FSkillCheck.Skill);
    cmbSkill->setCurrentIndex(skill >= 0 && skill < SkillTypeCount ? skill : 0);
    trkDifficulty->setValue(SkillCheckMath::ClampDifficulty(FSkillCheck.Difficulty));
    spnXP->setValue(FSkillCheck.XPReward);
    spnCritBonus->setValue(FSkillCheck.CritSuccessBonus);
    edtSuccessMsg->setText(FSkillCheck.SuccessMessage);
    edtFailMsg->setText(FSkillCheck.FailureMessage);
    edtSuccessNode->setText(FSkillCheck.SuccessNodeID);
    edtFailNode->setText(FSkillCheck.FailureNodeID);
    RefreshChance();
}

void TSkillCheckEditorForm::StoreControls()
{
    if (cmbSkill->currentIndex() >= 0)
        FSkillCheck.Skill = TSkillType(cmbSkill->currentIndex());
    FSkillCheck.Difficulty = trkDifficulty->value();
    FSkillCheck.XPReward = spnXP->value();
    FSkillCheck.CritSuccessBonus = spnCritBonus->value();
    FSkillCheck.SuccessMessage = edtSuccessMsg->text();
    FSkillCheck.FailureMessage = edtFailMsg->text();
    FSkillCheck.SuccessNodeID = edtSuccessNode->text();
    FSkillCheck.FailureNodeID = edtFailNode->text();
}

int TSkillCheckEditorForm::CurrentChance() const
{
    return SkillCheckMath::SuccessChance(spnSimSkill->value(), trkDifficulty->value());
}

void TSkillCheckEditorForm::RefreshChance()
{
    const int chance = CurrentChance();
    lblDiffVal->setText(QString::number(trkDifficulty->value()) + QLatin1Char('%'));
    lblProbability->setText(QString::number(chance) + QLatin1Char('%'));
    pnlProbFill->setGeometry(0, 0, SkillCheckMath::FillWidth(chance, pnlProbBar->width()), pnlProbBar->height());
    SetBackground(pnlProbFill, SkillCheckMath::ChanceColor(chance, Theme()));
}

void TSkillCheckEditorForm::RollTen()
{
    const TRollSimulation sim = SimulateRolls(spnSimSkill->value(), trkDifficulty->value(), *FRolls);
    memoSimResult->setPlainText(sim.Lines().join(QLatin1Char('\n')));
}

void TSkillCheckEditorForm::accept()
{
    StoreControls();
    QDialog::accept();
}
