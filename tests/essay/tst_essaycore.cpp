// The essay's counts and score, without a window.

#include "EssayAnalysis.h"
#include "EssayScorer.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The analysis as its rules are written: replacement passes over a working
// copy, slow and literal, to hold the fast analysis to.
EssayCounts LiteralAnalysis(const QString& text)
{
    EssayCounts counts;
    const QString sep = QStringLiteral("^");
    QString w = text;
    for (const char* mark : {".", ",", ":", ";", "?", "!"}) {
        const QString m = QString::fromLatin1(mark);
        counts.nMarks += int(w.count(m));
        w.replace(m, sep);
    }
    w.replace(QLatin1Char('"'), QLatin1Char('^'));
    while (!w.isEmpty() && QStringLiteral(" \t\r\n\v\f").contains(w.back()))
        w.chop(1);
    w.replace(QLatin1Char(' '), QLatin1Char('^'));
    w.replace(QStringLiteral("\r\n"), sep);
    w.replace(QStringLiteral("'s"), sep);
    w.replace(QLatin1Char('\''), QLatin1Char('^'));
    if (w.isEmpty() || w.back() != QLatin1Char('^')) {
        counts.endPenalty = true;
        w += sep;
    }
    QString collapsed = w;
    while (collapsed.contains(QStringLiteral("^^")))
        collapsed.replace(QStringLiteral("^^"), sep);
    counts.nWords = int(collapsed.count(sep));

    QString list;
    while (!w.isEmpty()) {
        const QString word = w.left(w.indexOf(sep));
        const QString bounded = sep + word + sep;
        while (w.contains(bounded))
            w.replace(bounded, sep);
        list += word + sep;
        w.remove(0, word.size() + 1);
    }
    while (list.contains(QStringLiteral("^^")))
        list.replace(QStringLiteral("^^"), sep);
    if (list.startsWith(sep))
        list.remove(0, 1);
    for (const QString& word : list.split(sep, Qt::SkipEmptyParts))
        counts.distinctWords << word;
    return counts;
}

} // namespace

class TestEssayCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void analysis_data();
    void analysis();
    void analysisEqualsTheLiteralRules();
    void keywordHits_data();
    void keywordHits();
    void structureDraw();
    void score_data();
    void score();
    void reportLayout();
};

