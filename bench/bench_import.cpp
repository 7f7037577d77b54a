// SSL and MSG import speed: a generated script and message file pair for
// 10 000 and 50 000 nodes, imported from disk. Prints the times and the
// 50 000 / 10 000 ratio of each, measured in one run (linear import keeps
// the ratio near 5). Releasing the imported project is not timed.

#include "bench/BenchTiming.h"
#include "interchange/MSGImporter.h"
#include "interchange/SSLImporter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <random>

namespace {

// Best of `runs` import timings, each in a child process of its own.
double BestSeconds(int runs, const std::function<void(std::unique_ptr<TDialogueProject>&)>& work)
{
    return BenchTiming::BestCpuSecondsInChild(runs, [&] {
        std::unique_ptr<TDialogueProject> project;
        work(project);
        (void)project.release();   // freed with the child, untimed
    });
}

// One procedure per node in the style of the games' scripts: a reply, three
// options to other procedures (one of them with a skill check on an "if"
// line) and a call; message numbers 100 apart per node.
void WritePair(int nodes, const QString& ssl, const QString& msg)
{
    std::mt19937 rng(static_cast<quint32>(nodes));
    QByteArray script = "/* generated */\r\n#include \"define.h\"\r\n";
    for (int i = 0; i < nodes; ++i)
        script += "procedure Node" + QByteArray::number(i) + ";\r\n";
    QByteArray messages = "# generated\r\n";
    for (int i = 0; i < nodes; ++i) {
        const QByteArray base = QByteArray::number(100 * i + 100);
        auto target = [&] { return "Node" + QByteArray::number(int(rng() % quint32(nodes))); };
        script += "procedure Node" + QByteArray::number(i) + " begin\r\n";
        script += "   Reply(" + base + ");\r\n";
        script += "   if (skill_check(dude_obj, SKILL_SPEECH, " + QByteArray::number(int(rng() % 60) - 20)
            + ")) then begin\r\n      call " + target() + ";\r\n   end\r\n";
        script += "   NOption(" + base + "1, " + target() + ");\r\n";
        script += "   GOption(" + base + "2, " + target() + ");\r\n";
        script += "   giq_option(4, NAME, " + base + "3, " + target() + ", NEUTRAL_REACTION);\r\n";
        script += "   call " + target() + ";\r\nend\r\n\r\n";
        for (int k = 0; k < 4; ++k)
            messages += "{" + QByteArray::number(100 * i + 100 + k) + "}{}{Message " + QByteArray::number(k)
                + " of node " + QByteArray::number(i) + ", with some words in it.}\r\n";
    }
    QFile s(ssl);
    s.open(QIODevice::WriteOnly);
    s.write(script);
    QFile m(msg);
    m.open(QIODevice::WriteOnly);
    m.write(messages);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int sizes[] = {10000, 50000};
    double sslTime[2] = {0, 0};
    double msgTime[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const QString ssl = dir.filePath(QStringLiteral("bench_%1.ssl").arg(sizes[k]));
        const QString msg = dir.filePath(QStringLiteral("bench_%1.msg").arg(sizes[k]));
        WritePair(sizes[k], ssl, msg);
        int sslNodes = 0;
        int msgNodes = 0;
        TSSLImporter sslImporter;
        TMSGImporter msgImporter;
        std::unique_ptr<TDialogueProject> p;
        sslNodes = sslImporter.ImportFromFile(ssl, p).NodeCount;
        msgNodes = msgImporter.ImportFromFile(msg, p).NodeCount;
        p.reset();
        sslTime[k] = BestSeconds(5, [&](std::unique_ptr<TDialogueProject>& project) {
            TSSLImporter importer;
            importer.ImportFromFile(ssl, project);
        });
        msgTime[k] = BestSeconds(5, [&](std::unique_ptr<TDialogueProject>& project) {
            TMSGImporter importer;
            importer.ImportFromFile(msg, project);
        });
        std::printf("%6d nodes: SSL import %.3f s CPU (%d nodes), MSG import %.3f s CPU (%d nodes)\n", sizes[k], sslTime[k],
                    sslNodes, msgTime[k], msgNodes);
    }
    std::printf("ratio 50000/10000: SSL %.2f, MSG %.2f (linear: about 5, limit 6)\n", sslTime[1] / sslTime[0],
                msgTime[1] / msgTime[0]);
    return 0;
}
