#include "Gbk.h"
#include "TextResource.h"

#include <QStringEncoder>
#include <QTest>

namespace {
QString TestText(const char* name)
{
    return QStringLiteral(ORDWIN_TEST_TEXTS "/") + QString::fromUtf8(name);
}
} // namespace

class TestTextResource : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cap_data();
    void cap();
    void stopsAtNul();
    void missingTextIsEmpty();
    void builtInTextsShowWhole_data();
    void builtInTextsShowWhole();
    void usageHasTwelveSteps();
};

void TestTextResource::cap_data()
{
    QTest::addColumn<qsizetype>("cap");
    QTest::addColumn<QString>("expected");
    // "第一行\n第二行": 3 Chinese characters, a line break, 3 more: 13 bytes.
    QTest::newRow("no cut") << qsizetype(13) << QStringLiteral("第一行\n第二行");
    QTest::newRow("above length") << qsizetype(100) << QStringLiteral("第一行\n第二行");
    QTest::newRow("exactly after the break") << qsizetype(7) << QStringLiteral("第一行\n");
    QTest::newRow("inside a character") << qsizetype(12) << QStringLiteral("第一行\n第二");
    QTest::newRow("inside the first") << qsizetype(1) << QString();
    QTest::newRow("zero") << qsizetype(0) << QString();
}

void TestTextResource::cap()
{
    QFETCH(qsizetype, cap);
    QFETCH(QString, expected);
    const QString text = LoadTextFile(TestText("short.txt"), cap);
    QCOMPARE(text, expected);
    QVERIFY(Gbk::Length(text) <= cap);
}

void TestTextResource::stopsAtNul()
{
    QCOMPARE(LoadTextFile(TestText("nul.txt")), QStringLiteral("before the zero"));
    QCOMPARE(LoadTextFile(TestText("nul.txt"), 6), QStringLiteral("before"));
}

void TestTextResource::missingTextIsEmpty()
{
    QCOMPARE(LoadTextResource(9999), QString());
    QCOMPARE(LoadTextResource(9999, 10), QString());
}

void TestTextResource::builtInTextsShowWhole_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<qsizetype>("cap");
    QTest::addColumn<QString>("heading");
    QTest::newRow("exam rules") << TextId::ExamRules << TextCap::ExamRules
                                << QStringLiteral("高考考生守则、考场规则及考试注意事项");
    QTest::newRow("usage") << TextId::Usage << TextCap::Usage << QStringLiteral("使用说明");
    QTest::newRow("preface") << TextId::Preface << qsizetype(1 << 20) << QStringLiteral("前  言");
}

void TestTextResource::builtInTextsShowWhole()
{
    QFETCH(int, id);
    QFETCH(qsizetype, cap);
    QFETCH(QString, heading);
    const QString whole = LoadTextResource(id);
    QVERIFY(!whole.isEmpty());
    QCOMPARE(whole.section(QLatin1Char('\n'), 0, 0), heading);
    QVERIFY2(Gbk::Length(whole) <= cap,
             qPrintable(QStringLiteral("%1 GBK bytes").arg(Gbk::Length(whole))));
    QCOMPARE(LoadTextResource(id, cap), whole);
    // Every character is one GBK can encode, so the byte count is true.
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(whole);
    QVERIFY(!encoder.hasError());
    QCOMPARE(bytes.size(), Gbk::Length(whole));
}

void TestTextResource::usageHasTwelveSteps()
{
    const QString text = LoadTextResource(TextId::Usage, TextCap::Usage);
    for (int step = 1; step <= 12; ++step)
        QVERIFY2(text.contains(QStringLiteral("\n%1.").arg(step)),
                 qPrintable(QString::number(step)));
    QVERIFY(!text.contains(QStringLiteral("\n13.")));
}

QTEST_GUILESS_MAIN(TestTextResource)
#include "tst_textresource.moc"
