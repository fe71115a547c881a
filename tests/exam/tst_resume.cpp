// The running exam kept for the next start: kept whole and refused whole, the
// draft kept at most every ten seconds; then a child process sitting an exam
// in the main window, offscreen, is killed with SIGKILL mid-essay, and a new
// main window on the same database takes the exam up again or gives it up.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamPage.h"
#include "KeptExam.h"
#include "MainTabDlg.h"
#include "StringTable.h"
#include "TabControl.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace Ids::Exam;
using KeptExam::Found;
using enum KeptExam::Found;
using Ui::Control;

namespace {

const QString Paper = u"2010年江苏高考英语试题"_s;

// clang-format off
const KeptExam::State Sample{Paper, u"O'Brien 李"_s, 120, u"2026-12-07 09:30:05"_s, 97, true,
    KeptExam::EssayStage::Submitted, 110, u"A \"visit\""_s, u"Dear Tom,\r\n我们的 school."_s, 17.5,
    u"该文章得分:17.5分"_s};
// clang-format on

void Click(QWidget* in, int id)
{
    QTest::mouseClick(Control<QPushButton>(in, id), Qt::LeftButton);
}

// Runs `work` in the editor opened from the page, then leaves it.
void InEditor(CExamPage* page, const std::function<void(QPlainTextEdit*)>& work)
{
    NextModal editor([&](QDialog* window) {
        work(Control<QPlainTextEdit>(window, Ids::Essay::IdText));
        Click(window, Ids::Essay::IdExit);
    });
    Click(page, IdEssay);
}

} // namespace

