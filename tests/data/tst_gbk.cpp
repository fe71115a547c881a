#include "Gbk.h"

#include <QTest>

namespace {
template <class... T> void Row(const char* name, const T&... cells)
{
    (QTest::newRow(name) << ... << cells);
}
} // namespace

class TestGbk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A text's GBK byte count, and its longest head and tail within a budget.
    void bytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("budget");
        QTest::addColumn<QString>("bytes"); // count|head|tail
        Row("ascii, all", "a\r\nb", 100, "4|a\r\nb|a\r\nb");
        // Two bytes a character: never half of one.
        Row("odd budget", "2010年江苏高考英语试题", 5, "22|2010|试题");
        Row("exact fit", "英语科模拟考试卷51", 6, "18|英语科|试卷51");
        Row("one byte", "，。！", 1, "6||");
        // Outside GBK: the one byte of the substitute; a surrogate pair kept whole.
        Row("emoji", "a\U0001F600b", 1, "3|a|b");
        Row("emoji at the end", "xa\U0001F600", 2, "3|xa|a\U0001F600");
        // Half a pair counts as one substitute byte, as any character GBK lacks.
        const QString high(QChar(0xD83D)), low(QChar(0xDE00)), hao = QStringLiteral("好");
        Row("high between", QString(hao + high + hao), 3,
            QString(u"5|" + hao + high + u'|' + high + hao));
        Row("low first", QString(low + u"abc"), 3, QString(u"4|" + low + u"ab|abc"));
        Row("high last", QString(u"abc" + high), 3, QString(u"4|abc|bc" + high));
    }
    void bytes()
    {
        QFETCH(QString, text);
        QFETCH(int, budget);
        QFETCH(QString, bytes);
        QCOMPARE(QString::number(Gbk::Length(text)) + QLatin1Char('|') + Gbk::Left(text, budget) +
                     QLatin1Char('|') + Gbk::Right(text, budget),
                 bytes);
    }
};

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
