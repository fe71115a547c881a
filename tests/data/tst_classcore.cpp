// Class mode without a server: its settings, the outbox written with the
// hand-in and kept, with the notebook's practice, when new content replaces
// word.mdb, the class averages.

#include "ClassBook.h"
#include "HandIn.h"
#include "TestSupport.h"
#include "WordFile.h"

#include <QSettings>
#include <QTemporaryFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestClassCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:

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

QTEST_GUILESS_MAIN(TestClassCore)
#include "tst_classcore.moc"
