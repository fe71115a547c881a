// The content checker: every paper source in content/papers, and what the
// build made of it in the program folder and the program's texts.

#include "Catalogue.h"
#include "Gbk.h"
#include "Paper.h"
#include "TextResource.h"

#include <QAudioDecoder>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTest>
#include <QUrl>

using PaperSource::Paper;

namespace {

QString ProgramFile(const QString& relative)
{
    return QStringLiteral(ORDWIN_PROGRAM_DIR "/") + relative;
}

QString ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Catalogue position of a PaperName, or -1.
int PositionOf(const QString& name)
{
    for (int i = 0; i < Catalogue::PaperCount; ++i) {
        if (PaperNameFromPath(Catalogue::DocPath(i)) == name)
            return i;
    }
    return -1;
}

// The keys of the choice questions in order, a letter each.
QString ChoiceKeys(const Paper& paper)
{
    QString keys;
    for (const PaperSource::Question& q : paper.questions) {
        if (!q.options.isEmpty())
            keys += q.key;
    }
    return keys;
}

} // namespace

class TestPapers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sources_data();
    void sources();
    void documents_data() { sources_data(); }
    void documents();
    void explanations_data() { sources_data(); }
    void explanations();
    void database_data() { sources_data(); }
    void database();
    void recordings_data() { sources_data(); }
    void recordings();
    void keys_data() { sources_data(); }
    void keys();
    void cellBlanks_data() { sources_data(); }
    void cellBlanks();
    void badSourcesAreCaught_data();
    void badSourcesAreCaught();

private:
    QStringList m_files;
};

void TestPapers::initTestCase()
{
    const QDir dir(QStringLiteral(ORDWIN_PAPERS_DIR));
    for (const QString& file : dir.entryList({QStringLiteral("*.paper")}, QDir::Files, QDir::Name))
        m_files << dir.filePath(file);
    QVERIFY(!m_files.isEmpty());
}

void TestPapers::sources_data()
{
    QTest::addColumn<QString>("file");
    for (const QString& file : m_files)
        QTest::newRow(qPrintable(QFileInfo(file).completeBaseName())) << file;
}

void TestPapers::sources()
{
    QFETCH(QString, file);
    const Paper paper = PaperSource::ParseFile(file);
    QCOMPARE(PaperSource::Check(paper), QStringList());
    QCOMPARE(paper.name, QFileInfo(file).completeBaseName());
    QVERIFY(PositionOf(paper.name) >= 0);

    QCOMPARE(paper.questions.size(), 80);
    QCOMPARE(paper.questions.firstKey(), 1);
    QCOMPARE(paper.questions.lastKey(), 80);
    int points = 0;
    for (const PaperSource::Question& q : paper.questions) {
        points += PaperSource::PointsOf(q.number);
        if (q.number <= 70)
            QVERIFY2(q.options.contains(q.key.front()) && q.key.size() == 1,
                     qPrintable(QString::number(q.number)));
        else
            QVERIFY2(q.options.isEmpty(), qPrintable(QString::number(q.number)));
    }
    QCOMPARE(points, 95);
    QVERIFY(paper.keywords.split(QLatin1Char('/')).size() <= 6);

    // Every character can be written in GBK, the byte counts' code page.
    QStringEncoder gbk("GBK");
    const QByteArray encoded = gbk.encode(ReadAll(file));
    QVERIFY2(!gbk.hasError(), "a character GBK cannot encode");
    Q_UNUSED(encoded);
}

