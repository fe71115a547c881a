// The running exam kept for the next start, without a window: what is kept
// comes back whole, a value that cannot be is refused whole, hand-in ends
// it in its own transaction, and the draft is kept at most every ten seconds.

#include "HandIn.h"
#include "KeptExam.h"
#include "TestSupport.h"

#include <QTest>

using KeptExam::EssayStage;
using KeptExam::Found;

namespace {

const QString Paper = QStringLiteral("2010年江苏高考英语试题");

KeptExam::State Sample(EssayStage stage)
{
    KeptExam::State state;
    state.paper = Paper;
    state.name = QStringLiteral("O'Brien 李");
    state.minutesSet = 120;
    state.started = QStringLiteral("2026-12-07 09:30:05");
    state.minutesLeft = 97;
    state.listeningPlayed = true;
    state.essayStage = stage;
    if (stage == EssayStage::NotOpened)
        return state;
    state.essayStartMinutes = 110;
    state.essayTitle = QStringLiteral("A \"visit\"");
    state.essayText = QStringLiteral("Dear Tom,\r\nIt's 我们的 school.\r\n");
    if (stage == EssayStage::Submitted) {
        state.essayScore = 17.5;
        state.essayReport = QStringLiteral("该文章得分:17.5分");
    }
    return state;
}

} // namespace

Q_DECLARE_METATYPE(Found)
Q_DECLARE_METATYPE(EssayStage)

class TestKeptExam : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keptWhole_data();
    void keptWhole();
    void refusedWhole_data();
    void refusedWhole();
    void handInEndsIt_data();
    void handInEndsIt();
    void draftThrottle_data();
    void draftThrottle();
};

void TestKeptExam::keptWhole_data()
{
    QTest::addColumn<EssayStage>("stage");
    QTest::newRow("editor not opened") << EssayStage::NotOpened;
    QTest::newRow("draft") << EssayStage::Draft;
    QTest::newRow("submitted") << EssayStage::Submitted;
}

// Each keeping replaces the last.
void TestKeptExam::keptWhole()
{
    QFETCH(EssayStage, stage);
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    KeptExam::State earlier = Sample(EssayStage::Submitted);
    earlier.name = QStringLiteral("someone else");
    QVERIFY(!KeptExam::Keep(earlier));
    QVERIFY(!KeptExam::Keep(Sample(stage)));

    const KeptExam::Loaded loaded = KeptExam::Load();
    QCOMPARE(loaded.found, Found::Usable);
    QCOMPARE(loaded.state, Sample(stage));
    QCOMPARE(folder.Column(QStringLiteral("SELECT count(*) FROM running_exam")),
             QStringList{QStringLiteral("1")});
    QCOMPARE(messages.texts, QStringList());
}

void TestKeptExam::refusedWhole_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Found>("found");
    QTest::addColumn<QString>("detail");
    const auto set = [](const char* assignment) -> QString {
        return QStringLiteral("UPDATE running_exam SET ") + QString::fromUtf8(assignment);
    };
    QTest::newRow("nothing kept") << QStringLiteral("DELETE FROM running_exam") << Found::Nothing
                                  << QString();
    QTest::newRow("a database from before")
        << QStringLiteral("DROP TABLE running_exam") << Found::Nothing << QString();
    QTest::newRow("paper not listed") << set("试题名='2099年江苏高考英语试题'") << Found::PaperGone
                                      << QStringLiteral("2099年江苏高考英语试题");
    QTest::newRow("paper without questions")
        << QStringLiteral("DELETE FROM answer WHERE 卷名='%1'").arg(Paper) << Found::PaperGone
        << Paper;
    QTest::newRow("no name") << set("考生姓名=''") << Found::Damaged << QStringLiteral("考生姓名");
    QTest::newRow("no minutes set")
        << set("考试时长=0") << Found::Damaged << QStringLiteral("考试时长");
    QTest::newRow("more left than set")
        << set("剩余分钟=121") << Found::Damaged << QStringLiteral("剩余分钟");
    QTest::newRow("less than none left")
        << set("剩余分钟=-1") << Found::Damaged << QStringLiteral("剩余分钟");
    QTest::newRow("a fraction of a minute")
        << set("剩余分钟=96.5") << Found::Damaged << QStringLiteral("剩余分钟");
    QTest::newRow("words for minutes")
        << set("剩余分钟='ninety'") << Found::Damaged << QStringLiteral("剩余分钟");
    QTest::newRow("start time") << set("开始时间='yesterday'") << Found::Damaged
                                << QStringLiteral("开始时间");
    QTest::newRow("listening") << set("听力已播放=2") << Found::Damaged
                               << QStringLiteral("听力已播放");
    QTest::newRow("essay stage") << set("作文进度=3") << Found::Damaged
                                 << QStringLiteral("作文进度");
    QTest::newRow("editor opened with fewer minutes than left")
        << set("作文开始分钟=90") << Found::Damaged << QStringLiteral("作文开始分钟");
    QTest::newRow("editor opened with more than set")
        << set("作文开始分钟=121") << Found::Damaged << QStringLiteral("作文开始分钟");
    QTest::newRow("submitted without a score")
        << set("作文进度=2, 作文得分=NULL") << Found::Damaged << QStringLiteral("作文得分");
}

