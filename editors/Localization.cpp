#include "editors/Localization.h"

#include "editors/LocalizationStrings.h"
#include "export/ExportManager.h"
#include "shell/ThemeManager.h"

#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const PackFilter = "Localization JSON (*.json);;All Files (*.*)";

QString AskTextBox(QWidget* parent, const QString& title, const QString& prompt)
{
    return QInputDialog::getText(parent, title, prompt);
}

QString AskSaveFile(QWidget* parent, const QString& title, const QString& proposed, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, proposed, filter);
}

QString AskOpenFile(QWidget* parent, const QString& title, const QString& proposed, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, proposed, filter);
}

}

void TLocalizationForm::Execute(QWidget* owner, TDialogueProject* project)
{
    if (!project)
        return;
    TLocalizationForm form(owner, project);
    form.exec();
}

TLocalizationForm::TLocalizationForm(QWidget* owner, TDialogueProject* project)
    : QDialog(owner), FProject(project), FAskText(AskTextBox), FAskSavePath(AskSaveFile), FAskOpenPath(AskOpenFile)
{
    setWindowTitle(QStringLiteral("Localization Manager"));
    resize(780, 520);
    BuildControls();
    ApplyTheme();
    RefreshLocales();
    RefreshStrings();
}

void TLocalizationForm::BuildControls()
{
    QVBoxLayout* layout = FormKit::BareColumn(this);
    layout->addWidget(BuildTopBar());

    FSplitter = FormKit::MakeSplitter(this);
    FSplitter->addWidget(BuildLocalePane());
    lvStrings = FormKit::MakeReportList(FSplitter, { { QStringLiteral("Key"), 180 },
                                                     { QStringLiteral("Source (en-US)"), 260 },
                                                     { QStringLiteral("Translation"), 260 },
                                                     { QStringLiteral("Status"), 80 } });
    FSplitter->addWidget(lvStrings);
    FSplitter->setStretchFactor(1, 1);
    FSplitter->setSizes({ 180, 596 });
    layout->addWidget(FSplitter, 1);

    layout->addWidget(BuildBottomBar());
}

QWidget* TLocalizationForm::BuildTopBar()
{
    pnlTop = FormKit::MakeBar(this, 40);
    lblTitle = FormKit::MakeTitle(pnlTop, QStringLiteral("LOCALIZATION MANAGER"));
    pnlTop->layout()->addWidget(lblTitle);
    return pnlTop;
}

QWidget* TLocalizationForm::BuildBottomBar()
{
    pnlBottom = FormKit::MakeBar(this, 42);
    auto* row = static_cast<QHBoxLayout*>(pnlBottom->layout());
    lblStats = new QLabel(QStringLiteral("Strings: 0"), pnlBottom);
    btnExport = FormKit::MakeButton(pnlBottom, QString(QChar(0x2B06)) + QStringLiteral(" Export Pack"), 110, 28);
    btnImport = FormKit::MakeButton(pnlBottom, QString(QChar(0x2B07)) + QStringLiteral(" Import Pack"), 110, 28);
    btnDone = FormKit::MakeButton(pnlBottom, QStringLiteral("Done"), 90, 28);
    row->addWidget(lblStats);
    row->addWidget(btnExport);
    row->addWidget(btnImport);
    row->addStretch(1);
    row->addWidget(btnDone);
    connect(btnExport, &QPushButton::clicked, this, &TLocalizationForm::ExportPackClicked);
    connect(btnImport, &QPushButton::clicked, this, &TLocalizationForm::ImportPackClicked);
    connect(btnDone, &QPushButton::clicked, this, &QDialog::accept);
    return pnlBottom;
}

