// The windows that show results: the paper review with the essay report,
// the grade history and the answer status list, driven offscreen.

#include "Catalogue.h"
#include "EssayDlg.h"
#include "ExamPage.h"
#include "GradeDlgs.h"
#include "MessageBox.h"
#include "ReportList.h"
#include "ReviewDlg.h"
#include "TestSupport.h"
#include "TextResource.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");

QTableWidget* ListOf(QWidget* window)
{
    return window->findChild<QTableWidget*>(QStringLiteral("1004"));
}

QStringList Headers(QTableWidget* list)
{
    QStringList headers;
    for (int c = 0; c < list->columnCount(); ++c)
        headers << list->horizontalHeaderItem(c)->text();
    return headers;
}

using Rows = QList<QStringList>;

} // namespace

class TestResults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Ui::InstallAppMessageBox(); }
    void init();
    void cleanup();

    void reviewListsWrongAnswersTwoToARow();
    void reviewWithoutWrongAnswersShowsHeadings();
    void reviewShowsThePapersExplanation_data();
    void reviewShowsThePapersExplanation();
    void essayReportAfterHandInWithoutEssay();
    void gradeHistory_data();
    void gradeHistory();
    void gradeRowNumbers();
    void unknownNameIsToldAndNoListShown();
    void emptyNameIsRefused();
    void answerStatusRowsOfThree();
    void answerStatusOrderByText();
    void twoStatusWindowsKeepTheirOwnContents();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    // Runs the grade history for a name; returns the messages and, if the
    // list was shown, its title and rows.
    QStringList GradeHistory(const QString& name, QString* title = nullptr, Rows* rows = nullptr);
};

void TestResults::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->IsValid());
}

void TestResults::cleanup()
{
    m_folder.reset();
    QVERIFY(!QApplication::activeModalWidget());
    // Every window of a test was closed and released.
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(),
                             QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
}

void TestResults::reviewListsWrongAnswersTwoToARow()
{
    // Right: 01, 02, 07. Wrong or unanswered: 08, 56, 71, 72, 73.
    QVERIFY(m_folder->Sql(
        QStringLiteral("UPDATE answer SET 回答='X', 得分=1 WHERE 题号 IN ('01','02','07')")));
    QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 回答='A' WHERE 题号='56'")));
    QPointer<CReviewDlg> review = new CReviewDlg(Paper2010);
    review->show();
    QCOMPARE(review->windowTitle(), QStringLiteral("试卷讲评"));
    QTableWidget* list = ListOf(review);
    QCOMPARE(Headers(list), (QStringList{QStringLiteral("题 号"), QStringLiteral("你的答案"),
                                         QStringLiteral("正确答案"), QStringLiteral("题 号"),
                                         QStringLiteral("你的答案"), QStringLiteral("正确答案")}));
    QCOMPARE(list->palette().color(QPalette::Base), QColor(150, 230, 0));
    QCOMPARE(Ui::ReportListRows(list),
             (Rows{{QStringLiteral("08"), QStringLiteral(" "), QStringLiteral("C"),
                    QStringLiteral("56"), QStringLiteral("A"), QStringLiteral("D")},
                   {QStringLiteral("71"), QStringLiteral(" "), QStringLiteral("am/is"),
                    QStringLiteral("72"), QStringLiteral(" "), QStringLiteral(" ")},
                   {QStringLiteral("73"), QStringLiteral(" "), QStringLiteral("a/b/c/d/e/f/g/h"),
                    QString(), QString(), QString()}}));
    QCOMPARE(list->horizontalHeaderItem(0)->textAlignment() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignHCenter));
    review->close();
    QTRY_VERIFY(!review); // released when closed
}

void TestResults::reviewWithoutWrongAnswersShowsHeadings()
{
    QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 得分=1")));
    QPointer<CReviewDlg> review = new CReviewDlg(Paper2010);
    review->show();
    QCOMPARE(ListOf(review)->rowCount(), 0);
    QCOMPARE(ListOf(review)->columnCount(), 6);
    review->close();
    QTRY_VERIFY(!review);
}

