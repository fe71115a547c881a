#include "ExamDb.h"
#include "TestSupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QTest>

using ExamDb::Result;
using ExamDb::Row;

namespace {
QStringList NoDrivers()
{
    return {QStringLiteral("QPSQL"), QStringLiteral("qsqlite")};
}

const QString Paper = QStringLiteral("2010年江苏高考英语试题");
} // namespace

class TestExamDb : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scanDriverList_data();
    void scanDriverList();
    void installedDriverIsFound();
    void noDriverReportsAndConnectsNothing();

    void readsRowsInOrder();
    void shortTruncatesTowardZero_data();
    void shortTruncatesTowardZero();
    void nullColumns();
    void readErrorKeepsRowsReadBefore();
    void missingColumnIsAnError();
    void missingFileIsReportedAndNotCreated_data();
    void missingFileIsReportedAndNotCreated();
    void missingTableIsReportedOnce();
    void folderNameWithUriCharacters();

    void valueWithQuoteIsStoredAndFound();
    void writeSeesItsOwnChanges();
    void failedWriteRollsBackTheWholeOperation();
    void readOperationCannotWrite();
    void connectionsAreClosed();
};

void TestExamDb::scanDriverList_data()
{
    QTest::addColumn<QStringList>("drivers");
    QTest::addColumn<QString>("expected");
    QTest::newRow("installed") << QStringList{QStringLiteral("QSQLITE"), QStringLiteral("QPSQL")}
                               << QStringLiteral("QSQLITE");
    QTest::newRow("first match wins")
        << QStringList{QStringLiteral("QODBC"), QStringLiteral("QSQLITE2"),
                       QStringLiteral("QSQLITE")}
        << QStringLiteral("QSQLITE2");
    QTest::newRow("name containing it, returned whole")
        << QStringList{QStringLiteral("MY_SQLITE_DRIVER")} << QStringLiteral("MY_SQLITE_DRIVER");
    QTest::newRow("case-sensitive")
        << QStringList{QStringLiteral("qsqlite"), QStringLiteral("Sqlite")} << QString();
    QTest::newRow("none") << QStringList{QStringLiteral("QPSQL"), QStringLiteral("QMYSQL")}
                          << QString();
    QTest::newRow("empty list") << QStringList{} << QString();
}

void TestExamDb::scanDriverList()
{
    QFETCH(QStringList, drivers);
    QFETCH(QString, expected);
    QCOMPARE(ExamDb::ScanDriverList(drivers), expected);
}

void TestExamDb::installedDriverIsFound()
{
    QCOMPARE(ExamDb::FindAccessDriver(), QStringLiteral("QSQLITE"));
}

void TestExamDb::noDriverReportsAndConnectsNothing()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    const auto previous = ExamDb::SetDriverSource(&NoDrivers);
    bool bodyRan = false;
    const Result read = ExamDb::ReadKeyed([&](ExamDb::Connection&) { bodyRan = true; });
    const Result write = ExamDb::WriteKeyed([&](ExamDb::Connection&) { bodyRan = true; });
    ExamDb::SetDriverSource(previous);
    QCOMPARE(read, Result::NoDriver);
    QCOMPARE(write, Result::NoDriver);
    QVERIFY(!bodyRan);
    QCOMPARE(messages.texts, QStringList(2, QStringLiteral("没有安装Access驱动!")));
}

void TestExamDb::readsRowsInOrder()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    QStringList numbers, keys;
    QList<qint16> points;
    const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::FetchKey, {QStringLiteral("71"), Paper}, [&](const Row& row) {
            keys << row.Text("答案");
            points << row.Short("分值").value_or(-1);
        });
        db.Query(Sql::ListAnswers, {Paper},
                 [&](const Row& row) { numbers << row.Text("题号") + row.Text("回答"); });
    });
    QCOMPARE(result, Result::Done);
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(keys, QStringList{QStringLiteral("am/is")});
    QCOMPARE(points, QList<qint16>{1});
    numbers.sort();
    QCOMPARE(numbers,
             (QStringList{QStringLiteral("01 "), QStringLiteral("02 "), QStringLiteral("07 "),
                          QStringLiteral("08 "), QStringLiteral("56 "), QStringLiteral("71 "),
                          QStringLiteral("72 "), QStringLiteral("73 ")}));
}

void TestExamDb::shortTruncatesTowardZero_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("whole") << QStringLiteral("77") << 77;
    QTest::newRow("fraction down") << QStringLiteral("85.5") << 85;
    QTest::newRow("fraction near up") << QStringLiteral("85.999") << 85;
    QTest::newRow("negative toward zero") << QStringLiteral("-2.5") << -2;
    QTest::newRow("zero") << QStringLiteral("0.0") << 0;
    QTest::newRow("top of range") << QStringLiteral("32767.9") << 32767;
    QTest::newRow("bottom of range") << QStringLiteral("-32768") << -32768;
}

