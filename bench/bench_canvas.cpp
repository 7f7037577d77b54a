// Canvas drawing and hit testing on large projects, offscreen, 1920 x 1080.
// Prints the ratios side by side from one run:
//   10 000 nodes at 100 % (about 50 in view) / 100 nodes fitted   (culling)
//   10 000 nodes fitted / 1 000 nodes fitted                      (linear)
// and the time of one hit test in the 10 000-node project.

#ifdef TALLOWIN_CANVAS_BENCH

#include "bench/ProjectGenerator.h"
#include "canvas/AutoLayout.h"
#include "canvas/CanvasHitTest.h"
#include "canvas/CanvasRenderer.h"
#include "shell/ThemeManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int ViewWidth = 1920;
constexpr int ViewHeight = 1080;

// Generated content. Fitted projects keep the generator's scatter over a
// 5000 x 5000 area, which fits the view at every size; the 100 % case lays
// the nodes out on a grid of 100 columns so that the top-left corner of the
// view holds about fifty of them.
std::unique_ptr<TDialogueProject> MakeProject(int nodeCount, bool grid)
{
    auto p = std::make_unique<TDialogueProject>();
    GenerateProject(*p, nodeCount);
    if (grid) {
        for (int i = 0; i < nodeCount; ++i) {
            p->NodeAt(i)->SetX((i % 100) * 300);
            p->NodeAt(i)->SetY((i / 100) * 180);
        }
    }
    return p;
}

struct TScene {
    std::unique_ptr<TDialogueProject> Project;
    TCanvasState State;
    TCanvasRenderer Renderer;
    QImage Image;
};

void Setup(TScene& scene, int nodeCount, bool fitted)
{
    scene.Project = MakeProject(nodeCount, !fitted);
    scene.State.Project = scene.Project.get();
    scene.State.Width = ViewWidth;
    scene.State.Height = ViewHeight;
    if (fitted)
        FitAll(scene.State.View, scene.Project.get(), ViewWidth, ViewHeight);
    else
        scene.State.View.SetOffset(0, 0);
    scene.Project->NodeAt(0)->SetSelected(true);
}

int NodesInView(const TScene& scene)
{
    int n = 0;
    for (const auto& node : scene.Project->Nodes())
        if (NodeRect(*node, scene.State.View).Touches({0, 0, ViewWidth, ViewHeight}))
            ++n;
    return n;
}

// Median milliseconds of one frame, after a first frame that fills caches.
double FrameMs(TScene& scene, int repeats, double* firstMs)
{
    QElapsedTimer t;
    t.start();
    scene.Renderer.RenderToImage(scene.Image, scene.State, TThemeManager::Current());
    *firstMs = t.nsecsElapsed() / 1e6;
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        t.restart();
        scene.Renderer.RenderToImage(scene.Image, scene.State, TThemeManager::Current());
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double HitTestMicroseconds(const TScene& scene, QPoint p, int repeats, int* option)
{
    QElapsedTimer t;
    t.start();
    int sink = 0;
    for (int i = 0; i < repeats; ++i)
        sink += PortAtPoint(scene.Project.get(), scene.State.View, p).Option;
    *option = sink;
    return t.nsecsElapsed() / 1e3 / repeats;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TThemeManager::ApplyTheme(tsAmber);

    struct TCase {
        const char* Name;
        int Nodes;
        bool Fitted;
        int Repeats;
    };
    const TCase cases[] = {
        {"100 nodes, fitted", 100, true, 15},
        {"10000 nodes, 100 %", 10000, false, 15},
        {"1000 nodes, fitted", 1000, true, 7},
        {"10000 nodes, fitted", 10000, true, 5},
    };
    double ms[4] = {};
    const int only = argc > 1 ? std::atoi(argv[1]) : -1;
    for (int i = 0; i < 4; ++i) {
        if (only >= 0 && i != only)
            continue;
        TScene scene;
        Setup(scene, cases[i].Nodes, cases[i].Fitted);
        double first = 0;
        ms[i] = FrameMs(scene, cases[i].Repeats, &first);
        std::printf("%-22s zoom %.3f, %5d nodes in view: %8.2f ms per frame (first frame %8.2f ms)\n", cases[i].Name,
                    double(scene.State.View.Zoom()), NodesInView(scene), ms[i], first);
        if (i == 3) {
            int sink = 0;
            const double empty = HitTestMicroseconds(scene, QPoint(5, 1075), 2000, &sink);
            const TCanvasRect r = NodeRect(*scene.Project->NodeAt(0), scene.State.View);
            const double first = HitTestMicroseconds(scene, QPoint(r.Left + 1, r.Top + 1), 2000, &sink);
            std::printf("hit test in 10000 nodes: %.1f us over empty canvas, %.1f us over the first node (%d)\n",
                        empty, first, sink & 1);
        }
    }
    std::printf("ratio 10000 @100%% / 100 fitted:   %.2f (target <= 2)\n", ms[1] / ms[0]);
    std::printf("ratio 10000 fitted / 1000 fitted: %.2f (target <= 12)\n", ms[3] / ms[2]);
    return 0;
}

#else

#include <cstdio>

int main()
{
    std::puts("bench_canvas: the canvas benchmark needs the editor library (TALLOWIN_BUILD_GUI).");
    return 0;
}

#endif
