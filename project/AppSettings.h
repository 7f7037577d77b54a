#pragma once
// The user's application settings, kept as one compact JSON line in
// "tlw_settings.json" beside the executable. One instance per run.

#include <QString>

class TAppSettings {
public:
    // The shared instance; created (and loaded) on first use.
    static TAppSettings& Instance();
    // Saves and destroys the shared instance if it was created.
    static void Shutdown();

    // A free-standing instance on an explicit file (tests, tools).
    explicit TAppSettings(const QString& filePath);

    void Save();
    void Load();
    QString FilePath() const { return FFilePath; }

    // The file's exact text for the current values.
    QByteArray ToFileText() const;

    bool AutoSave() const { return FAutoSave; }
    void SetAutoSave(bool v) { FAutoSave = v; }
    qint32 AutoSaveInterval() const { return FAutoSaveInterval; }
    void SetAutoSaveInterval(qint32 v) { FAutoSaveInterval = v; }
    QString Theme() const { return FTheme; }
    void SetTheme(const QString& v) { FTheme = v; }
    QString AIAPIKey() const { return FAIAPIKey; }
    void SetAIAPIKey(const QString& v) { FAIAPIKey = v; }
    QString AIDefaultPersona() const { return FAIDefaultPersona; }
    void SetAIDefaultPersona(const QString& v) { FAIDefaultPersona = v; }
    bool ShowSplash() const { return FShowSplash; }
    void SetShowSplash(bool v) { FShowSplash = v; }

private:
    QString FFileName = QStringLiteral("tlw_settings.json");
    QString FFilePath;
    bool FAutoSave = true;
    qint32 FAutoSaveInterval = 120;
    QString FTheme = QStringLiteral("Amber");
    QString FAIAPIKey;
    QString FAIDefaultPersona = QStringLiteral("vault_dweller");
    bool FShowSplash = true;
};
