// How much of an essay a kill -9 during typing loses, in real time.
//
//   bench_resume [program folder] [runs]     (default: the build's, 5)
//
// Each run forks a child that sits an exam in a scratch copy of the program
// folder's database, opens the essay editor and types a word every 100 ms,
// each word the monotonic clock's millisecond at which it was typed. After a
// random 12 to 32 seconds of typing the child is killed with SIGKILL. The
// kept exam is then read back as the next start reads it: the last word in
// its draft tells when the draft was last kept, and the time from there to
// the kill is what the kill lost (goal: at most 10 s). It also prints how
// long keeping the running exam takes with an essay of 3,000 characters, the
// pause a student's typing sees when the draft is kept.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamApp.h"
#include "ExamPage.h"
#include "KeptExam.h"
#include "MainTabDlg.h"
#include "MessageBox.h"

#include "Scratch.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int TypingPeriodMs = 100;

qint64 NowMs()
{
    QElapsedTimer now;
    now.start();
    return now.msecsSinceReference();
}

// The child: starts an exam, opens the editor and types until it is killed.
[[noreturn]] void SitAndType(int ready)
{
    CMainTabDlg main;
    CExamPage* page = main.m_pageExam;
    const auto item = [](QWidget* in, int id) { return Ui::FindControl(in, id); };
    qobject_cast<QComboBox*>(item(page, Ids::Exam::IdPaper))->setCurrentIndex(4);
    qobject_cast<QLineEdit*>(item(page, Ids::Exam::IdName))->setText(QStringLiteral("bench"));
    page->OnStart();
    QTimer typing;
    QTimer::singleShot(0, [&] {
        auto* editor = QApplication::activeModalWidget();
        auto* box =
            editor ? qobject_cast<QPlainTextEdit*>(item(editor, Ids::Essay::IdText)) : nullptr;
        if (!box)
            ::_exit(2);
        QObject::connect(&typing, &QTimer::timeout, box,
                         [box] { box->insertPlainText(QStringLiteral("t%1 ").arg(NowMs())); });
        typing.start(TypingPeriodMs);
        if (::write(ready, "r", 1) != 1)
            ::_exit(3);
    });
    page->OnEssay();
    ::_exit(4);
}

// The monotonic millisecond of the last word in the kept draft, or -1.
qint64 LastKeptWord()
{
    const KeptExam::Loaded kept = KeptExam::Load();
    const QStringList words = kept.state.essayText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.isEmpty() ? -1 : words.last().mid(1).toLongLong();
}

} // namespace

int main(int argc, char* argv[])
{
    Bench::PreferOffscreen();
    int appArgc = 1;
    CExamApp app(appArgc, argv);
    QTextStream out(stdout);
    const QString folder = Bench::FolderArgument(argc, argv, ORDWIN_PROGRAM_DIR);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;

    QTemporaryDir scratch;
    if (!Bench::EnterScratch(scratch, folder, {QStringLiteral("etp")})) {
        out << "no word.mdb in " << folder << '\n';
        return 1;
    }
    Ui::SetMessageBoxHook([](QMessageBox::Icon, const QString&, const QString&,
                             QMessageBox::StandardButtons) { return QMessageBox::Ok; });
    if (!KeptExam::EnsureTable()) {
        out << "the running exam cannot be kept in " << scratch.path() << '\n';
        return 1;
    }

    qint64 worst = 0;
    for (int run = 1; run <= runs; ++run) {
        int pipe[2];
        if (::pipe(pipe) != 0)
            return 1;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipe[0]);
            SitAndType(pipe[1]);
        }
        ::close(pipe[1]);
        char ready = 0;
        const bool typing = ::read(pipe[0], &ready, 1) == 1;
        ::close(pipe[0]);
        const int typingMs = QRandomGenerator::global()->bounded(12000, 32000);
        if (typing)
            QThread::msleep(typingMs);
        const qint64 killed = NowMs();
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const qint64 last = LastKeptWord();
        if (!typing || last < 0) {
            out << "run " << run << ": no draft kept\n";
            return 1;
        }
        const qint64 lost = killed - last;
        worst = std::max(worst, lost);
        out << "run " << run << ": typed " << typingMs / 1000.0 << " s, killed, lost the last "
            << lost / 1000.0 << " s\n";
        out.flush();
    }
    out << "most lost: " << worst / 1000.0 << " s (goal: at most 10 s)\n";

    // The pause of one keeping, with a long essay.
    KeptExam::State state;
    state.paper = QStringLiteral("2010年江苏高考英语试题");
    state.name = QStringLiteral("bench");
    state.minutesSet = 120;
    state.started = QStringLiteral("2026-01-01 08:00:00");
    state.minutesLeft = 100;
    state.essayStage = KeptExam::EssayStage::Draft;
    state.essayStartMinutes = 110;
    state.essayText = QString(3000, QLatin1Char('w'));
    QList<qint64> pauses;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer timer;
        timer.start();
        KeptExam::Keep(state);
        pauses << timer.nsecsElapsed() / 1000;
    }
    std::sort(pauses.begin(), pauses.end());
    out << "keeping the exam: median " << pauses[pauses.size() / 2] / 1000.0 << " ms, longest "
        << pauses.last() / 1000.0 << " ms\n";
    KeptExam::Discard();
    return worst <= KeptExam::DraftThrottle::PeriodMs ? 0 : 1;
}
