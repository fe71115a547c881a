// The exam's rules without a window: the catalogue, names and times, the
// answer card's numbers and marking.

#include "Catalogue.h"
#include "ExamDb.h"
#include "Marking.h"
#include "TestSupport.h"

#include <QTest>

class TestExamCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void catalogue_data();
    void catalogue();
    void selectionOutsideTheListKeepsThePath();
    void paperNameFromPath_data();
    void paperNameFromPath();
    void timeLeft_data();
    void timeLeft();
    void listeningFileName_data();
    void listeningFileName();
    void questionNumbers_data();
    void questionNumbers();
    void score_data();
    void score();
    void recordAndMark_data();
    void recordAndMark();
    void markingUsesTheFirstKeyRowOnly();
    void markingOnABrokenDatabaseRecordsNothing();
};

void TestExamCore::catalogue_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("paper");
    const char* years[] = {"2006", "2007", "2008", "2009", "2010", "2011"};
    for (int i = 0; i < 6; ++i) {
        const QString name = QString::fromUtf8(years[i]) + QStringLiteral("年江苏高考英语试题");
        QTest::addRow("%s", years[i])
            << i << name << QStringLiteral("\\etp\\") + name + QStringLiteral(".doc") << name;
    }
    for (int mock = 1; mock <= 12; ++mock) {
        const QString stored = QStringLiteral("英语科模拟考试卷%1").arg(mock + 50);
        QTest::addRow("mock %02d", mock)
            << mock + 5 << QStringLiteral("英语科模拟考试卷%1").arg(mock, 2, 10, QLatin1Char('0'))
            << QStringLiteral("\\etp\\") + stored + QStringLiteral(".doc") << stored;
    }
}

void TestExamCore::catalogue()
{
    QFETCH(int, position);
    QFETCH(QString, entry);
    QFETCH(QString, path);
    QFETCH(QString, paper);
    QCOMPARE(Catalogue::ListEntry(position), entry);
    QCOMPARE(Catalogue::DocPath(position), path);
    QCOMPARE(PaperNameFromPath(path), paper);
}

void TestExamCore::selectionOutsideTheListKeepsThePath()
{
    const QString current = QStringLiteral("\\etp\\2009年江苏高考英语试题.doc");
    QCOMPARE(Catalogue::DocPathAfterSelection(-1, current), current);
    QCOMPARE(Catalogue::DocPathAfterSelection(8, current),
             QStringLiteral("\\etp\\英语科模拟考试卷53.doc"));
}

void TestExamCore::paperNameFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("paper");
    QTest::newRow("year") << QStringLiteral("\\etp\\2010年江苏高考英语试题.doc")
                          << QStringLiteral("2010年江苏高考英语试题");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no dot") << QStringLiteral("\\etp\\2010年") << QString();
    QTest::newRow("text before the first dot")
        << QStringLiteral("\\etp\\a.b.doc") << QStringLiteral("a");
    QTest::newRow("leading e t p characters all go")
        << QStringLiteral("\\etp\\test.doc") << QStringLiteral("st");
}

void TestExamCore::paperNameFromPath()
{
    QFETCH(QString, path);
    QFETCH(QString, paper);
    QCOMPARE(PaperNameFromPath(path), paper);
}

void TestExamCore::timeLeft_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("120") << 120 << QStringLiteral("02:00");
    QTest::newRow("119") << 119 << QStringLiteral("01:59");
    QTest::newRow("5") << 5 << QStringLiteral("00:05");
    QTest::newRow("0") << 0 << QStringLiteral("00:00");
    QTest::newRow("75") << 75 << QStringLiteral("01:15");
    QTest::newRow("6000") << 6000 << QStringLiteral("100:00");
    QTest::newRow("59999") << 59999 << QStringLiteral("999:59");
}

void TestExamCore::timeLeft()
{
    QFETCH(int, minutes);
    QFETCH(QString, shown);
    QCOMPARE(TimeLeftText(minutes), shown);
}

