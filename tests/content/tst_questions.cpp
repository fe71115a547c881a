// The questions and the texts they are read with, as the build wrote them
// into the program folder's database, against every paper source.

#include "Paper.h"
#include "Sections.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestQuestions : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    void rowsAgreeWithSource_data()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s);
        db.setDatabaseName(QStringLiteral(ORDWIN_PROGRAM_DIR "/word.mdb"));
        QVERIFY(db.open());
        QTest::addColumn<QString>("file");
        const QDir papers(QStringLiteral(ORDWIN_PAPERS_DIR));
        for (const QString& name : papers.entryList({u"*.paper"_s}))
            QTest::newRow(name.toUtf8().constData()) << papers.filePath(name);
    }

    void rowsAgreeWithSource()
    {
        QFETCH(QString, file);
        const PaperSource::Paper paper = PaperSource::ParseFile(file);
        QVERIFY(PaperSource::Check(paper).isEmpty());

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
};

QTEST_MAIN(TestQuestions)
#include "tst_questions.moc"