void TestEssayCore::analysis_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("marks");
    QTest::addColumn<int>("words");
    QTest::addColumn<QStringList>("distinct");
    QTest::addColumn<bool>("penalty");
    QTest::newRow("Hello world") << QStringLiteral("Hello world") << 0 << 2
                                 << QStringList{QStringLiteral("Hello"), QStringLiteral("world")}
                                 << true;
    QTest::newRow("blanks only") << QStringLiteral("    ") << 0 << 1 << QStringList() << true;
    QTest::newRow("possessives") << QStringLiteral("It's John's book.") << 1 << 3
                                 << QStringList{QStringLiteral("It"), QStringLiteral("John"),
                                                QStringLiteral("book")}
                                 << false;
    QTest::newRow("don't") << QStringLiteral("I don't know.") << 1 << 4
                           << QStringList{QStringLiteral("I"), QStringLiteral("don"),
                                          QStringLiteral("t"), QStringLiteral("know")}
                           << false;
    QTest::newRow("the cat") << QStringLiteral("The cat saw the cat.") << 1 << 5
                             << QStringList{QStringLiteral("The"), QStringLiteral("cat"),
                                            QStringLiteral("saw"), QStringLiteral("the")}
                             << false;
    QTest::newRow("leading blank")
        << QStringLiteral(" The cat.") << 1 << 3
        << QStringList{QStringLiteral("The"), QStringLiteral("cat")} << false;
    QTest::newRow("leading line break")
        << QStringLiteral("\r\nThe cat.") << 1 << 3
        << QStringList{QStringLiteral("The"), QStringLiteral("cat")} << false;
    QTest::newRow("tab joins") << QStringLiteral("a\tb.") << 1 << 1
                               << QStringList{QStringLiteral("a\tb")} << false;
    QTest::newRow("lone LF joins")
        << QStringLiteral("a\nb.") << 1 << 1 << QStringList{QStringLiteral("a\nb")} << false;
    QTest::newRow("CR LF separates")
        << QStringLiteral("a\r\nb.") << 1 << 2
        << QStringList{QStringLiteral("a"), QStringLiteral("b")} << false;
    QTest::newRow("quoted word") << QStringLiteral("He said \"yes\".") << 1 << 3
                                 << QStringList{QStringLiteral("He"), QStringLiteral("said"),
                                                QStringLiteral("yes")}
                                 << false;
    QTest::newRow("closing quote only")
        << QStringLiteral("He said \"yes\"") << 0 << 3
        << QStringList{QStringLiteral("He"), QStringLiteral("said"), QStringLiteral("yes")}
        << false;
    QTest::newRow("six marks") << QStringLiteral("a.b,c:d;e?f!") << 6 << 6
                               << QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                              QStringLiteral("c"), QStringLiteral("d"),
                                              QStringLiteral("e"), QStringLiteral("f")}
                               << false;
    QTest::newRow("consecutive separators")
        << QStringLiteral("Well...  yes!!") << 5 << 2
        << QStringList{QStringLiteral("Well"), QStringLiteral("yes")} << false;
    QTest::newRow("trailing white space")
        << QStringLiteral("End.\r\n \t\n") << 1 << 1 << QStringList{QStringLiteral("End")} << false;
    QTest::newRow("lone quote mark")
        << QStringLiteral("' ok.") << 1 << 2 << QStringList{QStringLiteral("ok")} << false;
    QTest::newRow("typed caret") << QStringLiteral("a^b") << 0 << 2
                                 << QStringList{QStringLiteral("a"), QStringLiteral("b")} << true;
    QTest::newRow("chinese") << QStringLiteral("我们 like 中文。") << 0 << 3
                             << QStringList{QStringLiteral("我们"), QStringLiteral("like"),
                                            QStringLiteral("中文。")}
                             << true;
    QTest::newRow("empty") << QString() << 0 << 1 << QStringList() << true;
}

void TestEssayCore::analysis()
{
    QFETCH(QString, text);
    QFETCH(int, marks);
    QFETCH(int, words);
    QFETCH(QStringList, distinct);
    QFETCH(bool, penalty);
    const EssayCounts counts = AnalyseEssay(text);
    QCOMPARE(counts.nMarks, marks);
    QCOMPARE(counts.nWords, words);
    QCOMPARE(counts.distinctWords, distinct);
    QCOMPARE(counts.endPenalty, penalty);
    const EssayCounts literal = LiteralAnalysis(text);
    QCOMPARE(literal.nWords, words);
    QCOMPARE(literal.distinctWords, distinct);
}

// Many generated texts from the characters that matter to the rules.
void TestEssayCore::analysisEqualsTheLiteralRules()
{
    const QStringList pieces = {
        QStringLiteral("a"),          QStringLiteral("b"),   QStringLiteral("s"),
        QStringLiteral("S"),          QStringLiteral("the"), QStringLiteral("The"),
        QStringLiteral("cat"),        QStringLiteral(" "),   QStringLiteral("  "),
        QStringLiteral("."),          QStringLiteral(","),   QStringLiteral(":"),
        QStringLiteral(";"),          QStringLiteral("?"),   QStringLiteral("!"),
        QStringLiteral("\""),         QStringLiteral("'"),   QStringLiteral("'s"),
        QStringLiteral("\t"),         QStringLiteral("\r"),  QStringLiteral("\n"),
        QStringLiteral("\r\n"),       QStringLiteral("\v"),  QStringLiteral("\f"),
        QStringLiteral("^"),          QStringLiteral("中"),  QStringLiteral("é"),
        QStringLiteral("\U0001F600"),
    };
    QRandomGenerator random(20261207);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = int(random.bounded(0, 24));
        for (int i = 0; i < length; ++i)
            text += pieces[random.bounded(int(pieces.size()))];
        const EssayCounts fast = AnalyseEssay(text);
        const EssayCounts slow = LiteralAnalysis(text);
        const QByteArray shown = text.toUtf8().toPercentEncoding();
        QVERIFY2(fast.nMarks == slow.nMarks, shown.constData());
        QVERIFY2(fast.nWords == slow.nWords, shown.constData());
        QVERIFY2(fast.endPenalty == slow.endPenalty, shown.constData());
        QVERIFY2(fast.distinctWords == slow.distinctWords, shown.constData());
    }
}

