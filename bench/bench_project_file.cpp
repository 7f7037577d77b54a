// Project file load/save/validate speed against reference JSON readers and
// writers, and peak memory while loading. Prints ratios measured in one run.

#include "bench/BenchTiming.h"
#include "bench/ProjectGenerator.h"
#include "model/JsonText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

long StatusKb(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

// Loads the file in a child process so the peak is not that of earlier work.
double PeakLoadMemoryKb(const QString& path)
{
    return BenchTiming::InChild([&] {
        const long before = StatusKb("VmRSS:");
        TDialogueProject p;
        p.LoadFromFile(path);
        return double(StatusKb("VmHWM:") - before);
    });
}

struct TSizeFigures {
    double Load = 0, Save = 0, Validate = 0;
};

TSizeFigures MeasureSize(int nodes, const QString& dir, bool havePython)
{
    const QString path = dir + QStringLiteral("/bench_%1.tlw").arg(nodes);
    TDialogueProject project;
    GenerateProject(project, nodes);
    project.SaveToFile(path);
    const int runs = nodes >= 50000 ? 2 : 4;

    TSizeFigures f;
    f.Save = BenchTiming::BestWallSeconds(runs, [&] { project.SaveToFile(path); });
    f.Load = BenchTiming::BestWallSeconds(runs, [&] { TDialogueProject p; p.LoadFromFile(path); });
    f.Validate = BenchTiming::BestWallSeconds(runs, [&] { project.ValidateProject(); });

    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const QByteArray body = bytes.mid(3);
    const double qtParse = BenchTiming::BestWallSeconds(runs, [&] { QJsonDocument::fromJson(body); });
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    const double qtWrite = BenchTiming::BestWallSeconds(runs, [&] { doc.toJson(QJsonDocument::Indented); });

    std::printf("%6d nodes, %7.1f MB: load %.3fs, save %.3fs, validate %.4fs\n", nodes,
                bytes.size() / 1e6, f.Load, f.Save, f.Validate);
    std::printf("        load / QJsonDocument::fromJson      = %.2f (target <= 2.0)\n", f.Load / qtParse);
    std::printf("        save / QJsonDocument::toJson        = %.2f (target <= 1.0)\n", f.Save / qtWrite);
    if (havePython) {
        const double py = BenchTiming::BestWallSeconds(2, [&] {
            QProcess::execute(QStringLiteral("python3"),
                { QStringLiteral("-c"),
                  QStringLiteral("import json,sys; json.load(open(sys.argv[1], encoding='utf-8-sig'))"), path });
        });
        std::printf("        load / python3 json.load            = %.2f (target <= 1.0)\n", f.Load / py);
    }
    if (nodes == 50000) {
        const double kb = PeakLoadMemoryKb(path);
        std::printf("        peak memory while loading / file size = %.2f (target <= 4)\n",
                    kb * 1024.0 / double(bytes.size()));
    }
    std::fflush(stdout);
    return f;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const bool havePython = QProcess::execute(QStringLiteral("python3"), { QStringLiteral("-c"), QStringLiteral("0") }) == 0;
    MeasureSize(1000, dir.path(), havePython);
    const TSizeFigures at10k = MeasureSize(10000, dir.path(), havePython);
    const TSizeFigures at50k = MeasureSize(50000, dir.path(), havePython);
    std::printf("scaling 50k / 10k: load %.2f, save %.2f, validate %.2f (target <= 6)\n",
                at50k.Load / at10k.Load, at50k.Save / at10k.Save, at50k.Validate / at10k.Validate);
    return 0;
}
