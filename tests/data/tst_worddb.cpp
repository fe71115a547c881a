// word.mdb: what the generator makes of the test database's sources, the
// tables added to an older file at start and at build with its grades kept,
// where the file lives when installed, an answer card split into the sections
// of the paper, hand-in's record, written whole or not at all, and class mode
// without a server: its settings, the outbox, the class averages.

#include "ClassBook.h"
#include "DataFolder.h"
#include "ExamRecord.h"
#include "HandIn.h"
#include "TestSupport.h"
#include "WordFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString Counts = u"SELECT (SELECT count(*) FROM grades)||'/'||(SELECT count(*) FROM exam)"
                       u"||'/'||(SELECT count(*) FROM exam_answer)"_s;

// Runs the generator on the folder's database; its exit code and output.
std::pair<int, QString> RunMkdb(const ProgramFolder& folder, const QStringList& more)
{
    QProcess mkdb;
    mkdb.setProcessChannelMode(QProcess::MergedChannels);
    mkdb.start(QStringLiteral(ORDWIN_MKDB),
               QStringList{u"--out"_s, folder.DatabasePath(), u"--schema"_s,
                           QStringLiteral(ORDWIN_SCHEMA)} +
                   more);
    const bool finished = mkdb.waitForFinished(120000) && mkdb.exitStatus() == QProcess::NormalExit;
    return {finished ? mkdb.exitCode() : -1, QString::fromUtf8(mkdb.readAll())};
}