void TestExamDb::shortTruncatesTowardZero()
{
    QFETCH(QString, stored);
    QFETCH(int, expected);
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(
        folder.Sql(QStringLiteral("INSERT INTO grades VALUES('p','t','short',%1)").arg(stored)));
    AppMessages messages;
    std::optional<qint16> read;
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::GradeHistory, {QStringLiteral("short")},
                 [&](const Row& row) { read = row.Short("成绩"); });
    });
    QVERIFY(messages.texts.isEmpty());
    QVERIFY(read.has_value());
    QCOMPARE(int(*read), expected);
}

void TestExamDb::nullColumns()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(folder.Sql(QStringLiteral("INSERT INTO answer(卷名,题号,回答,答案,分值,得分) "
                                      "VALUES('空卷','01',' ','A',NULL,NULL)")));
    QVERIFY(folder.Sql(QStringLiteral("INSERT INTO grades VALUES(NULL,NULL,'无名',NULL)")));
    AppMessages messages;
    std::optional<qint16> points{qint16(5)};
    QString paper = QStringLiteral("not read");
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::FetchKey, {QStringLiteral("01"), QStringLiteral("空卷")},
                 [&](const Row& row) { points = row.Short("分值"); });
        db.Query(Sql::GradeHistory, {QStringLiteral("无名")},
                 [&](const Row& row) { paper = row.Text("试题名"); });
    });
    QVERIFY(messages.texts.isEmpty());
    QVERIFY(!points.has_value());
    QCOMPARE(paper, QString());
}

void TestExamDb::readErrorKeepsRowsReadBefore()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    // The third grade of this student does not fit a 16-bit whole number.
    QVERIFY(folder.Sql(
        QStringLiteral("INSERT INTO grades VALUES('a','2026-01-01 09:00:00','王芳',90)")));
    QVERIFY(folder.Sql(
        QStringLiteral("INSERT INTO grades VALUES('b','2026-01-02 09:00:00','王芳',80)")));
    QVERIFY(folder.Sql(
        QStringLiteral("INSERT INTO grades VALUES('c','2026-01-03 09:00:00','王芳',70000)")));
    QVERIFY(folder.Sql(
        QStringLiteral("INSERT INTO grades VALUES('d','2026-01-04 09:00:00','王芳',60)")));
    AppMessages messages;
    QList<int> scores;
    bool afterQuery = false;
    const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::GradeHistory, {QStringLiteral("王芳")},
                 [&](const Row& row) { scores << *row.Short("成绩"); });
        afterQuery = true;
    });
    QCOMPARE(result, Result::Failed);
    QCOMPARE(scores, (QList<int>{90, 80}));
    QVERIFY(!afterQuery);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.front().startsWith(QStringLiteral("数据库错误: ")));
    QVERIFY(messages.texts.front().contains(QStringLiteral("out of range")));
}

void TestExamDb::missingColumnIsAnError()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::ListAnswers, {Paper}, [&](const Row& row) { row.Text("答案"); });
    });
    QCOMPARE(result, Result::Failed);
    QCOMPARE(messages.texts, QStringList{QStringLiteral("数据库错误: no such column: 答案")});
}

void TestExamDb::missingFileIsReportedAndNotCreated_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void TestExamDb::missingFileIsReportedAndNotCreated()
{
    QFETCH(bool, write);
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(QFile::remove(folder.DatabasePath()));
    AppMessages messages;
    bool bodyRan = false;
    const auto body = [&](ExamDb::Connection&) { bodyRan = true; };
    const Result result = write ? ExamDb::WriteKeyed(body) : ExamDb::ReadKeyed(body);
    QCOMPARE(result, Result::Failed);
    QVERIFY(!bodyRan);
    QVERIFY(!QFile::exists(folder.DatabasePath()));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.front().startsWith(QStringLiteral("数据库错误: ")));
    QVERIFY(messages.texts.front().size() > QStringLiteral("数据库错误: ").size());
}

void TestExamDb::missingTableIsReportedOnce()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(folder.Sql(QStringLiteral("DROP TABLE write")));
    AppMessages messages;
    int statementsAfter = 0;
    const Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::EssayKeywords, {Paper}, [](const Row&) {});
        ++statementsAfter;
    });
    QCOMPARE(result, Result::Failed);
    QCOMPARE(statementsAfter, 0);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.front().contains(QStringLiteral("no such table: write")));
}

