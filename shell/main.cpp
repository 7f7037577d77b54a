// The Tallowin editor: settings, splash, the application style and the main
// window, then the event loop; the settings are saved once more at the end.

#include "ai/gui/QtTileTextPainter.h"
#include "project/AppSettings.h"
#include "shell/MainForm.h"
#include "shell/SplashForm.h"
#include "shell/ThemeManager.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

#include <cstdlib>
#include <ctime>

namespace {

// The "Vapor" style is used when the toolkit has it; otherwise Fusion, the
// toolkit's own application-wide style that honours the theme's colours.
void ApplyApplicationStyle()
{
    const QStringList styles = QStyleFactory::keys();
    for (const QString& name : { QStringLiteral("Vapor"), QStringLiteral("Fusion") })
        if (styles.contains(name, Qt::CaseInsensitive)) {
            QApplication::setStyle(QStyleFactory::create(name));
            return;
        }
}

}

int main(int argc, char* argv[])
{
    TThemeManager::ApplyTheme(tsAmber);
    std::srand(unsigned(std::time(nullptr)));

    QApplication app(argc, argv);
    // Placeholder and failure tiles of the image generator carry text.
    InstallQtTileTextPainter();
    if (TAppSettings::Instance().ShowSplash())
        TSplashForm::ShowSplash();
    ApplyApplicationStyle();
    QApplication::setApplicationName(QStringLiteral("Tallowin"));

    int rc = 0;
    {
        TMainForm window;
        window.show();
        QTimer::singleShot(0, &window, [&window] { window.OfferStartupRecovery(); });
        rc = app.exec();
    }
    TAppSettings::Shutdown();
    return rc;
}
