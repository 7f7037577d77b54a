#include "editors/FloatMessageEditor.h"

#include "editors/ModalFormControls.h"
#include "editors/ModalFormStyle.h"
#include "editors/ModalFormText.h"
#include "shell/ThemeManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

using namespace ModalFormControls;
using namespace ModalFormStyle;

namespace {

const TTLWTheme& Theme() { return TThemeManager::Current(); }

constexpr int CaptionWidth = 100;
constexpr int InputWidth = 300;

// Signals of list and filter changes made by the window itself are not
// the user's selection.
class TUpdateGuard {
public:
    explicit TUpdateGuard(bool& flag) : FFlag(flag), FWas(flag) { FFlag = true; }
    ~TUpdateGuard() { FFlag = FWas; }
private:
    bool& FFlag;
    bool FWas;
};

}

bool TFloatMessageForm::Execute(QWidget* owner, TDialogueProject* aProject)
{
    if (!aProject)
        return false;
    TFloatMessageForm form(owner, aProject);
    return form.exec() == QDialog::Accepted;
}

TFloatMessageForm::TFloatMessageForm(QWidget* owner, TDialogueProject* aProject)
    : QDialog(owner), FProject(aProject)
{
    setWindowTitle(QStringLiteral("Float Message Editor"));
    resize(860, 580);
    BuildControls();
    ApplyTheme();
    BuildCategoryLists();
    RefreshMessageList();
}

void TFloatMessageForm::BuildControls()
{
    QVBoxLayout* root = BareColumn(this);

    const TTitleBand top = TitleBand(this, 40, QStringLiteral("FLOAT MESSAGE EDITOR"), 13);
    pnlTop = top.Band;
    lblTitle = top.Title;
    root->addWidget(pnlTop);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(BuildListPane());
    splitter->addWidget(BuildDetailPane());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 280, 576 });
    root->addWidget(splitter, 1);
    root->addWidget(BuildButtonBar());
}

QWidget* TFloatMessageForm::BuildListPane()
{
    pnlLeft = new QFrame(this);
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    pnlLeft->setMinimumWidth(280);
    auto* layout = new QVBoxLayout(pnlLeft);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    lblMessages = BoldLabel(QStringLiteral("MESSAGES"), 8, pnlLeft);
    layout->addWidget(lblMessages);

    auto* filterRow = new QHBoxLayout;
    filterRow->setSpacing(4);
    // Its entries follow the project's categories.
    cmbCategoryFilter = FixedList(pnlLeft, "cmbCategoryFilter", {}, 180);
    auto* filterCaption = Caption(QStringLiteral("&Filter:"), cmbCategoryFilter, 0, pnlLeft);
    FCaptions << filterCaption;
    btnAddCategory = NamedButton(pnlLeft, "btnAddCategory", QStringLiteral("+&Cat"), QSize(44, 24));
    filterRow->addWidget(filterCaption);
    filterRow->addWidget(cmbCategoryFilter);
    filterRow->addWidget(btnAddCategory);
    filterRow->addStretch(1);
    layout->addLayout(filterRow);

    lstMessages = new QListWidget(pnlLeft);
    lstMessages->setObjectName(QStringLiteral("lstMessages"));
    layout->addWidget(lstMessages, 1);

    connect(cmbCategoryFilter, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        if (FUpdating)
            return;
        SaveCurrent();
        RefreshMessageList();
    });
    connect(btnAddCategory, &QPushButton::clicked, this, &TFloatMessageForm::AskNewCategory);
    connect(lstMessages, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!FUpdating && row >= 0)
            SelectLine(row);
    });
    return pnlLeft;
}