void TestExamDb::folderNameWithUriCharacters()
{
    ProgramFolder folder(QStringLiteral("考试 #1?%20-XXXXXX"));
    QVERIFY(folder.IsValid());
    AppMessages messages;
    int rows = 0;
    const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::ListAnswers, {Paper}, [&](const Row&) { ++rows; });
    });
    QCOMPARE(result, Result::Done);
    QCOMPARE(rows, 8);
    QVERIFY(messages.texts.isEmpty());
}

void TestExamDb::valueWithQuoteIsStoredAndFound()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    const QString name = QStringLiteral("D'Arcy '); DROP TABLE grades; --");
    const Result write = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        db.Exec(Sql::InsertGrade, {Paper, QStringLiteral("2026-12-07 10:00:00"), name, 88.000000});
        db.Exec(Sql::StoreAnswer, {QStringLiteral("I'm"), QStringLiteral("71"), Paper});
    });
    QCOMPARE(write, Result::Done);
    QStringList times;
    QString answer;
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::GradeHistory, {name}, [&](const Row& row) { times << row.Text("考试时间"); });
        db.Query(Sql::ListAnswers, {Paper}, [&](const Row& row) {
            if (row.Text("题号") == QLatin1String("71"))
                answer = row.Text("回答");
        });
    });
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(times, QStringList{QStringLiteral("2026-12-07 10:00:00")});
    QCOMPARE(answer, QStringLiteral("I'm"));
    // The statement-like name was only a value: the table is whole.
    QCOMPARE(folder.Column(QStringLiteral("SELECT COUNT(*) FROM grades")),
             QStringList{QStringLiteral("3")});
    QStringList scores;
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        db.Query(Sql::GradeHistory, {QStringLiteral("O'Brien")},
                 [&](const Row& row) { scores << QString::number(*row.Short("成绩")); });
    });
    QCOMPARE(scores, QStringList{QStringLiteral("77")});
}

void TestExamDb::writeSeesItsOwnChanges()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    QString key;
    std::optional<qint16> points;
    const Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        db.Exec(Sql::StoreAnswer, {QStringLiteral("B"), QStringLiteral("01"), Paper});
        db.Query(Sql::FetchKey, {QStringLiteral("01"), Paper}, [&](const Row& row) {
            key = row.Text("答案");
            points = row.Short("分值");
        });
        db.Exec(Sql::StoreScore, {int(*points), QStringLiteral("01"), Paper});
    });
    QCOMPARE(result, Result::Done);
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(key, QStringLiteral("B"));
    QCOMPARE(folder.Column(
                 QStringLiteral("SELECT 回答||'/'||得分 FROM answer WHERE 题号='01' AND 卷名='%1'")
                     .arg(Paper)),
             QStringList{QStringLiteral("B/1")});
}

void TestExamDb::failedWriteRollsBackTheWholeOperation()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    QVERIFY(folder.Sql(QStringLiteral("UPDATE answer SET 回答='C', 得分=1")));
    AppMessages messages;
    const Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
        db.Exec(Sql::ResetAnswers);
        db.Exec(Sql::StoreScore, {1, QStringLiteral("01"), QStringLiteral("no such paper")});
        db.Query(Sql::EssayKeywords, {Paper}, [&](const Row& row) { row.Short("missing"); });
    });
    QCOMPARE(result, Result::Failed);
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(folder.Column(QStringLiteral("SELECT DISTINCT 回答||得分 FROM answer")),
             QStringList{QStringLiteral("C1")});
}

void TestExamDb::readOperationCannotWrite()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    const Result result =
        ExamDb::ReadKeyed([&](ExamDb::Connection& db) { db.Exec(Sql::ResetAnswers); });
    QCOMPARE(result, Result::Failed);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.front().contains(QStringLiteral("readonly")));
    QCOMPARE(folder.Column(QStringLiteral("SELECT COUNT(*) FROM answer WHERE 回答=' '")),
             QStringList{QStringLiteral("11")});
}

void TestExamDb::connectionsAreClosed()
{
    ProgramFolder folder;
    QVERIFY(folder.IsValid());
    AppMessages messages;
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
        QCOMPARE(QSqlDatabase::connectionNames().size(), 1);
        db.Query(Sql::ListAnswers, {Paper}, [](const Row&) {});
    });
    ExamDb::WriteKeyed([&](ExamDb::Connection& db) { db.Exec(Sql::ResetAnswers); });
    ExamDb::ReadKeyed([&](ExamDb::Connection& db) { db.Exec(Sql::ResetAnswers); });
    QVERIFY(QSqlDatabase::connectionNames().isEmpty());
}

QTEST_GUILESS_MAIN(TestExamDb)
#include "tst_examdb.moc"
