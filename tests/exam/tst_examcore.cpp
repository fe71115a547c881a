// The exam's rules without a window: catalogue, names, time, answer card, the
// hand-in's message, the running exam kept for the next start, and the media
// command layer.

#include "Catalogue.h"
#include "HandIn.h"
#include "KeptExam.h"
#include "Marking.h"
#include "Mci.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMediaPlayer>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using KeptExam::Found;
using enum KeptExam::Found;

namespace {
template <class... T> void Row(const char* name, const T&... cells)
{
    (QTest::newRow(name) << ... << cells);
}

const QString Paper = u"2010年江苏高考英语试题"_s;
const QString Recording = QStringLiteral(ORDWIN_TEST_MP3);

// clang-format off
const KeptExam::State Sample{Paper, u"O'Brien 李"_s, 120, u"2026-12-07 09:30:05"_s, 97, true,
    KeptExam::EssayStage::Submitted, 110, u"A \"visit\""_s, u"Dear Tom,\r\n我们的 school."_s, 17.5,
    u"该文章得分:17.5分"_s};
// clang-format on

QStringList g_calls; // what the media layer asked of its devices, in order
int g_serial = 0;
struct FakeDevice : Mci::Device
{
    int serial = ++g_serial;
    void Log(const char* call) { g_calls << QString::fromLatin1(call) + QString::number(serial); }
    ~FakeDevice() override { Log("free"); }
    bool Load(const QString& path) override
    {
        Log("load");
        return path == Recording;
    }
    void Play() override { Log("play"); }
    void Stop() override { Log("stop"); }
};
} // namespace

class TestExamCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The rows of content/catalogue.tsv, then names it does not hold at the
    // edges of the byte cuts, at positions outside the list.
    void names_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("entry"); // empty: not listed
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("names"); // PaperName|text id|recording prefix
        QFile file(QStringLiteral(ORDWIN_CATALOGUE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int n = 0;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            const QStringList cells = line.split(QLatin1Char('\t'));
            if (cells.size() == 4 && !line.startsWith(QLatin1Char('#'))) {
                QTest::addRow("%d", n)
                    << n << cells[0] << QStringLiteral("\\etp\\%1.doc").arg(cells[1])
                    << cells.mid(1).join(QLatin1Char('|'));
                ++n;
            }
        }
        QCOMPARE(n, Catalogue::PaperCount);
        Row("first dot", -1, "", "\\etp\\a.b.doc", "a|0|a");
        Row("e t p all go", n, "", "\\etp\\test.doc", "st|0|st");
        Row("no dot", -1, "", "\\etp\\2010年", "|0|");
        Row("six bytes", -1, "", "\\etp\\abcdefgh.doc", "abcdefgh|0|abcdef");
        Row("year: 4 bytes", -1, "", "\\etp\\2006xy.doc", "2006xy|153|2006xy");
        Row("mock: last 2", -1, "", "\\etp\\英语科x123.doc", "英语科x123|145|23");
    }
    void names()
    {
        QFETCH(int, position);
        QFETCH(QString, entry);
        QFETCH(QString, path);
        QFETCH(QString, names);
        QCOMPARE(Catalogue::ListEntry(position), entry);
        QCOMPARE(Catalogue::DocPath(position), entry.isEmpty() ? QString() : path);
        QCOMPARE(Catalogue::DocPathAfterSelection(position, QStringLiteral("x")),
                 entry.isEmpty() ? QStringLiteral("x") : path);
        const QString paper = PaperNameFromPath(path);
        QCOMPARE(paper + QLatin1Char('|') + QString::number(ExplanationTextId(paper)) +
                     QLatin1Char('|') + ListeningFileName(path),
                 names + QStringLiteral("江苏高考听力.mp3"));
    }

    void timeLeft()
    {
        const QList<int> minutes{9, 59, 60, 70, 119, 6000};
        const QStringList shown{u"00:09"_s, u"00:59"_s, u"01:00"_s,
                                u"01:10"_s, u"01:59"_s, u"100:00"_s};
        for (qsizetype i = 0; i < minutes.size(); ++i)
            QCOMPARE(TimeLeftText(minutes[i]), shown[i]);
    }

    void questionNumbers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("digits");
        QTest::addColumn<QString>("stored"); // empty: no number
        Row("0", "0", true, "00");
        Row("9", "9", true, "09");
        Row("10", "0010", true, "10");
        Row("int max", "2147483647", true, "2147483647");
        Row("beyond int", "2147483648", true, "");
        Row("empty", "", true, "");
        Row("before 0", "1/", false, "");
        Row("after 9", "1:", false, "");
        Row("full-width", "１", false, "");
    }
    void questionNumbers()
    {
        QFETCH(QString, typed);
        QFETCH(bool, digits);
        QFETCH(QString, stored);
        QCOMPARE(Marking::IsAllDigits(typed), digits);
        const std::optional<int> number = Marking::QuestionNumber(typed);
        QCOMPARE(number ? Marking::QuestionNumberText(*number) : QString(), stored);
        QCOMPARE(Marking::QuestionNumberText(-5), QStringLiteral("-5"));
    }

    void score_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("score"); // of 2 points
        Row("right", "D", "D", 2);
        Row("case counts", "B", "b", 0);
        Row("blank counts", "Reasons", "Reasons ", 0);
        Row("first alternative", "am/is", "am", 2);
        Row("eighth alternative", "a/b/c/d/e/f/g/h", "h", 2);
        Row("part of one", "am/is", "a", 0);
        Row("alternative, case", "am/is", "Is", 0);
        Row("whole key", "am/is", "am/is", 0);
        Row("empty alternative", "am/", "", 2);
    }
    void score()
    {
        QFETCH(QString, key);
        QFETCH(QString, answer);
        QFETCH(int, score);
        QCOMPARE(Marking::Score(key, 2, answer), score);
    }

    void recordAndMark_data()
    {
        QTest::addColumn<QString>("setup"); // SQL run first
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("changed"); // the row no longer " |0"; "failed"
        // Question 01 is also in 英语科模拟考试卷51.
        Row("right", "UPDATE answer SET 分值=2", "01", "B", "01|B|2");
        Row("wrong", "", "01", "C", "01|C|0");
        Row("no points", "UPDATE answer SET 分值=NULL", "08", "C", "08|C|0");
        Row("no such question", "", "99", "A", "");
        // The points cannot be read: the answer is not left recorded.
        Row("failure", "UPDATE answer SET 分值=99999", "01", "B", "failed");
    }
    void recordAndMark()
    {
        QFETCH(QString, setup);
        QFETCH(QString, number);
        QFETCH(QString, answer);
        QFETCH(QString, changed);
        ProgramFolder folder;
        QVERIFY(setup.isEmpty() || folder.Sql(setup));
        AppMessages messages;
        const bool failed = changed == QLatin1String("failed");
        QCOMPARE(Marking::RecordAndMark(Paper, number, answer),
                 failed              ? Marking::Outcome::Failed
                 : changed.isEmpty() ? Marking::Outcome::NoSuchQuestion
                                     : Marking::Outcome::Marked);
        QCOMPARE(messages.texts.size(), failed ? 1 : 0);
        QCOMPARE(folder.Column(QStringLiteral("SELECT 卷名||'|'||题号||'|'||回答||'|'||得分 "
                                              "FROM answer WHERE 回答<>' ' OR 得分<>0")),
                 changed.isEmpty() || failed ? QStringList()
                                             : QStringList{Paper + QLatin1Char('|') + changed});
    }

    // The total is the card's points and the essay's score together.
    void handInScoreMessage()
    {
        QCOMPARE(HandIn::ScoreMessage(3.0, 18.5),
                 u"您本次考试成绩为：21.5分（其中客观题得分为：3.0分,作文得分为：18.5分）"_s);
    }

    void keptWhole_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Found>("found");
        QTest::addColumn<QString>("detail");
        Row("sound", "", Usable, "");
        Row("nothing kept", "DELETE FROM running_exam", Nothing, "");
        Row("a database from before", "DROP TABLE running_exam", Nothing, "");
        Row("paper not listed", "UPDATE running_exam SET 试题名='2099年'", PaperGone, "2099年");
        Row("paper without questions", "DELETE FROM answer", PaperGone, Paper);
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

    void aliases()
    {
        Mci::SetDeviceFactory([] { return std::make_unique<FakeDevice>(); });
        QVERIFY(!OpenListeningDevice(QDir::temp().filePath(QStringLiteral("missing.mp3"))));
        QVERIFY(!OpenListeningDevice(QDir::tempPath()));
        QVERIFY(OpenListeningDevice(Recording));
        QVERIFY(!OpenListeningDevice(Recording)); // the alias is open
        QVERIFY(Mci::Open(Recording, QStringLiteral("other")));
        for (const char* refused : {"play none", "rewind mymp3", "play", "play mymp3 now"})
            QVERIFY2(!Mci::SendString(QString::fromLatin1(refused)), refused);
        QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
        QVERIFY(Mci::SendString(QStringLiteral("stop other")));
        QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
        QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
        QVERIFY(!Mci::SendString(QStringLiteral("play mymp3")));
        QVERIFY(OpenListeningDevice(Recording));
        QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
        QVERIFY(Mci::SendString(QStringLiteral("close other")));
        Mci::SetDeviceFactory({});
        QCOMPARE(g_calls.join(QLatin1Char(',')),
                 QStringLiteral("load1,load2,play1,stop2,stop1,free1,load3,stop3,"
                                "free3,stop2,free2"));
    }

    // Through Qt Multimedia into whatever sink the machine has (a silent one
    // without a sound card): no error, and the event loop keeps running.
    void realPlaybackDoesNotBlock()
    {
        QVERIFY(OpenListeningDevice(Recording));
        QMediaPlayer* player = Mci::PlayerOf(Mci::DeviceOf(QStringLiteral("mymp3")));
        QVERIFY(player);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
        QTRY_VERIFY_WITH_TIMEOUT(
            player->position() > 0 || player->mediaStatus() == QMediaPlayer::EndOfMedia, 10000);
        QCOMPARE(player->error(), QMediaPlayer::NoError);
        QVERIFY(ticks > 0);
        // Played again from further on, it starts over.
        player->setPosition(1000);
        QVERIFY(Mci::SendString(QStringLiteral("play mymp3")));
        QVERIFY(player->position() < 1000);
        QVERIFY(Mci::SendString(QStringLiteral("close mymp3")));
    }
};

QTEST_GUILESS_MAIN(TestExamCore)
#include "tst_examcore.moc"