QWidget* TFloatMessageForm::BuildDetailPane()
{
    pnlDetail = new QFrame(this);
    pnlDetail->setObjectName(QStringLiteral("pnlDetail"));
    auto* outer = new QVBoxLayout(pnlDetail);
    outer->setContentsMargins(10, 10, 10, 10);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    outer->addLayout(grid);
    outer->addStretch(1);

    int row = 0;
    auto addRow = [&](const QString& caption, QWidget* buddy, QWidget* content, Qt::Alignment captionAlign = {}) {
        auto* label = Caption(caption, buddy, CaptionWidth, pnlDetail);
        if (captionAlign)
            label->setAlignment(Qt::AlignRight | captionAlign);
        FCaptions << label;
        grid->addWidget(label, row, 0);
        grid->addWidget(content, row, 1, Qt::AlignLeft);
        ++row;
        return label;
    };

    memoText = WrappedMemo(pnlDetail, "memoText", QSize(InputWidth, 70));
    addRow(QStringLiteral("&Text:"), memoText, memoText, Qt::AlignTop);

    cmbCategory = EditablePicker(pnlDetail, "cmbCategory", 180);
    addRow(QStringLiteral("Cate&gory:"), cmbCategory, cmbCategory);

    auto* numbers = new QWidget(pnlDetail);
    numbers->setObjectName(QStringLiteral("pnlNumbers"));
    auto* numbersRow = new QHBoxLayout(numbers);
    numbersRow->setContentsMargins(0, 0, 0, 0);
    numbersRow->setSpacing(8);
    spnPriority = NamedSpin(numbers, "spnPriority", 1, 10, 60);
    spnPriority->setValue(5);
    spnWeight = NamedSpin(numbers, "spnWeight", 1, 100, 60);
    auto* weightCaption = Caption(QStringLiteral("&Weight"), spnWeight, 0, numbers);
    FCaptions << weightCaption;
    numbersRow->addWidget(spnPriority);
    numbersRow->addSpacing(12);
    numbersRow->addWidget(weightCaption);
    numbersRow->addWidget(spnWeight);
    numbersRow->addStretch(1);
    numbers->setFixedWidth(InputWidth);
    addRow(QStringLiteral("&Priority:"), spnPriority, numbers);

    edtDuration = NamedEdit(pnlDetail, "edtDuration", 80);
    edtDuration->setText(QStringLiteral("3.0"));
    addRow(QStringLiteral("D&uration:"), edtDuration, edtDuration);
    edtCondition = NamedEdit(pnlDetail, "edtCondition", InputWidth);
    addRow(QStringLiteral("Co&ndition:"), edtCondition, edtCondition);
    edtLocaleKey = NamedEdit(pnlDetail, "edtLocaleKey", InputWidth);
    addRow(QStringLiteral("&Locale Key:"), edtLocaleKey, edtLocaleKey);

    grpFlags = new QGroupBox(QStringLiteral("Message Type Flags"), pnlDetail);
    grpFlags->setObjectName(QStringLiteral("grpFlags"));
    grpFlags->setFixedWidth(InputWidth);
    auto* flags = new QVBoxLayout(grpFlags);
    chkAmbient = NamedCheck(grpFlags, "chkAmbient", QStringLiteral("Am&bient / Idle bark"));
    chkCombatTaunt = NamedCheck(grpFlags, "chkCombatTaunt", QStringLiteral("Co&mbat taunt"));
    chkContextSensitive =
        NamedCheck(grpFlags, "chkContextSensitive", QStringLiteral("Conte&xt-sensitive (condition driven)"));
    for (QCheckBox* c : { chkAmbient, chkCombatTaunt, chkContextSensitive })
        flags->addWidget(c);
    grid->addWidget(grpFlags, row++, 1, Qt::AlignLeft);

    pnlPreview = new QFrame(pnlDetail);
    pnlPreview->setObjectName(QStringLiteral("pnlPreview"));
    pnlPreview->setFixedSize(InputWidth, 42);
    auto* previewLayout = new QHBoxLayout(pnlPreview);
    previewLayout->setContentsMargins(4, 2, 4, 2);
    lblPreview = new QLabel(QStringLiteral("(no text)"), pnlPreview);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setAlignment(Qt::AlignCenter);
    lblPreview->setWordWrap(true);
    SetPointSize(lblPreview, 11);
    // Long lines are cut at the panel's edge instead of widening the window.
    lblPreview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblPreview->setProperty("tlwElided", true);
    previewLayout->addWidget(lblPreview);
    lblPreviewCaption = addRow(QStringLiteral("PREVIEW:"), nullptr, pnlPreview);
    FCaptions.removeAll(lblPreviewCaption);
    grid->setColumnStretch(2, 1);

    connect(memoText, &QPlainTextEdit::textChanged, this, &TFloatMessageForm::RefreshPreview);
    return pnlDetail;
}

