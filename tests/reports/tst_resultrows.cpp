// What the results windows list, read from the database.

#include "ResultRows.h"
#include "TestSupport.h"

#include <QTest>

namespace {
// Cells joined by "|", rows by ";"; "failed" for a failed read.
QString Joined(const Results::Rows& read)
{
    QStringList rows;
    for (const QStringList& row : read.rows)
        rows << row.join(QLatin1Char('|'));
    return read.result == ExamDb::Result::Done ? rows.join(QLatin1Char(';'))
                                               : QStringLiteral("failed");
}
} // namespace

class TestResultRows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rowNumber_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("shown");
        QTest::newRow("9") << 9 << "009";
        QTest::newRow("10") << 10 << "010";
        QTest::newRow("99") << 99 << "099";
        QTest::newRow("100") << 100 << "100";
        QTest::newRow("1000") << 1000 << "1000";
    }
    void rowNumber()
    {
        QFETCH(int, n);
        QFETCH(QString, shown);
        QCOMPARE(Results::RowNumber(n), shown);
    }

    void rows()
    {
        ProgramFolder folder;
        QVERIFY(folder.Sql(QStringLiteral("INSERT INTO grades VALUES('p','t','李明',NULL)")));
        QVERIFY(folder.Sql(QStringLiteral("INSERT INTO answer VALUES ('P','01','A','A',1,1),"
                                          "('P','02','b','B',1,0),('P','03','C','C',2,2),"
                                          "('P','04',' ','D',1,0),('P','05','e','E',1,0)")));
        AppMessages messages;
        QCOMPARE(Joined(Results::GradeHistory(QStringLiteral("李明"))),
                 QStringLiteral("001|2010年江苏高考英语试题|2026-11-02 10:30:00|85;002|p|t|"));
        QCOMPARE(Joined(Results::AnswerStatus(QStringLiteral("P"))),
                 QStringLiteral("01|A|02|b|03|C;04| |05|e"));
        QCOMPARE(Joined(Results::WrongAnswers(QStringLiteral("P"))),
                 QStringLiteral("02|b|B|04| |D;05|e|E"));
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(folder.Sql(QStringLiteral("UPDATE grades SET 成绩=99999")));
        QCOMPARE(Joined(Results::GradeHistory(QStringLiteral("李明"))), QStringLiteral("failed"));
    }
};

QTEST_GUILESS_MAIN(TestResultRows)
#include "tst_resultrows.moc"