void TestResults::reviewShowsThePapersExplanation_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<int>("text");
    QTest::newRow("2010") << Paper2010 << 152;
    QTest::newRow("mock 01") << QStringLiteral("英语科模拟考试卷51") << 173;
    QTest::newRow("not a paper") << QStringLiteral("练习") << 0;
}

void TestResults::reviewShowsThePapersExplanation()
{
    QFETCH(QString, paper);
    QFETCH(int, text);
    QCOMPARE(ExplanationTextId(paper), text);
    QPointer<CReviewDlg> review = new CReviewDlg(paper);
    review->show();
    auto* explain = review->findChild<QPlainTextEdit*>(QStringLiteral("1002"));
    QVERIFY(explain->isReadOnly());
    QCOMPARE(explain->palette().color(QPalette::Base), QColor(140, 230, 0));
    if (text == 0) {
        QCOMPARE(explain->toPlainText(), QString());
    } else {
        const QString expected = LoadTextResource(text);
        QVERIFY(expected.startsWith(paper));
        QCOMPARE(explain->toPlainText(), expected);
    }
    review->close();
    QTRY_VERIFY(!review);
}

void TestResults::essayReportAfterHandInWithoutEssay()
{
    CExamPage page;
    page.show();
    page.findChild<QComboBox*>(QStringLiteral("1004"))->setCurrentIndex(4);
    page.findChild<QLineEdit*>(QStringLiteral("1050"))->setText(QStringLiteral("李明"));
    {
        MessageBoxes boxes(QMessageBox::No);
        page.OnStart();
        g_essayDlg.m_nState = 1;
        page.OnHandIn();
        QCOMPARE(boxes.Texts().size(), 2);
    }
    auto* reviewButton = page.findChild<QPushButton*>(QStringLiteral("1049"));
    QVERIFY(reviewButton->isEnabled());
    QTest::mouseClick(reviewButton, Qt::LeftButton);
    QPointer<CReviewDlg> review = page.findChild<CReviewDlg*>();
    QVERIFY(review);
    QVERIFY(review->isVisible());
    QCOMPARE(review->m_strPaper, Paper2010);
    QCOMPARE(review->m_strReport, QStringLiteral("没写作文，所以没有分数。"));

    QString title = QStringLiteral("unread"), essay = QStringLiteral("unread"), report;
    ModalAnswer answer([&](QWidget* window) {
        title = window->findChild<QLineEdit*>(QStringLiteral("1054"))->text();
        essay = window->findChild<QPlainTextEdit*>(QStringLiteral("1059"))->toPlainText();
        report = window->findChild<QPlainTextEdit*>(QStringLiteral("1060"))->toPlainText();
        static_cast<QDialog*>(window)->reject();
    });
    QTest::mouseClick(review->findChild<QPushButton*>(QStringLiteral("1042")), Qt::LeftButton);
    QCOMPARE(answer.Seen().title, QStringLiteral("作文评分情况"));
    QCOMPARE(title, QString());
    QCOMPARE(essay, QString());
    QCOMPARE(report, QStringLiteral("没写作文，所以没有分数。"));
    review->close();
    QTRY_VERIFY(!review);
}

QStringList TestResults::GradeHistory(const QString& name, QString* title, Rows* rows)
{
    MessageBoxes boxes;
    bool queried = false;
    ModalAnswer query([&](QWidget* window) {
        queried = true;
        QCOMPARE(window->windowTitle(), QStringLiteral("历次考试成绩表"));
        window->findChild<QLineEdit*>(QStringLiteral("1053"))->setText(name);
        ModalAnswer list([&](QWidget* shown) {
            QVERIFY(qobject_cast<CGradeListDlg*>(shown));
            if (title)
                *title = shown->findChild<QLabel*>(QStringLiteral("1054"))->text();
            if (rows)
                *rows = Ui::ReportListRows(ListOf(shown));
            static_cast<QDialog*>(shown)->reject();
        });
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("1052")), Qt::LeftButton);
        if (!window->isHidden())
            static_cast<QDialog*>(window)->reject();
    });
    CExamPage page;
    QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("1006")), Qt::LeftButton);
    if (!queried)
        return {QStringLiteral("no query dialog")};
    return boxes.Texts();
}

