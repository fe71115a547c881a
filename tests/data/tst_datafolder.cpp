// Where the data lives: the start-up's decisions on a made-up installation,
// <root>/usr/bin beside <root>/usr/share/ordwin, with the user's folder under
// <root>/home.

#include "DataFolder.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The first column of a query's rows; none when the file is missing (which
// opening it would make).

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray Garbage("not a database, but all the grades a student has");

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void prepare_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<int>>("notices");
        // The user's word.mdb afterwards: "none", "fresh" (the pristine file),
        // "mine" (the pristine content with the user's grades), "untouched".
        QTest::addColumn<QString>("after");
        using N = DataFolder::Notice;
        QTest::newRow("portable") << "portable" << QList<int>{} << "none";
        QTest::newRow("first start") << "first start" << QList<int>{} << "fresh";
        QTest::newRow("same content") << "same content" << QList<int>{} << "untouched";
        QTest::newRow("content changed") << "content changed" << QList<int>{} << "mine";
        QTest::newRow("damaged") << "damaged" << QList<int>{int(N::Damaged)} << "fresh";
        QTest::newRow("emptied") << "emptied" << QList<int>{int(N::Damaged)} << "fresh";
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
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString program = root.filePath(QStringLiteral("usr/bin"));
        const QString content = root.filePath(QStringLiteral("usr/share/ordwin"));
        QString user = root.filePath(QStringLiteral("home/Calvreth/Ordwin"));
        const QString pristine = content + QStringLiteral("/word.mdb");
        const QString mine = user + QStringLiteral("/word.mdb");
        for (const QString& path : QStringList{program, content + QStringLiteral("/etp"),
                                               content + QStringLiteral("/elm"), user})
            QVERIFY(QDir().mkpath(path));
        QVERIFY(QFile::copy(QStringLiteral(ORDWIN_TEST_DB), pristine));
        const QString stamp =
            DatabaseColumn(pristine, QStringLiteral("SELECT stamp FROM content")).value(0);
        QVERIFY(!stamp.isEmpty());

        if (setup == QLatin1String("portable")) {
            QVERIFY(QFile::copy(pristine, program + QStringLiteral("/word.mdb")));
        } else if (setup == QLatin1String("damaged") || setup == QLatin1String("emptied")) {
            const QByteArray bytes = setup == QLatin1String("damaged") ? Garbage : QByteArray();
            QFile file(mine);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        } else if (setup == QLatin1String("unwritable")) {
            // The data location is a file: no folder can be made in it.
            QVERIFY(QFile(root.filePath(QStringLiteral("home-file"))).open(QIODevice::WriteOnly));
            user = root.filePath(QStringLiteral("home-file/Calvreth/Ordwin"));
        } else if (setup != QLatin1String("first start")) {
            QVERIFY(QFile::copy(pristine, mine));
            QVERIFY(QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner));
            DatabaseColumn(
                mine, QStringLiteral("INSERT INTO grades VALUES('卷','2026-12-01','mine',90)"));
            if (setup != QLatin1String("same content"))
                DatabaseColumn(mine, QStringLiteral("UPDATE content SET stamp='older'"));
            if (setup == QLatin1String("update fails")) {
                DatabaseColumn(mine, QStringLiteral("DROP TABLE grades"));
                DatabaseColumn(mine, QStringLiteral("CREATE TABLE grades(x)"));
            }
            if (setup == QLatin1String("pristine missing"))
                QVERIFY(QFile::remove(pristine));
            // A link left by an installation elsewhere.
            QVERIFY(QFile::link(root.path(), user + QStringLiteral("/etp")));
        }
        const QByteArray before = Bytes(mine);
        const QString names = QStringLiteral("SELECT 考生姓名 FROM grades");
        const QStringList grades = DatabaseColumn(mine, names);

        const DataFolder::Outcome out =
            DataFolder::Prepare(program, user, QDateTime({2026, 12, 7}, {10, 15}));

        QList<int> told;
        for (const DataFolder::Message& message : out.messages)
            told << int(message.notice);
        QCOMPARE(told, notices);
        QCOMPARE(out.portable, setup == QLatin1String("portable"));
        QCOMPARE(out.folder, out.portable                           ? program
                             : setup == QLatin1String("unwritable") ? QString()
                                                                    : user);
        QVERIFY(!QFile::exists(mine + QStringLiteral(".new")));
        if (after == QLatin1String("none")) {
            QVERIFY(!QFile::exists(user + QStringLiteral("/word.mdb")));
        } else if (after == QLatin1String("untouched")) {
            QCOMPARE(Bytes(mine), before);
        } else {
            QCOMPARE(DatabaseColumn(mine, QStringLiteral("SELECT stamp FROM content")),
                     QStringList{stamp});
            QStringList expected = DatabaseColumn(pristine, names);
            if (after == QLatin1String("mine"))
                expected += grades;
            QStringList kept = DatabaseColumn(mine, names);
            expected.sort();
            kept.sort();
            QCOMPARE(kept, expected);
        }
        if (notices.contains(int(DataFolder::Notice::Damaged)))
            QCOMPARE(Bytes(user + QStringLiteral("/word.mdb.damaged-20261207-101500")), before);
        if (out.folder == user) {
            for (const char* name : {"etp", "elm"})
                QCOMPARE(QFileInfo(user + QLatin1Char('/') + QLatin1String(name)).symLinkTarget(),
                         content + QLatin1Char('/') + QLatin1String(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
