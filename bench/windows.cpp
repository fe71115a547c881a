// Memory benchmark: resident memory (VmRSS) of the program while its windows
// are opened and closed, the way a student opens and closes them.
//
//   bench_windows [program folder] [openings]     (default: the build's, 50)
//
// The program folder's word.mdb is copied to a scratch folder, beside links
// to its etp/ and elm/, and the program runs there: the main window is
// shown, an exam is started on a paper (the paper shown in the browser
// pane), a few answers are marked and the paper is handed in. Then each
// window is opened and closed `openings` times (the class grade book on a
// server that is not there); for each the resident memory after the 5th and
// after the last opening is printed (goal: within 1 MB), and the resident
// memory with the paper shown (goal: under 100 MB).
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "Catalogue.h"
#include "ClassBookDlg.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "EssayDlg.h"
#include "ExamApp.h"
#include "ExamPage.h"
#include "GradeDlgs.h"
#include "MainTabDlg.h"
#include "Marking.h"
#include "MessageBox.h"
#include "NotebookDlg.h"
#include "ProgressDlgs.h"
#include "ReviewDlg.h"
#include "TabControl.h"

#include "Scratch.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <malloc.h>

namespace {

// Resident memory in KB, from /proc/self/status. Free memory the allocator
// keeps is handed back first: a closed window's large buffers (its backing
// store) are freed, but whether their pages stay resident depends on where
// the allocator happened to place them.
qint64 ResidentKb()
{
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Lets the windows lay out and paint, and frees what was released.
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Arms the closing of the next modal window once it runs: it is painted,
// then ended as its Escape key ends it.
void CloseNextModal()
{
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->repaint();
            dialog->reject();
        }
    });
}

// Opens and closes a modeless window: shown, painted, closed with its close
// box.
void OpenAndClose(QWidget* window)
{
    window->show();
    window->repaint();
    Settle();
    window->close();
    Settle();
}

} // namespace

int main(int argc, char* argv[])
{
    Bench::PreferOffscreen();
    int appArgc = 1;
    CExamApp app(appArgc, argv);
    QTextStream out(stdout);
    const QString folder = Bench::FolderArgument(argc, argv, ORDWIN_PROGRAM_DIR);
    const int openings = argc > 2 ? std::max(6, atoi(argv[2])) : 50;

    QTemporaryDir scratch;
    if (!Bench::EnterScratch(scratch, folder, {QStringLiteral("etp"), QStringLiteral("elm")})) {
        out << "no word.mdb in " << folder << '\n';
        return 1;
    }
    // Message boxes are answered at once: a question with No (hand in
    // without an essay, no analysis), a notice with OK; their texts are kept.
    // The hand-in asks about the essay, tells the score and offers the analysis.
    QStringList messages;
    Ui::SetMessageBoxHook([&](QMessageBox::Icon, const QString&, const QString& text,
                              QMessageBox::StandardButtons buttons) {
        messages << text;
        return buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
    });

    CMainTabDlg main;
    main.show();
    Settle();
    const qint64 startKb = ResidentKb();
    main.m_tab->SetCurSel(2);
    CExamPage* page = main.m_pageExam;
    Ui::Control<QComboBox>(page, Ids::Exam::IdPaper)->setCurrentIndex(0);
    Ui::Control<QLineEdit>(page, Ids::Exam::IdName)->setText(QStringLiteral("bench"));
    page->OnStart();
    Settle();
    const qint64 paperKb = ResidentKb();
    for (int question = 1; question <= 20; ++question)
        page->MarkAnswer(Marking::QuestionNumberText(question), QStringLiteral("A"));
    page->OnHandIn();
    Settle();

    const QString paper = PaperNameFromPath(page->m_strDocPath);
    const QList<std::pair<const char*, std::function<void()>>> windows{
        {"review",
         [&] {
             page->OnReview();
             OpenAndClose(page->findChildren<CReviewDlg*>().constLast());
         }},
        {"answer status list",
         [&] {
             page->OnAnswerStatus();
             OpenAndClose(page->findChildren<CAnswerListDlg*>().constLast());
         }},
        {"essay editor",
         [&] {
             CloseNextModal();
             page->OnEssay();
         }},
        {"essay report",
         [&] {
             CEssayReportDlg report(page);
             CloseNextModal();
             report.DoModal();
         }},
        {"grade query",
         [&] {
             CloseNextModal();
             page->OnGradeHistory();
         }},
        {"grade list",
         [&] {
             CGradeListDlg list(page);
             list.m_strName = QStringLiteral("bench");
             CloseNextModal();
             list.DoModal();
         }},
        {"grade analysis",
         [&] {
             CloseNextModal();
             OpenGradeAnalysis(page, QStringLiteral("bench"), paper);
         }},
        {"mistakes notebook",
         [&] {
             CloseNextModal();
             OpenNotebook(page, QStringLiteral("bench"));
         }},
        {"class grade book",
         [&] {
             // A server that is not there: the window tells why it is empty.
             ClassServer::Settings settings;
             settings.host = scratch.filePath(QStringLiteral("no-server"));
             settings.database = QStringLiteral("ordwin");
             CClassBookDlg book(settings, page);
             CloseNextModal();
             book.exec();
         }},
        {"About box",
         [&] {
             CloseNextModal();
             main.OnSysCommand(CMainTabDlg::AboutCommand);
         }},
    };

    out << "platform " << qgetenv("QT_QPA_PLATFORM") << ", paper " << paper << '\n';
    out << "resident memory: main window " << QString::number(startKb / 1024.0, 'f', 1)
        << " MB, with the paper shown " << QString::number(paperKb / 1024.0, 'f', 1)
        << " MB (goal: under 100 MB)\n";
    bool ok = paperKb < 100 * 1024;
    for (const auto& [name, open] : windows) {
        qint64 fifthKb = 0;
        for (int i = 1; i <= openings; ++i) {
            open();
            Settle();
            if (i == 5)
                fifthKb = ResidentKb();
        }
        const qint64 lastKb = ResidentKb();
        const qint64 growth = lastKb - fifthKb;
        ok = ok && growth <= 1024;
        out << QString::fromLatin1(name).leftJustified(20) << " after 5: " << fifthKb
            << " KB, after " << openings << ": " << lastKb << " KB, growth " << growth
            << " KB (goal: at most 1024 KB)\n";
    }
    if (messages.size() != 3)
        out << "unexpected messages: " << messages.join(QStringLiteral(" | ")) << '\n';
    out << (ok ? "all goals met\n" : "a goal was missed\n");
    return 0;
}