QFrame* TFloatMessageForm::BuildButtonBar()
{
    pnlBottom = Band(42, this);
    auto* bar = new QHBoxLayout(pnlBottom);
    bar->setContentsMargins(8, 0, 8, 0);
    bar->setSpacing(6);
    btnAdd = NamedButton(pnlBottom, "btnAdd", QStringLiteral("+ &Add Message"), QSize(110, 28));
    btnDelete = NamedButton(pnlBottom, "btnDelete", QStringLiteral("&Delete"), QSize(80, 28));
    btnDuplicate = NamedButton(pnlBottom, "btnDuplicate", QStringLiteral("Dupl&icate"), QSize(80, 28));
    btnDone = NamedButton(pnlBottom, "btnDone", QStringLiteral("D&one"), QSize(90, 28));
    bar->addWidget(btnAdd);
    bar->addWidget(btnDelete);
    bar->addWidget(btnDuplicate);
    bar->addStretch(1);
    bar->addWidget(btnDone);
    connect(btnAdd, &QPushButton::clicked, this, &TFloatMessageForm::AddMessage);
    connect(btnDelete, &QPushButton::clicked, this, &TFloatMessageForm::DeleteMessage);
    connect(btnDuplicate, &QPushButton::clicked, this, &TFloatMessageForm::DuplicateMessage);
    connect(btnDone, &QPushButton::clicked, this, &TFloatMessageForm::Done);
    return pnlBottom;
}

void TFloatMessageForm::ApplyTheme()
{
    const TTLWTheme& t = Theme();
    ThemeWindowBase(this, t);
    for (QWidget* w : std::initializer_list<QWidget*>{ pnlTop, pnlBottom, pnlLeft })
        SetBackground(w, t.BgMedium);
    SetBackground(pnlDetail, t.BgDark);
    SetBackground(lstMessages, t.BgDark);
    SetTextColor(lblTitle, t.AccentPrimary);
    for (QWidget* w : std::initializer_list<QWidget*>{ memoText, edtDuration, edtCondition, edtLocaleKey, cmbCategory,
                                                       cmbCategoryFilter, spnPriority, spnWeight })
        SetColors(w, t.BgLight, t.TextPrimary);
    SetBackground(grpFlags, t.BgDark);
    SetTextColor(grpFlags, t.AccentSecondary);
    SetBackground(pnlPreview, t.BgLight);
    SetTextColor(lblPreview, t.AccentPrimary);
    SetFontName(lblPreview, t.MonoFontName);
    SetTextColor(lblMessages, t.AccentSecondary);
    SetTextColor(lblPreviewCaption, t.AccentSecondary);
    ThemeCaptions(FCaptions, t);
    TThemeManager::ApplyToForm(this);
}

QString TFloatMessageForm::SelectedFilter() const
{
    const QString filter = cmbCategoryFilter->currentText();
    return filter == FloatMessageRules::AllCategories() ? QString() : filter;
}

void TFloatMessageForm::BuildCategoryLists()
{
    TUpdateGuard guard(FUpdating);
    cmbCategoryFilter->clear();
    cmbCategoryFilter->addItems(FloatMessageRules::FilterEntries(FProject->FloatMessages()));
    cmbCategoryFilter->setCurrentIndex(0);
    const QString typed = cmbCategory->currentText();
    cmbCategory->clear();
    cmbCategory->addItems(FloatMessageRules::CategoryEntries(FProject->FloatMessages()));
    cmbCategory->setCurrentIndex(-1);
    cmbCategory->setEditText(typed);
}

void TFloatMessageForm::RefreshMessageList()
{
    {
        TUpdateGuard guard(FUpdating);
        lstMessages->clear();
        FShown = FloatMessageRules::Filtered(FProject->FloatMessages(), SelectedFilter());
        for (TFloatMessage* m : FShown)
            lstMessages->addItem(FloatMessageRules::ListLine(*m));
    }
    if (FShown.isEmpty()) {
        FCurrentMsg = nullptr;
        RefreshPreview();
        return;
    }
    SelectLine(0);
}

