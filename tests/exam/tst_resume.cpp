// An exam that ended without a hand-in, taken up again at the next start: in
// the main window offscreen after the page was destroyed as a crash leaves
// it, and after a child process sitting the exam was killed mid-essay.

#include "DialogIds.h"
#include "EssayDlg.h"
#include "ExamPage.h"
#include "MainTabDlg.h"
#include "StringTable.h"
#include "TabControl.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Ids::Exam;

namespace {

const QString Paper = QStringLiteral("2010年江苏高考英语试题");
constexpr int Position = 4;

// A forked child, killed and reaped however the test ends.
struct Child
{
    pid_t pid = ::fork();
    ~Child()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    int Wait()
    {
        int status = 0;
        ::waitpid(std::exchange(pid, 0), &status, 0);
        return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
    }
};

template <class T> T* Item(QWidget* in, int id)
{
    return in->findChild<T*>(QString::number(id));
}

void Click(QWidget* in, int id)
{
    QTest::mouseClick(Item<QPushButton>(in, id), Qt::LeftButton);
}

// Starts an exam of 120 minutes on the test paper and marks question 7
// right, the messages answered.
void StartAndAnswer(CExamPage* page)
{
    MessageBoxes boxes;
    Item<QComboBox>(page, IdPaper)->setCurrentIndex(Position);
    Item<QLineEdit>(page, IdMinutes)->setText(QStringLiteral("120"));
    Item<QLineEdit>(page, IdName)->setText(QStringLiteral("张三"));
    Click(page, IdStart);
    Item<QLineEdit>(page, IdChoiceNo)->setText(QStringLiteral("7"));
    auto* choice = Item<QComboBox>(page, IdChoice);
    choice->setCurrentIndex(choice->findText(QStringLiteral("B")));
    Click(page, IdChoiceSubmit);
}

// Opens the editor from the page, runs `work` on its text box and leaves it.
void InEditor(CExamPage* page, const std::function<void(QDialog*, QPlainTextEdit*)>& work)
{
    NextModal editor([&](QDialog* window) {
        work(window, Item<QPlainTextEdit>(window, Ids::Essay::IdText));
        Click(window, Ids::Essay::IdExit);
    });
    Click(page, IdEssay);
    QVERIFY(editor.Ran());
}

// What a new process knows of the essay: nothing.
void ForgetTheRun()
{
    g_strSavedEssay.clear();
    g_strSavedTitle.clear();
    g_essayDlg.m_nState = 9;
    g_essayDlg.m_nStartMinutes = 0;
}

QString Typed(CExamPage* page)
{
    QString text;
    InEditor(page, [&](QDialog*, QPlainTextEdit* box) { text = box->toPlainText(); });
    return text;
}

} // namespace

class TestResume : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Ui::InstallAppMessageBox(); }
    void takenUpAfterACrash_data();
    void takenUpAfterACrash();
    void draftSurvivesAKill();
};

void TestResume::takenUpAfterACrash_data()
{
    QTest::addColumn<bool>("resume");
    QTest::newRow("continue") << true;
    QTest::newRow("decline") << false;
}