// Nothing of a refused exam comes back, not even its sound values.
void TestKeptExam::refusedWhole()
{
    QFETCH(QString, fault);
    QFETCH(Found, found);
    QFETCH(QString, detail);
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(!KeptExam::Keep(Sample(EssayStage::Draft)));
    QVERIFY(folder.Sql(fault));

    AppMessages messages;
    const KeptExam::Loaded loaded = KeptExam::Load();
    QCOMPARE(loaded.found, found);
    QCOMPARE(loaded.detail, detail);
    QCOMPARE(loaded.state, KeptExam::State());
    QCOMPARE(messages.texts, QStringList());
}

void TestKeptExam::handInEndsIt_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Found>("found");
    QTest::newRow("recorded") << QString() << Found::Nothing;
    QTest::newRow("not recorded")
        << QStringLiteral(
               "CREATE TRIGGER t BEFORE INSERT ON exam BEGIN SELECT RAISE(ABORT,'x'); END")
        << Found::Usable;
}

void TestKeptExam::handInEndsIt()
{
    QFETCH(QString, fault);
    QFETCH(Found, found);
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(!KeptExam::Keep(Sample(EssayStage::Submitted)));
    if (!fault.isEmpty())
        QVERIFY(folder.Sql(fault));

    AppMessages messages;
    HandIn::Record(Paper, QStringLiteral("2026-12-07 11:00:00"), QStringLiteral("李"), {});
    QCOMPARE(KeptExam::Load().found, found);
    QCOMPARE(messages.texts.size(), fault.isEmpty() ? 0 : 1);
}

void TestKeptExam::draftThrottle_data()
{
    // Steps: "<ms> change <wait expected>", "<ms> kept", "reset", "pending <0|1>".
    QTest::addColumn<QString>("steps");
    QTest::newRow("the first change is due at once") << QStringLiteral("0 change 0;pending 1");
    QTest::newRow("a change inside the period waits for its end")
        << QStringLiteral("0 change 0;0 kept;pending 0;3000 change 7000;9999 change 1;pending 1");
    QTest::newRow("the period counts from the last keeping")
        << QStringLiteral("0 change 0;4000 kept;10000 change 4000;14000 change 0");
    QTest::newRow("a new exam keeps its first change at once")
        << QStringLiteral("0 change 0;0 kept;1000 change 9000;reset;pending 0;2000 change 0");
}

void TestKeptExam::draftThrottle()
{
    QFETCH(QString, steps);
    qint64 now = 0;
    KeptExam::DraftThrottle throttle;
    throttle.SetClock([&now] { return now; });
    for (const QString& step : steps.split(QLatin1Char(';'))) {
        const QStringList word = step.split(QLatin1Char(' '));
        if (word[0] == QLatin1String("reset")) {
            throttle.Reset();
        } else if (word[0] == QLatin1String("pending")) {
            QCOMPARE(throttle.Pending(), word[1] == QLatin1String("1"));
        } else {
            now = word[0].toLongLong();
            if (word[1] == QLatin1String("kept"))
                throttle.Kept();
            else
                QCOMPARE(throttle.Changed(), word[2].toLongLong());
        }
    }
}

QTEST_GUILESS_MAIN(TestKeptExam)
#include "tst_keptexam.moc"