class TestResume : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    void keptWhole_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Found>("found");
        QTest::addColumn<QString>("detail");
        QTest::newRow("sound") << QString() << Usable << QString();
        QTest::newRow("nothing kept") << u"DELETE FROM running_exam"_s << Nothing << QString();
        QTest::newRow("a database from before")
            << u"DROP TABLE running_exam"_s << Nothing << QString();
        QTest::newRow("paper not listed")
            << u"UPDATE running_exam SET 试题名='2099年'"_s << PaperGone << u"2099年"_s;
        QTest::newRow("paper without questions") << u"DELETE FROM answer"_s << PaperGone << Paper;
        // A value that cannot be, named by its column: beyond the minutes set
        // or below none left, a fraction, an editor opened later or earlier
        // than it can have been.
        for (const char* value : {"考生姓名=''", "考试时长=0", "剩余分钟=121", "剩余分钟=-1",
                                  "剩余分钟=96.5", "开始时间='today'", "听力已播放=2", "作文进度=3",
                                  "作文开始分钟=96", "作文开始分钟=121", "作文得分=NULL"})
            QTest::newRow(value) << u"UPDATE running_exam SET "_s + QString::fromUtf8(value)
                                 << Damaged << QString::fromUtf8(value).section(u'=', 0, 0);
    }

    // Every field comes back, or none: not even the sound ones of a damaged row.
    void keptWhole()
    {
        QFETCH(QString, fault);
        QFETCH(Found, found);
        QFETCH(QString, detail);
        ProgramFolder folder;
        QVERIFY(!KeptExam::Keep(Sample));
        QVERIFY(fault.isEmpty() || folder.Sql(fault));
        const KeptExam::Loaded loaded = KeptExam::Load();
        QCOMPARE(loaded.found, found);
        QCOMPARE(loaded.detail, detail);
        QCOMPARE(loaded.state, found == Usable ? Sample : KeptExam::State());
        // Hand-in ends it in its own transaction, whether the table is there or not.
        QVERIFY(KeptExam::Discard());
    }

    // At once on the first change of an exam, then at most once every ten
    // seconds from the last keeping: a change inside waits for the end.
    void draftThrottle()
    {
        qint64 now = 0;
        KeptExam::DraftThrottle throttle;
        throttle.SetClock([&now] { return now; });
        const auto changedAt = [&](qint64 ms) { return now = ms, throttle.Changed(); };
        QCOMPARE(changedAt(0), 0);
        throttle.Kept();
        QCOMPARE(changedAt(3000), 7000);
        QCOMPARE(changedAt(10000), 0);
        throttle.Kept();
        QCOMPARE(changedAt(14000), 6000);
        QVERIFY(throttle.Pending());
        throttle.Reset();
        QVERIFY(!throttle.Pending());
        QCOMPARE(changedAt(15000), 0);
    }

    void takenUpAfterAKill_data()
    {
        QTest::addColumn<bool>("resume");
        QTest::newRow("continue") << true;
        QTest::newRow("decline") << false;
    }

    // The child starts an exam at 0 s of the draft's clock, answers question 7,
    // presses the listening (no recording: pressed all the same) and types
    // "Dear " in the editor; a minute passes at 5 s, "Tom" is typed at 10 s and
    // ", hi" at 15 s; then it is killed. The tick kept the draft, so the first
    // keystroke due is the "," at 15 s: "Dear Tom," comes back.
    void takenUpAfterAKill()
    {
        QFETCH(bool, resume);
        ProgramFolder folder;
        int pipe[2];
        QCOMPARE(::pipe(pipe), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            CMainTabDlg main;
            CExamPage* page = main.m_pageExam;
            qint64 now = 0;
            page->m_draftThrottle.SetClock([&now] { return now; });
            MessageBoxes boxes;
            Control<QComboBox>(page, IdPaper)->setCurrentIndex(4);
            Control<QLineEdit>(page, IdName)->setText(u"张三"_s);
            Click(page, IdStart);
            Control<QLineEdit>(page, IdChoiceNo)->setText(u"7"_s);
            Control<QComboBox>(page, IdChoice)->setCurrentIndex(1); // B, right
            Click(page, IdChoiceSubmit);
            Click(page, IdListening);
            InEditor(page, [&](QPlainTextEdit* box) {
                QTest::keyClicks(box, u"Dear "_s);
                now = 5000;
                page->OnTimer();
                now = 10000;
                QTest::keyClicks(box, u"Tom"_s);
                now = 15000;
                QTest::keyClicks(box, u", hi"_s);
                if (::write(pipe[1], "t", 1) == 1)
                    ::pause();
            });
            ::_exit(1);
        }
        pollfd typed{pipe[0], POLLIN, 0};
        const bool ready = ::poll(&typed, 1, 120000) == 1;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(ready && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const auto first = [&](const QString& sql) { return folder.Column(sql).value(0); };
        const QString started = first(u"SELECT 开始时间 FROM running_exam"_s);

        CMainTabDlg main;
        CExamPage* page = main.m_pageExam;
        MessageBoxes boxes(resume ? QMessageBox::Yes : QMessageBox::No);
        main.OfferKeptExam();
        QCOMPARE(
            boxes.Texts(),
            QStringList{
                Ui::LoadString(Ui::Str::ResumeKeptExam).arg(u"张三"_s, Paper, started, u"119"_s)});
        QCOMPARE(page->IsExamRunning() && page->IsTimerRunning() && main.m_tab->GetCurSel() == 2,
                 resume);
        QCOMPARE(first(u"SELECT count(*) FROM running_exam"_s), QString::number(resume));
        if (!resume)
            return;
        QCOMPARE(Control<QLineEdit>(page, IdTimeLeft)->text(), u"01:59"_s);
        QVERIFY(!Control<QPushButton>(page, IdListening)->isEnabled());
        InEditor(page, [](QPlainTextEdit* box) { QCOMPARE(box->toPlainText(), u"Dear Tom,"_s); });
        // The card is live; hand-in counts the answers of both runs, 07 and 71.
        Control<QLineEdit>(page, IdFillNo)->setText(u"71"_s);
        Control<QLineEdit>(page, IdFillAnswer)->setText(u"is"_s);
        Click(page, IdFillSubmit);
        boxes.SetButton(QMessageBox::No); // no essay submitted: hand in all the same
        Click(page, IdHandIn);
        QCOMPARE(first(u"SELECT 成绩 FROM grades WHERE 考生姓名='张三'"_s), u"2"_s);
        QCOMPARE(first(u"SELECT count(*) FROM running_exam"_s), u"0"_s);
    }
};

QTEST_MAIN(TestResume)
#include "tst_resume.moc"
