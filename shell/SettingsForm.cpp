#include "shell/SettingsForm.h"

#include "model/DialogueTypes.h"
#include "project/AppSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QGroupBox* Group(QWidget* parent, const QString& title, int top)
{
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(16, top, 400, 90);
    return box;
}

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int width)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 20);
    return label;
}

QComboBox* DropDown(QWidget* parent, const QString& name, const QStringList& items, QRect geometry)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setGeometry(geometry);
    return combo;
}

// The item equal to `value` (letter case ignored), or none with empty text.
void SelectItem(QComboBox* combo, const QString& value)
{
    const int index = combo->findText(value, Qt::MatchFixedString);
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(QString());
}

}

TSettingsForm::TSettingsForm(QWidget* owner, TAppSettings& settings) : QDialog(owner), FSettings(settings)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(440, 460);

    QGroupBox* autoSave = Group(this, QStringLiteral("Auto-Save"), 16);
    FAutoSave = new QCheckBox(QStringLiteral("Enable auto-save"), autoSave);
    FAutoSave->setObjectName(QStringLiteral("chkAutoSave"));
    FAutoSave->setGeometry(12, 18, 150, 20);
    Label(autoSave, QStringLiteral("Interval (seconds):"), 12, 48, 110);
    FInterval = new QSpinBox(autoSave);
    FInterval->setObjectName(QStringLiteral("spnInterval"));
    FInterval->setGeometry(125, 46, 60, 22);
    FInterval->setRange(30, 300);

    QGroupBox* appearance = Group(this, QStringLiteral("Appearance"), 116);
    Label(appearance, QStringLiteral("Terminal Theme:"), 12, 20, 100);
    FTheme = DropDown(appearance, QStringLiteral("cmbTheme"),
                      { QStringLiteral("Amber"), QStringLiteral("Green"), QStringLiteral("Cyan"), QStringLiteral("Red"),
                        QStringLiteral("White") },
                      QRect(115, 18, 120, 22));
    FSplash = new QCheckBox(QStringLiteral("Show splash screen on startup"), appearance);
    FSplash->setObjectName(QStringLiteral("chkSplash"));
    FSplash->setGeometry(12, 52, 200, 20);

    QGroupBox* ai = Group(this, QStringLiteral("AI Dialogue"), 216);
    Label(ai, QStringLiteral("API Key:"), 12, 20, 60);
    FAPIKey = new QLineEdit(ai);
    FAPIKey->setObjectName(QStringLiteral("edtAPIKey"));
    FAPIKey->setGeometry(75, 18, 150, 22);
    FAPIKey->setEchoMode(QLineEdit::Password);
    Label(ai, QStringLiteral("Default Persona:"), 12, 52, 100);
    FPersona = DropDown(ai, QStringLiteral("cmbPersona"),
                        { QStringLiteral("Vault Dweller"), QStringLiteral("Brotherhood Knight"),
                          QStringLiteral("Raider Chief"), QStringLiteral("Ghoul Philosopher") },
                        QRect(115, 50, 140, 22));

    FOK = new QPushButton(QStringLiteral("OK"), this);
    FOK->setObjectName(QStringLiteral("btnOK"));
    FOK->setGeometry(260, 320, 75, 25);
    FOK->setDefault(true);
    FCancel = new QPushButton(QStringLiteral("Cancel"), this);
    FCancel->setObjectName(QStringLiteral("btnCancel"));
    FCancel->setGeometry(350, 320, 75, 25);
    connect(FOK, &QPushButton::clicked, this, [this] {
        // An error must not leave the slot (that would end the program):
        // the window closes and Execute raises it.
        try {
            StoreSettings();
        } catch (const EDialogueError& e) {
            FSaveError = e.Message();
            reject();
            return;
        }
        accept();
    });
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);   // Escape rejects as well

    LoadSettings();
}

void TSettingsForm::LoadSettings()
{
    FAutoSave->setChecked(FSettings.AutoSave());
    FInterval->setValue(FSettings.AutoSaveInterval());
    SelectItem(FTheme, FSettings.Theme());
    FSplash->setChecked(FSettings.ShowSplash());
    FAPIKey->setText(FSettings.AIAPIKey());
    SelectItem(FPersona, FSettings.AIDefaultPersona());
}

void TSettingsForm::StoreSettings()
{
    FSettings.SetAutoSave(FAutoSave->isChecked());
    FSettings.SetAutoSaveInterval(FInterval->value());
    FSettings.SetTheme(FTheme->currentText());
    FSettings.SetShowSplash(FSplash->isChecked());
    FSettings.SetAIAPIKey(FAPIKey->text());
    FSettings.SetAIDefaultPersona(FPersona->currentText());
    FSettings.Save();
}

bool TSettingsForm::Execute(QWidget* owner, TAppSettings& settings)
{
    TSettingsForm form(owner, settings);
    const bool accepted = form.exec() == QDialog::Accepted;
    if (!form.SaveError().isEmpty())
        throw EDialogueError(form.SaveError());
    return accepted;
}

bool TSettingsForm::Execute(QWidget* owner) { return Execute(owner, TAppSettings::Instance()); }