void TestPapers::documents()
{
    QFETCH(QString, file);
    const Paper paper = PaperSource::ParseFile(file);
    const QString doc = ReadAll(ProgramFile(QStringLiteral("etp/%1.doc").arg(paper.name)));
    QVERIFY2(!doc.isEmpty(), "no document in etp/");
    QCOMPARE(doc, PaperSource::RenderDocument(paper));
    QVERIFY(doc.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    for (const PaperSource::Question& q : paper.questions) {
        const bool shown = doc.contains(QStringLiteral(">%1. ").arg(q.number)) ||
                           doc.contains(QStringLiteral(">%1.</td>").arg(q.number)) ||
                           doc.contains(QStringLiteral("&nbsp;&nbsp;%1&nbsp;&nbsp;").arg(q.number));
        QVERIFY2(shown,
                 qPrintable(QStringLiteral("question %1 is not in the document").arg(q.number)));
        // No explanation, so no key, reaches the paper.
        QVERIFY(!doc.contains(q.explanation.toHtmlEscaped()));
    }
    for (int blank : {36, 55, 71, 80})
        QVERIFY(doc.contains(QStringLiteral("&nbsp;&nbsp;%1&nbsp;&nbsp;").arg(blank)));
    QVERIFY(!doc.contains(QStringLiteral("参考答案")));
    QVERIFY(!doc.contains(QStringLiteral("参考范文")));
}

void TestPapers::explanations()
{
    QFETCH(QString, file);
    const Paper paper = PaperSource::ParseFile(file);
    const int id = ExplanationTextId(paper.name);
    QVERIFY(id > 0);
    const QString text = LoadTextResource(id);
    QCOMPARE(text, PaperSource::RenderExplanation(paper));
    const qsizetype bytes = Gbk::Length(text);
    QVERIFY2(bytes >= 9 * 1024 && bytes <= 23 * 1024,
             qPrintable(QStringLiteral("%1 GBK bytes").arg(bytes)));
    for (int n = 1; n <= 80; ++n)
        QVERIFY2(text.contains(QStringLiteral("\n%1. 答案").arg(n)),
                 qPrintable(QString::number(n)));
    QVERIFY(text.contains(QStringLiteral("一、听力材料")));
    QVERIFY(text.contains(QStringLiteral("四、书面表达参考范文")));
}

void TestPapers::database()
{
    QFETCH(QString, file);
    const Paper paper = PaperSource::ParseFile(file);
    QStringList rows;
    QString keywords;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("content"));
        db.setDatabaseName(ProgramFile(QStringLiteral("word.mdb")));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY(db.open());
        QSqlQuery query(db);
        query.prepare(QStringLiteral(
            "SELECT 题号, 答案, 分值, 回答, 得分 FROM answer WHERE 卷名=? ORDER BY 题号"));
        query.addBindValue(paper.name);
        QVERIFY(query.exec());
        while (query.next())
            rows << QStringLiteral("%1 %2 %3 [%4] %5")
                        .arg(query.value(0).toString(), query.value(1).toString(),
                             query.value(2).toString(), query.value(3).toString(),
                             query.value(4).toString());
        query.prepare(QStringLiteral("SELECT 关键词 FROM write WHERE 卷名=?"));
        query.addBindValue(paper.name);
        QVERIFY(query.exec() && query.next());
        keywords = query.value(0).toString();
        QVERIFY(!query.next());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("content"));
    QStringList expected;
    for (const PaperSource::Question& q : paper.questions)
        expected << QStringLiteral("%1 %2 %3 [ ] 0")
                        .arg(QStringLiteral("%1").arg(q.number, 2, 10, QLatin1Char('0')), q.key)
                        .arg(PaperSource::PointsOf(q.number));
    QCOMPARE(rows, expected);
    QCOMPARE(keywords, paper.keywords);
}

// The recording decodes, and its length (from the header lame writes) is at
// least three minutes; decoding stops after its first ten seconds.
void TestPapers::recordings()
{
    QFETCH(QString, file);
    const Paper paper = PaperSource::ParseFile(file);
    const QString path = ProgramFile(QStringLiteral("elm/") +
                                     ListeningFileName(Catalogue::DocPath(PositionOf(paper.name))));
    QVERIFY2(QFileInfo(path).size() > 100000, qPrintable(path));
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QAudioDecoder decoder;
    decoder.setSource(QUrl::fromLocalFile(path));
    constexpr qint64 TenSecondsUs = 10LL * 1000 * 1000;
    qint64 decodedUs = 0;
    bool failed = false;
    bool finished = false;
    connect(&decoder, &QAudioDecoder::bufferReady, this, [&] {
        const QAudioBuffer buffer = decoder.read();
        decodedUs += buffer.duration();
    });
    connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
            [&] { failed = true; });
    connect(&decoder, &QAudioDecoder::finished, this, [&] { finished = true; });
    decoder.start();
    QTRY_VERIFY_WITH_TIMEOUT(
        (decodedUs >= TenSecondsUs && decoder.duration() > 0) || failed || finished, 60000);
    const qint64 durationMs = decoder.duration();
    decoder.stop();
    QVERIFY2(!failed, qPrintable(decoder.errorString()));
    QVERIFY(decodedUs >= TenSecondsUs);
    QVERIFY2(durationMs >= 180 * 1000,
             qPrintable(QStringLiteral("%1 s long").arg(durationMs / 1000)));
}