void TestResults::gradeHistory_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<Rows>("rows");
    QTest::newRow("one exam, fractional score")
        << QStringLiteral("李明") << QStringLiteral("李明同学历次考试成绩表")
        << Rows{{QStringLiteral("001"), Paper2010, QStringLiteral("2026-11-02 10:30:00"),
                 QStringLiteral("85")}};
    QTest::newRow("name with a quote")
        << QStringLiteral("O'Brien") << QStringLiteral("O'Brien同学历次考试成绩表")
        << Rows{{QStringLiteral("001"), QStringLiteral("2011年江苏高考英语试题"),
                 QStringLiteral("2026-11-09 10:30:00"), QStringLiteral("77")}};
}

void TestResults::gradeHistory()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(Rows, rows);
    QString shownTitle;
    Rows shownRows;
    QCOMPARE(GradeHistory(name, &shownTitle, &shownRows), QStringList());
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownRows, rows);
}

void TestResults::gradeRowNumbers()
{
    for (int i = 1; i <= 10; ++i)
        QVERIFY(m_folder->Sql(
            QStringLiteral("INSERT INTO grades VALUES('%1','2026-12-%2 09:00:00','王芳',%3)")
                .arg(Paper2010)
                .arg(i, 2, 10, QLatin1Char('0'))
                .arg(60 + i + 0.5)));
    Rows rows;
    QCOMPARE(GradeHistory(QStringLiteral("王芳"), nullptr, &rows), QStringList());
    QCOMPARE(rows.size(), 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(rows[i][0], CGradeListDlg::RowNumber(i + 1));
        QCOMPARE(rows[i][3], QString::number(61 + i)); // 61.5 shows 61
    }
    QCOMPARE(rows.last()[0], QStringLiteral("010"));
    QCOMPARE(CGradeListDlg::RowNumber(1), QStringLiteral("001"));
    QCOMPARE(CGradeListDlg::RowNumber(99), QStringLiteral("099"));
    QCOMPARE(CGradeListDlg::RowNumber(100), QStringLiteral("100"));
}

void TestResults::unknownNameIsToldAndNoListShown()
{
    Rows rows{{QStringLiteral("untouched")}};
    QCOMPARE(GradeHistory(QStringLiteral("无此人"), nullptr, &rows),
             QStringList{QStringLiteral("查无该同学历次考试成绩！")});
    QCOMPARE(rows, (Rows{{QStringLiteral("untouched")}}));
}

void TestResults::emptyNameIsRefused()
{
    MessageBoxes boxes;
    bool stillOpen = false;
    ModalAnswer query([&](QWidget* window) {
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("1052")), Qt::LeftButton);
        QTRY_COMPARE(boxes.Texts(), QStringList{QStringLiteral("请填写考生姓名！")});
        stillOpen = window->isVisible();
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("2")), Qt::LeftButton);
    });
    CGradeQueryDlg dialog;
    dialog.exec();
    QVERIFY(stillOpen);
    QCOMPARE(boxes.Titles(), QStringList{QStringLiteral("温馨提示")});
}

void TestResults::answerStatusRowsOfThree()
{
    for (int n = 1; n <= 7; ++n)
        QVERIFY(
            m_folder->Sql(QStringLiteral("INSERT INTO answer VALUES('七题卷','%1','%2','A',1,0)")
                              .arg(n, 2, 10, QLatin1Char('0'))
                              .arg(n == 3 ? QStringLiteral("C") : QStringLiteral(" "))));
    QPointer<CAnswerListDlg> status = new CAnswerListDlg(QStringLiteral("七题卷"));
    status->show();
    QCOMPARE(status->windowTitle(), QStringLiteral("答题情况一览表"));
    QCOMPARE(Headers(ListOf(status)),
             (QStringList{QStringLiteral("题 号"), QStringLiteral("   答  案 "),
                          QStringLiteral("题 号"), QStringLiteral("   答  案 "),
                          QStringLiteral("题 号"), QStringLiteral("   答  案 ")}));
    QCOMPARE(Ui::ReportListRows(ListOf(status)),
             (Rows{{QStringLiteral("01"), QStringLiteral(" "), QStringLiteral("02"),
                    QStringLiteral(" "), QStringLiteral("03"), QStringLiteral("C")},
                   {QStringLiteral("04"), QStringLiteral(" "), QStringLiteral("05"),
                    QStringLiteral(" "), QStringLiteral("06"), QStringLiteral(" ")},
                   {QStringLiteral("07"), QStringLiteral(" "), QString(), QString(), QString(),
                    QString()}}));
    status->close();
    QTRY_VERIFY(!status);
}

