// What the results windows list, read from the database, and the built-in
// texts; then the windows, driven offscreen: each shows the rows the results
// core reads, with the texts around them.

#include "Catalogue.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "GradeDlgs.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "ReviewDlg.h"
#include "TestSupport.h"
#include "TextResource.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");

// The rows a report list of six columns shows: sorted by their first cell,
// as the list keeps them, missing cells empty.
QList<QStringList> Sorted(QList<QStringList> rows, int columns = 6)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const QStringList& a, const QStringList& b) { return a[0] < b[0]; });
    for (QStringList& row : rows)
        row.resize(columns);
    return rows;
}

QList<QStringList> Shown(QWidget* window)
{
    return Ui::ReportListRows(window->findChild<QTableWidget*>(QStringLiteral("1004")));
}

// Cells joined by "|", rows by ";"; "failed" for a failed read.
QString Joined(const Results::Rows& read)
{
    QStringList rows;
    for (const QStringList& row : read.rows)
        rows << row.join(QLatin1Char('|'));
    return read.result == ExamDb::Result::Done ? rows.join(QLatin1Char(';'))
                                               : QStringLiteral("failed");
}
} // namespace

class TestResults : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramFolder> m_folder;

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->IsValid());
        QVERIFY(m_folder->Sql(
            QStringLiteral("UPDATE answer SET 回答='A' WHERE 题号 IN ('56','07','71')")));
    }

    void cleanup()
    {
        m_folder.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    void reviewAndEssayReport()
    {
        QPointer<CReviewDlg> review = new CReviewDlg(Paper2010);
        review->m_strEssayTitle = QStringLiteral("A Visit");
        review->m_strEssay = QStringLiteral("We went.\r\nIt rained.");
        review->m_strReport = QStringLiteral("没写作文，所以没有分数。");
        review->show();
        QCOMPARE(Shown(review), Sorted(Results::WrongAnswers(Paper2010).rows));
        QCOMPARE(Shown(review).size(), 5); // ten wrong answers, two to a row
        // Every column, and four rows, in sight.
        auto* list = Ui::Control<QTableWidget>(review, Ids::Review::IdList);
        QVERIFY(list->horizontalHeader()->length() <= list->viewport()->width());
        QVERIFY(list->rowViewportPosition(3) + list->rowHeight(3) <= list->viewport()->height());
        QCOMPARE(Ui::Control<QPlainTextEdit>(review, Ids::Review::IdExplain)->toPlainText(),
                 LoadTextResource(ExplanationTextId(Paper2010)));
        QStringList shown;
        NextModal report([&](QDialog* dialog) {
            for (int id : {Ids::EssayReport::IdEssay, Ids::EssayReport::IdReport})
                shown << Ui::Control<QPlainTextEdit>(dialog, id)->toPlainText();
            shown << Ui::Control<QLineEdit>(dialog, Ids::EssayReport::IdTitle)->text();
            dialog->reject();
        });
        QTest::mouseClick(Ui::Control<QPushButton>(review, Ids::Review::IdEssayReport),
                          Qt::LeftButton);
        QVERIFY(report.Ran());
        QCOMPARE(shown, (QStringList{QStringLiteral("We went.\nIt rained."),
                                     QStringLiteral("没写作文，所以没有分数。"),
                                     QStringLiteral("A Visit")}));
        review->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!review); // released on close
    }

    // Wrong answers that cannot be read are told once; the explanation shows.
    void reviewAfterAFailedQuery()
    {
        QVERIFY(m_folder->Sql(QStringLiteral("ALTER TABLE answer RENAME TO gone")));
        AppMessages messages;
        CReviewDlg review(Paper2010);
        review.show();
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].startsWith(QStringLiteral("数据库错误: ")));
        QCOMPARE(Ui::Control<QPlainTextEdit>(&review, Ids::Review::IdExplain)->toPlainText(),
                 LoadTextResource(ExplanationTextId(Paper2010)));
    }

    void answerStatus()
    {
        QPointer<CAnswerListDlg> answers = new CAnswerListDlg(Paper2010);
        answers->show();
        QCOMPARE(Shown(answers), Sorted(Results::AnswerStatus(Paper2010).rows));
        QCOMPARE(Shown(answers).size(), 4); // ten answers, three to a row
        answers->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!answers);
    }

    // The query window asks for a name, then lists its grades or says why not.
    void gradeHistory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // none: the list is shown
        QTest::newRow("a name with grades") << u"O'Brien"_s << QString();
        QTest::newRow("unknown name") << u"王五"_s << u"查无该同学历次考试成绩！"_s;
        QTest::newRow("no name") << QString() << u"请填写考生姓名！"_s;
    }
    void gradeHistory()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QString title;
        QList<QStringList> shown;
        MessageBoxes boxes;
        NextModal query([&](QDialog* dialog) {
            Ui::Control<QLineEdit>(dialog, Ids::GradeQuery::IdName)->setText(name);
            NextModal list([&](QDialog* grades) {
                title =
                    Ui::FindControl(grades, Ids::GradeList::IdTitle)->property("text").toString();
                shown = Shown(grades);
                grades->reject();
            });
            QTest::mouseClick(Ui::Control<QPushButton>(dialog, Ids::GradeQuery::IdQuery),
                              Qt::LeftButton);
            if (dialog->isVisible())
                dialog->reject();
            QCOMPARE(list.Ran(), message.isEmpty());
        });
        CGradeQueryDlg dialog;
        dialog.exec();
        QVERIFY(query.Ran());
        QCOMPARE(boxes.Texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty()) {
            QCOMPARE(title, name + QStringLiteral("同学历次考试成绩表"));
            QCOMPARE(shown, Sorted(Results::GradeHistory(name).rows, 4));
            QCOMPARE(shown.size(), 1);
        }
    }

    void rowNumber_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("shown");
        QTest::newRow("9") << 9 << "009";
        QTest::newRow("10") << 10 << "010";
        QTest::newRow("99") << 99 << "099";
        QTest::newRow("100") << 100 << "100";
        QTest::newRow("1000") << 1000 << "1000";
    }
    void rowNumber()
    {
        QFETCH(int, n);
        QFETCH(QString, shown);
        QCOMPARE(Results::RowNumber(n), shown);
    }

    void rows()
    {
        ProgramFolder folder;
        QVERIFY(folder.Sql(QStringLiteral("INSERT INTO grades VALUES('p','t','李明',NULL)")));
        QVERIFY(folder.Sql(QStringLiteral("INSERT INTO answer VALUES ('P','01','A','A',1,1),"
                                          "('P','02','b','B',1,0),('P','03','C','C',2,2),"
                                          "('P','04',' ','D',1,0),('P','05','e','E',1,0)")));
        AppMessages messages;
        QCOMPARE(Joined(Results::GradeHistory(QStringLiteral("李明"))),
                 QStringLiteral("001|2010年江苏高考英语试题|2026-11-02 10:30:00|85;002|p|t|"));
        QCOMPARE(Joined(Results::AnswerStatus(QStringLiteral("P"))),
                 QStringLiteral("01|A|02|b|03|C;04| |05|e"));
        QCOMPARE(Joined(Results::WrongAnswers(QStringLiteral("P"))),
                 QStringLiteral("02|b|B|04| |D;05|e|E"));
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(folder.Sql(QStringLiteral("UPDATE grades SET 成绩=99999")));
        QCOMPARE(Joined(Results::GradeHistory(QStringLiteral("李明"))), QStringLiteral("failed"));
    }

    void load_data()
    {
        QTest::addColumn<QString>("file"); // in the test texts' folder, or a resource
        QTest::addColumn<int>("cap");      // -1: none
        QTest::addColumn<QString>("text");
        // "第一行\n第二行" takes 13 GBK bytes.
        QTest::newRow("cut") << "short.txt" << 12 << "第一行\n第二";
        QTest::newRow("up to the NUL") << "nul.txt" << -1 << "before the zero";
        QTest::newRow("no such text") << ":/data/9999" << -1 << "";
    }
    void load()
    {
        QFETCH(QString, file);
        QFETCH(int, cap);
        QFETCH(QString, text);
        if (!file.startsWith(QLatin1Char(':')))
            file.prepend(QStringLiteral(ORDWIN_TEST_TEXTS "/"));
        QCOMPARE(LoadTextFile(file, cap < 0 ? std::nullopt : std::optional<qsizetype>(cap)), text);
    }

    // The built-in texts under their ids, each whole within its cap.
    void builtInTexts()
    {
        const QString rules = LoadTextResource(TextId::ExamRules);
        QVERIFY(rules.startsWith(QStringLiteral("高考考生守则、考场规则及考试注意事项\n")));
        QCOMPARE(LoadTextResource(TextId::ExamRules, TextCap::ExamRules), rules);
        QVERIFY(LoadTextResource(TextId::Usage).startsWith(QStringLiteral("使用说明\n")));
        QVERIFY(LoadTextResource(TextId::Preface).startsWith(QStringLiteral("前  言\n")));
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
