#include "editors/ScriptEditor.h"

#include "editors/ScriptEditorText.h"
#include "shell/ThemeManager.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

bool TScriptEditorForm::Execute(QWidget* owner, QString& code)
{
    TScriptEditorForm form(owner);
    form.SetCode(code);
    if (form.exec() != QDialog::Accepted)
        return false;
    code = form.Code();
    return true;
}

TScriptEditorForm::TScriptEditorForm(QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Script Editor"));
    resize(720, 580);
    BuildControls();
    ApplyTheme();
    memoReference->setPlainText(ScriptEditorText::ReferenceLines().join(QLatin1Char('\n')));
}

void TScriptEditorForm::BuildControls()
{
    QVBoxLayout* layout = FormKit::BareColumn(this);
    layout->addWidget(BuildHeader());
    layout->addWidget(BuildToolbar());

    FTabs = new QTabWidget(this);
    memoEditor = FormKit::MakeMemo(FTabs, QStringLiteral("Courier New"), 10, false);
    memoEditor->installEventFilter(this);
    memoReference = FormKit::MakeMemo(FTabs, QStringLiteral("Courier New"), 9, true);
    FTabs->addTab(memoEditor, QStringLiteral("Script Code"));
    FTabs->addTab(memoReference, QStringLiteral("Function Reference"));
    layout->addWidget(FTabs, 1);

    layout->addWidget(BuildBottomBar());
}

QWidget* TScriptEditorForm::BuildHeader()
{
    pnlHeader = FormKit::MakeBar(this, 36);
    lblTitle = FormKit::MakeTitle(pnlHeader, QStringLiteral("SCRIPT EDITOR"));
    pnlHeader->layout()->addWidget(lblTitle);
    return pnlHeader;
}

QWidget* TScriptEditorForm::BuildToolbar()
{
    pnlToolbar = FormKit::MakeBar(this, 36);
    auto* row = static_cast<QHBoxLayout*>(pnlToolbar->layout());
    lblEvent = new QLabel(QStringLiteral("Event:"), pnlToolbar);
    cmbEventType = new QComboBox(pnlToolbar);
    cmbEventType->setFixedWidth(200);
    cmbEventType->addItems(ScriptEditorText::EventIdentifiers());
    cmbEventType->setCurrentIndex(0);
    btnInsert = FormKit::MakeButton(pnlToolbar, QStringLiteral("Insert Template"), 120, 26);
    lblLineInfo = new QLabel(QStringLiteral("Ln 1  Col 1"), pnlToolbar);
    row->addWidget(lblEvent);
    row->addWidget(cmbEventType);
    row->addWidget(btnInsert);
    row->addSpacing(12);
    row->addWidget(lblLineInfo, 1);
    connect(btnInsert, &QPushButton::clicked, this, &TScriptEditorForm::InsertTemplate);
    return pnlToolbar;
}

QWidget* TScriptEditorForm::BuildBottomBar()
{
    pnlBottom = FormKit::MakeBar(this, 42);
    auto* row = static_cast<QHBoxLayout*>(pnlBottom->layout());
    btnValidate = FormKit::MakeButton(pnlBottom, QString(QChar(0x2713)) + QStringLiteral(" Validate Script"), 130, 28);
    btnOK = FormKit::MakeButton(pnlBottom, QStringLiteral("OK"), 88, 28);
    btnCancel = FormKit::MakeButton(pnlBottom, QStringLiteral("Cancel"), 88, 28);
    row->addWidget(btnValidate);
    row->addStretch(1);
    row->addWidget(btnOK);
    row->addWidget(btnCancel);
    connect(btnValidate, &QPushButton::clicked, this, &TScriptEditorForm::ValidateScript);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    return pnlBottom;
}

void TScriptEditorForm::ApplyTheme()
{
    const TTLWTheme& theme = TThemeManager::Current();
    FormKit::SetBackground(this, theme.BgDark);
    FormKit::SetTextColor(this, theme.TextPrimary);
    for (QWidget* bar : { static_cast<QWidget*>(pnlHeader), static_cast<QWidget*>(pnlToolbar),
                          static_cast<QWidget*>(pnlBottom) })
        FormKit::SetBackground(bar, theme.BgMedium);
    FormKit::SetTextColor(lblTitle, theme.AccentPrimary);
    FormKit::SetTextColor(lblEvent, theme.TextSecondary);
    FormKit::SetTextColor(lblLineInfo, theme.TextDim);
    FormKit::SetPointSize(lblLineInfo, 8);
    FormKit::SetBackground(memoEditor, theme.BgDark);
    FormKit::SetTextColor(memoEditor, theme.AccentPrimary);
    FormKit::SetBackground(memoReference, theme.BgDark);
    FormKit::SetTextColor(memoReference, theme.TextSecondary);
    FormKit::SetBackground(cmbEventType, theme.BgLight);
    FormKit::SetTextColor(cmbEventType, theme.TextPrimary);
    TThemeManager::ApplyToForm(this);
}

void TScriptEditorForm::SetCode(const QString& code)
{
    memoEditor->setPlainText(ScriptEditorText::ToEditorText(code));
}

QString TScriptEditorForm::Code() const
{
    return ScriptEditorText::FromEditorText(memoEditor->toPlainText());
}

void TScriptEditorForm::InsertTemplate()
{
    const auto event = TScriptEvent(qBound(0, cmbEventType->currentIndex(), ScriptEventCount - 1));
    const QString suffix = ScriptEditorText::TemplateSuffix(Code(), event);
    QTextCursor cursor = memoEditor->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ScriptEditorText::ToEditorText(suffix));
}

void TScriptEditorForm::ValidateScript()
{
    FShowMessage(this, ScriptEditorText::ValidationMessage(Code()));
}

void TScriptEditorForm::UpdateLineInfo()
{
    const QTextCursor cursor = memoEditor->textCursor();
    // An empty box holds no lines at all, not one empty line.
    const int lines = memoEditor->document()->isEmpty() ? 0 : memoEditor->document()->blockCount();
    lblLineInfo->setText(ScriptEditorText::LineInfoText(cursor.blockNumber(), cursor.positionInBlock(), lines));
}

bool TScriptEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memoEditor && event->type() == QEvent::KeyRelease)
        UpdateLineInfo();
    return QDialog::eventFilter(watched, event);
}