// Keys a student could learn without reading the questions: those of
// another paper, a cycle, a letter that is seldom the key.
void TestPapers::keys()
{
    QFETCH(QString, file);
    const Paper paper = PaperSource::ParseFile(file);
    const QString keys = ChoiceKeys(paper);
    for (qsizetype f = m_files.indexOf(file) + 1; f < m_files.size(); ++f) {
        const QString other = ChoiceKeys(PaperSource::ParseFile(m_files[f]));
        int same = 0;
        for (qsizetype i = 0; i < std::min(keys.size(), other.size()); ++i)
            same += keys[i] == other[i];
        QVERIFY2(same <= 30, qPrintable(QStringLiteral("%1 keys as in %2")
                                            .arg(same)
                                            .arg(QFileInfo(m_files[f]).completeBaseName())));
    }
    for (const QList<int>& section : PaperSource::Sections(paper)) {
        const QString letters = PaperSource::OptionLettersOf(section.front());
        if (letters.isEmpty())
            continue;
        QString run;
        for (int n : section)
            run += paper.questions.value(n).key;
        // A cycle: six keys in a row, each the same as the key p places
        // before it (p = 2, 3 or 4), which may lie before the six: ABCABCABC
        // is one, ABCABCAB is not.
        for (int p = 2; p <= 4; ++p) {
            int repeats = 0;
            for (qsizetype i = p; i < run.size(); ++i) {
                repeats = run[i] == run[i - p] ? repeats + 1 : 0;
                QVERIFY2(
                    repeats < 6,
                    qPrintable(
                        QStringLiteral("keys repeat every %1 up to %2").arg(p).arg(section[i])));
            }
        }
        // In a section of ten or more, each letter is at least 15% of the keys.
        for (QChar letter : letters) {
            QVERIFY2(run.size() < 10 || run.count(letter) * 100 >= run.size() * 15,
                     qPrintable(QStringLiteral("%1 is seldom the key from question %2")
                                    .arg(letter)
                                    .arg(section.front())));
        }
    }
}

// A blank that begins a table cell takes its word capitalised or not: the
// key holds both forms of each word, of the first at least when six words
// leave no room.
void TestPapers::cellBlanks()
{
    QFETCH(QString, file);
    const Paper paper = PaperSource::ParseFile(file);
    const QRegularExpression blank(QStringLiteral("^__(\\d+)__"));
    QList<int> blanks;
    for (const PaperSource::Block& block : paper.blocks) {
        for (const QString& line : block.lines) {
            if (line.startsWith(QLatin1Char('|'))) {
                for (const QString& cell : PaperSource::TableCells(line))
                    blanks << blank.match(cell).captured(1).toInt();
            }
        }
    }
    for (int n : blanks) {
        if (n == 0 || !PaperSource::OptionLettersOf(n).isEmpty())
            continue;
        const QStringList words = paper.questions.value(n).key.split(QLatin1Char('/'));
        QVERIFY(words.size() <= 6);
        for (const QString& word : words) {
            const QString first = word.left(1);
            const QString other =
                (first == first.toUpper() ? first.toLower() : first.toUpper()) + word.mid(1);
            QVERIFY2(words.contains(other) || (words.size() == 6 && word != words.front()),
                     qPrintable(QStringLiteral("%1: no %2").arg(n).arg(other)));
        }
    }
}

void TestPapers::badSourcesAreCaught_data()
{
    QTest::addColumn<QString>("edit"); // what to replace in the 2010 paper ...
    QTest::addColumn<QString>("with"); // ... and with what
    QTest::addColumn<QString>("problem");
    QTest::newRow("key not an option") << QStringLiteral("\n= B\n") << QStringLiteral("\n= D\n")
                                       << QStringLiteral("is not one of its options");
    QTest::newRow("question missing") << QStringLiteral("\n2. ") << QStringLiteral("\n102. ")
                                      << QStringLiteral("not numbered 1 to 80");
    QTest::newRow("seven keywords")
        << QStringLiteral("keywords: ") << QStringLiteral("keywords: a/b/")
        << QStringLiteral("more than six");
    QTest::newRow("read twice in section one")
        << QStringLiteral("@dialogue once") << QStringLiteral("@dialogue twice")
        << QStringLiteral("should be read once");
    QTest::newRow("unknown block") << QStringLiteral("@writing") << QStringLiteral("@essay")
                                   << QStringLiteral("unknown block @essay");
}

void TestPapers::badSourcesAreCaught()
{
    QFETCH(QString, edit);
    QFETCH(QString, with);
    QFETCH(QString, problem);
    const auto good = std::find_if(m_files.cbegin(), m_files.cend(), [](const QString& f) {
        return f.contains(QStringLiteral("2010年"));
    });
    if (good == m_files.cend())
        QSKIP("the 2010 paper is not there to spoil");
    QString text = ReadAll(*good);
    QVERIFY(PaperSource::Check(PaperSource::Parse(text)).isEmpty());
    const qsizetype at = text.indexOf(edit);
    QVERIFY(at >= 0);
    text.replace(at, edit.size(), with);
    const QStringList problems = PaperSource::Check(PaperSource::Parse(text));
    QVERIFY2(problems.join(QLatin1Char('\n')).contains(problem),
             qPrintable(problems.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestPapers)
#include "tst_papers.moc"
