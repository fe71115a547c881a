// The data store when something has gone wrong outside the program: a writer
// that died mid-transaction, a second copy, a database that cannot serve;
// hand-in's record, written whole or not at all.

#include "ExamApp.h"
#include "ExamDb.h"
#include "HandIn.h"
#include "InstanceLock.h"
#include "StoreCheck.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using StoreCheck::Problem;

namespace {

const QString Paper = QStringLiteral("2010年江苏高考英语试题");

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

class TestStoreFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsRollBackADeadWriter_data()
    {
        QTest::addColumn<const Statement*>("statement");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("rows");
        QTest::newRow("answer status") << &Sql::ListAnswers << Paper << 10;
        QTest::newRow("review") << &Sql::ListWrongAnswers << Paper << 10;
        QTest::newRow("grade history") << &Sql::GradeHistory << QStringLiteral("李明") << 1;
        QTest::newRow("word lookup") << &Sql::FindWord << QStringLiteral("school") << 1;
        QTest::newRow("hand-in sum") << &Sql::SumScores << QString() << 13;
    }

    void readsRollBackADeadWriter()
    {
        QFETCH(const Statement*, statement);
        QFETCH(QString, value);
        QFETCH(int, rows);
        ProgramFolder folder;
        QVERIFY(folder.IsValid());
        {
            // Changes part of the word list with a cache too small to hold it,
            // so changed pages reach the file before the commit; then dies.
            Child writer;
            if (writer.pid == 0) {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
                db.setDatabaseName(folder.DatabasePath());
                if (db.open()) {
                    QSqlQuery query(db);
                    if (query.exec(QStringLiteral("PRAGMA cache_size=2")) &&
                        query.exec(QStringLiteral("PRAGMA synchronous=OFF")) &&
                        query.exec(QStringLiteral("BEGIN")) &&
                        query.exec(QStringLiteral("UPDATE word SET 单词=单词||'~' WHERE 单词<'c'")))
                        ::raise(SIGKILL);
                }
                ::_exit(1);
            }
            QCOMPARE(writer.Wait(), -SIGKILL);
        }
        QVERIFY(QFile::exists(QStringLiteral("word.mdb-journal")));

        AppMessages messages;
        int read = 0;
        const ExamDb::Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
            db.Query(*statement, value.isNull() ? QVariantList() : QVariantList{value},
                     [&](const ExamDb::Row&) { ++read; });
        });
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(result, ExamDb::Result::Done);
        QCOMPARE(read, rows);
        QVERIFY(!QFile::exists(QStringLiteral("word.mdb-journal")));
        QCOMPARE(folder.Column(QStringLiteral("SELECT COUNT(*) FROM word WHERE 单词 LIKE '%~'")),
                 QStringList{QStringLiteral("0")});
    }

    void oneCopyPerDataFolder()
    {
        ProgramFolder folder;
        QVERIFY(folder.IsValid());
        int pipe[2];
        QCOMPARE(::pipe(pipe), 0);
        Child first;
        if (first.pid == 0) {
            InstanceLock lock(QStringLiteral("word.mdb"));
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
        QVERIFY(QFile::exists(QStringLiteral("word.mdb.lock")));

        InstanceLock second(folder.DatabasePath());
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
        QTest::newRow("sound") << QString() << Problem::None << QString();
        QTest::newRow("missing") << QStringLiteral("remove") << Problem::Missing << QString();
        QTest::newRow("zero bytes")
            << QStringLiteral("empty") << Problem::NotADatabase << QString();
        QTest::newRow("random") << QStringLiteral("random") << Problem::NotADatabase << QString();
        QTest::newRow("truncated") << QStringLiteral("half") << Problem::Damaged << QString();
        QTest::newRow("table dropped") << QStringLiteral("DROP TABLE write")
                                       << Problem::MissingTable << QStringLiteral("write");
        QTest::newRow("column dropped") << QStringLiteral("ALTER TABLE grades DROP COLUMN 成绩")
                                        << Problem::MissingColumn << QStringLiteral("成绩");
        QTest::newRow("read-only") << QStringLiteral("read-only") << Problem::ReadOnly << QString();
    }

    void startUpCheck()
    {
        QFETCH(QString, fault);
        QFETCH(Problem, problem);
        QFETCH(QString, named);
        ProgramFolder folder;
        QVERIFY(folder.IsValid());
        const QString path = folder.DatabasePath();
        QFile file(path);
        if (fault == QLatin1String("remove"))
            QVERIFY(file.remove());
        if (fault == QLatin1String("empty") || fault == QLatin1String("half"))
            QVERIFY(file.resize(fault == QLatin1String("half") ? file.size() / 2 : 0));
        if (fault == QLatin1String("random") &&
            file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(QByteArray::fromBase64("Fp7x0aQk2m9ZbY3rT0s8yWc1HhN4vVgQ").repeated(128));
        if (fault.contains(QLatin1Char(' ')))
            QVERIFY(folder.Sql(fault));
        const bool readOnly = fault == QLatin1String("read-only");
        if (readOnly) {
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            QVERIFY(QFile::setPermissions(folder.Path(), QFile::permissions(folder.Path()) |
                                                             QFile::ExeOther | QFile::ReadOther));
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
                folder.Sql(QStringLiteral("INSERT INTO running_exam VALUES "
                                          "(1,'p','n',120,'t',100,0,0,0,NULL,NULL,NULL,NULL)")));
            QVERIFY(StoreCheck::Check(path).examKept);
        }
        QCOMPARE(finding.column.isEmpty() ? finding.table : finding.column, named);
        QCOMPARE(QFile::exists(path), fault != QLatin1String("remove"));

        // One message, naming the file.
        const QString message = StoreCheckMessage(finding, path);
        QCOMPARE(message.isEmpty(), problem == Problem::None);
        if (!message.isEmpty())
            QVERIFY(message.contains(QDir::toNativeSeparators(path)));
    }

    void handInRecordsAllOrNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<HandIn::Status>("status");
        QTest::addColumn<int>("grades");
        QTest::newRow("recorded") << QString() << HandIn::Status::Recorded << 3;
        QTest::newRow("sum fails") << QStringLiteral("UPDATE answer SET 得分='x' WHERE 题号='72'")
                                   << HandIn::Status::Failed << 2;
        QTest::newRow("insert fails")
            << QStringLiteral(
                   "CREATE TRIGGER t BEFORE INSERT ON grades BEGIN SELECT RAISE(ABORT,'x'); END")
            << HandIn::Status::Failed << 2;
        QTest::newRow("insert dropped")
            << QStringLiteral(
                   "CREATE TRIGGER t BEFORE INSERT ON grades BEGIN SELECT RAISE(IGNORE); END")
            << HandIn::Status::Failed << 2;
        QTest::newRow("exam record fails")
            << QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON exam_answer BEGIN SELECT "
                              "RAISE(ABORT,'x'); END")
            << HandIn::Status::Failed << 2;
    }

    void handInRecordsAllOrNothing()
    {
        QFETCH(QString, fault);
        QFETCH(HandIn::Status, status);
        QFETCH(int, grades);
        ProgramFolder folder;
        QVERIFY(folder.IsValid());
        QVERIFY(folder.Sql(
            QStringLiteral("UPDATE answer SET 得分=分值 WHERE 题号 IN ('01','56') AND 卷名='%1'")
                .arg(Paper)));
        if (!fault.isEmpty())
            QVERIFY(folder.Sql(fault));
        AppMessages messages;
        const HandIn::Outcome outcome =
            HandIn::Record(Paper, QStringLiteral("2026-12-07 10:00:00"), QStringLiteral("张三"),
                           {18.5, QStringLiteral("T"), QStringLiteral("E"), QStringLiteral("R")});
        QCOMPARE(outcome.status, status);
        QCOMPARE(messages.texts.size(), status == HandIn::Status::Failed ? 1 : 0);
        QCOMPARE(folder.Column(QStringLiteral("SELECT COUNT(*) FROM grades")),
                 QStringList{QString::number(grades)});
        // The exam is kept whole with its grade row, or not at all.
        const bool kept = status == HandIn::Status::Recorded;
        QCOMPARE(folder.Column(QStringLiteral("SELECT (SELECT COUNT(*) FROM exam)||'/'||"
                                              "(SELECT COUNT(*) FROM exam_answer)")),
                 QStringList{kept ? QStringLiteral("1/10") : QStringLiteral("0/0")});
        if (kept) {
            QCOMPARE(outcome.objective, 3.0);
            QCOMPARE(folder.Column(QStringLiteral("SELECT 成绩 FROM grades WHERE 考生姓名='张三'")),
                     QStringList{QStringLiteral("21.5")});
            QCOMPARE(HandIn::ScoreMessage(outcome.objective, 18.5),
                     QStringLiteral(
                         "您本次考试成绩为：21.5分（其中客观题得分为：3.0分,作文得分为：18.5分）"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_storefaults.moc"
