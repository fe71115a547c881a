// The exam's rules without a window, the kept running exam and the media layer.

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
    // The catalogue's rows, then unlisted names at the edges of the byte cuts.
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
        QStringList shown;
        for (int minutes : {9, 59, 60, 70, 119, 6000})
            shown << TimeLeftText(minutes);
        QCOMPARE(shown.join(u' '), u"00:09 00:59 01:00 01:10 01:59 100:00"_s);
    }

    // Each typed number: "d" when all digits, "-" when not, then the number stored, if any.
    void questionNumbers()
    {
        QStringList read;
        for (const QString& typed : {u"0"_s, u"9"_s, u"0010"_s, u"2147483647"_s, u"2147483648"_s,
                                     QString(), u"1/"_s, u"1:"_s, u"１"_s}) {
            const std::optional<int> number = Marking::QuestionNumber(typed);
            read << (Marking::IsAllDigits(typed) ? u"d"_s : u"-"_s) +
                        (number ? Marking::QuestionNumberText(*number) : QString());
        }
        QCOMPARE(read.join(u' '), u"d00 d09 d10 d2147483647 d d - - -"_s);
        QCOMPARE(Marking::QuestionNumberText(-5), u"-5"_s);
    }

    // Case and blanks count; any one alternative of a key scores, an empty one too.
    void score()
    {
        QStringList scores;
        for (const QString& keyAndAnswer :
             {u"D|D"_s, u"B|b"_s, u"Reasons|Reasons "_s, u"am/is|am"_s, u"a/b/c/d/e/f/g/h|h"_s,
              u"am/is|a"_s, u"am/is|Is"_s, u"am/is|am/is"_s, u"am/|"_s})
            scores << QString::number(
                Marking::Score(keyAndAnswer.section(u'|', 0, 0), 2, keyAndAnswer.section(u'|', 1)));
        QCOMPARE(scores.join(u' '), u"2 0 0 2 2 0 0 0 2"_s);
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
        // A value that cannot be is named by its column.
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

    // Kept at once, then at most every ten seconds from the last keeping.
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
        for (const char* accepted : {"play mymp3", "stop other", "close mymp3"})
            QVERIFY2(Mci::SendString(QString::fromLatin1(accepted)), accepted);
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