void TestExamCore::listeningFileName_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("file");
    QTest::newRow("2006") << 0 << QStringLiteral("2006年江苏高考听力.mp3");
    QTest::newRow("2010") << 4 << QStringLiteral("2010年江苏高考听力.mp3");
    QTest::newRow("mock 01") << 6 << QStringLiteral("51江苏高考听力.mp3");
    QTest::newRow("mock 12") << 17 << QStringLiteral("62江苏高考听力.mp3");
}

void TestExamCore::listeningFileName()
{
    QFETCH(int, position);
    QFETCH(QString, file);
    QCOMPARE(ListeningFileName(Catalogue::DocPath(position)), file);
}

void TestExamCore::questionNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("digits");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::newRow("7") << QStringLiteral("7") << true << QStringLiteral("07");
    QTest::newRow("07") << QStringLiteral("07") << true << QStringLiteral("07");
    QTest::newRow("0") << QStringLiteral("0") << true << QStringLiteral("00");
    QTest::newRow("12") << QStringLiteral("12") << true << QStringLiteral("12");
    QTest::newRow("0012") << QStringLiteral("0012") << true << QStringLiteral("12");
    QTest::newRow("letter") << QStringLiteral("1a") << false << QString();
    QTest::newRow("minus") << QStringLiteral("-1") << false << QString();
    QTest::newRow("blank inside") << QStringLiteral("1 2") << false << QString();
    QTest::newRow("full-width digit") << QStringLiteral("１") << false << QString();
    QTest::newRow("int max") << QStringLiteral("2147483647") << true
                             << QStringLiteral("2147483647");
    QTest::newRow("beyond int") << QStringLiteral("2147483648") << true << QString();
    QTest::newRow("far beyond") << QStringLiteral("99999999999999999999999999") << true
                                << QString();
}

void TestExamCore::questionNumbers()
{
    QFETCH(QString, typed);
    QFETCH(bool, digits);
    QFETCH(QString, stored);
    QCOMPARE(Marking::IsAllDigits(typed), digits);
    const std::optional<int> number = Marking::QuestionNumber(typed);
    QCOMPARE(number.has_value(), !stored.isEmpty());
    if (number)
        QCOMPARE(Marking::QuestionNumberText(*number), stored);
}

void TestExamCore::score_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("score");
    QTest::newRow("letter right") << QStringLiteral("B") << 1 << QStringLiteral("B") << 1;
    QTest::newRow("letter wrong") << QStringLiteral("B") << 1 << QStringLiteral("C") << 0;
    QTest::newRow("lower case") << QStringLiteral("B") << 1 << QStringLiteral("b") << 0;
    QTest::newRow("two points") << QStringLiteral("D") << 2 << QStringLiteral("D") << 2;
    QTest::newRow("first of two") << QStringLiteral("am/is") << 1 << QStringLiteral("am") << 1;
    QTest::newRow("second of two") << QStringLiteral("am/is") << 1 << QStringLiteral("is") << 1;
    QTest::newRow("capitalised") << QStringLiteral("am/is") << 1 << QStringLiteral("Am") << 0;
    QTest::newRow("leading blank") << QStringLiteral("am/is") << 1 << QStringLiteral(" am") << 0;
    QTest::newRow("trailing blank")
        << QStringLiteral("Reasons") << 1 << QStringLiteral("Reasons ") << 0;
    QTest::newRow("whole key with slash")
        << QStringLiteral("am/is") << 1 << QStringLiteral("am/is") << 0;
    QTest::newRow("eighth of eight")
        << QStringLiteral("a/b/c/d/e/f/g/h") << 1 << QStringLiteral("h") << 1;
    QTest::newRow("blank key, blank answer")
        << QStringLiteral(" ") << 1 << QStringLiteral(" ") << 1;
    QTest::newRow("blank answer") << QStringLiteral("B") << 1 << QStringLiteral(" ") << 0;
    QTest::newRow("empty alternative") << QStringLiteral("am/") << 1 << QString() << 1;
    QTest::newRow("no key row") << QString() << 0 << QStringLiteral("A") << 0;
}

