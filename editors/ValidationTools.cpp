#include "editors/ValidationTools.h"

#include "editors/ValidationAnalysis.h"
#include "shell/ThemeManager.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

void TValidationForm::Execute(QWidget* owner, TDialogueProject* project)
{
    if (!project)
        return;
    TValidationForm form(owner, project);
    form.exec();
}

TValidationForm::TValidationForm(QWidget* owner, TDialogueProject* project)
    : QDialog(owner), FProject(project)
{
    setWindowTitle(QStringLiteral("Validation & Analysis Tools"));
    resize(760, 560);
    BuildControls();
    ApplyTheme();
}

void TValidationForm::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildTopBar());

    FTabs = new QTabWidget(this);
    lstIssues = FormKit::MakeReportList(FTabs, { { QStringLiteral("Severity"), 70 },
                                                 { QStringLiteral("Issue"), 400 },
                                                 { QStringLiteral("Node ID"), 160 } });
    connect(lstIssues, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { IssueDoubleClicked(row); });
    FTabs->addTab(lstIssues, QStringLiteral("Validation Issues"));
    memoFlowReport = FormKit::MakeMemo(FTabs, QStringLiteral("Courier New"), 9, true);
    FTabs->addTab(memoFlowReport, QStringLiteral("Flow Analysis"));
    FTabs->addTab(BuildSearchPage(), QStringLiteral("Search Nodes"));
    layout->addWidget(FTabs, 1);

    layout->addWidget(BuildBottomBar());
}

QWidget* TValidationForm::BuildTopBar()
{
    pnlTop = FormKit::MakeBar(this, 40);
    lblTitle = FormKit::MakeTitle(pnlTop, QStringLiteral("PROJECT VALIDATION & ANALYSIS"));
    pnlTop->layout()->addWidget(lblTitle);
    return pnlTop;
}

QWidget* TValidationForm::BuildBottomBar()
{
    pnlBottom = FormKit::MakeBar(this, 42);
    auto* row = static_cast<QHBoxLayout*>(pnlBottom->layout());
    btnRunAll = FormKit::MakeButton(pnlBottom, QStringLiteral("Run All Checks"), 130, 28);
    btnAutoFix = FormKit::MakeButton(pnlBottom, QStringLiteral("Auto-Fix Warnings"), 130, 28);
    lblCount = new QLabel(QStringLiteral("No issues found"), pnlBottom);
    btnClose = FormKit::MakeButton(pnlBottom, QStringLiteral("Close"), 90, 28);
    row->addWidget(btnRunAll);
    row->addWidget(btnAutoFix);
    row->addWidget(lblCount, 1);
    row->addWidget(btnClose);
    connect(btnRunAll, &QPushButton::clicked, this, &TValidationForm::RunAllChecks);
    connect(btnAutoFix, &QPushButton::clicked, this, &TValidationForm::AutoFixWarnings);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    return pnlBottom;
}

QWidget* TValidationForm::BuildSearchPage()
{
    auto* page = new QWidget(FTabs);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnlSearch = FormKit::MakeBar(page, 38);
    auto* row = static_cast<QHBoxLayout*>(pnlSearch->layout());
    lblSearch = new QLabel(QStringLiteral("Search:"), pnlSearch);
    edtSearch = new QLineEdit(pnlSearch);
    edtSearch->setFixedWidth(280);
    cmbSearchIn = new QComboBox(pnlSearch);
    cmbSearchIn->addItems(NodeSearch::FieldCaptions());
    cmbSearchIn->setCurrentIndex(-1);
    btnSearch = FormKit::MakeButton(pnlSearch, QStringLiteral("Search"), 75, 25);
    row->addWidget(lblSearch);
    row->addWidget(edtSearch);
    row->addWidget(cmbSearchIn);
    row->addWidget(btnSearch);
    row->addStretch(1);
    connect(btnSearch, &QPushButton::clicked, this, &TValidationForm::SearchNodes);
    connect(edtSearch, &QLineEdit::returnPressed, this, &TValidationForm::SearchNodes);
    column->addWidget(pnlSearch);

    lstSearchResults = FormKit::MakeReportList(page, { { QStringLiteral("Node ID"), 150 },
                                                       { QStringLiteral("Type"), 100 },
                                                       { QStringLiteral("Speaker"), 100 },
                                                       { QStringLiteral("Match"), 340 } });
    column->addWidget(lstSearchResults, 1);
    return page;
}

void TValidationForm::ApplyTheme()
{
    const TTLWTheme& theme = TThemeManager::Current();
    FormKit::SetBackground(this, theme.BgDark);
    FormKit::SetTextColor(this, theme.TextPrimary);
    QFont f = font();
    f.setFamily(theme.FontName);
    setFont(f);
    for (QWidget* bar : { static_cast<QWidget*>(pnlTop), static_cast<QWidget*>(pnlBottom), static_cast<QWidget*>(pnlSearch) })
        FormKit::SetBackground(bar, theme.BgMedium);
    FormKit::SetTextColor(lblTitle, theme.AccentPrimary);
    FormKit::SetTextColor(lblCount, theme.TextSecondary);
    for (QWidget* view : { static_cast<QWidget*>(memoFlowReport), static_cast<QWidget*>(lstIssues),
                           static_cast<QWidget*>(lstSearchResults) }) {
        FormKit::SetBackground(view, theme.BgDark);
        FormKit::SetTextColor(view, theme.TextPrimary);
    }
    FormKit::SetBackground(edtSearch, theme.BgLight);
    FormKit::SetBackground(cmbSearchIn, theme.BgLight);
    TThemeManager::ApplyToForm(this);
}

void TValidationForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    RunAllChecks();
}

void TValidationForm::RunAllChecks()
{
    FillIssues();
    FillFlowReport();
}

void TValidationForm::FillIssues()
{
    const TValidationIssueTable table = ValidationAnalysis::BuildIssueTable(FProject->ValidateProject());
    lstIssues->setRowCount(0);
    for (const TValidationIssueRow& row : table.Rows)
        FormKit::AppendReportRow(lstIssues, { row.Severity, row.Issue, row.NodeID });
    lblCount->setText(table.CountText());
}

void TValidationForm::FillFlowReport()
{
    memoFlowReport->setPlainText(ValidationAnalysis::BuildFlowReport(*FProject).join(QLatin1Char('\n')));
}

void TValidationForm::SearchNodes()
{
    if (edtSearch->text().trimmed().isEmpty())
        return;
    const auto field = TNodeSearchField(cmbSearchIn->currentIndex());
    const QVector<TNodeSearchRow> rows = NodeSearch::Search(*FProject, edtSearch->text(), field);
    lstSearchResults->setRowCount(0);
    for (const TNodeSearchRow& row : rows)
        FormKit::AppendReportRow(lstSearchResults, { row.NodeID, row.TypeName, row.Speaker, row.Match });
    lblCount->setText(NodeSearch::ResultCountText(int(rows.size())));
}

void TValidationForm::AutoFixWarnings()
{
    const int fixes = ValidationAnalysis::AutoFixBrokenLinks(*FProject);
    FShowMessage(this, ValidationAnalysis::AutoFixMessage(fixes));
    if (fixes > 0)
        RunAllChecks();
}

void TValidationForm::IssueDoubleClicked(int row)
{
    if (row < 0 || row >= lstIssues->rowCount())
        return;
    const QString id = FormKit::ReportRow(lstIssues, row).value(2).trimmed();
    if (!id.isEmpty() && FOnNodeSelected)
        FOnNodeSelected(id);
}
