// tallowin-cli: exports, checks and imports dialogue projects without the
// editor's window.

#include "cli/CliApp.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = TCliApp(out, err).Run(args);
    out.flush();
    err.flush();
    return status;
}
