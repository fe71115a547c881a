#include "Gbk.h"

#include <QTest>

class TestGbk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void length_data();
    void length();
    void left_data();
    void left();
    void right_data();
    void right();
};

void TestGbk::length_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("bytes");
    QTest::newRow("empty") << QString() << qsizetype(0);
    QTest::newRow("ascii") << QStringLiteral("Hello, world.") << qsizetype(13);
    QTest::newRow("paper name") << QStringLiteral("2010年江苏高考英语试题") << qsizetype(22);
    QTest::newRow("mock paper") << QStringLiteral("英语科模拟考试卷51") << qsizetype(18);
    QTest::newRow("full-width punctuation") << QStringLiteral("，。！") << qsizetype(6);
    QTest::newRow("line break") << QStringLiteral("a\r\nb") << qsizetype(4);
    // Outside GBK: one substitute byte, also for a character beyond the BMP.
    QTest::newRow("emoji") << QStringLiteral("a\U0001F600b") << qsizetype(3);
}

void TestGbk::length()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, bytes);
    QCOMPARE(Gbk::Length(text), bytes);
}

void TestGbk::left_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("bytes");
    QTest::addColumn<QString>("expected");
    const QString paper = QStringLiteral("2010年江苏高考英语试题");
    QTest::newRow("first six bytes") << paper << qsizetype(6) << QStringLiteral("2010年");
    QTest::newRow("first four bytes") << paper << qsizetype(4) << QStringLiteral("2010");
    QTest::newRow("never half a character") << paper << qsizetype(5) << QStringLiteral("2010");
    QTest::newRow("mock prefix") << QStringLiteral("英语科模拟考试卷62") << qsizetype(6)
                                 << QStringLiteral("英语科");
    QTest::newRow("more than the text")
        << QStringLiteral("abc") << qsizetype(10) << QStringLiteral("abc");
    QTest::newRow("zero") << QStringLiteral("abc") << qsizetype(0) << QString();
    QTest::newRow("surrogate pair kept whole")
        << QStringLiteral("a\U0001F600b") << qsizetype(2) << QStringLiteral("a\U0001F600");
}

void TestGbk::left()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, bytes);
    QFETCH(QString, expected);
    QCOMPARE(Gbk::Left(text, bytes), expected);
}

void TestGbk::right_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mock number") << QStringLiteral("英语科模拟考试卷62") << qsizetype(2)
                                 << QStringLiteral("62");
    QTest::newRow("chinese end") << QStringLiteral("abc题") << qsizetype(3)
                                 << QStringLiteral("c题");
    QTest::newRow("never half a character") << QStringLiteral("ab题") << qsizetype(1) << QString();
    QTest::newRow("surrogate pair kept whole")
        << QStringLiteral("a\U0001F600") << qsizetype(1) << QStringLiteral("\U0001F600");
}

void TestGbk::right()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, bytes);
    QFETCH(QString, expected);
    QCOMPARE(Gbk::Right(text, bytes), expected);
}

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