void TestExamCore::score()
{
    QFETCH(QString, key);
    QFETCH(int, points);
    QFETCH(QString, answer);
    QFETCH(int, score);
    QCOMPARE(Marking::Score(key, points, answer), score);
}

void TestExamCore::recordAndMark_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("row"); // 回答|得分 afterwards
    QTest::newRow("07 B") << QStringLiteral("07") << QStringLiteral("B") << QStringLiteral("B|1");
    QTest::newRow("07 C") << QStringLiteral("07") << QStringLiteral("C") << QStringLiteral("C|0");
    QTest::newRow("reading, two points")
        << QStringLiteral("56") << QStringLiteral("D") << QStringLiteral("D|2");
    QTest::newRow("am/is: is") << QStringLiteral("71") << QStringLiteral("is")
                               << QStringLiteral("is|1");
    QTest::newRow("am/is: Am") << QStringLiteral("71") << QStringLiteral("Am")
                               << QStringLiteral("Am|0");
    QTest::newRow("quote") << QStringLiteral("71") << QStringLiteral("I'm")
                           << QStringLiteral("I'm|0");
    QTest::newRow("blank key") << QStringLiteral("72") << QStringLiteral(" ")
                               << QStringLiteral(" |1");
    QTest::newRow("no such question") << QStringLiteral("99") << QStringLiteral("A") << QString();
}

void TestExamCore::recordAndMark()
{
    QFETCH(QString, number);
    QFETCH(QString, answer);
    QFETCH(QString, row);
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    const QString paper = QStringLiteral("2010年江苏高考英语试题");
    QCOMPARE(Marking::RecordAndMark(paper, number, answer),
             row.isEmpty() ? Marking::Outcome::NoSuchQuestion : Marking::Outcome::Marked);
    QVERIFY(messages.texts.isEmpty());
    const QStringList rows = folder.Column(
        QStringLiteral("SELECT 回答||'|'||得分 FROM answer WHERE 卷名='%1' AND 题号='%2'")
            .arg(paper, number));
    QCOMPARE(rows, row.isEmpty() ? QStringList() : QStringList{row});
    // Other papers' rows are untouched.
    QCOMPARE(
        folder.Column(QStringLiteral("SELECT COUNT(*) FROM answer WHERE 卷名<>'%1' AND 回答<>' '")
                          .arg(paper)),
        QStringList{QStringLiteral("0")});
}

void TestExamCore::markingUsesTheFirstKeyRowOnly()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(folder.Sql(QStringLiteral("UPDATE answer SET 分值=NULL WHERE 题号='08'")));
    AppMessages messages;
    const QString paper = QStringLiteral("2010年江苏高考英语试题");
    QCOMPARE(Marking::RecordAndMark(paper, QStringLiteral("08"), QStringLiteral("C")),
             Marking::Outcome::Marked);
    QCOMPARE(folder.Column(QStringLiteral("SELECT 回答||'|'||得分 FROM answer WHERE 题号='08'")),
             QStringList{QStringLiteral("C|0")});
}

void TestExamCore::markingOnABrokenDatabaseRecordsNothing()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    // The key cannot be read: the points are out of range.
    QVERIFY(folder.Sql(QStringLiteral("UPDATE answer SET 分值=99999 WHERE 题号='07'")));
    AppMessages messages;
    const QString paper = QStringLiteral("2010年江苏高考英语试题");
    QCOMPARE(Marking::RecordAndMark(paper, QStringLiteral("07"), QStringLiteral("B")),
             Marking::Outcome::Failed);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.front().startsWith(QStringLiteral("数据库错误: ")));
    // The answer was not left recorded without its score.
    QCOMPARE(folder.Column(QStringLiteral("SELECT 回答||'|'||得分 FROM answer WHERE 题号='07'")),
             QStringList{QStringLiteral(" |0")});
}

QTEST_GUILESS_MAIN(TestExamCore)
#include "tst_examcore.moc"
