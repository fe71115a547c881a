// The data library: GBK byte counts; the store, in a program folder whose
// name a file URI must escape; and the store when something has gone wrong
// outside the program: a writer that died mid-transaction, a second copy, a
// file the start-up check finds wanting.

#include "ExamApp.h"
#include "ExamDb.h"
#include "Gbk.h"
#include "InstanceLock.h"
#include "StoreCheck.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <chrono>
#include <csignal>
#include <future>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using ExamDb::Result;
using ExamDb::Row;
using StoreCheck::Problem;
using namespace Qt::Literals::StringLiterals;

namespace {
template <class... T> void Case(const char* name, const T&... cells)
{
    (QTest::newRow(name) << ... << cells);
}

const QString Paper = u"2010年江苏高考英语试题"_s;

// A forked child, killed and reaped however the test ends.
struct Child
{
    pid_t pid = ::fork();
    ~Child()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    // How the child ended: its exit code, or minus the signal that ended it.
    int Wait()
    {
        int status = 0;
        ::waitpid(std::exchange(pid, 0), &status, 0);
        return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
    }
};
} // namespace

class TestExamDb : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder.emplace(u"考试 #1?%20-XXXXXX"_s);
        QVERIFY(m_folder->IsValid());
        m_messages.emplace();
    }
    void cleanup()
    {
        m_messages.reset();
        m_folder.reset();
        QCOMPARE(QSqlDatabase::connectionNames(), QStringList()); // none left open
    }

    // A text's GBK byte count, and its longest head and tail within a budget.
    void gbk_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("budget");
        QTest::addColumn<QString>("bytes"); // count|head|tail
        Case("ascii, all", "a\r\nb", 100, "4|a\r\nb|a\r\nb");
        // Two bytes a character: never half of one.
        Case("odd budget", "2010年江苏高考英语试题", 5, "22|2010|试题");
        Case("exact fit", "英语科模拟考试卷51", 6, "18|英语科|试卷51");
        Case("one byte", "，。！", 1, "6||");
        // Outside GBK: the one byte of the substitute; a surrogate pair kept whole.
        Case("emoji", "a\U0001F600b", 1, "3|a|b");
        Case("emoji at the end", "xa\U0001F600", 2, "3|xa|a\U0001F600");
        // Half a pair counts as one substitute byte, as any character GBK lacks.
        const QString high(QChar(0xD83D)), low(QChar(0xDE00)), hao = u"好"_s;
        Case("high between", QString(hao + high + hao), 3,
             QString(u"5|" + hao + high + u'|' + high + hao));
        Case("low first", QString(low + u"abc"), 3, QString(u"4|" + low + u"ab|abc"));
        Case("high last", QString(u"abc" + high), 3, QString(u"4|abc|bc" + high));
    }
    void gbk()
    {
        QFETCH(QString, text);
        QFETCH(int, budget);
        QFETCH(QString, bytes);
        QCOMPARE(QString::number(Gbk::Length(text)) + QLatin1Char('|') + Gbk::Left(text, budget) +
                     QLatin1Char('|') + Gbk::Right(text, budget),
                 bytes);
    }

    void drivers()
    {
        const auto scan = [](const char* names) {
            return ExamDb::ScanDriverList(QString::fromLatin1(names).split(QLatin1Char(' ')));
        };
        QCOMPARE(scan("QODBC MY_SQLITE_2 QSQLITE"), u"MY_SQLITE_2"_s);
        QCOMPARE(scan("qsqlite Sqlite"), QString());
        const auto previous = ExamDb::SetDriverSource([] { return QStringList(); });
        bool ran = false;
        const Result read = ExamDb::ReadKeyed([&](ExamDb::Connection&) { ran = true; });
        const Result write = ExamDb::WriteKeyed([&](ExamDb::Connection&) { ran = true; });
        ExamDb::SetDriverSource(previous);
        QCOMPARE(read, Result::NoDriver);
        QCOMPARE(write, Result::NoDriver);
        QVERIFY(!ran);
        QCOMPARE(m_messages->texts, QStringList(2, u"没有安装Access驱动!"_s));
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
            u"INSERT INTO grades VALUES('a','t','n',1),(NULL,'t','n',%1)"_s.arg(stored)));
        QStringList rows;
        bool after = false;
        const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
            db.Query(Sql::GradeHistory, {u"n"_s}, [&](const Row& row) {
                const std::optional<qint16> score = row.Short(column.toUtf8().constData());
                rows << row.Text("试题名") + QLatin1Char(':') +
                            (score ? QString::number(*score) : u"none"_s);
            });
            after = true;
        });
        if (!after)
            rows << u"!"_s;
        QCOMPARE(rows.join(QLatin1Char(' ')), read);
        if (after)
            QVERIFY(m_messages->texts.isEmpty());
        else
            Failed(result, QString());
    }

    // A failed operation changes nothing: a read may not write, neither kind
    // creates a missing file, and a write failing after a change (a table
    // missing) is rolled back, the rest skipped.
    void failedOperationsChangeNothing_data()
    {
        QTest::addColumn<QString>("fault"); // SQL, or "remove" the file
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("text");
        Case("missing file, read", u"remove"_s, false, QString());
        Case("missing file, write", u"remove"_s, true, QString());
        Case("reading", QString(), false, QString());
        Case("table missing", u"DROP TABLE write"_s, true, u"no such table: write"_s);
    }
    void failedOperationsChangeNothing()
    {
        QFETCH(QString, fault);
        QFETCH(bool, write);
        QFETCH(QString, text);
        const bool missing = fault == u"remove"_s;
        QVERIFY(m_folder->Sql(u"UPDATE answer SET 回答='C', 得分=1"_s));
        QVERIFY(missing ? QFile::remove(m_folder->DatabasePath())
                        : fault.isEmpty() || m_folder->Sql(fault));
        bool after = false;
        const auto body = [&](ExamDb::Connection& db) {
            db.Exec(Sql::ResetAnswers);
            db.Query(Sql::EssayKeywords, {u"p"_s}, [](const Row&) {});
            after = true;
        };
        Failed(write ? ExamDb::WriteKeyed(body) : ExamDb::ReadKeyed(body), text);
        QVERIFY(!after);
        QCOMPARE(QDir(m_folder->Path()).entryList(QDir::Files).size(), missing ? 0 : 1);
        QCOMPARE(m_folder->Column(u"SELECT DISTINCT 回答||得分 FROM answer"_s),
                 missing ? QStringList() : QStringList{u"C1"_s});
    }

    // Another connection holds the write lock for a moment: a write waits
    // for its commit instead of failing, and comes after it.
    void writeWaitsForAnotherWriter()
    {
        std::promise<bool> locked;
        std::thread other([&, path = m_folder->DatabasePath()] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
                db.setDatabaseName(path);
                const bool open = db.open();
                QSqlQuery query(db);
                const bool held = open && query.exec(u"BEGIN IMMEDIATE"_s) &&
                                  query.exec(u"UPDATE answer SET 回答='C'"_s);
                locked.set_value(held);
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                query.exec(u"COMMIT"_s);
            }
            QSqlDatabase::removeDatabase(u"other"_s);
        });
        const bool held = locked.get_future().get();
        const Result result =
            ExamDb::WriteKeyed([](ExamDb::Connection& db) { db.Exec(Sql::ResetAnswers); });
        other.join();
        QVERIFY(held);
        QCOMPARE(result, Result::Done);
        QVERIFY(m_messages->texts.isEmpty());
        QCOMPARE(m_folder->Column(u"SELECT DISTINCT 回答 FROM answer"_s), QStringList{u" "_s});
    }

    // A writer changed part of the word list with a cache too small to hold
    // it, so changed pages reached the file before the commit, and died. The
    // next read rolls the change back and reads as before: the answer card,
    // the review, a grade history, a word and hand-in's sum.
    void readsRollBackADeadWriter()
    {
        {
            Child writer;
            if (writer.pid == 0) {
                QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s);
                db.setDatabaseName(m_folder->DatabasePath());
                if (db.open()) {
                    QSqlQuery query(db);
                    if (query.exec(u"PRAGMA cache_size=2"_s) &&
                        query.exec(u"PRAGMA synchronous=OFF"_s) && query.exec(u"BEGIN"_s) &&
                        query.exec(u"UPDATE word SET 单词=单词||'~' WHERE 单词<'c'"_s))
                        ::raise(SIGKILL);
                }
                ::_exit(1);
            }
            QCOMPARE(writer.Wait(), -SIGKILL);
        }
        QVERIFY(QFile::exists(u"word.mdb-journal"_s));
        QStringList read;
        const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
            const auto count = [&](const Statement& statement, const QVariantList& values) {
                int rows = 0;
                db.Query(statement, values, [&](const Row&) { ++rows; });
                read << QString::number(rows);
            };
            count(Sql::ListAnswers, {Paper});
            count(Sql::ListWrongAnswers, {Paper});
            count(Sql::GradeHistory, {u"李明"_s});
            count(Sql::FindWord, {u"school"_s});
            count(Sql::SumScores, {});
        });
        QCOMPARE(m_messages->texts, QStringList());
        QCOMPARE(result, Result::Done);
        QCOMPARE(read.join(u' '), u"10 10 1 1 13"_s);
        QVERIFY(!QFile::exists(u"word.mdb-journal"_s));
        QCOMPARE(m_folder->Column(u"SELECT COUNT(*) FROM word WHERE 单词 LIKE '%~'"_s),
                 QStringList{u"0"_s});
    }

    void oneCopyPerDataFolder()
    {
        int pipe[2];
        QCOMPARE(::pipe(pipe), 0);
        Child first;
        if (first.pid == 0) {
            InstanceLock lock(u"word.mdb"_s);
            const char held = lock.Acquire() == InstanceLock::State::Held ? 'y' : 'n';
            if (::write(pipe[1], &held, 1) == 1)
                ::pause();
            ::_exit(1);
        }
        ::close(pipe[1]);
        char held = 0;
        QCOMPARE(::read(pipe[0], &held, 1), ssize_t(1));
        ::close(pipe[0]);
        QCOMPARE(held, 'y');
        QVERIFY(QFile::exists(u"word.mdb.lock"_s));

        InstanceLock second(m_folder->DatabasePath());
        QCOMPARE(second.Acquire(), InstanceLock::State::OtherCopy);
        // The first copy crashes: the lock it left is taken over.
        ::kill(first.pid, SIGKILL);
        QCOMPARE(first.Wait(), -SIGKILL);
        QCOMPARE(second.Acquire(), InstanceLock::State::Held);
    }

    void startUpCheck_data()
    {
        QTest::addColumn<QString>("fault"); // SQL, or what is done to the file
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<QString>("named");
        Case("sound", QString(), Problem::None, QString());
        Case("missing", u"remove"_s, Problem::Missing, QString());
        Case("zero bytes", u"empty"_s, Problem::NotADatabase, QString());
        Case("random", u"random"_s, Problem::NotADatabase, QString());
        Case("truncated", u"half"_s, Problem::Damaged, QString());
        Case("table dropped", u"DROP TABLE write"_s, Problem::MissingTable, u"write"_s);
        Case("column dropped", u"ALTER TABLE grades DROP COLUMN 成绩"_s, Problem::MissingColumn,
             u"成绩"_s);
        Case("read-only", u"read-only"_s, Problem::ReadOnly, QString());
    }
    void startUpCheck()
    {
        QFETCH(QString, fault);
        QFETCH(Problem, problem);
        QFETCH(QString, named);
        const QString path = m_folder->DatabasePath();
        QFile file(path);
        if (fault == QLatin1String("remove"))
            QVERIFY(file.remove());
        if (fault == QLatin1String("empty") || fault == QLatin1String("half"))
            QVERIFY(file.resize(fault == QLatin1String("half") ? file.size() / 2 : 0));
        if (fault == QLatin1String("random") &&
            file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(QByteArray::fromBase64("Fp7x0aQk2m9ZbY3rT0s8yWc1HhN4vVgQ").repeated(128));
        if (fault.contains(QLatin1Char(' ')))
            QVERIFY(m_folder->Sql(fault));
        const bool readOnly = fault == QLatin1String("read-only");
        if (readOnly) {
            const QString folder = m_folder->Path();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            QVERIFY(QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther |
                                                      QFile::ReadOther));
        }
        StoreCheck::Finding finding;
        if (readOnly && ::geteuid() == 0) {
            // Permissions do not bind root: the check runs as a user they bind.
            Child user;
            if (user.pid == 0)
                ::_exit(::setgid(65534) || ::setuid(65534) ? 99
                                                           : int(StoreCheck::Check(path).problem));
            finding.problem = Problem(user.Wait());
        } else {
            finding = StoreCheck::Check(path);
        }
        QCOMPARE(finding.problem, problem);
        if (fault.isEmpty()) { // the program's own tables, and whether an exam is to be taken up
            QCOMPARE(finding.ownTables.size(), 3);
            QVERIFY(!finding.examKept);
            QVERIFY(
                m_folder->Sql(QStringLiteral("INSERT INTO running_exam VALUES "
                                             "(1,'p','n',120,'t',100,0,0,0,NULL,NULL,NULL,NULL)")));
            QVERIFY(StoreCheck::Check(path).examKept);
        }
        QCOMPARE(finding.column.isEmpty() ? finding.table : finding.column, named);
        QCOMPARE(QFile::exists(path), fault != QLatin1String("remove"));
        // One message, naming the file.
        const QString message = StoreCheckMessage(finding, path);
        QCOMPARE(message.isEmpty(), problem == Problem::None);
        QVERIFY(message.isEmpty() || message.contains(QDir::toNativeSeparators(path)));
    }

private:
    // A failed operation, reported once with the driver's text.
    void Failed(Result result, const QString& text)
    {
        QCOMPARE(result, Result::Failed);
        QCOMPARE(m_messages->texts.size(), 1);
        QVERIFY(m_messages->texts.front().startsWith(u"数据库错误: "_s));
        QVERIFY(m_messages->texts.front().contains(text));
    }
    std::optional<ProgramFolder> m_folder;
    std::optional<AppMessages> m_messages;
};

QTEST_GUILESS_MAIN(TestExamDb)
#include "tst_examdb.moc"
