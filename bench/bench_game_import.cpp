// Game dialogue import speed: a generated NPC script in the games' idiom
// with its message file, 10 000 and 50 000 dialogue procedures, imported
// from disk; and the .tlw load of the very project the import made. Prints
// the times, 50 000 / 10 000 for the import (linear: about 5, limit 6) and
// import / project load for each size (limit 2), measured in one run.

#include "bench/BenchTiming.h"
#include "interchange/GameDialogueImporter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

QByteArray NodeName(int i) { return "Node" + QByteArray::number(i + 1).rightJustified(3, '0'); }

// One procedure per node: a reply, options of both forms to other nodes
// (one under a guard), a kept statement, and every tenth a skill roll.
void WritePair(int nodes, const QString& ssl, const QString& msg)
{
    std::mt19937 rng(static_cast<quint32>(nodes));
    auto target = [&] { return NodeName(int(rng() % quint32(nodes))); };
    QByteArray script = "/* generated */\r\n#define SCRIPT_REALNAME \"bench\"\r\n#include \"../headers/define.h\"\r\n"
                        "#define NAME SCRIPT_BENCH\r\n#include \"../headers/command.h\"\r\n#define LVAR_Seen (0)\r\n\r\n"
                        "procedure start;\r\nprocedure talk_p_proc;\r\n";
    for (int i = 0; i < nodes; ++i)
        script += "procedure " + NodeName(i) + ";\r\n";
    script += "\r\nprocedure start begin\r\nend\r\n\r\nprocedure talk_p_proc begin\r\n"
              "   start_gdialog(NAME, self_obj, 4, -1, -1);\r\n   gSay_Start;\r\n   call Node001;\r\n"
              "   gSay_End;\r\n   end_dialogue;\r\nend\r\n\r\n";
    QByteArray messages = "# generated\r\n";
    for (int i = 0; i < nodes; ++i) {
        const int base = 100 + 10 * i;
        const QByteArray b = QByteArray::number(base);
        script += "procedure " + NodeName(i) + " begin\r\n";
        if (i % 10 == 9) {
            script += "   if (is_success(roll_vs_skill(dude_obj, SKILL_SPEECH, -10))) then\r\n      call " + target()
                + ";\r\n   else\r\n      call " + target() + ";\r\nend\r\n\r\n";
            continue;
        }
        script += "   Reply(" + b + ");\r\n";
        script += "   set_local_var(LVAR_Seen, local_var(LVAR_Seen) + 1);\r\n";
        script += "   NOption(" + QByteArray::number(base + 1) + ", " + target() + ", 004);\r\n";
        script += "   if (local_var(LVAR_Seen) > 2) then begin\r\n      GOption(" + QByteArray::number(base + 2) + ", "
            + target() + ", 5);\r\n   end\r\n";
        script += "   giq_option(4, NAME, " + QByteArray::number(base + 3) + ", " + target() + ", BAD_REACTION);\r\n";
        script += "   NLowOption(" + QByteArray::number(base + 4) + ", " + target() + ");\r\nend\r\n\r\n";
        for (int k = 0; k < 5; ++k)
            messages += "{" + QByteArray::number(base + k) + "}{}{Line " + QByteArray::number(k) + " of node "
                + QByteArray::number(i) + ", with a few words in it.}\r\n";
    }
    for (const auto& [path, bytes] : {std::make_pair(ssl, script), std::make_pair(msg, messages)}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int sizes[] = {10000, 50000};
    double importTime[2] = {0, 0};
    double loadTime[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const QString ssl = dir.filePath(QStringLiteral("bench_%1.ssl").arg(sizes[k]));
        const QString msg = dir.filePath(QStringLiteral("bench_%1.msg").arg(sizes[k]));
        const QString tlw = dir.filePath(QStringLiteral("bench_%1.tlw").arg(sizes[k]));
        WritePair(sizes[k], ssl, msg);
        int nodes = 0;
        {
            TGameDialogueImporter importer;
            std::unique_ptr<TDialogueProject> project;
            const TGameImportResult r = importer.ImportFromFile(ssl, msg, project);
            nodes = r.NodeCount;
            project->SaveToFile(tlw);
        }
        importTime[k] = BenchTiming::BestCpuSecondsInChild(3, [&] {
            TGameDialogueImporter importer;
            std::unique_ptr<TDialogueProject> project;
            importer.ImportFromFile(ssl, msg, project);
            (void)project.release();   // freed with the child, untimed
        });
        loadTime[k] = BenchTiming::BestCpuSecondsInChild(3, [&] {
            auto project = std::make_unique<TDialogueProject>();
            project->LoadFromFile(tlw);
            (void)project.release();
        });
        std::printf("%6d procedures: game import %.3f s CPU (%d nodes), .tlw load %.3f s CPU, import/load %.2f (limit 2)\n",
                    sizes[k], importTime[k], nodes, loadTime[k], importTime[k] / loadTime[k]);
    }
    std::printf("ratio 50000/10000: game import %.2f (linear: about 5, limit 6)\n", importTime[1] / importTime[0]);
    return 0;
}