void TestResults::answerStatusOrderByText()
{
    // Stored out of order; rows of three form in the database's order and
    // are then placed by the text of their first number: "100" after "10"
    // and before "13".
    for (const char* n : {"13", "14", "15", "100", "101", "102", "10", "11", "12"})
        QVERIFY(m_folder->Sql(QStringLiteral("INSERT INTO answer VALUES('长卷','%1',' ','A',1,0)")
                                  .arg(QString::fromLatin1(n))));
    QPointer<CAnswerListDlg> status = new CAnswerListDlg(QStringLiteral("长卷"));
    QStringList firsts;
    for (const QStringList& row : Ui::ReportListRows(ListOf(status)))
        firsts << row[0];
    QCOMPARE(firsts.size(), 3);
    QStringList sorted = firsts;
    sorted.sort();
    QCOMPARE(firsts, sorted);

    QTableWidget table;
    Ui::SetupReportList(&table, {{"题 号", 4}}, Qt::AlignLeft);
    Ui::FillReportList(&table,
                       {{QStringLiteral("13")}, {QStringLiteral("100")}, {QStringLiteral("10")}},
                       Qt::AlignLeft);
    QCOMPARE(Ui::ReportListRows(&table),
             (Rows{{QStringLiteral("10")}, {QStringLiteral("100")}, {QStringLiteral("13")}}));
    delete status;
}

void TestResults::twoStatusWindowsKeepTheirOwnContents()
{
    CExamPage page;
    page.show();
    page.findChild<QComboBox*>(QStringLiteral("1004"))->setCurrentIndex(4);
    page.findChild<QLineEdit*>(QStringLiteral("1050"))->setText(QStringLiteral("李明"));
    {
        MessageBoxes boxes;
        page.OnStart();
        QCOMPARE(boxes.Texts(), QStringList());
    }
    auto* statusButton = page.findChild<QPushButton*>(QStringLiteral("1044"));
    QTest::mouseClick(statusButton, Qt::LeftButton);
    page.findChild<QLineEdit*>(QStringLiteral("1003"))->setText(QStringLiteral("71"));
    page.findChild<QLineEdit*>(QStringLiteral("1045"))->setText(QStringLiteral("am"));
    {
        MessageBoxes boxes;
        QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("1022")), Qt::LeftButton);
    }
    QTest::mouseClick(statusButton, Qt::LeftButton);
    const QList<CAnswerListDlg*> windows = page.findChildren<CAnswerListDlg*>();
    QCOMPARE(windows.size(), 2);
    QVERIFY(windows[0]->isVisible() && windows[1]->isVisible());
    const auto answerTo71 = [](CAnswerListDlg* w) {
        for (const QStringList& row : Ui::ReportListRows(ListOf(w))) {
            for (int c = 0; c + 1 < row.size(); c += 2) {
                if (row[c] == QLatin1String("71"))
                    return row[c + 1];
            }
        }
        return QStringLiteral("not listed");
    };
    QCOMPARE(answerTo71(windows[0]), QStringLiteral(" "));
    QCOMPARE(answerTo71(windows[1]), QStringLiteral("am"));
    QPointer<CAnswerListDlg> first = windows[0];
    QTest::keyClick(first, Qt::Key_Escape);
    QTRY_VERIFY(!first);
    QCOMPARE(page.findChildren<CAnswerListDlg*>().size(), 1);
    page.OnTimer(); // the page goes on; the windows are no one's concern
    page.findChildren<CAnswerListDlg*>().front()->close();
    QTRY_COMPARE(page.findChildren<CAnswerListDlg*>().size(), 0);
}

QTEST_MAIN(TestResults)
#include "tst_results.moc"
