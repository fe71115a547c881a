// Start-up benchmark: the time from starting a process to the first paint of
// its main window, for Ordwin's main window and for a program that shows an
// empty QDialog, measured alternately in the same run.
//
//   bench_startup [runs]      (default 30 runs of each)
//
// Each run is a fresh process (this program started again with --child), so
// loading, linking, fonts and resources are all counted. Prints the median
// and the ratio Ordwin / empty dialog.

#include "ExamApp.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <unistd.h>
#include <vector>

namespace {

// Ends the process at the first paint of a top-level window.
class ExitOnFirstPaint : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            ::_exit(0);
        return false;
    }
};

int RunOrdwin(int argc, char** argv)
{
    CExamApp app(argc, argv);
    ExitOnFirstPaint filter;
    app.installEventFilter(&filter);
    app.InitInstance();
    return 1;
}

int RunEmptyDialog(int argc, char** argv)
{
    QApplication app(argc, argv);
    ExitOnFirstPaint filter;
    app.installEventFilter(&filter);
    QDialog dialog;
    dialog.exec();
    return 1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double TimeChild(const QString& self, const QString& mode)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(self, {QStringLiteral("--child"), mode});
    child.waitForFinished(60000);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        int childArgc = 1;
        return qstrcmp(argv[2], "ordwin") == 0 ? RunOrdwin(childArgc, argv)
                                               : RunEmptyDialog(childArgc, argv);
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString self = QString::fromLocal8Bit(argv[0]);

    QTextStream out(stdout);
    std::vector<double> ordwin, empty;
    TimeChild(self, QStringLiteral("empty")); // warm the file cache
    TimeChild(self, QStringLiteral("ordwin"));
    for (int i = 0; i < runs; ++i) {
        const double e = TimeChild(self, QStringLiteral("empty"));
        const double o = TimeChild(self, QStringLiteral("ordwin"));
        if (e < 0 || o < 0) {
            out << "a child run failed\n";
            return 1;
        }
        empty.push_back(e);
        ordwin.push_back(o);
    }
    const double e = Median(empty), o = Median(ordwin);
    out << "platform " << qgetenv("QT_QPA_PLATFORM") << ", " << runs << " runs each\n";
    out << "empty dialog:       median " << QString::number(e, 'f', 1) << " ms\n";
    out << "Ordwin main window: median " << QString::number(o, 'f', 1) << " ms\n";
    out << "ratio: " << QString::number(o / e, 'f', 2) << " (goal: at most 1.50)\n";
    return 0;
}
