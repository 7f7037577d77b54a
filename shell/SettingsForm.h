#pragma once
// The settings window: edits the application settings (auto-save, theme
// name, splash, AI key and persona) and saves them on OK.

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TAppSettings;

class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    // Modal on the shared settings; true when closed with OK (the settings
    // are then saved). A settings file that cannot be written closes the
    // window and raises its error once the window is gone.
    static bool Execute(QWidget* owner);
    static bool Execute(QWidget* owner, TAppSettings& settings);

    TSettingsForm(QWidget* owner, TAppSettings& settings);

    QCheckBox* AutoSaveCheck() const { return FAutoSave; }
    QSpinBox* IntervalSpin() const { return FInterval; }
    QComboBox* ThemeCombo() const { return FTheme; }
    QCheckBox* SplashCheck() const { return FSplash; }
    QLineEdit* APIKeyEdit() const { return FAPIKey; }
    QComboBox* PersonaCombo() const { return FPersona; }
    QPushButton* OKButton() const { return FOK; }
    QPushButton* CancelButton() const { return FCancel; }

    // Writes the fields into the settings and saves them.
    void StoreSettings();
    // Why the save on OK failed; empty when it did not.
    const QString& SaveError() const { return FSaveError; }

private:
    void LoadSettings();

    TAppSettings& FSettings;
    QCheckBox* FAutoSave = nullptr;
    QSpinBox* FInterval = nullptr;
    QComboBox* FTheme = nullptr;
    QCheckBox* FSplash = nullptr;
    QLineEdit* FAPIKey = nullptr;
    QComboBox* FPersona = nullptr;
    QPushButton* FOK = nullptr;
    QPushButton* FCancel = nullptr;
    QString FSaveError;
};
