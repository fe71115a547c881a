#include "ClassBook.h"
#include "DataFolder.h"
#include "ExamApp.h"
#include "ExamDb.h"
#include "ExamRecord.h"
#include "Gbk.h"
#include "HandIn.h"
#include "InstanceLock.h"
#include "StoreCheck.h"
#include "TestSupport.h"
#include "WordFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <chrono>
#include <csignal>
#include <functional>
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

bool Tag(const char* name)
{
    return qstrcmp(QTest::currentDataTag(), name) == 0;
}

// How a forked child running `work` ended: its exit code, or minus its signal.
int InChild(const std::function<int()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

std::pair<int, QString> RunMkdb(const QStringList& more)
{
    QProcess mkdb;
    mkdb.setProcessChannelMode(QProcess::MergedChannels);
    const QString schema = QStringLiteral(ORDWIN_SCHEMA);
    mkdb.start(QStringLiteral(ORDWIN_MKDB),
               QStringList{u"--out"_s, u"word.mdb"_s, u"--schema"_s, schema} + more);
    const bool finished = mkdb.waitForFinished(120000) && mkdb.exitStatus() == QProcess::NormalExit;
    return {finished ? mkdb.exitCode() : -1, QString::fromUtf8(mkdb.readAll())};
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestData : public QObject
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

    void gbk_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("budget");
        QTest::addColumn<QString>("bytes"); // count|head|tail
        Case("ascii, all", "a\r\nb", 100, "4|a\r\nb|a\r\nb");
        Case("odd budget", "2010年江苏高考英语试题", 5, "22|2010|试题");
        Case("exact fit", "英语科模拟考试卷51", 6, "18|英语科|试卷51");
        Case("one byte", "，。！", 1, "6||");
        Case("emoji", "a\U0001F600b", 1, "3|a|b");
        Case("emoji at the end", "xa\U0001F600", 2, "3|xa|a\U0001F600");
        // Half a pair counts as one substitute byte.
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
        const QString count = QString::number(Gbk::Length(text));
        QCOMPARE(QStringList({count, Gbk::Left(text, budget), Gbk::Right(text, budget)}).join(u'|'),
                 bytes);
    }

    void drivers()
    {
        QCOMPARE(ExamDb::ScanDriverList({u"QODBC"_s, u"MY_SQLITE_2"_s, u"QSQLITE"_s}),
                 u"MY_SQLITE_2"_s);
        QCOMPARE(ExamDb::ScanDriverList({u"qsqlite"_s, u"Sqlite"_s}), QString());
        const auto previous = ExamDb::SetDriverSource([] { return QStringList(); });
        bool ran = false;
        const auto body = [&](ExamDb::Connection&) { ran = true; };
        const QList<Result> results{ExamDb::ReadKeyed(body), ExamDb::WriteKeyed(body)};
        ExamDb::SetDriverSource(previous);
        QVERIFY(!ran && results == QList<Result>(2, Result::NoDriver));
        QCOMPARE(m_messages->texts, QStringList(2, u"没有安装Access驱动!"_s));
    }

    // Grades ('a', 1) and (NULL, stored) as text:score; "!" where the read fails.
    void columns_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        Case("half", "85.5", "a:1 :85");
        Case("negative", "-2.5", "a:1 :-2");
        Case("top", "32767.9", "a:1 :32767");
        Case("bottom", "-32768", "a:1 :-32768");
        Case("NULL", "NULL", "a:1 :none");
        Case("above", "32768", "a:1 !");
        Case("below", "-32769", "a:1 !");
        Case("not a number", "'x'", "a:1 !");
        Case("no such column", "1", "!");
    }
    void columns()
    {
        QFETCH(QString, stored);
        QFETCH(QString, read);
        QVERIFY(m_folder->Sql(
            u"INSERT INTO grades VALUES('a','t','n',1),(NULL,'t','n',%1)"_s.arg(stored)));
        QStringList rows;
        bool after = false;
        const Result result = ExamDb::ReadKeyed([&](ExamDb::Connection& db) {
            db.Query(Sql::GradeHistory, {u"n"_s}, [&](const Row& row) {
                const std::optional<qint16> score =
                    row.Short(Tag("no such column") ? "分数" : "成绩");
                rows << row.Text("试题名") + QLatin1Char(':') +
                            (score ? QString::number(*score) : u"none"_s);
            });
            after = true;
        });
        QCOMPARE((rows + QStringList(after ? 0 : 1, u"!"_s)).join(u' '), read);
        QCOMPARE(result, after ? Result::Done : Result::Failed);
        QCOMPARE(m_messages->texts.size(), after ? 0 : 1);
    }

    // A read may not write, none creates a missing file, a failed write rolls back.
    void failedOperationsChangeNothing_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("text");
        Case("missing file, read", false, QString());
        Case("missing file, write", true, QString());
        Case("reading", false, QString());
        Case("table missing", true, u"no such table: write"_s);
    }
    void failedOperationsChangeNothing()
    {
        QFETCH(bool, write);
        QFETCH(QString, text);
        const bool missing = QByteArray(QTest::currentDataTag()).startsWith("missing");
        QVERIFY(m_folder->Sql(u"UPDATE answer SET 回答='C', 得分=1"_s));
        QVERIFY(!missing || QFile::remove(m_folder->DatabasePath()));
        QVERIFY(!Tag("table missing") || m_folder->Sql(u"DROP TABLE write"_s));
        bool after = false;
        const auto body = [&](ExamDb::Connection& db) {
            db.Exec(Sql::ResetAnswers);
            db.Query(Sql::EssayKeywords, {u"p"_s}, [](const Row&) {});
            after = true;
        };
        QCOMPARE(write ? ExamDb::WriteKeyed(body) : ExamDb::ReadKeyed(body), Result::Failed);
        QVERIFY(!after);
        QCOMPARE(m_messages->texts.size(), 1);
        QVERIFY(m_messages->texts.front().startsWith(u"数据库错误: "_s + text));
        QCOMPARE(QDir(m_folder->Path()).entryList(QDir::Files).size(), missing ? 0 : 1);
        QCOMPARE(m_folder->Column(u"SELECT DISTINCT 回答||得分 FROM answer"_s),
                 missing ? QStringList() : QStringList{u"C1"_s});
    }

    // A write waits for another connection's commit instead of failing.
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
        QVERIFY(held && result == Result::Done && m_messages->texts.isEmpty());
        QCOMPARE(m_folder->Column(u"SELECT DISTINCT 回答 FROM answer"_s), QStringList{u" "_s});
    }

    // A writer died with uncommitted pages in the file: the next read rolls them back.
    void readsRollBackADeadWriter()
    {
        QCOMPARE(InChild([this] {
                     QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s);
                     db.setDatabaseName(m_folder->DatabasePath());
                     if (db.open()) {
                         QSqlQuery query(db);
                         if (query.exec(u"PRAGMA cache_size=2"_s) &&
                             query.exec(u"PRAGMA synchronous=OFF"_s) && query.exec(u"BEGIN"_s) &&
                             query.exec(u"UPDATE word SET 单词=单词||'~' WHERE 单词<'c'"_s))
                             ::raise(SIGKILL);
                     }
                     return 1;
                 }),
                 -SIGKILL);
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
        QVERIFY(result == Result::Done && m_messages->texts.isEmpty());
        QCOMPARE(read.join(u' '), u"10 10 1 1 13"_s);
        QCOMPARE(m_folder->Column(u"SELECT COUNT(*) FROM word WHERE 单词 LIKE '%~'"_s),
                 QStringList{u"0"_s});
    }

    // A crashed copy's lock is taken over; a second copy finds it held.
    void oneCopyPerDataFolder()
    {
        QCOMPARE(InChild([] {
                     InstanceLock lock(u"word.mdb"_s);
                     return lock.Acquire() == InstanceLock::State::Held ? ::raise(SIGKILL) : 1;
                 }),
                 -SIGKILL);
        QVERIFY(QFile::exists(u"word.mdb.lock"_s));
        InstanceLock first(m_folder->DatabasePath()), second(u"word.mdb"_s);
        QCOMPARE(first.Acquire(), InstanceLock::State::Held);
        QCOMPARE(second.Acquire(), InstanceLock::State::OtherCopy);
    }

    void startUpCheck_data()
    {
        QTest::addColumn<QString>("sql"); // its last word the table or column named
        QTest::addColumn<Problem>("problem");
        Case("sound", QString(), Problem::None);
        Case("missing", QString(), Problem::Missing);
        Case("zero bytes", QString(), Problem::NotADatabase);
        Case("random", QString(), Problem::NotADatabase);
        Case("truncated", QString(), Problem::Damaged);
        Case("table dropped", u"DROP TABLE write"_s, Problem::MissingTable);
        Case("column dropped", u"ALTER TABLE grades DROP COLUMN 成绩"_s, Problem::MissingColumn);
        Case("read-only", QString(), Problem::ReadOnly);
    }
    void startUpCheck()
    {
        QFETCH(QString, sql);
        QFETCH(Problem, problem);
        const QString path = m_folder->DatabasePath();
        QFile file(path);
        QVERIFY(!Tag("missing") || file.remove());
        QVERIFY(!Tag("zero bytes") || file.resize(0));
        QVERIFY(!Tag("truncated") || file.resize(file.size() / 2));
        if (Tag("random") && file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(QByteArray::fromBase64("Fp7x0aQk2m9ZbY3rT0s8yWc1HhN4vVgQ").repeated(128));
        QVERIFY(sql.isEmpty() || m_folder->Sql(sql));
        const bool readOnly = Tag("read-only");
        if (readOnly) {
            const QString folder = m_folder->Path();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            QVERIFY(QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther |
                                                      QFile::ReadOther));
        }
        StoreCheck::Finding finding;
        if (readOnly && ::geteuid() == 0) {
            // Permissions do not bind root: the check runs as a user they bind.
            finding.problem = Problem(InChild([&] {
                return ::setgid(65534) || ::setuid(65534) ? 99
                                                          : int(StoreCheck::Check(path).problem);
            }));
        } else {
            finding = StoreCheck::Check(path);
        }
        QCOMPARE(finding.problem, problem);
        if (Tag("sound")) {
            QVERIFY(finding.ownTables.size() == 3 && !finding.examKept);
            QVERIFY(m_folder->Sql(u"INSERT INTO running_exam VALUES "
                                  u"(1,'p','n',120,'t',100,0,0,0,NULL,NULL,NULL,NULL)"_s));
            QVERIFY(StoreCheck::Check(path).examKept);
        }
        QCOMPARE(finding.column.isEmpty() ? finding.table : finding.column, sql.section(u' ', -1));
        QCOMPARE(QFile::exists(path), !Tag("missing"));
        const QString message = StoreCheckMessage(finding, path);
        QCOMPARE(message.isEmpty(), problem == Problem::None);
        QVERIFY(message.isEmpty() || message.contains(QDir::toNativeSeparators(path)));
    }

    // Each word also capitalised; lookups stay case-sensitive.
    void wordList()
    {
        QCOMPARE(m_folder->Column(u"SELECT 单词 FROM word WHERE 单词 IN "
                                  u"('school','School','SCHOOL','sch00l') ORDER BY 1"_s),
                 (QStringList{u"School"_s, u"school"_s}));
    }

    // Same sources, same stamp; old grades that cannot be read stop the build.
    void build()
    {
        const auto stamp = [&](const QStringList& more) {
            const bool built = RunMkdb(more).first == 0;
            return built ? m_folder->Column(u"SELECT stamp FROM content"_s).value(0) : QString();
        };
        const QString first = stamp({});
        QVERIFY(!first.isEmpty());
        QCOMPARE(stamp({}), first);
        QFile rows(m_folder->Path() + u"/write.tsv"_s);
        QVERIFY(rows.open(QIODevice::WriteOnly) && rows.write("卷名\t关键词\nP\tschool\n") > 0);
        rows.close();
        const QString changed = stamp({u"--rows"_s, u"write"_s, rows.fileName()});
        QVERIFY(!changed.isEmpty() && changed != first);

        const QByteArray old("not a database, but it may be all a teacher has");
        QFile file(m_folder->DatabasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(old) > 0);
        file.close();
        const auto [code, output] = RunMkdb({u"--keep-grades"_s});
        QCOMPARE(code, 1);
        QVERIFY2(output.contains(u"to keep its grades"_s), qPrintable(output));
        QCOMPARE(Bytes(file.fileName()), old);
        QVERIFY(!QFile::exists(m_folder->DatabasePath() + u".new"_s));
    }

    void olderDatabaseIsUpgraded_data()
    {
        QTest::addColumn<bool>("atStart"); // else by ordwin-mkdb
        QTest::addColumn<bool>("oldHasExams");
        QTest::newRow("at start") << true << false;
        QTest::newRow("at build") << false << false;
        QTest::newRow("at build, exams kept") << false << true;
    }
    void olderDatabaseIsUpgraded()
    {
        QFETCH(bool, atStart);
        QFETCH(bool, oldHasExams);
        const auto layout = [&] {
            return m_folder->Column(u"SELECT t||' '||name||' '||type||' '||\"notnull\"||' '||pk "
                                    u"FROM (SELECT 'exam' t UNION SELECT 'exam_answer'), "
                                    u"pragma_table_info(t) UNION ALL SELECT name "
                                    u"FROM pragma_index_info('exam_by_name')"_s);
        };
        const QStringList fresh = layout();
        const QString grades = u"SELECT 考生姓名||':'||成绩 FROM grades"_s;
        const QStringList keptGrades = m_folder->Column(grades);
        if (oldHasExams)
            QVERIFY(
                m_folder->Sql(u"INSERT INTO exam VALUES (7,'英语科模拟考试卷51','2026-11-20 08:00',"
                              u"'李明',60,20,10,10,10,20,10,'','','')"_s) &&
                m_folder->Sql(u"INSERT INTO exam_answer VALUES (7,'01','A','A',1,1)"_s));
        else
            QVERIFY(m_folder->Sql(u"DROP TABLE exam_answer"_s) &&
                    m_folder->Sql(u"DROP TABLE exam"_s));
        if (atStart)
            QVERIFY(EnsureExamTables());
        else
            QCOMPARE(RunMkdb({u"--keep-grades"_s}).first, 0);
        QCOMPARE(layout(), fresh);
        QCOMPARE(m_folder->Column(grades), keptGrades);
        QCOMPARE(m_folder->Column(
                     u"SELECT 编号||' '||考生姓名 FROM exam JOIN exam_answer ON 考试编号=编号"_s),
                 oldHasExams ? QStringList{u"7 李明"_s} : QStringList());
    }

    // Numbers outside 1 to 80 count nowhere.
    void sections()
    {
        QList<Sections::QuestionPoints> card;
        for (const QString& number : u"01 20 21 35 36 55 56 70 71 80 81 00 x"_s.split(u' '))
            card.append({number, number == u"56"_s || number == u"70"_s ? 2.0 : 1.0});
        QStringList split;
        for (const Sections::Score& score : Sections::Split(card, 24.5))
            split << u"%1/%2"_s.arg(score.points).arg(score.full);
        QCOMPARE(split.join(u' '), u"2/20 2/15 2/20 4/30 2/10 24.5/25"_s);
    }

    // All of it or, when any part fails (or a trigger drops a row), nothing.
    void handInRecordsAllOrNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("recorded") << QString();
        QTest::newRow("sum fails") << u"UPDATE answer SET 得分='x' WHERE 题号='72'"_s;
        QTest::newRow("insert dropped")
            << u"CREATE TRIGGER t BEFORE INSERT ON grades BEGIN SELECT RAISE(IGNORE); END"_s;
        QTest::newRow("exam record fails") << u"CREATE TRIGGER t BEFORE INSERT ON exam_answer "
                                              u"BEGIN SELECT RAISE(ABORT,'x'); END"_s;
    }
    void handInRecordsAllOrNothing()
    {
        QFETCH(QString, fault);
        QVERIFY(m_folder->Sql(
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<80) "
            u"INSERT INTO answer SELECT '测试卷',printf('%02d',i),'A','A',1+(i BETWEEN 56 AND 70),"
            u"1+(i BETWEEN 56 AND 70) FROM n"_s));
        QVERIFY(fault.isEmpty() || m_folder->Sql(fault));
        const HandIn::Outcome outcome = HandIn::Record(u"测试卷"_s, u"2026-12-01 09:00:00"_s,
                                                       u"O'Neil"_s, {24.5, u"A Visit"_s, {}, {}});
        const bool kept = fault.isEmpty();
        QCOMPARE(outcome.status, kept ? HandIn::Status::Recorded : HandIn::Status::Failed);
        QCOMPARE(m_messages->texts.size(), kept ? 0 : 1);
        QCOMPARE(m_folder->Column(u"SELECT (SELECT count(*) FROM grades)||'/'||(SELECT count(*) "
                                  u"FROM exam)||'/'||(SELECT count(*) FROM exam_answer)"_s),
                 QStringList{kept ? u"3/1/80"_s : u"2/0/0"_s});
        if (kept) {
            QCOMPARE(outcome.objective, 95.0);
            QCOMPARE(m_folder->Column(
                         u"SELECT 成绩||' '||考生姓名||' '||客观题得分||' '||听力得分||' '||"
                         u"单项填空得分||' '||完形填空得分||' '||阅读理解得分||' '||"
                         u"任务型阅读得分||' '||作文得分||' '||作文题目 FROM exam "
                         u"JOIN grades USING (考生姓名)"_s),
                     QStringList{u"119.5 O'Neil 95.0 20.0 15.0 20.0 30.0 10.0 24.5 A Visit"_s});
        }
    }

    void prepare_data()
    {
        QTest::addColumn<QList<int>>("notices");
        QTest::addColumn<QString>("after"); // renewed: pristine, the user's grades kept
        const QList<int> none;
        using N = DataFolder::Notice;
        Case("portable", none, u"none"_s);
        Case("first start", none, u"renewed"_s);
        Case("same content", none, u"untouched"_s);
        Case("content changed", none, u"renewed"_s);
        Case("damaged", QList<int>{int(N::Damaged)}, u"renewed"_s);
        Case("emptied", QList<int>{int(N::Damaged)}, u"renewed"_s);
        Case("update fails", QList<int>{int(N::UpdateFailed)}, u"untouched"_s);
        Case("pristine missing", QList<int>{int(N::PristineMissing)}, u"untouched"_s);
        Case("unwritable", QList<int>{int(N::Unusable)}, u"none"_s);
    }
    void prepare()
    {
        QFETCH(QList<int>, notices);
        QFETCH(QString, after);
        QTemporaryDir root;
        const QString program = root.filePath(u"usr/bin"_s),
                      content = root.filePath(u"usr/share/ordwin"_s);
        QString user = root.filePath(u"home/Calvreth/Ordwin"_s);
        const QString pristine = content + u"/word.mdb"_s, mine = user + u"/word.mdb"_s;
        for (const QString& path :
             QStringList{program, content + u"/etp"_s, content + u"/elm"_s, user})
            QVERIFY(root.isValid() && QDir().mkpath(path));
        QVERIFY(QFile::copy(QStringLiteral(ORDWIN_TEST_DB), pristine));
        const QString stamp = u"SELECT stamp FROM content"_s,
                      names = u"SELECT 考生姓名 FROM grades"_s;
        if (Tag("portable")) {
            QVERIFY(QFile::copy(pristine, program + u"/word.mdb"_s));
        } else if (Tag("damaged") || Tag("emptied")) {
            const QByteArray bytes(Tag("damaged") ? "not a database, but all a student has" : "");
            QFile file(mine);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        } else if (Tag("unwritable")) {
            QVERIFY(QFile(root.filePath(u"home-file"_s)).open(QIODevice::WriteOnly));
            user = root.filePath(u"home-file/Calvreth/Ordwin"_s);
        } else if (!Tag("first start")) {
            QVERIFY(QFile::copy(pristine, mine) &&
                    QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner));
            DatabaseColumn(mine, u"INSERT INTO grades VALUES('卷','2026-12-01','mine',90)"_s);
            if (!Tag("same content"))
                DatabaseColumn(mine, u"UPDATE content SET stamp='older'"_s);
            if (Tag("update fails"))
                DatabaseColumn(mine, u"ALTER TABLE grades DROP COLUMN 成绩"_s);
            if (Tag("pristine missing"))
                QVERIFY(QFile::remove(pristine));
            QVERIFY(QFile::link(root.path(), user + u"/etp"_s)); // left by another installation
        }
        const QByteArray before = Bytes(mine);
        const QStringList grades = DatabaseColumn(mine, names);

        const DataFolder::Outcome out =
            DataFolder::Prepare(program, user, QDateTime({2026, 12, 7}, {10, 15}));
        QList<int> told;
        for (const DataFolder::Message& message : out.messages)
            told << int(message.notice);
        QCOMPARE(told, notices);
        QCOMPARE(out.portable, Tag("portable"));
        QCOMPARE(out.folder, out.portable ? program : Tag("unwritable") ? QString() : user);
        QVERIFY(!QFile::exists(mine + u".new"_s));
        if (after == u"none"_s) {
            QVERIFY(!QFile::exists(user + u"/word.mdb"_s));
        } else if (after == u"untouched"_s) {
            QCOMPARE(Bytes(mine), before);
        } else {
            QCOMPARE(DatabaseColumn(mine, stamp), DatabaseColumn(pristine, stamp));
            QStringList expected = DatabaseColumn(pristine, names) + grades;
            expected.sort();
            QCOMPARE(DatabaseColumn(mine, names + u" ORDER BY 1"_s), expected);
        }
        if (notices.contains(int(DataFolder::Notice::Damaged)))
            QCOMPARE(Bytes(user + u"/word.mdb.damaged-20261207-101500"_s), before);
        for (const QString& name : {u"/etp"_s, u"/elm"_s})
            QVERIFY(out.folder != user || QFileInfo(user + name).symLinkTarget() == content + name);
    }

    void settings()
    {
        // on?|host|port|database|user|class|student|options; bad port, wait: defaults
        for (const auto& [file, read] : QList<std::pair<QByteArray, QString>>{
                 {"host=db\nport=5433\ndatabase=g3\nuser=s01\nsslmode=require\n"
                  "connect_timeout=5\nclass=1\nstudent=Li"_ba,
                  u"1|db|5433|g3|s01|1|Li|connect_timeout=5;sslmode=require"_s},
                 {"host=h\nport=x\nconnect_timeout=1"_ba, u"0|h|5432|||||connect_timeout=2"_s}}) {
            QTemporaryFile ini;
            QVERIFY(ini.open() && ini.write("[class]\n" + file) > 0 && ini.flush());
            QSettings source(ini.fileName(), QSettings::IniFormat);
            const ClassServer::Settings s = ClassServer::Load(source);
            QCOMPARE(QStringList({QString::number(s.Configured()), s.host, QString::number(s.port),
                                  s.database, s.user, s.className, s.student, s.ConnectOptions()})
                         .join(u'|'),
                     read);
        }
    }

    // Off, no outbox; on, the exam waits there, still, with practice, in a renewed file.
    void outbox()
    {
        QVERIFY(QFile::copy(QStringLiteral(ORDWIN_TEST_DB), u"new.mdb"_s));
        QFile::setPermissions(u"new.mdb"_s, QFile::ReadOwner | QFile::WriteOwner);
        for (const QString& host : {QString(), u"h"_s}) {
            QVERIFY(HandIn::Record(Paper, u"2026-01-01 08:00:00"_s, u"丁"_s, {},
                                   {host, 5432, u"d"_s, {}, {}, 3, {}, {}})
                        .status == HandIn::Status::Recorded);
            QCOMPARE(
                m_folder->Column(u"SELECT count(*) FROM sqlite_master WHERE name='class_outbox'"_s),
                QStringList{QString::number(!host.isEmpty())});
        }
        QVERIFY(m_folder->Sql(u"INSERT INTO practice VALUES ('丁','p','36','2026-11-10','C',1)"_s));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"new"_s);
            db.setDatabaseName(u"new.mdb"_s);
            QString error;
            QVERIFY(db.open() && WordFile::CarryGrades(db, m_folder->DatabasePath(), &error) == 4);
        }
        QSqlDatabase::removeDatabase(u"new"_s);
        QCOMPARE(DatabaseColumn(u"new.mdb"_s,
                                u"SELECT (SELECT count(*) FROM class_outbox WHERE sent IS NULL)||"
                                u"(SELECT group_concat(题号||回答) FROM practice)"_s),
                 QStringList{u"136C"_s});
    }

    void averages()
    {
        const auto entry = [](const char* paper, double listening, double essay) {
            const Sections::Scores sections = Sections::FromPoints({listening, 0, 0, 0, 0, essay});
            return ClassBook::Entry{
                {}, {}, {}, {QLatin1String(paper), {}, listening + essay, sections}};
        };
        QStringList rows;
        for (const ClassBook::Average& a :
             ClassBook::Averages({entry("b", 10, 20), entry("a", 20, 10), entry("b", 0, 15)}))
            rows << QString::asprintf("%s:%d %g %g %g", qPrintable(a.paper), a.exams, a.total,
                                      a.sections[0], a.sections[Sections::Essay]);
        QCOMPARE(rows, (QStringList{u":3 25 10 15"_s, u"a:1 30 20 10"_s, u"b:2 22.5 5 17.5"_s}));
    }

private:
    std::optional<ProgramFolder> m_folder;
    std::optional<AppMessages> m_messages;
};

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
