// Start-up benchmark: the time from starting a process to the first paint of
// its main window, for three programs measured alternately in the same run:
//
//   empty   a QDialog with nothing in it;
//   floor   what any Chinese window of this kind costs: a dialog the size of
//           Ordwin's main window, in the font Ordwin uses (宋体, substituted),
//           holding a tab widget with three Chinese tabs and a few Chinese
//           labels;
//   ordwin  Ordwin's main window.
//
//   bench_startup [runs]      (default 30 runs of each)
//
// Each run is a fresh process (this program started again with --child), so
// loading, linking, fonts and resources are all counted; each runs in the
// program folder, as Ordwin does. Prints the medians and the ratios Ordwin /
// empty dialog and Ordwin / floor.

#include "DialogTemplate.h"
#include "ExamApp.h"
#include "FontWarmUp.h"

#include "Scratch.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTabWidget>
#include <QTextStream>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
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

// As main() starts Ordwin.
int RunOrdwin(int argc, char** argv)
{
    FontWarmUp fonts;
    CExamApp app(argc, argv);
    ExitOnFirstPaint filter;
    app.installEventFilter(&filter);
    fonts.Wait();
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

int RunFloor(int argc, char** argv)
{
    QApplication app(argc, argv);
    ExitOnFirstPaint filter;
    app.installEventFilter(&filter);
    QDialog dialog;
    const QFont font = Ui::DialogFont(QStringLiteral("宋体"), 12);
    dialog.setFont(font);
    dialog.setWindowTitle(QStringLiteral("高中英语学习软件——江苏省高考英语"));
    // The main window's template size, 444 x 331 dialog units.
    dialog.setFixedSize(Ui::MapDialogRect(Ui::DialogBaseUnits(font), QRect(0, 0, 444, 331)).size());
    auto* tabs = new QTabWidget(&dialog);
    auto* first = new QWidget;
    auto* column = new QVBoxLayout(first);
    for (const QString& text : {QStringLiteral("一、请选择试题："),
                                QStringLiteral("二、考试时间："), QStringLiteral("三、考生姓名：")})
        column->addWidget(new QLabel(text));
    column->addStretch();
    tabs->addTab(first, QStringLiteral("前言"));
    tabs->addTab(new QLabel(QStringLiteral("软件使用说明")), QStringLiteral("软件使用说明"));
    tabs->addTab(new QLabel(QStringLiteral("考试")), QStringLiteral("考试"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(tabs);
    dialog.exec();
    return 1;
}

double TimeChild(const QString& self, const QString& mode)
{
    QProcess child;
    child.setWorkingDirectory(QStringLiteral(ORDWIN_PROGRAM_DIR));
    QElapsedTimer timer;
    timer.start();
    child.start(self, {QStringLiteral("--child"), mode});
    child.waitForFinished(60000);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        QTextStream(stderr) << mode << ": " << child.errorString() << ", exit code "
                            << child.exitCode() << '\n'
                            << child.readAllStandardError();
        return -1;
    }
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        int childArgc = 1;
        if (qstrcmp(argv[2], "ordwin") == 0)
            return RunOrdwin(childArgc, argv);
        if (qstrcmp(argv[2], "floor") == 0)
            return RunFloor(childArgc, argv);
        return RunEmptyDialog(childArgc, argv);
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    Bench::PreferOffscreen();
    const QString self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath();

    const std::array<QString, 3> modes{QStringLiteral("empty"), QStringLiteral("floor"),
                                       QStringLiteral("ordwin")};
    std::array<std::vector<double>, 3> times;
    QTextStream out(stdout);
    for (const QString& mode : modes) // warm the file cache
        TimeChild(self, mode);
    for (int i = 0; i < runs; ++i) {
        // Each round starts with another program, so none always follows
        // the same one.
        for (size_t k = 0; k < modes.size(); ++k) {
            const size_t m = (i + k) % modes.size();
            const double ms = TimeChild(self, modes[m]);
            if (ms < 0) {
                out << "a child run failed: " << modes[m] << '\n';
                return 1;
            }
            times[m].push_back(ms);
        }
    }
    const double e = Bench::Median(times[0]), f = Bench::Median(times[1]),
                 o = Bench::Median(times[2]);
    out << "platform " << qgetenv("QT_QPA_PLATFORM") << ", " << runs << " runs each\n";
    out << "empty dialog:       median " << QString::number(e, 'f', 1) << " ms\n";
    out << "floor dialog:       median " << QString::number(f, 'f', 1) << " ms\n";
    out << "Ordwin main window: median " << QString::number(o, 'f', 1) << " ms\n";
    out << "Ordwin / empty: " << QString::number(o / e, 'f', 2) << '\n';
    out << "Ordwin / floor: " << QString::number(o / f, 'f', 2) << " (goal: at most 1.15)\n";
    return 0;
}