void TestResume::takenUpAfterACrash()
{
    QFETCH(bool, resume);
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(QDir().mkpath(QStringLiteral("etp")));
    QFile document(QStringLiteral("etp/%1.doc").arg(Paper));
    QVERIFY(document.open(QIODevice::WriteOnly));
    document.write("<html><body><p>1. What does the man want?</p></body></html>");
    document.close();
    {
        CMainTabDlg crashed;
        CExamPage* page = crashed.m_pageExam;
        StartAndAnswer(page);
        MessageBoxes boxes;
        Click(page, IdListening); // no recording here: pressed all the same
        InEditor(page, [](QDialog* editor, QPlainTextEdit* box) {
            Item<QLineEdit>(editor, Ids::Essay::IdTitle)->setText(QStringLiteral("My school"));
            QTest::keyClicks(box, QStringLiteral("Dear Tom,"));
            Click(editor, Ids::Essay::IdSave);
        });
        page->OnTimer();
        page->OnTimer();
    }
    ForgetTheRun();
    const QString started =
        folder.Column(QStringLiteral("SELECT 开始时间 FROM running_exam")).value(0);

    CMainTabDlg main;
    main.show();
    CExamPage* page = main.m_pageExam;
    MessageBoxes boxes(resume ? QMessageBox::Yes : QMessageBox::No);
    main.OfferKeptExam();
    QCOMPARE(boxes.Texts(),
             QStringList{Ui::LoadString(Ui::Str::ResumeKeptExam)
                             .arg(QStringLiteral("张三"), Paper, started, QStringLiteral("118"))});
    QCOMPARE(folder.Column(QStringLiteral("SELECT 回答||得分 FROM answer WHERE 题号='07'")),
             QStringList{QStringLiteral("B1")});
    QCOMPARE(page->IsExamRunning(), resume);
    QCOMPARE(folder.Column(QStringLiteral("SELECT count(*) FROM running_exam")),
             QStringList{resume ? QStringLiteral("1") : QStringLiteral("0")});
    if (!resume) {
        QCOMPARE(Item<QPushButton>(page, IdStart)->text(), QStringLiteral("开 始 考 试"));
        return;
    }

    QCOMPARE(main.m_tab->GetCurSel(), 2);
    QVERIFY(page->isVisible() && page->IsTimerRunning());
    QCOMPARE(Item<QLineEdit>(page, IdTimeLeft)->text(), QStringLiteral("01:58"));
    QCOMPARE(Item<QLineEdit>(page, IdName)->text(), QStringLiteral("张三"));
    QVERIFY(
        Item<QTextBrowser>(page, IdBrowser)->toPlainText().contains(QStringLiteral("man want")));
    QVERIFY(!Item<QPushButton>(page, IdListening)->isEnabled());
    QCOMPARE(Typed(page), QStringLiteral("Dear Tom,"));
    QCOMPARE(page->m_strName, QStringLiteral("张三"));
    // The card is live: question 71 right too; hand-in counts both.
    Item<QLineEdit>(page, IdFillNo)->setText(QStringLiteral("71"));
    Item<QLineEdit>(page, IdFillAnswer)->setText(QStringLiteral("is"));
    Click(page, IdFillSubmit);
    boxes.SetButton(QMessageBox::No); // no essay submitted: hand in all the same
    Click(page, IdHandIn);
    QCOMPARE(folder.Column(
                 QStringLiteral("SELECT 考生姓名||':'||成绩 FROM grades WHERE 考生姓名='张三'")),
             QStringList{QStringLiteral("张三:2.0")});
    QCOMPARE(folder.Column(QStringLiteral("SELECT count(*) FROM running_exam")),
             QStringList{QStringLiteral("0")});
}

// The child starts at 0 s of the draft's clock (the start is kept), types
// "Dear " at 0 s, "Tom" at 10 s and ", hi" at 15 s, then is killed: the draft
// kept at 10 s, at the first keystroke due, comes back.
void TestResume::draftSurvivesAKill()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    int pipe[2];
    QCOMPARE(::pipe(pipe), 0);
    {
        Child sitting;
        if (sitting.pid == 0) {
            ::close(pipe[0]);
            CMainTabDlg main;
            qint64 now = 0;
            main.m_pageExam->m_draftThrottle.SetClock([&now] { return now; });
            StartAndAnswer(main.m_pageExam); // kept at 0 s
            NextModal editor([&](QDialog* window) {
                auto* box = Item<QPlainTextEdit>(window, Ids::Essay::IdText);
                QTest::keyClicks(box, QStringLiteral("Dear "));
                now = 10000;
                QTest::keyClicks(box, QStringLiteral("Tom"));
                now = 15000;
                QTest::keyClicks(box, QStringLiteral(", hi"));
                if (::write(pipe[1], "t", 1) == 1)
                    ::pause();
                ::_exit(1);
            });
            Click(main.m_pageExam, IdEssay);
            ::_exit(1);
        }
        ::close(pipe[1]);
        pollfd typed{pipe[0], POLLIN, 0};
        QCOMPARE(::poll(&typed, 1, 120000), 1);
        char done = 0;
        QCOMPARE(::read(pipe[0], &done, 1), ssize_t(1));
        ::close(pipe[0]);
        ::kill(sitting.pid, SIGKILL);
        QCOMPARE(sitting.Wait(), -SIGKILL);
    }
    ForgetTheRun();
    CMainTabDlg main;
    MessageBoxes boxes(QMessageBox::Yes);
    main.OfferKeptExam();
    QVERIFY(main.m_pageExam->IsExamRunning());
    QCOMPARE(Item<QLineEdit>(main.m_pageExam, IdTimeLeft)->text(), QStringLiteral("02:00"));
    QCOMPARE(Typed(main.m_pageExam), QStringLiteral("Dear T"));
}

QTEST_MAIN(TestResume)
#include "tst_resume.moc"
