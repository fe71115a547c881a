// The exam's rules without a window: catalogue, names, time, answer card.

#include "Catalogue.h"
#include "Marking.h"
#include "TestSupport.h"

#include <QFile>
#include <QTest>

namespace {
template <class... T> void Row(const char* name, const T&... cells)
{
    (QTest::newRow(name) << ... << cells);
}
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

    void timeLeft_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("shown");
        Row("9", 9, "00:09");
        Row("59", 59, "00:59");
        Row("60", 60, "01:00");
        Row("70", 70, "01:10");
        Row("119", 119, "01:59");
        Row("6000", 6000, "100:00");
    }
    void timeLeft()
    {
        QFETCH(int, minutes);
        QFETCH(QString, shown);
        QCOMPARE(TimeLeftText(minutes), shown);
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
        const QString paper = QStringLiteral("2010年江苏高考英语试题");
        const bool failed = changed == QLatin1String("failed");
        QCOMPARE(Marking::RecordAndMark(paper, number, answer),
                 failed              ? Marking::Outcome::Failed
                 : changed.isEmpty() ? Marking::Outcome::NoSuchQuestion
                                     : Marking::Outcome::Marked);
        QCOMPARE(messages.texts.size(), failed ? 1 : 0);
        QCOMPARE(folder.Column(QStringLiteral("SELECT 卷名||'|'||题号||'|'||回答||'|'||得分 "
                                              "FROM answer WHERE 回答<>' ' OR 得分<>0")),
                 changed.isEmpty() || failed ? QStringList()
                                             : QStringList{paper + QLatin1Char('|') + changed});
    }
};

QTEST_GUILESS_MAIN(TestExamCore)
#include "tst_examcore.moc"
