#include "TextResource.h"

#include <QTest>

class TestTextResource : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QString>("file"); // in the test texts' folder, or a resource
        QTest::addColumn<int>("cap");      // -1: none
        QTest::addColumn<QString>("text");
        // "第一行\n第二行" takes 13 GBK bytes.
        QTest::newRow("cut") << "short.txt" << 12 << "第一行\n第二";
        QTest::newRow("up to the NUL") << "nul.txt" << -1 << "before the zero";
        QTest::newRow("no such text") << ":/data/9999" << -1 << "";
    }
    void load()
    {
        QFETCH(QString, file);
        QFETCH(int, cap);
        QFETCH(QString, text);
        if (!file.startsWith(QLatin1Char(':')))
            file.prepend(QStringLiteral(ORDWIN_TEST_TEXTS "/"));
        QCOMPARE(LoadTextFile(file, cap < 0 ? std::nullopt : std::optional<qsizetype>(cap)), text);
    }

    // The built-in texts under their ids, each whole within its cap.
    void builtInTexts()
    {
        const QString rules = LoadTextResource(TextId::ExamRules);
        QVERIFY(rules.startsWith(QStringLiteral("高考考生守则、考场规则及考试注意事项\n")));
        QCOMPARE(LoadTextResource(TextId::ExamRules, TextCap::ExamRules), rules);
        const QString usage = LoadTextResource(TextId::Usage);
        QVERIFY(usage.startsWith(QStringLiteral("使用说明\n")));
        QCOMPARE(LoadTextResource(TextId::Usage, TextCap::Usage), usage);
        QVERIFY(LoadTextResource(TextId::Preface).startsWith(QStringLiteral("前  言\n")));
    }
};

QTEST_GUILESS_MAIN(TestTextResource)
#include "tst_textresource.moc"