void TFloatMessageForm::SelectLine(int row)
{
    if (row < 0 || row >= FShown.size())
        return;
    SaveCurrent();
    {
        TUpdateGuard guard(FUpdating);
        lstMessages->setCurrentRow(row);
    }
    LoadMessage(FShown[row]);
}

TFloatMessageDetails TFloatMessageForm::ReadPane() const
{
    TFloatMessageDetails d;
    d.Text = memoText->toPlainText();
    d.Category = cmbCategory->currentText();
    d.Priority = spnPriority->value();
    d.Weight = spnWeight->value();
    d.Duration = edtDuration->text();
    d.Condition = edtCondition->text();
    d.LocaleKey = edtLocaleKey->text();
    d.IsAmbient = chkAmbient->isChecked();
    d.IsCombatTaunt = chkCombatTaunt->isChecked();
    d.IsContextSensitive = chkContextSensitive->isChecked();
    return d;
}

void TFloatMessageForm::ShowPane(const TFloatMessageDetails& d)
{
    memoText->setPlainText(d.Text);
    // Only an entry spelled exactly alike is picked, so loading never
    // changes the case of a message's category.
    const int entry = cmbCategory->findText(d.Category, Qt::MatchExactly | Qt::MatchCaseSensitive);
    cmbCategory->setCurrentIndex(entry);
    if (entry < 0)
        cmbCategory->setEditText(d.Category);
    spnPriority->setValue(d.Priority);
    spnWeight->setValue(d.Weight);
    edtDuration->setText(d.Duration);
    edtCondition->setText(d.Condition);
    edtLocaleKey->setText(d.LocaleKey);
    chkAmbient->setChecked(d.IsAmbient);
    chkCombatTaunt->setChecked(d.IsCombatTaunt);
    chkContextSensitive->setChecked(d.IsContextSensitive);
}

void TFloatMessageForm::SaveCurrent()
{
    if (!FCurrentMsg)
        return;
    TFloatMessageDetails d = ReadPane();
    d.Text = ModalFormText::KeepLineEnds(d.Text, FCurrentMsg->Text);
    d.StoreInto(*FCurrentMsg, FLocale);
    FProject->SetModified(true);
}

void TFloatMessageForm::LoadMessage(TFloatMessage* message)
{
    FCurrentMsg = message;
    ShowPane(TFloatMessageDetails::From(*message, FLocale));
    RefreshPreview();
}

void TFloatMessageForm::RefreshPreview()
{
    if (FCurrentMsg)
        lblPreview->setText(QLatin1Char('"') + memoText->toPlainText() + QLatin1Char('"'));
    else
        lblPreview->setText(QStringLiteral("(no message selected)"));
}

void TFloatMessageForm::AddMessage()
{
    const QString text = FCurrentMsg ? QString() : memoText->toPlainText().trimmed();
    SaveCurrent();
    TFloatMessage* added = FloatMessageOps::Add(*FProject, text, SelectedFilter());
    RefreshMessageList();
    SelectLine(int(FShown.indexOf(added)));
}

void TFloatMessageForm::DeleteMessage()
{
    const int row = lstMessages->currentRow();
    if (row < 0 || row >= FShown.size())
        return;
    FloatMessageOps::Remove(*FProject, FShown[row]);
    FCurrentMsg = nullptr;
    RefreshMessageList();
    if (FShown.isEmpty())
        memoText->clear();
}

void TFloatMessageForm::DuplicateMessage()
{
    const int row = lstMessages->currentRow();
    if (row < 0 || row >= FShown.size())
        return;
    SaveCurrent();
    FloatMessageOps::Duplicate(*FProject, *FShown[row]);
    RefreshMessageList();
}

void TFloatMessageForm::AskNewCategory()
{
    AddCategory(QInputDialog::getText(this, QStringLiteral("New Category"), QStringLiteral("Category name:")));
}

void TFloatMessageForm::AddCategory(const QString& answer)
{
    if (answer.trimmed().isEmpty())
        return;
    if (cmbCategory->findText(answer, Qt::MatchFixedString) < 0) {
        TUpdateGuard guard(FUpdating);
        cmbCategory->addItem(answer);
        cmbCategoryFilter->addItem(answer);
    }
    cmbCategory->setEditText(answer);
}

void TFloatMessageForm::Done()
{
    SaveCurrent();
    accept();
}
