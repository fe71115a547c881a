// The database generator, run on a copy of the test database.

#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {
// Runs the generator on the folder's database; its exit code and output.
std::pair<int, QString> RunMkdb(const ProgramFolder& folder, const QStringList& more)
{
    QProcess mkdb;
    mkdb.setProcessChannelMode(QProcess::MergedChannels);
    mkdb.start(QStringLiteral(ORDWIN_MKDB),
               QStringList{QStringLiteral("--out"), folder.DatabasePath(),
                           QStringLiteral("--schema"), QStringLiteral(ORDWIN_SCHEMA)} +
                   more);
    const bool finished = mkdb.waitForFinished(120000) && mkdb.exitStatus() == QProcess::NormalExit;
    return {finished ? mkdb.exitCode() : -1, QString::fromUtf8(mkdb.readAll())};
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
        QCOMPARE(folder.Column(QStringLiteral("SELECT 单词 FROM word WHERE 单词 IN "
                                              "('school','School','SCHOOL','sch00l') ORDER BY 1")),
                 (QStringList{QStringLiteral("School"), QStringLiteral("school")}));
    }

    // Old grades that cannot be read stop the build; the old file stays.
    void unreadableGradesStopTheBuild()
    {
        ProgramFolder folder;
        const QByteArray old("not a database, but it may be all a teacher has");
        QFile file(folder.DatabasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(old) > 0);
        file.close();
        const auto [code, output] = RunMkdb(folder, {QStringLiteral("--keep-grades")});
        QCOMPARE(code, 1);
        QVERIFY2(output.contains(QStringLiteral("to keep its grades")), qPrintable(output));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QVERIFY(!QFile::exists(folder.DatabasePath() + QStringLiteral(".new")));
    }

    // The stamp of the sources a file was made from: the same sources give
    // the same stamp, changed ones another.
    void contentStamp()
    {
        ProgramFolder folder;
        const auto stamp = [&](const QStringList& more) {
            const bool built = RunMkdb(folder, more).first == 0;
            return built ? folder.Column(QStringLiteral("SELECT stamp FROM content")).value(0)
                         : QString();
        };
        const QString first = stamp({});
        QVERIFY(!first.isEmpty());
        QCOMPARE(stamp({}), first);
        QFile rows(folder.Path() + QStringLiteral("/write.tsv"));
        QVERIFY(rows.open(QIODevice::WriteOnly) && rows.write("卷名\t关键词\nP\tschool\n") > 0);
        rows.close();
        const QString changed =
            stamp({QStringLiteral("--rows"), QStringLiteral("write"), rows.fileName()});
        QVERIFY(!changed.isEmpty() && changed != first);
    }
};

QTEST_GUILESS_MAIN(TestWordDb)
#include "tst_worddb.moc"
