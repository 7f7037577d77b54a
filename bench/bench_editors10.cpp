// Flow report and node search of the validation window: how they grow from
// 10 000 to 50 000 nodes. Prints the ratio of one run.

#include "bench/BenchTiming.h"
#include "bench/ProjectGenerator.h"
#include "editors/ValidationAnalysis.h"

// The analysis needs only the core library, but it is built into the
// editor's library; the benchmarks link the core alone, so take its source.
#include "editors/ValidationAnalysis.cpp"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

double Measure(int nodes)
{
    TDialogueProject project;
    GenerateProject(project, nodes);
    if (project.StartNodeID().isEmpty() && project.NodeCount() > 0)
        project.SetStartNodeID(project.NodeAt(0)->ID());
    qsizetype lines = 0;
    int rows = 0;
    const double seconds = BenchTiming::BestWallSeconds(5, [&] {
        lines = ValidationAnalysis::BuildFlowReport(project).size();
        rows = int(NodeSearch::Search(project, QStringLiteral("zzz-not-there"), nsfAllFields).size())
               + int(NodeSearch::Search(project, QStringLiteral("node"), nsfNodeID).size());
    });
    std::printf("%6d nodes: flow report (%lld lines) + search (%d rows) %.3fs\n", nodes, static_cast<long long>(lines),
                rows, seconds);
    std::fflush(stdout);
    return seconds;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double small = Measure(10000);
    const double large = Measure(50000);
    std::printf("50 000 / 10 000 nodes = %.2f (target <= 6, linear)\n", large / small);
    return 0;
}