void TestEssayCore::keywordHits_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QString>("essay");
    QTest::addColumn<int>("hits");
    const QString essay =
        QStringLiteral("Last term we started to help old people in our community.");
    QTest::newRow("four of four") << QStringLiteral("help/old/community/term") << essay << 4;
    QTest::newRow("art in start") << QStringLiteral("art") << essay << 1;
    QTest::newRow("other case") << QStringLiteral("Help/COMMUNITY") << essay << 0;
    QTest::newRow("two of three") << QStringLiteral("help/volunteer/people") << essay << 2;
    QTest::newRow("empty piece") << QStringLiteral("volunteer/") << essay << 1;
    QTest::newRow("empty list") << QString() << essay << 1;
    QTest::newRow("none") << QStringLiteral("volunteer/elderly") << essay << 0;
    QTest::newRow("seven pieces") << QStringLiteral("k/m/n/q/u/v/help") << QStringLiteral("help")
                                  << 1;
}

void TestEssayCore::keywordHits()
{
    QFETCH(QString, keywords);
    QFETCH(QString, essay);
    QFETCH(int, hits);
    QCOMPARE(EssayScorer::KeywordHits(keywords, essay), hits);
}

void TestEssayCore::structureDraw()
{
    // Seeds whose first Microsoft rand() value is known: seed 1 gives 41,
    // so x = floor(31 * 4 / 32757) + 2 = 2. Find seconds of both parities.
    bool even = false, odd = false;
    for (std::int64_t seconds = 1765000000; seconds < 1765000100 && !(even && odd); ++seconds) {
        const int x = EssayScorer::StructureDraw(seconds);
        QVERIFY(x >= 1 && x <= 6);
        (x % 2 ? odd : even) = true;
    }
    QVERIFY(even && odd);
    QCOMPARE(EssayScorer::Grader(0), QStringLiteral("周老师"));
    for (int entry = 0; entry < 6; ++entry)
        QVERIFY(EssayScorer::Grader(entry).endsWith(QStringLiteral("老师")));
}

