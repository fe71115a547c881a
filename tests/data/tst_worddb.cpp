// The generated databases: the program's word.mdb and what the generator
// does with an existing one.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

class Db
{
public:
    explicit Db(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.open();
    }
    ~Db() { QSqlDatabase::removeDatabase(m_name); }

    QStringList Column(const QString& sql) const
    {
        QStringList values;
        QSqlQuery query(QSqlDatabase::database(m_name));
        if (query.exec(sql)) {
            while (query.next())
                values << query.value(0).toString();
        }
        return values;
    }

private:
    QString m_name = QStringLiteral("inspect");
};

int RunMkdb(const QStringList& args, QString* output = nullptr)
{
    QProcess mkdb;
    mkdb.setProcessChannelMode(QProcess::MergedChannels);
    mkdb.start(QStringLiteral(ORDWIN_MKDB), args);
    mkdb.waitForFinished(120000);
    if (output)
        *output = QString::fromUtf8(mkdb.readAll());
    return mkdb.exitStatus() == QProcess::NormalExit ? mkdb.exitCode() : -1;
}

} // namespace

class TestWordDb : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tablesAndColumns_data();
    void tablesAndColumns();
    void wordList();
    void rebuildKeepsGrades();
    void unreadableOldDatabaseIsLeftAlone();
    void badRowFileFailsTheBuild();
    void contentStampFollowsTheSources();
};

void TestWordDb::tablesAndColumns_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    QTest::newRow("answer") << QStringLiteral("answer")
                            << QStringLiteral("卷名 题号 回答 答案 分值 得分");
    QTest::newRow("grades") << QStringLiteral("grades")
                            << QStringLiteral("试题名 考试时间 考生姓名 成绩");
    QTest::newRow("word") << QStringLiteral("word") << QStringLiteral("单词");
    QTest::newRow("write") << QStringLiteral("write") << QStringLiteral("卷名 关键词");
}

void TestWordDb::tablesAndColumns()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    Db db(QStringLiteral(ORDWIN_PROGRAM_DB));
    const QStringList names =
        db.Column(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table));
    QCOMPARE(names.join(QLatin1Char(' ')), columns);
}

void TestWordDb::wordList()
{
    Db db(QStringLiteral(ORDWIN_PROGRAM_DB));
    QVERIFY(db.Column(QStringLiteral("SELECT COUNT(*) FROM word")).value(0).toInt() > 50000);
    const auto has = [&](const char* word) {
        return db.Column(QStringLiteral("SELECT COUNT(*) FROM word WHERE 单词='%1'")
                             .arg(QString::fromUtf8(word)))
                   .value(0) == QLatin1String("1");
    };
    QVERIFY(has("school"));
    QVERIFY(has("School")); // the first word of a sentence
    QVERIFY(has("Paris"));
    QVERIFY(!has("SCHOOL")); // lookups stay case-sensitive
    QVERIFY(!has("sch00l"));
}

void TestWordDb::rebuildKeepsGrades()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("word.mdb"));
    const QStringList args{QStringLiteral("--out"), out, QStringLiteral("--schema"),
                           QStringLiteral(ORDWIN_SCHEMA), QStringLiteral("--keep-grades")};
    QCOMPARE(RunMkdb(args), 0);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("w"));
        db.setDatabaseName(out);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(
            QStringLiteral("INSERT INTO grades VALUES('2010年江苏高考英语试题','2026-12-01 "
                           "10:00:00','张三',101.5)")));
        QVERIFY(query.exec(QStringLiteral(
            "INSERT INTO grades VALUES('英语科模拟考试卷51','2026-12-02 10:00:00','O''Neil',88)")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("w"));

    QString output;
    QCOMPARE(RunMkdb(args, &output), 0);
    QVERIFY2(output.contains(QStringLiteral("grades: 2 rows kept")), qPrintable(output));
    Db db(out);
    QCOMPARE(db.Column(QStringLiteral("SELECT 考生姓名||':'||成绩 FROM grades ORDER BY 考试时间")),
             (QStringList{QStringLiteral("张三:101.5"), QStringLiteral("O'Neil:88.0")}));
}

void TestWordDb::unreadableOldDatabaseIsLeftAlone()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("word.mdb"));
    const QByteArray damaged("this is not a database, but it may be all a teacher has");
    {
        QFile file(out);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    QString output;
    const int code = RunMkdb({QStringLiteral("--out"), out, QStringLiteral("--schema"),
                              QStringLiteral(ORDWIN_SCHEMA), QStringLiteral("--keep-grades")},
                             &output);
    QVERIFY(code != 0);
    QVERIFY2(output.contains(QStringLiteral("to keep its grades")), qPrintable(output));
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), damaged);
}

void TestWordDb::badRowFileFailsTheBuild()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString rows = dir.filePath(QStringLiteral("answer.tsv"));
    {
        QFile file(rows);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("卷名\t题号\t回答\t答案\t分值\t得分\n2010年江苏高考英语试题\t01\t \tB\t1\n");
    }
    const QString out = dir.filePath(QStringLiteral("word.mdb"));
    QString output;
    QVERIFY(RunMkdb({QStringLiteral("--out"), out, QStringLiteral("--schema"),
                     QStringLiteral(ORDWIN_SCHEMA), QStringLiteral("--rows"),
                     QStringLiteral("answer"), rows},
                    &output) != 0);
    QVERIFY2(output.contains(QStringLiteral("answer.tsv:2: 5 values for 6 columns")),
             qPrintable(output));
    QVERIFY(!QFile::exists(out));
}

// Built again from the same sources, in another place, a file carries the
// same stamp; from changed sources, another.
void TestWordDb::contentStampFollowsTheSources()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto build = [&](const char* out, const QByteArray& keywords) {
        QFile rows(dir.filePath(QStringLiteral("write.tsv")));
        const QByteArray text = QByteArray("卷名\t关键词\nP\t") + keywords;
        if (!rows.open(QIODevice::WriteOnly) || rows.write(text) != text.size())
            return QString();
        rows.close();
        const QString path = dir.filePath(QString::fromLatin1(out));
        if (RunMkdb({QStringLiteral("--out"), path, QStringLiteral("--schema"),
                     QStringLiteral(ORDWIN_SCHEMA), QStringLiteral("--rows"),
                     QStringLiteral("write"), rows.fileName()}) != 0)
            return QString();
        return Db(path).Column(QStringLiteral("SELECT stamp FROM content")).value(0);
    };
    const QString stamp = build("a/word.mdb", "school/friend");
    QVERIFY(!stamp.isEmpty());
    QCOMPARE(build("b/word.mdb", "school/friend"), stamp);
    const QString changed = build("c/word.mdb", "school/help");
    QVERIFY(!changed.isEmpty() && changed != stamp);
}

QTEST_GUILESS_MAIN(TestWordDb)
#include "tst_worddb.moc"
