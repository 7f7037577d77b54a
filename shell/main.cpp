#include "project/AppSettings.h"
#include "shell/ThemeManager.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallowin"));
    TAppSettings::Instance();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tallowin"));
    auto* label = new QLabel(QStringLiteral("Tallowin: the dialogue editor's main window is being built."));
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(800, 500);
    window.show();
    const int rc = app.exec();
    TAppSettings::Shutdown();
    return rc;
}
