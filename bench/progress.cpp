// Progress benchmark: for a student with 500 kept exams, opening the grade
// list as it was (the list alone), the grade list with its trend chart, and
// the analysis of the latest exam, measured alternately in one run.
//
//   bench_progress [runs]      (default 30 runs of each)
//
// Each opening counts from nothing on screen to the window shown and drawn:
// reading the database, building the window, laying it out and painting it
// once. Prints the medians of the elapsed time and of the process's CPU time
// (steadier on a busy machine), and each window's ratio to the plain list.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamRecord.h"
#include "GradeDlgs.h"
#include "MessageBox.h"
#include "ProgressDlgs.h"
#include "ReportList.h"
#include "ResultRows.h"

#include "Scratch.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int Exams = 500;
const QString Name = QStringLiteral("O'Brien");

// 500 exams over three papers, each with its 80 answers (about two in three
// right), an essay of about 150 words and its report.
bool Seed()
{
    const QStringList papers{QStringLiteral("2010年江苏高考英语试题"),
                             QStringLiteral("2011年江苏高考英语试题"),
                             QStringLiteral("英语科模拟考试卷51")};
    const QString essay = QStringLiteral("Life at our school is busy but happy. ").repeated(25);
    const QString report = QStringLiteral("本文共 150 词，用词较准确，结构完整。").repeated(4);
    return ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
               for (int e = 0; e < Exams; ++e) {
                   ExamRecord exam;
                   exam.paper = papers[e % papers.size()];
                   exam.time = QDateTime(QDate(2026, 1, 1), QTime(8, 0))
                                   .addSecs(qint64(e) * 3600)
                                   .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                   exam.name = Name;
                   exam.essay = {10 + (e % 30) * 0.5, QStringLiteral("My School Life"), essay,
                                 report};
                   for (int q = 1; q <= 80; ++q) {
                       const qint16 value = q >= 56 && q <= 70 ? 2 : 1;
                       const bool right = (q * 7 + e) % 3 != 0;
                       exam.answers.append({QString::asprintf("%02d", q), QStringLiteral("A"),
                                            right ? QStringLiteral("A") : QStringLiteral("B"),
                                            value, qint16(right ? value : 0)});
                       exam.objective += right ? value : 0;
                   }
                   db.Exec(Sql::InsertGrade,
                           {exam.paper, exam.time, Name,
                            QString::asprintf("%f", exam.objective + exam.essay.score)});
                   ExamRecord::Write(db, exam);
               }
           }) == ExamDb::Result::Done;
}

// Shows the window and lets it lay out and paint.
std::unique_ptr<QDialog> Drawn(std::unique_ptr<QDialog> dialog)
{
    dialog->show();
    QCoreApplication::processEvents();
    return dialog;
}

// The grade list as it opened before it had charts.
std::unique_ptr<QDialog> PlainList()
{
    auto dialog = std::make_unique<QDialog>();
    Ui::ApplyTemplate(dialog.get(), Ids::GradeList::Template);
    auto* list = Ui::Control<QTableWidget>(dialog.get(), Ids::GradeList::IdList);
    Ui::SetupReportList(list, {{"序 号", 10}, {"试 题 名", 30}, {"考试时间", 21}, {"成 绩", 10}},
                        Qt::AlignLeft);
    Ui::FillReportList(list, Results::GradeHistory(Name).rows, Qt::AlignLeft);
    return Drawn(std::move(dialog));
}

std::unique_ptr<QDialog> ListWithTrend()
{
    auto dialog = std::make_unique<CGradeListDlg>();
    dialog->m_strName = Name;
    dialog->OnInitDialog();
    return Drawn(std::move(dialog));
}

std::unique_ptr<QDialog> Analysis()
{
    const Progress::History history = Progress::Read(Name);
    return Drawn(std::make_unique<CGradeAnalysisDlg>(Name, history, int(history.exams.size()) - 1));
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

// Times an opening; closing the window afterwards is not counted.
void Time(const std::function<std::unique_ptr<QDialog>()>& open, Times& times)
{
    QElapsedTimer timer;
    const double cpu = CpuMs();
    timer.start();
    std::unique_ptr<QDialog> dialog = open();
    times.wall.push_back(timer.nsecsElapsed() / 1e6);
    times.cpu.push_back(CpuMs() - cpu);
    dialog.reset();
    QCoreApplication::processEvents();
}

QString Line(const char* what, const Times& times, const Times& plain)
{
    const double wall = Bench::Median(times.wall), cpu = Bench::Median(times.cpu);
    QString line = QStringLiteral("%1 %2 ms elapsed, %3 ms CPU")
                       .arg(QLatin1String(what))
                       .arg(wall, 6, 'f', 1)
                       .arg(cpu, 6, 'f', 1);
    if (&times != &plain)
        line += QStringLiteral("; ratio %1 elapsed, %2 CPU (goal: at most 2.00)")
                    .arg(wall / Bench::Median(plain.wall), 0, 'f', 2)
                    .arg(cpu / Bench::Median(plain.cpu), 0, 'f', 2);
    return line + QLatin1Char('\n');
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

    Times plain, trend, analysis;
    PlainList(); // warm fonts, templates and the file cache
    ListWithTrend();
    Analysis();
    for (int i = 0; i < runs; ++i) {
        Time(PlainList, plain);
        Time(ListWithTrend, trend);
        Time(Analysis, analysis);
    }
    out << "platform " << qgetenv("QT_QPA_PLATFORM") << ", " << Exams << " exams, " << runs
        << " runs each, medians\n";
    out << Line("grade list, list alone:   ", plain, plain);
    out << Line("grade list with its trend:", trend, plain);
    out << Line("analysis of the latest:   ", analysis, plain);
    return 0;
}
