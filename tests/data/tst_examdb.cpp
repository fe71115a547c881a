// The data store, in a program folder whose name a file URI must escape.

#include "ExamDb.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <chrono>
#include <future>
#include <thread>

using ExamDb::Result;
using ExamDb::Row;

namespace {
template <class... T> void Case(const char* name, const T&... cells)
{
    (QTest::newRow(name) << ... << cells);
}
} // namespace

class TestExamDb : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder.emplace(QStringLiteral("考试 #1?%20-XXXXXX"));
        QVERIFY(m_folder->IsValid());
        m_messages.emplace();
    }
    void cleanup()
    {
        m_messages.reset();
        m_folder.reset();
        QCOMPARE(QSqlDatabase::connectionNames(), QStringList()); // none left open
    }

    void drivers()
    {
        const auto scan = [](const char* names) {
            return ExamDb::ScanDriverList(QString::fromLatin1(names).split(QLatin1Char(' ')));
        };
        QCOMPARE(scan("QODBC MY_SQLITE_2 QSQLITE"), QStringLiteral("MY_SQLITE_2"));
        QCOMPARE(scan("qsqlite Sqlite"), QString());
        const auto previous = ExamDb::SetDriverSource([] { return QStringList(); });
        bool ran = false;
        const Result read = ExamDb::ReadKeyed([&](ExamDb::Connection&) { ran = true; });
        const Result write = ExamDb::WriteKeyed([&](ExamDb::Connection&) { ran = true; });
        ExamDb::SetDriverSource(previous);
        QCOMPARE(read, Result::NoDriver);
        QCOMPARE(write, Result::NoDriver);
        QVERIFY(!ran);
        QCOMPARE(m_messages->texts, QStringList(2, QStringLiteral("没有安装Access驱动!")));
    }

    // Two grades, ('a', 1) and (NULL, stored), read as text:score; "!" where
    // the read fails, the rows read before it kept.
    void columns_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("read");
        Case("half", "85.5", "成绩", "a:1 :85");
        Case("negative", "-2.5", "成绩", "a:1 :-2");
        Case("top", "32767.9", "成绩", "a:1 :32767");
        Case("bottom", "-32768", "成绩", "a:1 :-32768");
        Case("NULL", "NULL", "成绩", "a:1 :none");
        Case("above", "32768", "成绩", "a:1 !");
        Case("below", "-32769", "成绩", "a:1 !");
        Case("not a number", "'x'", "成绩", "a:1 !");
        Case("no such column", "1", "分数", "!");
    }
    void columns()
    {
        QFETCH(QString, stored);
        QFETCH(QString, column);
        QFETCH(QString, read);
        QVERIFY(m_folder->Sql(
            QStringLiteral("INSERT INTO grades VALUES('a','t','n',1),(NULL,'t','n',%1)")
                .arg(stored)));
        QStringList rows;
        bool after = false;
        const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
            db.Query(Sql::GradeHistory, {QStringLiteral("n")}, [&](const Row& row) {
                const std::optional<qint16> score = row.Short(column.toUtf8().constData());
                rows << row.Text("试题名") + QLatin1Char(':') +
                            (score ? QString::number(*score) : QStringLiteral("none"));
            });
            after = true;
        });
        if (!after)
            rows << QStringLiteral("!");
        QCOMPARE(rows.join(QLatin1Char(' ')), read);
        if (after)
            QVERIFY(m_messages->texts.isEmpty());
        else
            Failed(result, "");
    }

    // A read never writes; neither kind of operation creates a missing file.
    void neitherCreatesNorWritesWhenReading_data()
    {
        QTest::addColumn<bool>("missing");
        QTest::addColumn<bool>("write");
        Case("missing file, read", true, false);
        Case("missing file, write", true, true);
        Case("reading", false, false);
    }
    void neitherCreatesNorWritesWhenReading()
    {
        QFETCH(bool, missing);
        QFETCH(bool, write);
        QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 回答='C'")));
        QVERIFY(!missing || QFile::remove(m_folder->DatabasePath()));
        const auto body = [](ExamDb::Connection& db) { db.Exec(Sql::ResetAnswers); };
        Failed(write ? ExamDb::WriteKeyed(body) : ExamDb::ReadKeyed(body), "");
        QCOMPARE(QDir(m_folder->Path()).entryList(QDir::Files).size(), missing ? 0 : 1);
        if (!missing)
            QCOMPARE(m_folder->Column(QStringLiteral("SELECT DISTINCT 回答 FROM answer")),
                     QStringList{QStringLiteral("C")});
    }

    // A missing table fails a write after a change: reported once, the rest
    // skipped, the change rolled back.
    void failedWriteRollsBackEverything()
    {
        QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 回答='C', 得分=1")));
        QVERIFY(m_folder->Sql(QStringLiteral("DROP TABLE write")));
        bool after = false;
        const Result result = ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
            db.Exec(Sql::ResetAnswers);
            db.Query(Sql::EssayKeywords, {QStringLiteral("p")}, [](const Row&) {});
            after = true;
        });
        Failed(result, "no such table: write");
        QVERIFY(!after);
        QCOMPARE(m_folder->Column(QStringLiteral("SELECT DISTINCT 回答||得分 FROM answer")),
                 QStringList{QStringLiteral("C1")});
    }

    // Another connection holds the write lock for a moment: a write waits
    // for its commit instead of failing, and comes after it.
    void writeWaitsForAnotherWriter()
    {
        std::promise<bool> locked;
        std::thread other([&, path = m_folder->DatabasePath()] {
            {
                QSqlDatabase db =
                    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
                db.setDatabaseName(path);
                const bool open = db.open();
                QSqlQuery query(db);
                const bool held = open && query.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                                  query.exec(QStringLiteral("UPDATE answer SET 回答='C'"));
                locked.set_value(held);
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                query.exec(QStringLiteral("COMMIT"));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("other"));
        });
        const bool held = locked.get_future().get();
        const Result result =
            ExamDb::WriteKeyed([](ExamDb::Connection& db) { db.Exec(Sql::ResetAnswers); });
        other.join();
        QVERIFY(held);
        QCOMPARE(result, Result::Done);
        QVERIFY(m_messages->texts.isEmpty());
        QCOMPARE(m_folder->Column(QStringLiteral("SELECT DISTINCT 回答 FROM answer")),
                 QStringList{QStringLiteral(" ")});
    }

private:
    // A failed operation, reported once with the driver's text.
    void Failed(Result result, const char* text)
    {
        QCOMPARE(result, Result::Failed);
        QCOMPARE(m_messages->texts.size(), 1);
        QVERIFY(m_messages->texts.front().startsWith(QStringLiteral("数据库错误: ")));
        QVERIFY(m_messages->texts.front().contains(QString::fromUtf8(text)));
    }
    std::optional<ProgramFolder> m_folder;
    std::optional<AppMessages> m_messages;
};

QTEST_GUILESS_MAIN(TestExamDb)
#include "tst_examdb.moc"
