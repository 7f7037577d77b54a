// The main window on large projects, offscreen at 1920 x 1080. Prints the
// ratios side by side from one run:
//   open through the window's Open command until tree, panels and canvas
//   are painted / TDialogueProject::LoadFromFile of the same file (10 000 nodes)
//   one edit of the selected node's text and its refresh, 10 000 nodes /
//   100 nodes, for the first keystroke in a node (which takes the undo
//   point) and for the keystrokes after it.
//   selecting a node and one keystroke in it, for a node whose text is
//   10 MiB (as one line, and in lines) / a node with a short text, both in
//   the same project.
// With the argument "large-text" only the last comparison runs.

#include "bench/ProjectGenerator.h"
#include "project/AppPaths.h"
#include "shell/MainForm.h"
#include "tests/support/ScriptedShellDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int Repeats = 5;

double MedianMs(int repeats, const std::function<double()>& once)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i)
        times.push_back(once());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ElapsedMs(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

// Delivers queued events and paints every visible widget now, so a timing
// ends when the user would see the result.
void SettleAndPaint(QWidget& window)
{
    QApplication::processEvents();
    window.repaint();
}

struct TWindowUnderTest {
    TScriptedShellDialogs* Dialogs = nullptr;
    std::unique_ptr<TMainForm> Window;

    TWindowUnderTest()
    {
        auto dialogs = std::make_unique<TScriptedShellDialogs>();
        Dialogs = dialogs.get();
        Window = std::make_unique<TMainForm>(std::move(dialogs));
        Window->resize(1920, 1080);
        Window->show();
        SettleAndPaint(*Window);
    }

    void Open(const QString& path)
    {
        Dialogs->OpenFiles.push_back(path);
        Window->OpenProject();
        SettleAndPaint(*Window);
    }
};

QString WriteProject(const QDir& folder, int nodeCount)
{
    TDialogueProject project;
    GenerateProject(project, nodeCount);
    const QString path = folder.filePath(QStringLiteral("bench_%1.tlw").arg(nodeCount));
    if (!project.SaveToFile(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

double LoadMs(const QString& path)
{
    return MedianMs(Repeats, [&] {
        TDialogueProject project;
        QElapsedTimer timer;
        timer.start();
        project.LoadFromFile(path);
        return ElapsedMs(timer);
    });
}

double OpenThroughWindowMs(const QString& path)
{
    return MedianMs(Repeats, [&] {
        TWindowUnderTest test;
        QElapsedTimer timer;
        timer.start();
        test.Open(path);
        return ElapsedMs(timer);
    });
}

struct TEditTimes {
    double FirstKeystrokeMs = 0;   // takes the undo point
    double LaterKeystrokeMs = 0;
};

QPlainTextEdit* NodeTextMemo(TWindowUnderTest& test)
{
    auto* memo = test.Window->findChild<QPlainTextEdit*>(QStringLiteral("memoNodeText"));
    if (!memo) {
        std::fprintf(stderr, "the node text box is missing\n");
        std::exit(1);
    }
    return memo;
}

// One character typed at the cursor and the window refreshed after it.
double TypeOneMs(TWindowUnderTest& test, QPlainTextEdit* memo)
{
    QElapsedTimer timer;
    timer.start();
    memo->insertPlainText(QStringLiteral("x"));
    SettleAndPaint(*test.Window);
    return ElapsedMs(timer);
}

// Types into the text box of the node information panel, as a user does:
// one character per edit, the window refreshing after each.
TEditTimes EditMs(const QString& path)
{
    TWindowUnderTest test;
    test.Open(path);
    QPlainTextEdit* memo = NodeTextMemo(test);
    const QStringList ids = [&] {
        QStringList list;
        for (int i = 0; i < 40; ++i)
            list << QStringLiteral("Node%1").arg(i + 1, 3, 10, QLatin1Char('0'));
        return list;
    }();
    int next = 0;
    auto typeOne = [&] { return TypeOneMs(test, memo); };
    TEditTimes times;
    times.FirstKeystrokeMs = MedianMs(9, [&] {
        test.Window->CanvasNodeSelected(ids[next++ % ids.size()]);
        SettleAndPaint(*test.Window);
        return typeOne();
    });
    times.LaterKeystrokeMs = MedianMs(15, typeOne);
    return times;
}

// Ten MiB of prose, in lines of about a hundred characters or as one line
// (the harder case for text layout).
QString LargeText(bool oneLine)
{
    const QString sentence = QStringLiteral("The caravan leaves at dawn; bring water, caps and a map. ");
    QString text;
    text.reserve(10 * 1024 * 1024 + sentence.size() + 1);
    int sinceBreak = 0;
    while (text.size() < 10 * 1024 * 1024) {
        text += sentence;
        sinceBreak += int(sentence.size());
        if (sinceBreak > 100 && !oneLine) {
            text += QLatin1Char('\n');
            sinceBreak = 0;
        }
    }
    return text;
}

struct TNodeTimes {
    double SelectMs = 0;
    double KeystrokeMs = 0;
};

// Selects the node (from the canvas, with another node in between so each
// selection fills the panel again) and types into its text box.
TNodeTimes NodeMs(TWindowUnderTest& test, const QString& id, const QString& other)
{
    QPlainTextEdit* memo = NodeTextMemo(test);
    TNodeTimes times;
    times.SelectMs = MedianMs(3, [&] {
        test.Window->CanvasNodeSelected(other);
        SettleAndPaint(*test.Window);
        QElapsedTimer timer;
        timer.start();
        test.Window->CanvasNodeSelected(id);
        SettleAndPaint(*test.Window);
        return ElapsedMs(timer);
    });
    memo->moveCursor(QTextCursor::End);
    times.KeystrokeMs = MedianMs(7, [&] { return TypeOneMs(test, memo); });
    return times;
}

void CompareLargeText(const QDir& folder, bool oneLine)
{
    TDialogueProject project;
    GenerateProject(project, 100);
    project.FindNode(QStringLiteral("Node002"))->SetText(LargeText(oneLine));
    const QString path = folder.filePath(QStringLiteral("bench_large_text.tlw"));
    if (!project.SaveToFile(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        std::exit(1);
    }
    TWindowUnderTest test;
    test.Open(path);
    const TNodeTimes large = NodeMs(test, QStringLiteral("Node002"), QStringLiteral("Node001"));
    const TNodeTimes small = NodeMs(test, QStringLiteral("Node003"), QStringLiteral("Node001"));
    const char* shape = oneLine ? "as one line" : "in lines";
    std::printf("select a node: 10 MiB text %s %.2f ms, short text %.2f ms, ratio %.2f\n", shape, large.SelectMs,
                small.SelectMs, large.SelectMs / small.SelectMs);
    std::printf("keystroke in a node: 10 MiB text %s %.2f ms, short text %.2f ms, ratio %.2f (target: under 100 ms)\n",
                shape, large.KeystrokeMs, small.KeystrokeMs, large.KeystrokeMs / small.KeystrokeMs);
}

void CompareLargeTexts(const QDir& folder)
{
    CompareLargeText(folder, true);
    CompareLargeText(folder, false);
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    AppPaths::SetBaseDirOverride(home.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath(QStringLiteral("user")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath(QStringLiteral("user")));
    const QDir folder(home.path());
    const bool onlyLargeText = argc > 1 && QByteArray(argv[1]) == "large-text";

    if (onlyLargeText) {
        CompareLargeTexts(folder);
        AppPaths::SetBaseDirOverride(QString());
        return 0;
    }
    const QString small = WriteProject(folder, 100);
    const QString large = WriteProject(folder, 10000);

    const double loadLarge = LoadMs(large);
    const double openLarge = OpenThroughWindowMs(large);
    const double openSmall = OpenThroughWindowMs(small);
    std::printf("open 10000 nodes: LoadFromFile %.1f ms, through the window %.1f ms, ratio %.2f (target <= 3)\n",
                loadLarge, openLarge, openLarge / loadLarge);
    std::printf("open 100 nodes through the window: %.1f ms\n", openSmall);

    const TEditTimes editSmall = EditMs(small);
    const TEditTimes editLarge = EditMs(large);
    std::printf("first keystroke in a node (undo point): 100 nodes %.2f ms, 10000 nodes %.2f ms, ratio %.2f\n",
                editSmall.FirstKeystrokeMs, editLarge.FirstKeystrokeMs,
                editLarge.FirstKeystrokeMs / editSmall.FirstKeystrokeMs);
    std::printf("later keystrokes: 100 nodes %.2f ms, 10000 nodes %.2f ms, ratio %.2f (target <= 10)\n",
                editSmall.LaterKeystrokeMs, editLarge.LaterKeystrokeMs,
                editLarge.LaterKeystrokeMs / editSmall.LaterKeystrokeMs);
    CompareLargeTexts(folder);
    AppPaths::SetBaseDirOverride(QString());
    return 0;
}
