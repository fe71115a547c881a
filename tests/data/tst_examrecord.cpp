// Kept exams: an answer card split into the sections of the paper, the record
// of a whole card, and the tables added to an older word.mdb at start and at
// build, its grades kept.

#include "ExamRecord.h"
#include "TestSupport.h"

#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString Paper = QStringLiteral("测试卷");
const QString Counts = QStringLiteral("SELECT (SELECT count(*) FROM grades)||'/'||"
                                      "(SELECT count(*) FROM exam)||'/'||"
                                      "(SELECT count(*) FROM exam_answer)");
const QString Columns = QStringLiteral("SELECT group_concat(name||' '||type||' '||\"notnull\"||' '"
                                       "||pk, ', ') FROM pragma_table_info('%1')");
// "题号=得分 ..." as the points of an answer card.
QList<Sections::QuestionPoints> Card(const QString& text)
{
    QList<Sections::QuestionPoints> card;
    for (const QString& pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        card.append(
            {pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1).toDouble()});
    return card;
}
} // namespace

class TestExamRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sections_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<double>("essay");
        QTest::addColumn<QList<double>>("points"); // section by section
        QTest::newRow("listening to 20, no essay")
            << u"01=1 20=1 21=1"_s << 0.0 << QList<double>{2, 1, 0, 0, 0, 0};
        QTest::newRow("single choice to 35")
            << u"35=1 36=1"_s << 0.0 << QList<double>{0, 1, 1, 0, 0, 0};
        QTest::newRow("cloze to 55") << u"55=1 56=2"_s << 0.0 << QList<double>{0, 0, 1, 2, 0, 0};
        QTest::newRow("reading, two points each, to 70")
            << u"56=2 70=2 71=1"_s << 0.0 << QList<double>{0, 0, 0, 4, 1, 0};
        QTest::newRow("task reading to 80, nothing after")
            << u"80=1 81=1 00=1 x=1"_s << 0.0 << QList<double>{0, 0, 0, 0, 1, 0};
        QTest::newRow("the best essay") << u""_s << 24.5 << QList<double>{0, 0, 0, 0, 0, 24.5};
    }

    void sections()
    {
        QFETCH(QString, card);
        QFETCH(double, essay);
        QFETCH(QList<double>, points);
        QList<double> shown;
        QList<int> full;
        for (const Sections::Score& score : Sections::Split(Card(card), essay)) {
            shown << score.points;
            full << score.full;
        }
        QCOMPARE(shown, points);
        QCOMPARE(full, (QList<int>{20, 15, 20, 30, 10, 25}));
    }

    void writtenBySection()
    {
        ProgramFolder folder;
        QVERIFY(folder.IsValid());
        // An answer card of 80 questions, every answer right: reading earns two points.
        QVERIFY(folder.Sql(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<80) "
            "INSERT INTO answer SELECT '测试卷',printf('%02d',i),'A','A',1+(i BETWEEN 56 AND 70),"
            "1+(i BETWEEN 56 AND 70) FROM n")));
        AppMessages messages;
        const ExamDb::Result result = ExamDb::WriteKeyed([](ExamDb::Connection& db) {
            db.Exec(Sql::InsertGrade, {Paper, QStringLiteral("2026-12-01 09:00:00"),
                                       QStringLiteral("O'Neil"), QStringLiteral("119.500000")});
            ExamRecord::Write(db,
                              ExamRecord::Build(db, Paper, QStringLiteral("2026-12-01 09:00:00"),
                                                QStringLiteral("O'Neil"),
                                                {24.5, QStringLiteral("A Visit"), {}, {}}));
        });
        QCOMPARE(result, ExamDb::Result::Done);
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(folder.Column(Counts), QStringList{QStringLiteral("3/1/80")});
        QCOMPARE(folder.Column(QStringLiteral(
                     "SELECT 考生姓名||' '||客观题得分||' '||听力得分||' '||单项填空得分||' '||"
                     "完形填空得分||' '||阅读理解得分||' '||任务型阅读得分||' '||作文得分||' '||"
                     "作文题目 FROM exam")),
                 QStringList{QStringLiteral("O'Neil 95.0 20.0 15.0 20.0 30.0 10.0 24.5 A Visit")});
    }

    void olderDatabaseIsUpgraded_data()
    {
        QTest::addColumn<bool>("atStart"); // else by the build's generator
        QTest::addColumn<bool>("oldHasExams");
        QTest::newRow("at start") << true << false;
        QTest::newRow("at build") << false << false;
        QTest::newRow("at build, exams kept") << false << true;
    }

    void olderDatabaseIsUpgraded()
    {
        QFETCH(bool, atStart);
        QFETCH(bool, oldHasExams);
        ProgramFolder folder;
        QVERIFY(folder.IsValid());
        const QString index = QStringLiteral(
            "SELECT group_concat(name, ', ') FROM pragma_index_info('exam_by_name')");
        const auto layout = [&] {
            return folder.Column(Columns.arg(QStringLiteral("exam"))) +
                   folder.Column(Columns.arg(QStringLiteral("exam_answer"))) + folder.Column(index);
        };
        const QStringList fresh = layout();
        const QString grades = QStringLiteral("SELECT 考生姓名||':'||成绩 FROM grades");
        const QStringList keptGrades = folder.Column(grades);
        if (oldHasExams) {
            QVERIFY(folder.Sql(QStringLiteral("INSERT INTO exam VALUES (7,'英语科模拟考试卷51',"
                                              "'2026-11-20 08:00',"
                                              "'李明',60,20,10,10,10,20,10,'','','')")));
            QVERIFY(
                folder.Sql(QStringLiteral("INSERT INTO exam_answer VALUES (7,'01','A','A',1,1)")));
        } else {
            QVERIFY(folder.Sql(QStringLiteral("DROP TABLE exam_answer")));
            QVERIFY(folder.Sql(QStringLiteral("DROP TABLE exam")));
        }

        if (atStart) {
            QVERIFY(EnsureExamTables());
        } else {
            QProcess mkdb;
            mkdb.start(QStringLiteral(ORDWIN_MKDB),
                       {QStringLiteral("--out"), folder.DatabasePath(), QStringLiteral("--schema"),
                        QStringLiteral(ORDWIN_SCHEMA), QStringLiteral("--keep-grades")});
            QVERIFY(mkdb.waitForFinished(60000));
            QCOMPARE(mkdb.exitCode(), 0);
        }
        QCOMPARE(layout(), fresh);
        QCOMPARE(folder.Column(grades), keptGrades);
        QCOMPARE(
            folder.Column(QStringLiteral("SELECT 编号||' '||考生姓名 FROM exam JOIN exam_answer "
                                         "ON 考试编号=编号")),
            oldHasExams ? QStringList{QStringLiteral("7 李明")} : QStringList());
    }
};

QTEST_MAIN(TestExamRecord)
#include "tst_examrecord.moc"