// "题号=得分 ..." as the points of an answer card.
QList<Sections::QuestionPoints> Card(const QString& text)
{
    QList<Sections::QuestionPoints> card;
    for (const QString& pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        card.append({pair.section(u'=', 0, 0), pair.section(u'=', 1).toDouble()});
    return card;
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestWordDb : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Each word also capitalised, so a sentence's first word is found;
    // lookups stay case-sensitive.
    void wordList()
    {
        ProgramFolder folder;
        QCOMPARE(folder.Column(u"SELECT 单词 FROM word WHERE 单词 IN "
                               u"('school','School','SCHOOL','sch00l') ORDER BY 1"_s),
                 (QStringList{u"School"_s, u"school"_s}));
    }

    // Old grades that cannot be read stop the build; the old file stays.
    void unreadableGradesStopTheBuild()
    {
        ProgramFolder folder;
        const QByteArray old("not a database, but it may be all a teacher has");
        QFile file(folder.DatabasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(old) > 0);
        file.close();
        const auto [code, output] = RunMkdb(folder, {u"--keep-grades"_s});
        QCOMPARE(code, 1);
        QVERIFY2(output.contains(u"to keep its grades"_s), qPrintable(output));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QVERIFY(!QFile::exists(folder.DatabasePath() + u".new"_s));
    }

    // The stamp of the sources a file was made from: the same sources give
    // the same stamp, changed ones another.
    void contentStamp()
    {
        ProgramFolder folder;
        const auto stamp = [&](const QStringList& more) {
            const bool built = RunMkdb(folder, more).first == 0;
            return built ? folder.Column(u"SELECT stamp FROM content"_s).value(0) : QString();
        };
        const QString first = stamp({});
        QVERIFY(!first.isEmpty());
        QCOMPARE(stamp({}), first);
        QFile rows(folder.Path() + u"/write.tsv"_s);
        QVERIFY(rows.open(QIODevice::WriteOnly) && rows.write("卷名\t关键词\nP\tschool\n") > 0);
        rows.close();
        const QString changed = stamp({u"--rows"_s, u"write"_s, rows.fileName()});
        QVERIFY(!changed.isEmpty() && changed != first);
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
        const auto layout = [&] {
            QStringList layout;
            for (const char* table : {"exam", "exam_answer"})
                layout += folder.Column(
                    u"SELECT group_concat(name||' '||type||' '||\"notnull\"||' '"
                    u"||pk, ', ') FROM pragma_table_info('%1')"_s.arg(QLatin1String(table)));
            return layout + folder.Column(u"SELECT group_concat(name, ', ') "
                                          u"FROM pragma_index_info('exam_by_name')"_s);
        };
        const QStringList fresh = layout();
        const QString grades = u"SELECT 考生姓名||':'||成绩 FROM grades"_s;
        const QStringList keptGrades = folder.Column(grades);
        if (oldHasExams)
            QVERIFY(
                folder.Sql(u"INSERT INTO exam VALUES (7,'英语科模拟考试卷51','2026-11-20 08:00',"
                           u"'李明',60,20,10,10,10,20,10,'','','')"_s) &&
                folder.Sql(u"INSERT INTO exam_answer VALUES (7,'01','A','A',1,1)"_s));
        else
            QVERIFY(folder.Sql(u"DROP TABLE exam_answer"_s) && folder.Sql(u"DROP TABLE exam"_s));
        if (atStart)
            QVERIFY(EnsureExamTables());
        else
            QCOMPARE(RunMkdb(folder, {u"--keep-grades"_s}).first, 0);
        QCOMPARE(layout(), fresh);
        QCOMPARE(folder.Column(grades), keptGrades);
        QCOMPARE(folder.Column(
                     u"SELECT 编号||' '||考生姓名 FROM exam JOIN exam_answer ON 考试编号=编号"_s),
                 oldHasExams ? QStringList{u"7 李明"_s} : QStringList());
    }

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

    // The answer card of a paper of 80 questions, every answer right (reading
    // earns two points), handed in: the grade row and the whole exam, section
    // by section, or nothing when any part fails (or a trigger drops a row).
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
        ProgramFolder folder;
        QVERIFY(folder.IsValid());
        QVERIFY(folder.Sql(
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<80) "
            u"INSERT INTO answer SELECT '测试卷',printf('%02d',i),'A','A',1+(i BETWEEN 56 AND 70),"
            u"1+(i BETWEEN 56 AND 70) FROM n"_s));
        QVERIFY(fault.isEmpty() || folder.Sql(fault));
        AppMessages messages;
        const HandIn::Outcome outcome = HandIn::Record(u"测试卷"_s, u"2026-12-01 09:00:00"_s,
                                                       u"O'Neil"_s, {24.5, u"A Visit"_s, {}, {}});
        const bool kept = fault.isEmpty();
        QCOMPARE(outcome.status, kept ? HandIn::Status::Recorded : HandIn::Status::Failed);
        QCOMPARE(messages.texts.size(), kept ? 0 : 1);
        QCOMPARE(folder.Column(Counts), QStringList{kept ? u"3/1/80"_s : u"2/0/0"_s});
        if (kept) {
            QCOMPARE(outcome.objective, 95.0);
            QCOMPARE(
                folder.Column(u"SELECT 成绩||' '||考生姓名||' '||客观题得分||' '||听力得分||' '||"
                              u"单项填空得分||' '||完形填空得分||' '||阅读理解得分||' '||"
                              u"任务型阅读得分||' '||作文得分||' '||作文题目 FROM exam "
                              u"JOIN grades USING (考生姓名)"_s),
                QStringList{u"119.5 O'Neil 95.0 20.0 15.0 20.0 30.0 10.0 24.5 A Visit"_s});
        }
    }

    // Where the data lives: the start-up's decisions on a made-up installation,
    // <root>/usr/bin beside <root>/usr/share/ordwin, the user's folder under
    // <root>/home.
    void prepare_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<int>>("notices");
        // The user's word.mdb afterwards: "none", "untouched", or "renewed":
        // the pristine content with the grades the user's file had.
        QTest::addColumn<QString>("after");
        using N = DataFolder::Notice;
        QTest::newRow("portable") << "portable" << QList<int>{} << "none";
        QTest::newRow("first start") << "first start" << QList<int>{} << "renewed";
        QTest::newRow("same content") << "same content" << QList<int>{} << "untouched";
        QTest::newRow("content changed") << "content changed" << QList<int>{} << "renewed";
        QTest::newRow("damaged") << "damaged" << QList<int>{int(N::Damaged)} << "renewed";
        QTest::newRow("emptied") << "emptied" << QList<int>{int(N::Damaged)} << "renewed";
        QTest::newRow("update fails")
            << "update fails" << QList<int>{int(N::UpdateFailed)} << "untouched";
        QTest::newRow("pristine missing")
            << "pristine missing" << QList<int>{int(N::PristineMissing)} << "untouched";
        QTest::newRow("unwritable") << "unwritable" << QList<int>{int(N::Unusable)} << "none";
    }
    void prepare()
    {
        QFETCH(QString, setup);
        QFETCH(QList<int>, notices);
        QFETCH(QString, after);
        const auto is = [&](const char* name) { return setup == QLatin1String(name); };
        QTemporaryDir root;
        const QString program = root.filePath(u"usr/bin"_s);
        const QString content = root.filePath(u"usr/share/ordwin"_s);
        QString user = root.filePath(u"home/Calvreth/Ordwin"_s);
        const QString pristine = content + u"/word.mdb"_s, mine = user + u"/word.mdb"_s;
        for (const QString& path :
             QStringList{program, content + u"/etp"_s, content + u"/elm"_s, user})
            QVERIFY(root.isValid() && QDir().mkpath(path));
        QVERIFY(QFile::copy(QStringLiteral(ORDWIN_TEST_DB), pristine));
        const QString stamp = u"SELECT stamp FROM content"_s,
                      names = u"SELECT 考生姓名 FROM grades"_s;
        QCOMPARE(DatabaseColumn(pristine, stamp).size(), 1);
        if (is("portable")) {
            QVERIFY(QFile::copy(pristine, program + u"/word.mdb"_s));
        } else if (is("damaged") || is("emptied")) {
            const QByteArray bytes(is("damaged") ? "not a database, but all a student has" : "");
            QFile file(mine);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        } else if (is("unwritable")) { // the data location is a file: no folder can be made in it
            QVERIFY(QFile(root.filePath(u"home-file"_s)).open(QIODevice::WriteOnly));
            user = root.filePath(u"home-file/Calvreth/Ordwin"_s);
        } else if (!is("first start")) {
            QVERIFY(QFile::copy(pristine, mine) &&
                    QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner));
            DatabaseColumn(mine, u"INSERT INTO grades VALUES('卷','2026-12-01','mine',90)"_s);
            if (!is("same content"))
                DatabaseColumn(mine, u"UPDATE content SET stamp='older'"_s);
            if (is("update fails")) {
                DatabaseColumn(mine, u"DROP TABLE grades"_s);
                DatabaseColumn(mine, u"CREATE TABLE grades(x)"_s);
            }
            if (is("pristine missing"))
                QVERIFY(QFile::remove(pristine));
            // A link left by an installation elsewhere.
            QVERIFY(QFile::link(root.path(), user + u"/etp"_s));
        }
        const QByteArray before = Bytes(mine);
        const QStringList grades = DatabaseColumn(mine, names);

        const DataFolder::Outcome out =
            DataFolder::Prepare(program, user, QDateTime({2026, 12, 7}, {10, 15}));
        QList<int> told;
        for (const DataFolder::Message& message : out.messages)
            told << int(message.notice);
        QCOMPARE(told, notices);
        QCOMPARE(out.portable, is("portable"));
        QCOMPARE(out.folder, out.portable ? program : is("unwritable") ? QString() : user);
        QVERIFY(!QFile::exists(mine + u".new"_s));
        if (after == u"none"_s) {
            QVERIFY(!QFile::exists(user + u"/word.mdb"_s));
        } else if (after == u"untouched"_s) {
            QCOMPARE(Bytes(mine), before);
        } else {
            QCOMPARE(DatabaseColumn(mine, stamp), DatabaseColumn(pristine, stamp));
            QStringList expected = DatabaseColumn(pristine, names) + grades;
            QStringList kept = DatabaseColumn(mine, names);
            expected.sort();
            kept.sort();
            QCOMPARE(kept, expected);
        }
        if (notices.contains(int(DataFolder::Notice::Damaged)))
            QCOMPARE(Bytes(user + u"/word.mdb.damaged-20261207-101500"_s), before);
        for (const QString& name : {u"/etp"_s, u"/elm"_s})
            QVERIFY(out.folder != user || QFileInfo(user + name).symLinkTarget() == content + name);
    }

    void settings_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read"); // on?|host|port|database|user|class|student|options
        QTest::newRow("everything")
            << "host=db\nport=5433\ndatabase=g3\nuser=s01\nsslmode=require\n"
               "connect_timeout=5\nclass=1\nstudent=Li"_ba
            << u"1|db|5433|g3|s01|1|Li|connect_timeout=5;sslmode=require"_s;
        QTest::newRow("no database: off; a port and a wait of no use keep the defaults")
            << "host=h\nport=x\nconnect_timeout=1"_ba << u"0|h|5432|||||connect_timeout=2"_s;
    }

    void settings()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        QTemporaryFile ini;
        QVERIFY(ini.open() && ini.write("[class]\n" + file) > 0 && ini.flush());
        QSettings source(ini.fileName(), QSettings::IniFormat);
        const ClassServer::Settings s = ClassServer::Load(source);
        QCOMPARE(QStringList({QString::number(s.Configured()), s.host, QString::number(s.port),
                              s.database, s.user, s.className, s.student, s.ConnectOptions()})
                     .join(u'|'),
                 read);
    }

    // Class mode off, a hand-in makes no outbox; on, its exam waits there, and
    // still waits, practice kept beside it, in a file renewed from new content.
    void outbox()
    {
        ProgramFolder folder;
        QVERIFY(folder.IsValid() && QFile::copy(QStringLiteral(ORDWIN_TEST_DB), u"new.mdb"_s));
        QFile::setPermissions(u"new.mdb"_s, QFile::ReadOwner | QFile::WriteOwner);
        for (const QString& host : {QString(), u"h"_s}) {
            QCOMPARE(HandIn::Record(u"2010年江苏高考英语试题"_s, u"2026-01-01 08:00:00"_s, u"丁"_s,
                                    {}, {host, 5432, u"d"_s, {}, {}, 3, {}, {}})
                         .status,
                     HandIn::Status::Recorded);
            QCOMPARE(
                folder.Column(u"SELECT count(*) FROM sqlite_master WHERE name='class_outbox'"_s),
                QStringList{QString::number(!host.isEmpty())});
        }
        QVERIFY(folder.Sql(u"INSERT INTO practice VALUES ('丁','p','36','2026-11-10','C',1)"_s));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"new"_s);
            db.setDatabaseName(u"new.mdb"_s);
            QString error;
            QVERIFY(db.open() && WordFile::CarryGrades(db, folder.DatabasePath(), &error) == 4);
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
            rows << u"%1:%2 %3 %4 %5"_s.arg(a.paper)
                        .arg(a.exams)
                        .arg(a.total)
                        .arg(a.sections[0])
                        .arg(a.sections[Sections::Essay]);
        QCOMPARE(rows, (QStringList{u":3 25 10 15"_s, u"a:1 30 20 10"_s, u"b:2 22.5 5 17.5"_s}));
    }
};

QTEST_GUILESS_MAIN(TestWordDb)
#include "tst_worddb.moc"
