// The windows that show results, driven offscreen: each shows the rows the
// results core reads, with the texts around them.

#include "Catalogue.h"
#include "DialogIds.h"
#include "GradeDlgs.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "ReviewDlg.h"
#include "TestSupport.h"
#include "TextResource.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

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
        QCOMPARE(review->findChild<QPlainTextEdit*>(QString::number(Ids::Review::IdExplain))
                     ->toPlainText(),
                 LoadTextResource(ExplanationTextId(Paper2010)));
        QStringList shown;
        NextModal report([&](QDialog* dialog) {
            for (int id : {Ids::EssayReport::IdEssay, Ids::EssayReport::IdReport})
                shown << dialog->findChild<QPlainTextEdit*>(QString::number(id))->toPlainText();
            shown << dialog->findChild<QLineEdit*>(QString::number(Ids::EssayReport::IdTitle))
                         ->text();
            dialog->reject();
        });
        QTest::mouseClick(
            review->findChild<QPushButton*>(QString::number(Ids::Review::IdEssayReport)),
            Qt::LeftButton);
        QVERIFY(report.Ran());
        QCOMPARE(shown, (QStringList{QStringLiteral("We went.\nIt rained."),
                                     QStringLiteral("没写作文，所以没有分数。"),
                                     QStringLiteral("A Visit")}));
        review->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!review); // released on close
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

    void gradeHistory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("rows"); // -1: no list shown
        QTest::newRow("a name with grades") << QStringLiteral("O'Brien") << QStringList() << 1;
        QTest::newRow("unknown name")
            << QStringLiteral("王五") << QStringList{QStringLiteral("查无该同学历次考试成绩！")}
            << -1;
        QTest::newRow("no name") << QString() << QStringList{QStringLiteral("请填写考生姓名！")}
                                 << -1;
    }

    void gradeHistory()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        QFETCH(int, rows);
        QString title;
        QList<QStringList> shown;
        MessageBoxes boxes;
        NextModal query([&](QDialog* dialog) {
            dialog->findChild<QLineEdit*>(QString::number(Ids::GradeQuery::IdName))->setText(name);
            NextModal list([&](QDialog* grades) {
                title = grades->findChild<QWidget*>(QString::number(Ids::GradeList::IdTitle))
                            ->property("text")
                            .toString();
                shown = Shown(grades);
                grades->reject();
            });
            QTest::mouseClick(
                dialog->findChild<QPushButton*>(QString::number(Ids::GradeQuery::IdQuery)),
                Qt::LeftButton);
            if (dialog->isVisible())
                dialog->reject();
            QCOMPARE(list.Ran(), rows >= 0);
        });
        CGradeQueryDlg dialog;
        dialog.exec();
        QVERIFY(query.Ran());
        QCOMPARE(boxes.Texts(), messages);
        if (rows < 0)
            return;
        QCOMPARE(title, name + QStringLiteral("同学历次考试成绩表"));
        QCOMPARE(shown, Sorted(Results::GradeHistory(name).rows, 4));
        QCOMPARE(shown.size(), rows);
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
