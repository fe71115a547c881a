// The content checker: every paper source, and what the build made of it.

#include "Catalogue.h"
#include "Gbk.h"
#include "Paper.h"
#include "Sections.h"
#include "TestSupport.h"
#include "TextResource.h"

#include <QAudioDecoder>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>

using PaperSource::Paper;
using namespace Qt::Literals::StringLiterals;

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
    QStringList m_files;

private Q_SLOTS:
    void initTestCase()
    {
        const QDir dir(QStringLiteral(ORDWIN_PAPERS_DIR));
        for (const QString& file : dir.entryList({QStringLiteral("*.paper")}, QDir::Files))
            m_files << dir.filePath(file);
        QCOMPARE(m_files.size(), Catalogue::PaperCount);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(ProgramFile(QStringLiteral("word.mdb")));
        QVERIFY(db.open());
    }

    void papers_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString& file : m_files)
            QTest::newRow(qPrintable(QFileInfo(file).completeBaseName())) << file;
    }

    void papers()
    {
        QFETCH(QString, file);
        const Paper paper = PaperSource::ParseFile(file);
        QCOMPARE(PaperSource::Check(paper), QStringList());
        QCOMPARE(paper.name, QFileInfo(file).completeBaseName());
        QVERIFY(Catalogue::PositionOf(paper.name) >= 0);

        // The document shows every question and no key or explanation.
        const QString doc = ReadAll(ProgramFile(QStringLiteral("etp/%1.doc").arg(paper.name)));
        QCOMPARE(doc, PaperSource::RenderDocument(paper));
        QVERIFY(doc.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        for (const PaperSource::Question& q : paper.questions) {
            QVERIFY2(doc.contains(QStringLiteral(">%1. ").arg(q.number)) ||
                         doc.contains(QStringLiteral(">%1.</td>").arg(q.number)) ||
                         doc.contains(QStringLiteral("&nbsp;&nbsp;%1&nbsp;&nbsp;").arg(q.number)),
                     qPrintable(QString::number(q.number)));
            QVERIFY(!doc.contains(q.explanation.toHtmlEscaped()));
        }
        QVERIFY(!doc.contains(QStringLiteral("参考答案")) && !doc.contains(u"参考范文"_s));

        // The explanation: every answer, within the size the program shows.
        const QString text = LoadTextResource(ExplanationTextId(paper.name));
        QCOMPARE(text, PaperSource::RenderExplanation(paper));
        QVERIFY(Gbk::Length(text) >= 9 * 1024 && Gbk::Length(text) <= 23 * 1024);
        for (int n = 1; n <= 80; ++n)
            QVERIFY2(text.contains(QStringLiteral("\n%1. 答案").arg(n)),
                     qPrintable(QString::number(n)));
        QVERIFY(text.contains(u"一、听力材料"_s) && text.contains(u"四、书面表达参考范文"_s));

        // The key rows and keywords in the program's database, nothing answered.
        QStringList expected;
        for (const PaperSource::Question& q : paper.questions)
            expected << QStringLiteral("%1 %2 %3 [ ] 0")
                            .arg(q.number, 2, 10, QLatin1Char('0'))
                            .arg(q.key)
                            .arg(PaperSource::PointsOf(q.number));
        const QString db = ProgramFile(QStringLiteral("word.mdb"));
        QCOMPARE(DatabaseColumn(db, QStringLiteral("SELECT 题号||' '||答案||' '||分值||' ['||回答||"
                                                   "'] '||得分 FROM answer WHERE 卷名='%1' "
                                                   "ORDER BY 题号")
                                        .arg(paper.name)),
                 expected);
        QCOMPARE(
            DatabaseColumn(
                db, QStringLiteral("SELECT 关键词 FROM write WHERE 卷名='%1'").arg(paper.name)),
            QStringList{paper.keywords});

        // No two papers share their choice keys, so none can be learnt by heart.
        const QString keys = ChoiceKeys(paper);
        for (qsizetype f = m_files.indexOf(file) + 1; f < m_files.size(); ++f) {
            const QString other = ChoiceKeys(PaperSource::ParseFile(m_files[f]));
            int same = 0;
            for (qsizetype i = 0; i < std::min(keys.size(), other.size()); ++i)
                same += keys[i] == other[i];
            QVERIFY2(same <= 30, qPrintable(m_files[f]));
        }
    }

    // Every question and the texts it is read with, as the build wrote them
    // into the database for the mistakes notebook.
    void questions_data() { papers_data(); }
    void questions()
    {
        QFETCH(QString, file);
        const PaperSource::Paper paper = PaperSource::ParseFile(file);

        // Each question is read with the last recording or passage before it in
        // its part or section, if any: the words of that block, and its kind.
        QMap<int, QString> expected;
        QString current;
        for (const PaperSource::Block& block : paper.blocks) {
            if (block.kind == PaperSource::Block::Part || block.kind == PaperSource::Block::Section)
                current.clear();
            else if (block.kind == PaperSource::Block::Dialogue ||
                     block.kind == PaperSource::Block::Passage)
                current =
                    (block.kind == PaperSource::Block::Passage ? u"短文 "_s : u"听力原文 "_s) +
                    block.lines.join(u' ').simplified();
            for (int number : block.questions)
                expected.insert(number, current);
        }

        QSqlQuery query;
        QVERIFY(query.prepare(u"SELECT 题号,部分,题干,选项A,选项B,选项C,选项D,答案,分值,解析,"
                              u"(SELECT max(种类)||' '||group_concat(文本,' ') FROM (SELECT * FROM "
                              u"passage p WHERE p.卷名=q.卷名 AND p.材料=q.材料 ORDER BY 行)) "
                              u"FROM question q WHERE 卷名=? ORDER BY 题号"_s));
        query.addBindValue(paper.name);
        QVERIFY(query.exec());
        int rows = 0;
        while (query.next()) {
            const int n = ++rows;
            const PaperSource::Question& q = paper.questions.value(n);
            const auto section =
                std::find_if(Sections::Table.begin(), Sections::Table.end(),
                             [n](const auto& s) { return n >= s.first && n <= s.last; });
            const int points = section->full / (section->last - section->first + 1);
            QStringList row;
            for (int i = 0; i < 11; ++i)
                row << (i < 10 ? query.value(i).toString()
                               : query.value(i).toString().simplified());
            QCOMPARE(row, (QStringList{u"%1"_s.arg(n, 2, 10, QLatin1Char('0')),
                                       QString::fromUtf8(section->name), q.stem,
                                       q.options.value(u'A'), q.options.value(u'B'),
                                       q.options.value(u'C'), q.options.value(u'D'), q.key,
                                       QString::number(points), q.explanation, expected.value(n)}));
        }
        QCOMPARE(rows, PaperSource::QuestionCount);
    }

    // The recording decodes, and its length (from the header lame writes) is
    // at least three minutes; decoding stops after its first ten seconds.
    void recordings_data() { papers_data(); }
    void recordings()
    {
        QFETCH(QString, file);
        const QString name = QFileInfo(file).completeBaseName();
        const QString path = ProgramFile(
            u"elm/"_s + ListeningFileName(Catalogue::DocPath(Catalogue::PositionOf(name))));
        QVERIFY2(QFileInfo(path).size() > 100000, qPrintable(path));
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
        QAudioDecoder decoder;
        decoder.setSource(QUrl::fromLocalFile(path));
        constexpr qint64 TenSecondsUs = 10LL * 1000 * 1000;
        qint64 decodedUs = 0;
        bool ended = false;
        connect(&decoder, &QAudioDecoder::bufferReady, this,
                [&] { decodedUs += decoder.read().duration(); });
        connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
                [&] { ended = true; });
        connect(&decoder, &QAudioDecoder::finished, this, [&] { ended = true; });
        decoder.start();
        QTRY_VERIFY_WITH_TIMEOUT((decodedUs >= TenSecondsUs && decoder.duration() > 0) || ended,
                                 60000);
        const qint64 durationMs = decoder.duration();
        decoder.stop();
        QVERIFY2(decoder.error() == QAudioDecoder::NoError, qPrintable(decoder.errorString()));
        QVERIFY(decodedUs >= TenSecondsUs);
        QVERIFY2(durationMs >= 180 * 1000, qPrintable(QString::number(durationMs)));
    }

    // The checker finds what is wrong with a source: the 2010 paper spoilt by
    // a change of its text, or of keys ("number=key ...").
    void badSourcesAreCaught_data()
    {
        QTest::addColumn<QString>("edit"); // what to replace ...
        QTest::addColumn<QString>("with"); // ... and with what
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("problem");
        const auto row = [](const char* name, const char* edit, const char* with, const char* keys,
                            const char* problem) {
            QTest::newRow(name) << QString::fromUtf8(edit) << QString::fromUtf8(with)
                                << QString::fromUtf8(keys) << QString::fromUtf8(problem);
        };
        row("key not an option", "\n= B\n", "\n= D\n", "", "is not one of its options");
        row("question missing", "\n2. ", "\n102. ", "", "not numbered 1 to 80");
        row("seven keywords", "keywords: ", "keywords: a/b/", "", "more than six");
        row("read twice", "@dialogue once", "@dialogue twice", "", "should be read once");
        row("unknown block", "@writing", "@essay", "", "unknown block @essay");
        row("not GBK", "@writing", "@writing\n\U0001F600", "", "GBK cannot encode");
        row("cell blank", "= Breathe/breathe", "= Breathe", "", "79 begins a table cell");
        row("a cycle of keys", "", "", "21=A 22=B 23=A 24=B 25=A 26=B 27=A 28=B",
            "repeat every 2 up to question 28");
        row("a letter seldom the key", "", "",
            "21=A 22=B 23=C 24=A 25=B 26=C 27=A 28=B 29=C 30=A 31=B 32=C 33=A 34=B 35=D",
            "D is seldom the key from question 21");
    }
    void badSourcesAreCaught()
    {
        QFETCH(QString, edit);
        QFETCH(QString, with);
        QFETCH(QString, keys);
        QFETCH(QString, problem);
        QString text = ReadAll(QStringLiteral(ORDWIN_PAPERS_DIR "/2010年江苏高考英语试题.paper"));
        QVERIFY(PaperSource::Check(PaperSource::Parse(text)).isEmpty());
        if (!edit.isEmpty()) { // the first place only
            const qsizetype at = text.indexOf(edit);
            QVERIFY(at >= 0);
            text.replace(at, edit.size(), with);
        }
        Paper paper = PaperSource::Parse(text);
        for (const QString& pair : keys.split(u' ', Qt::SkipEmptyParts))
            paper.questions[pair.section(u'=', 0, 0).toInt()].key = pair.section(u'=', 1);
        const QString problems = PaperSource::Check(paper).join(u'\n');
        QVERIFY2(problems.contains(problem), qPrintable(problems));
    }
};

QTEST_GUILESS_MAIN(TestPapers)
#include "tst_papers.moc"