void TestEssayCore::score_data()
{
    QTest::addColumn<int>("words");
    QTest::addColumn<int>("distinct");
    QTest::addColumn<int>("known");
    QTest::addColumn<int>("marks");
    QTest::addColumn<int>("penalty");
    QTest::addColumn<int>("hits");
    QTest::addColumn<int>("x");
    QTest::addColumn<double>("score");
    QTest::addColumn<QString>("verdict"); // empty: a graded report
    const QString v1 = QStringLiteral("该作文得分为：0分；原因：单词数量太少！");
    const QString v2 = QStringLiteral("该作文得分为：0分；原因：该作文使用的词汇量太少！");
    const QString v3 = QStringLiteral("该作文得分为：3分(勉励分)；原因：写作的词汇不够丰富！");
    const QString v4 = QStringLiteral("该作文得分为：5分(勉励分)；原因：写作的词汇较少！");
    const QString v5 = QStringLiteral("该作文得分为：0分；原因：单词出错率太高！");
    const QString v6 = QStringLiteral("该作文得分为：5分(勉励分)；原因：句子运用水平不高！");
    const QString v7 = QStringLiteral(
        "该作文得分为：5分(勉励分)；原因：文不答题！请认真领会作文题目的要求，正确使用单词。");
    // The clock is fixed to a second with draw x; x = 3 gives G = -1.5.
    QTest::newRow("100 words") << 100 << 60 << 50 << 10 << 0 << 2 << 3 << 22.5 << QString();
    QTest::newRow("100 words, no final mark")
        << 100 << 60 << 50 << 10 << -2 << 2 << 3 << 20.5 << QString();
    QTest::newRow("19 words") << 19 << 60 << 50 << 2 << 0 << 2 << 3 << 0.0 << v1;
    QTest::newRow("160 words: q 7") << 160 << 60 << 50 << 16 << 0 << 2 << 3 << 22.5 << QString();
    QTest::newRow("161 words: q 6") << 161 << 60 << 50 << 16 << 0 << 2 << 3 << 19.5 << QString();
    QTest::newRow("15 distinct") << 100 << 15 << 15 << 10 << 0 << 2 << 3 << 0.0 << v2;
    QTest::newRow("25 distinct") << 100 << 25 << 25 << 10 << 0 << 2 << 3 << 3.0 << v3;
    QTest::newRow("35 distinct") << 100 << 35 << 35 << 10 << 0 << 2 << 3 << 5.0 << v4;
    QTest::newRow("36 distinct goes on")
        << 100 << 36 << 36 << 10 << 0 << 2 << 3 << 22.5 << QString();
    QTest::newRow("few known") << 100 << 60 << 5 << 3 << 0 << 2 << 3 << 0.0 << v5;
    QTest::newRow("no marks") << 100 << 60 << 50 << 0 << 0 << 2 << 3 << 5.0 << v6;
    QTest::newRow("too many marks") << 100 << 60 << 50 << 30 << 0 << 2 << 3 << 5.0 << v6;
    QTest::newRow("no keyword") << 100 << 60 << 50 << 10 << 0 << 0 << 3 << 5.0 << v7;
    QTest::newRow("W 0.5") << 36 << 36 << 4 << 4 << 0 << 1 << 3 << 4.0 << QString();
    QTest::newRow("four hits: R 3") << 100 << 60 << 50 << 10 << 0 << 4 << 3 << 23.5 << QString();
    // R 1, q 2, end -2, G -3.0 (x 6), S 1.0, W 0.5: -0.5, stored as 0.0.
    QTest::newRow("lowest total stored as 0")
        << 36 << 36 << 4 << 2 << -2 << 1 << 6 << 0.0 << QString();
    QTest::newRow("x 1") << 100 << 60 << 50 << 10 << 0 << 2 << 1 << 23.5 << QString();
}

void TestEssayCore::score()
{
    QFETCH(int, words);
    QFETCH(int, distinct);
    QFETCH(int, known);
    QFETCH(int, marks);
    QFETCH(int, penalty);
    QFETCH(int, hits);
    QFETCH(int, x);
    QFETCH(double, score);
    QFETCH(QString, verdict);
    std::int64_t seconds = 1765000000;
    while (EssayScorer::StructureDraw(seconds) != x)
        ++seconds;
    EssayScorer::Inputs in;
    in.nWords = words;
    in.nDistinct = distinct;
    in.nKnown = known;
    in.nMarks = marks;
    in.endPenalty = penalty;
    in.keywordHits = hits;
    in.seconds = seconds;
    const EssayScorer::Result result = EssayScorer::Score(in);
    QCOMPARE(result.score, score);
    if (!verdict.isEmpty()) {
        QCOMPARE(result.report, verdict);
        return;
    }
    QVERIFY(result.report.startsWith(EssayScorer::Grader(x % 2 ? 3 : 0) +
                                     QStringLiteral("给你的作文评分：")));
    QCOMPARE(result.report.contains(QStringLiteral("五、文章没收尾或者忘记写标点，扣2分。\r\n")),
             penalty == -2);
    QVERIFY(result.report.endsWith(QString::asprintf("总结——文章的整体得分：%2.1f", score)));
}

void TestEssayCore::reportLayout()
{
    std::int64_t seconds = 1765000000;
    while (EssayScorer::StructureDraw(seconds) != 2)
        ++seconds;
    EssayScorer::Inputs in;
    in.nWords = 100;
    in.nDistinct = 60;
    in.nKnown = 50;
    in.nMarks = 10;
    in.endPenalty = -2;
    in.keywordHits = 2;
    in.seconds = seconds;
    const EssayScorer::Result result = EssayScorer::Score(in);
    // x = 2: G = -1.0, grader entry 0; 2 + 7 - 2 - 1 + 7 + 8 = 21.
    QCOMPARE(result.score, 21.0);
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

QTEST_APPLESS_MAIN(TestEssayCore)
#include "tst_essaycore.moc"
