// The essay's counts, its lookups and its score, without a window.

#include "EssayAnalysis.h"
#include "EssayLookups.h"
#include "EssayScorer.h"
#include "ExamDb.h"
#include "TestSupport.h"

#include <QTest>

using EssayScorer::Inputs;
Q_DECLARE_METATYPE(Inputs)

namespace {
template <class... T> void Row(const char* name, const T&... cells)
{
    (QTest::newRow(name) << ... << cells);
}

// Clock seconds whose structure draw is known: seeded with seconds * 100,
// the first value r of the C runtime's sequence (rand() after srand()) gives
// x. The values of r were worked out apart from the program.
constexpr std::int64_t X1 = 4114;  // r 9
constexpr std::int64_t X2 = 26892; // r 10
constexpr std::int64_t X6 = 4415;  // r 32767
} // namespace

class TestEssayCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void analysis_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("counts"); // marks words end-penalty|distinct words
        Row("no final mark", "Hello world", "0 2 1|Hello|world");
        Row("'s", "It's John's book.", "1 3 0|It|John|book");
        Row("lone '", "I don't know.", "1 4 0|I|don|t|know");
        Row("case counts", "The cat saw the cat.", "1 5 0|The|cat|saw|the");
        Row("leading separators", " \r\nThe cat.", "1 3 0|The|cat");
        Row("tab and lone LF join", "a\tb\nc\r\nd.", "1 2 0|a\tb\nc|d");
        Row("quotes", "He said \"yes\"", "0 3 0|He|said|yes");
        Row("six marks", "a.b,c:d;e?f!", "6 6 0|a|b|c|d|e|f");
        Row("runs of separators", "Well...  yes!!", "5 2 0|Well|yes");
        Row("trailing white space", "End.\r\n \t\n\v\f", "1 1 0|End");
        Row("typed caret", "a^b", "0 2 1|a|b");
        Row("empty", "", "0 1 1|");
        Row("white space only", " \n", "0 1 1|");
    }
    void analysis()
    {
        QFETCH(QString, text);
        QFETCH(QString, counts);
        const EssayCounts c = AnalyseEssay(text);
        QCOMPARE(QStringLiteral("%1 %2 %3|").arg(c.nMarks).arg(c.nWords).arg(int(c.endPenalty)) +
                     c.distinctWords.join(QLatin1Char('|')),
                 counts);
    }

    void keywordHits_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<int>("hits");
        Row("all four", "help/old/community/term", 4);
        Row("case counts", "Help/COMMUNITY", 0);
        Row("one, case counts", "Term", 0);
        Row("empty piece", "volunteer/", 1);
        Row("empty list", "", 1);
    }
    void keywordHits()
    {
        QFETCH(QString, keywords);
        QFETCH(int, hits);
        const QString essay =
            QStringLiteral("Last term we started to help old people in our community.");
        QCOMPARE(EssayScorer::KeywordHits(keywords, essay), hits);
    }

    void lookups()
    {
        ProgramFolder folder;
        const QString paper = QStringLiteral("2010年江苏高考英语试题"); // school/friend/help
        QVERIFY(folder.Sql(QStringLiteral("INSERT INTO write VALUES('%1','x/y')").arg(paper)));
        AppMessages messages;
        const QStringList words = QStringLiteral("school sch00l school").split(QLatin1Char(' '));
        const QString essay = QStringLiteral("My friend helps at school.");
        QCOMPARE(EssayLookups::CountKnownWords(words), std::optional<int>(2));
        QCOMPARE(EssayLookups::KeywordHits(paper, essay), std::optional<int>(3));
        QCOMPARE(EssayLookups::KeywordHits(QStringLiteral("none"), essay), std::optional<int>(1));
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(folder.Sql(QStringLiteral("DROP TABLE write")));
        QCOMPARE(EssayLookups::KeywordHits(paper, essay), std::nullopt);
        const auto previous = ExamDb::SetDriverSource([] { return QStringList(); });
        QCOMPARE(EssayLookups::KeywordHits(paper, essay), std::nullopt);
        QCOMPARE(EssayLookups::CountKnownWords(words), std::nullopt);
        ExamDb::SetDriverSource(previous);
        QCOMPARE(messages.texts.size(), 3);
    }

    void structureDraw_data()
    {
        // x = floor((r - 10) * 4 / 32757) + 2
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<int>("x");
        Row("r 9", qint64(X1), 1);
        Row("r 10", qint64(X2), 2);
        Row("r 8199", qint64(16381), 2);
        Row("r 8200", qint64(39159), 3);
        Row("r 30929, seconds * 100 beyond 32 bits", qint64(1765000000), 5);
        Row("r 32767", qint64(X6), 6);
    }
    void structureDraw()
    {
        QFETCH(qint64, seconds);
        QFETCH(int, x);
        QCOMPARE(EssayScorer::StructureDraw(seconds), x);
    }

    void score_data()
    {
        QTest::addColumn<Inputs>("in");
        QTest::addColumn<double>("score");
        QTest::addColumn<QString>("report"); // part of the verdict, or the grader
        const auto row = [](const char* name, Inputs in, double score, const char* report) {
            Row(name, in, score, report);
        };
        // Inputs: words, distinct, known, marks, end, hits, seconds.
        // Totals: R + Q + end + G + S + W.
        row("19 words", {19, 50, 50, 2, 0, 2, X2}, 0.0, "单词数量太少");
        row("20 words", {20, 50, 50, 2, 0, 2, X2}, 2 + 2 + 0 - 1.0 + 2 + 3, "周老师");
        row("39 words", {39, 50, 50, 4, 0, 2, X2}, 2 + 2 + 0 - 1.0 + 2 + 3, "周老师");
        row("40 words", {40, 50, 50, 4, 0, 2, X2}, 2 + 4 + 0 - 1.0 + 4 + 5, "周老师");
        row("59 words", {59, 50, 50, 6, 0, 2, X2}, 2 + 4 + 0 - 1.0 + 4 + 5, "周老师");
        row("60 words", {60, 50, 50, 6, 0, 2, X2}, 2 + 6 + 0 - 1.0 + 6 + 7, "周老师");
        row("79 words", {79, 50, 50, 8, 0, 2, X2}, 2 + 6 + 0 - 1.0 + 6 + 7, "周老师");
        row("80 words", {80, 50, 50, 8, 0, 2, X2}, 2 + 7 + 0 - 1.0 + 7 + 8, "周老师");
        row("160 words", {160, 50, 50, 16, 0, 2, X2}, 2 + 7 + 0 - 1.0 + 7 + 8, "周老师");
        row("161 words", {161, 50, 50, 16, 0, 2, X2}, 2 + 6 + 0 - 1.0 + 6 + 7, "周老师");
        row("15 distinct", {100, 15, 15, 10, 0, 2, X2}, 0.0, "词汇量太少");
        row("16 distinct", {100, 16, 16, 10, 0, 2, X2}, 3.0, "词汇不够丰富");
        row("25 distinct", {100, 25, 25, 10, 0, 2, X2}, 3.0, "词汇不够丰富");
        row("26 distinct", {100, 26, 26, 10, 0, 2, X2}, 5.0, "词汇较少");
        row("35 distinct", {100, 35, 35, 10, 0, 2, X2}, 5.0, "词汇较少");
        row("36 distinct", {100, 36, 36, 10, 0, 2, X2}, 2 + 7 + 0 - 1.0 + 7 + 8, "周老师");
        // r1 = (known + 2 marks) / distinct, exactly at each step.
        row("r1 0.8", {40, 50, 32, 4, 0, 2, X2}, 2 + 4 + 0 - 1.0 + 4 + 5, "周老师");
        row("r1 0.6", {40, 50, 22, 4, 0, 2, X2}, 2 + 4 + 0 - 1.0 + 4 + 4, "周老师");
        row("r1 0.4", {40, 50, 12, 4, 0, 2, X2}, 2 + 4 + 0 - 1.0 + 4 + 3, "周老师");
        row("r1 0.2, W 0 counts 0.5", {20, 50, 6, 2, 0, 2, X2}, 2 + 2 + 0 - 1.0 + 2 + 0.5,
            "周老师");
        row("r1 0.18", {40, 50, 1, 4, 0, 2, X2}, 0.0, "单词出错率太高");
        // r2 = words / marks.
        row("r2 7.5", {90, 50, 50, 12, 0, 2, X2}, 2 + 7 + 0 - 1.0 + 7 + 8, "周老师");
        row("r2 12", {120, 50, 50, 10, 0, 2, X2}, 2 + 7 + 0 - 1.0 + 7 + 8, "周老师");
        row("r2 4", {80, 50, 50, 20, 0, 2, X2}, 2 + 7 + 0 - 1.0 + 3.5 + 8, "周老师");
        row("r2 20", {100, 50, 50, 5, 0, 2, X2}, 2 + 7 + 0 - 1.0 + 3.5 + 8, "周老师");
        row("r2 3.95", {87, 50, 50, 22, 0, 2, X2}, 5.0, "句子运用水平不高");
        row("no marks", {100, 50, 50, 0, 0, 2, X2}, 5.0, "句子运用水平不高");
        row("no keyword", {100, 50, 50, 10, 0, 0, X2}, 5.0, "文不答题");
        row("4 keywords", {100, 50, 50, 10, 0, 4, X2}, 3 + 7 + 0 - 1.0 + 7 + 8, "周老师");
        row("x 1", {100, 50, 50, 10, 0, 2, X1}, 2 + 7 + 0 - 0.5 + 7 + 8, "孙老师");
        row("no final mark", {100, 50, 50, 10, -2, 2, X2}, 2 + 7 - 2 - 1.0 + 7 + 8, "周老师");
        // 1 + 2 - 2 - 3.0 + 1 + 0.5 is below zero.
        row("x 6, total below 0", {20, 50, 2, 4, -2, 1, X6}, 0.0, "周老师");
        // Counts no int holds; twice the marks is beyond int as well: q 6, W 5,
        // S 6 (r2 = 10), R 3.
        row("counts beyond int",
            {12'000'000'000, 6'000'000'000, 1'000'000'000, 1'200'000'000, 0, 3, X2},
            6 + 5 + 6 + 3 + 0 - 1.0, "单词总数：12000000000；");
    }
    void score()
    {
        QFETCH(Inputs, in);
        QFETCH(double, score);
        QFETCH(QString, report);
        const EssayScorer::Result result = EssayScorer::Score(in);
        QCOMPARE(result.score, score);
        QVERIFY2(result.report.contains(report), qPrintable(result.report));
    }

    void reportLayout()
    {
        const EssayScorer::Result result = EssayScorer::Score(Inputs{100, 60, 50, 10, -2, 2, X2});
        QCOMPARE(result.report,
                 QStringLiteral("周老师给你的作文评分：\r\n\r\n一、单词运用（共15分）：\r\n"
                                "1、单词总数：100；         2、运用词汇量 ：60；\r\n"
                                "3、得分——数量得分：7分； 单词运用水平得分：8.0分。\r\n"
                                "二、句子运用（共7分）：\r\n"
                                "1、句子数量：10；   2、句子运用水平得分：7.0分。\r\n"
                                "三、文章扣题程度得分（共3分）：2分；\r\n"
                                "四、语法、句法及文章整体结构：-1.0分；\r\n"
                                "五、文章没收尾或者忘记写标点，扣2分。\r\n"
                                "总结——文章的整体得分：21.0"));
    }
};

QTEST_GUILESS_MAIN(TestEssayCore)
#include "tst_essaycore.moc"
