// Mistakes notebook benchmark: a student with 100 kept exams over every paper
// and 3,000 wrong answers among their 8,000; opening the notebook, and
// filtering it, each measured again and again in one run.
//
//   bench_notebook [runs]      (default 30 runs of each)
//
// An opening counts from nothing on screen to the window shown and drawn:
// reading the database, building the window with its list, laying it out and
// painting it once. A filtering counts from choosing another section, paper
// or order to the list drawn again. Prints the median and the slowest of
// each, elapsed and in the process's CPU time. Goal: each at most 200 ms.

#include "Catalogue.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamRecord.h"
#include "MessageBox.h"
#include "NotebookDlg.h"

#include "Scratch.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int Exams = 100;
constexpr int WrongPerExam = 30;
const QString Name = QStringLiteral("O'Brien");

// 100 exams, the papers of the catalogue in turn, each with its 80 answers of
// which 30 are wrong, spread so that the notebook holds most questions.
bool Seed()
{
    return ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
               for (int e = 0; e < Exams; ++e) {
                   ExamRecord exam;
                   exam.paper = PaperNameFromPath(Catalogue::DocPath(e % Catalogue::PaperCount));
                   exam.time = QDateTime(QDate(2026, 1, 1), QTime(8, 0))
                                   .addSecs(qint64(e) * 86400)
                                   .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                   exam.name = Name;
                   for (int q = 1; q <= 80; ++q) {
                       const bool wrong = (q + e * 7) % 80 < WrongPerExam;
                       exam.answers.append({QString::asprintf("%02d", q),
                                            wrong ? QStringLiteral("B") : QStringLiteral("A"),
                                            QStringLiteral("A"), qint16(1), qint16(wrong ? 0 : 1)});
                   }
                   ExamRecord::Write(db, exam);
               }
           }) == ExamDb::Result::Done;
}

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Times
{
    std::vector<double> wall;
    std::vector<double> cpu;
};

void Time(const std::function<void()>& work, Times& times)
{
    QElapsedTimer timer;
    const double cpu = CpuMs();
    timer.start();
    work();
    times.wall.push_back(timer.nsecsElapsed() / 1e6);
    times.cpu.push_back(CpuMs() - cpu);
}

QString Line(const char* what, const Times& times)
{
    return QStringLiteral("%1 median %2 ms elapsed, %3 ms CPU; slowest %4 ms elapsed "
                          "(goal: at most 200)\n")
        .arg(QLatin1String(what))
        .arg(Bench::Median(times.wall), 6, 'f', 1)
        .arg(Bench::Median(times.cpu), 6, 'f', 1)
        .arg(*std::max_element(times.wall.begin(), times.wall.end()), 6, 'f', 1);
}

} // namespace

int main(int argc, char* argv[])
{
    Bench::PreferOffscreen();
    QApplication app(argc, argv);
    Ui::InstallAppMessageBox();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    QTextStream out(stdout);

    QTemporaryDir folder;
    if (!Bench::EnterScratch(folder, QStringLiteral(ORDWIN_PROGRAM_DIR)))
        return 1;
    if (!EnsureExamTables() || !Seed()) {
        out << "could not seed the history\n";
        return 1;
    }
    const Notebook::Book book = Notebook::Read(Name);
    int wrong = 0;
    for (const Notebook::Entry& entry : book.entries)
        wrong += int(entry.misses.size());

    Times open, filter;
    std::unique_ptr<CNotebookDlg> dialog;
    const auto openOnce = [&] {
        dialog = std::make_unique<CNotebookDlg>(Name, Notebook::Read(Name));
        dialog->show();
        QCoreApplication::processEvents();
    };
    openOnce(); // warm fonts, templates and the file cache
    for (int i = 0; i < runs; ++i) {
        dialog.reset();
        QCoreApplication::processEvents();
        Time(openOnce, open);
        // Each filter in turn, then back to the whole notebook.
        for (int id : {Ids::Notebook::IdSection, Ids::Notebook::IdPaper, Ids::Notebook::IdOrder}) {
            auto* combo = Ui::Control<QComboBox>(dialog.get(), id);
            for (int choice : {1 + i % (combo->count() - 1), 0}) {
                Time(
                    [&] {
                        combo->setCurrentIndex(choice);
                        QCoreApplication::processEvents();
                    },
                    filter);
            }
        }
    }
    out << "platform " << qgetenv("QT_QPA_PLATFORM") << ", " << book.exams << " exams, " << wrong
        << " wrong answers, " << book.entries.size() << " questions in the notebook, " << runs
        << " runs\n";
    out << Line("open:  ", open);
    out << Line("filter:", filter);
    return 0;
}