QWidget* TLocalizationForm::BuildLocalePane()
{
    pnlLocales = new QWidget(this);
    pnlLocales->setMinimumWidth(120);
    auto* column = new QVBoxLayout(pnlLocales);
    column->setContentsMargins(4, 4, 4, 4);
    lblLocales = new QLabel(QStringLiteral("LOCALES"), pnlLocales);
    FormKit::SetPointSize(lblLocales, lblLocales->font().pointSize(), true);
    lstLocales = new QListWidget(pnlLocales);
    connect(lstLocales, &QListWidget::itemClicked, this, &TLocalizationForm::LocaleClicked);
    btnAdd = FormKit::MakeButton(pnlLocales, QStringLiteral("+"), 40, 26);
    btnRemove = FormKit::MakeButton(pnlLocales, QString(QChar(0x2212)), 40, 26);
    connect(btnAdd, &QPushButton::clicked, this, &TLocalizationForm::AddLocaleClicked);
    connect(btnRemove, &QPushButton::clicked, this, &TLocalizationForm::RemoveLocaleClicked);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnRemove);
    buttons->addStretch(1);
    column->addWidget(lblLocales);
    column->addWidget(lstLocales, 1);
    column->addLayout(buttons);
    return pnlLocales;
}

void TLocalizationForm::ApplyTheme()
{
    const TTLWTheme& theme = TThemeManager::Current();
    FormKit::SetBackground(this, theme.BgDark);
    FormKit::SetTextColor(this, theme.TextPrimary);
    FormKit::SetBackground(pnlTop, theme.BgMedium);
    FormKit::SetBackground(pnlBottom, theme.BgMedium);
    FormKit::SetTextColor(lblTitle, theme.AccentPrimary);
    for (QWidget* list : { static_cast<QWidget*>(lstLocales), static_cast<QWidget*>(lvStrings) }) {
        FormKit::SetBackground(list, theme.BgDark);
        FormKit::SetTextColor(list, theme.TextPrimary);
    }
    FormKit::SetTextColor(lblStats, theme.TextSecondary);
    TThemeManager::ApplyToForm(this);
}

void TLocalizationForm::RefreshLocales()
{
    lstLocales->clear();
    lstLocales->addItems(FProject->Locales());
    if (lstLocales->count() > 0)
        lstLocales->setCurrentRow(0);
}

void TLocalizationForm::RefreshStrings()
{
    const QVector<TLocalizationStringRow> rows = LocalizationStrings::BuildStringTable(*FProject);
    lvStrings->setRowCount(0);
    for (const TLocalizationStringRow& row : rows)
        FormKit::AppendReportRow(lvStrings, { row.Key, row.Source, row.Translation, row.Status });
    lblStats->setText(LocalizationStrings::TotalStringsText(int(rows.size())));
}

void TLocalizationForm::LocaleClicked()
{
    LocalizationStrings::SetActiveLocale(*FProject, lstLocales->currentRow());
    RefreshStrings();
}

void TLocalizationForm::AddLocaleClicked()
{
    const QString code = FAskText(this, QStringLiteral("Add Locale"), QStringLiteral("Locale code (e.g. de-DE, fr-FR, ru-RU):"));
    if (LocalizationStrings::AddLocale(*FProject, code))
        RefreshLocales();
}

void TLocalizationForm::RemoveLocaleClicked()
{
    if (LocalizationStrings::RemoveLocale(*FProject, lstLocales->currentRow()))
        RefreshLocales();
    else
        FShowMessage(this, LocalizationStrings::CannotRemoveDefaultMessage());
}

void TLocalizationForm::ExportPackClicked()
{
    const QString path = FAskSavePath(this, QStringLiteral("Export Localization Pack"),
                                      LocalizationStrings::ProposedPackFileName(*FProject),
                                      QString::fromLatin1(PackFilter));
    if (path.isEmpty())
        return;
    const TExportResult result = LocalizationStrings::ExportPack(*FProject, path);
    FShowMessage(this, LocalizationStrings::ExportResultMessage(result));
}

void TLocalizationForm::ImportPackClicked()
{
    const QString path = FAskOpenPath(this, QStringLiteral("Import Localization Pack"), QString(),
                                      QString::fromLatin1(PackFilter));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FShowMessage(this, QStringLiteral("Cannot open ") + path + QStringLiteral(": ") + file.errorString());
        return;
    }
    const QString message = LocalizationStrings::ImportPackMessage(file.readAll());
    if (!message.isEmpty())
        FShowMessage(this, message);
}
