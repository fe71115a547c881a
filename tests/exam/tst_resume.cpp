// The running exam kept for the next start: kept whole and refused whole, the
// draft kept at most every ten seconds; then a child process sitting an exam
// in the main window, offscreen, is killed with SIGKILL mid-essay, and a new
// main window on the same database takes the exam up again or gives it up.

#include "DialogIds.h"
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

using namespace Ids::Exam;
using KeptExam::Found;

namespace {

const QString Paper = QStringLiteral("2010年江苏高考英语试题");

// clang-format off
const KeptExam::State Sample{Paper, QStringLiteral("O'Brien 李"), 120, QStringLiteral("2026-12-07 09:30:05"),
    97, true, KeptExam::EssayStage::Submitted, 110, QStringLiteral("A \"visit\""),
    QStringLiteral("Dear Tom,\r\n我们的 school."), 17.5, QStringLiteral("该文章得分:17.5分")};
// clang-format on

template <class T> T* Item(QWidget* in, int id)
{
    return in->findChild<T*>(QString::number(id));
}

void Click(QWidget* in, int id)
{
    QTest::mouseClick(Item<QPushButton>(in, id), Qt::LeftButton);
}

// Runs `work` in the editor opened from the page, then leaves it.
void InEditor(CExamPage* page, const std::function<void(QPlainTextEdit*)>& work)
{
    NextModal editor([&](QDialog* window) {
        work(Item<QPlainTextEdit>(window, Ids::Essay::IdText));
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
        // clang-format off
        const struct { const char* name; const char* fault; Found found; const char* detail; } cases[] = {
            {"sound", "", Found::Usable, ""},
            {"nothing kept", "DELETE FROM running_exam", Found::Nothing, ""},
            {"a database from before", "DROP TABLE running_exam", Found::Nothing, ""},
            {"paper not listed", "UPDATE running_exam SET 试题名='2099年'", Found::PaperGone, "2099年"},
            {"paper without questions", "DELETE FROM answer", Found::PaperGone, "2010年江苏高考英语试题"},
            {"no name", "UPDATE running_exam SET 考生姓名=''", Found::Damaged, "考生姓名"},
            {"no minutes set", "UPDATE running_exam SET 考试时长=0", Found::Damaged, "考试时长"},
            {"more left than set", "UPDATE running_exam SET 剩余分钟=121", Found::Damaged, "剩余分钟"},
            {"less than none left", "UPDATE running_exam SET 剩余分钟=-1", Found::Damaged, "剩余分钟"},
            {"a fraction", "UPDATE running_exam SET 剩余分钟=96.5", Found::Damaged, "剩余分钟"},
            {"start time", "UPDATE running_exam SET 开始时间='today'", Found::Damaged, "开始时间"},
            {"listening", "UPDATE running_exam SET 听力已播放=2", Found::Damaged, "听力已播放"},
            {"essay stage", "UPDATE running_exam SET 作文进度=3", Found::Damaged, "作文进度"},
            {"editor opened late", "UPDATE running_exam SET 作文开始分钟=96", Found::Damaged, "作文开始分钟"},
            {"editor opened early", "UPDATE running_exam SET 作文开始分钟=121", Found::Damaged, "作文开始分钟"},
            {"no score", "UPDATE running_exam SET 作文得分=NULL", Found::Damaged, "作文得分"},
        };
        // clang-format on
        for (const auto& c : cases)
            QTest::newRow(c.name) << QString::fromUtf8(c.fault) << c.found
                                  << QString::fromUtf8(c.detail);
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
        QCOMPARE(loaded.state, found == Found::Usable ? Sample : KeptExam::State());
        // Hand-in ends it in its own transaction, whether the table is there or not.
        QVERIFY(KeptExam::Discard());
    }

    void draftThrottle_data()
    {
        // Steps "<ms> <wait expected>" (a change), "<ms> kept", "reset".
        QTest::addColumn<QString>("steps");
        QTest::newRow("within the period, at its end") << QStringLiteral("0 kept;3000 7000;9999 1");
        QTest::newRow("from the last keeping") << QStringLiteral("4000 kept;10000 4000;14000 0");
        QTest::newRow("a new exam at once") << QStringLiteral("0 kept;1000 9000;reset;2000 0");
    }

    void draftThrottle()
    {
        QFETCH(QString, steps);
        qint64 now = 0;
        KeptExam::DraftThrottle throttle;
        throttle.SetClock([&now] { return now; });
        for (const QString& step : steps.split(QLatin1Char(';'))) {
            const QStringList word = step.split(QLatin1Char(' '));
            now = word[0].toLongLong();
            if (word[0] == QLatin1String("reset"))
                throttle.Reset();
            else if (word[1] == QLatin1String("kept"))
                throttle.Kept();
            else
                QCOMPARE(throttle.Changed(), word[1].toLongLong());
        }
        QVERIFY(throttle.Pending());
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
            Item<QComboBox>(page, IdPaper)->setCurrentIndex(4);
            Item<QLineEdit>(page, IdName)->setText(QStringLiteral("张三"));
            Click(page, IdStart);
            Item<QLineEdit>(page, IdChoiceNo)->setText(QStringLiteral("7"));
            Item<QComboBox>(page, IdChoice)->setCurrentIndex(1); // B, right
            Click(page, IdChoiceSubmit);
            Click(page, IdListening);
            InEditor(page, [&](QPlainTextEdit* box) {
                QTest::keyClicks(box, QStringLiteral("Dear "));
                now = 5000;
                page->OnTimer();
                now = 10000;
                QTest::keyClicks(box, QStringLiteral("Tom"));
                now = 15000;
                QTest::keyClicks(box, QStringLiteral(", hi"));
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
        const auto first = [&](const char* sql) {
            return folder.Column(QString::fromUtf8(sql)).value(0);
        };
        const QString started = first("SELECT 开始时间 FROM running_exam");

        CMainTabDlg main;
        CExamPage* page = main.m_pageExam;
        MessageBoxes boxes(resume ? QMessageBox::Yes : QMessageBox::No);
        main.OfferKeptExam();
        QCOMPARE(boxes.Texts(), QStringList{Ui::LoadString(Ui::Str::ResumeKeptExam)
                                                .arg(QStringLiteral("张三"), Paper, started,
                                                     QStringLiteral("119"))});
        QCOMPARE(page->IsExamRunning() && page->IsTimerRunning() && main.m_tab->GetCurSel() == 2,
                 resume);
        QCOMPARE(first("SELECT count(*) FROM running_exam"), QString::number(resume));
        QCOMPARE(first("SELECT 回答||得分 FROM answer WHERE 题号='07'"), QStringLiteral("B1"));
        if (!resume)
            return;
        QCOMPARE(Item<QLineEdit>(page, IdTimeLeft)->text(), QStringLiteral("01:59"));
        QVERIFY(!Item<QPushButton>(page, IdListening)->isEnabled());
        InEditor(page, [](QPlainTextEdit* box) {
            QCOMPARE(box->toPlainText(), QStringLiteral("Dear Tom,"));
        });
        // The card is live; hand-in counts the answers of both runs.
        Item<QLineEdit>(page, IdFillNo)->setText(QStringLiteral("71"));
        Item<QLineEdit>(page, IdFillAnswer)->setText(QStringLiteral("is"));
        Click(page, IdFillSubmit);
        boxes.SetButton(QMessageBox::No); // no essay submitted: hand in all the same
        Click(page, IdHandIn);
        QCOMPARE(first("SELECT 成绩 FROM grades WHERE 考生姓名='张三'"), QStringLiteral("2"));
        QCOMPARE(first("SELECT count(*) FROM running_exam"), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestResume)
#include "tst_resume.moc"
