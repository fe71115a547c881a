// The essay editor and hand-in, driven offscreen through the exam page.

#include "EssayDlg.h"
#include "EssayScorer.h"
#include "ExamPage.h"
#include "Mci.h"
#include "MessageBox.h"
#include "StringTable.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");

// Over a hundred words in sentences of sensible length, with the 2010 test
// paper's keywords school, friend and help.
const QString GoodEssay = QStringLiteral(
    "Last month our class visited a small school in the mountains.\r\n"
    "We took books, pens and warm clothes for the children there. When we arrived, "
    "the students were waiting for us at the gate with big smiles. We played games "
    "with them, read stories together and taught them some English songs. A little "
    "girl told me that she wanted to become a teacher in the future. I was moved by "
    "her words. Before we left, every child gave us a card with a picture on it. "
    "I think this trip taught me a lot. We should help others whenever we can, and "
    "a friend in need is a friend indeed. I hope more students will join us next time "
    "and make the world a better place for everyone");

// A second whose structure draw is 3 (G = -1.5, grader entry 3).
std::int64_t SecondWithDraw(int x)
{
    std::int64_t seconds = 1765000000;
    while (EssayScorer::StructureDraw(seconds) != x)
        ++seconds;
    return seconds;
}

QPlainTextEdit* EssayBox(QWidget* editor)
{
    return editor->findChild<QPlainTextEdit*>(QStringLiteral("1055"));
}
QLineEdit* TitleBox(QWidget* editor)
{
    return editor->findChild<QLineEdit*>(QStringLiteral("1054"));
}
QPushButton* EditorButton(QWidget* editor, int id)
{
    return editor->findChild<QPushButton*>(QString::number(id));
}

} // namespace

class TestEssay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void draftIsKeptDuringTheExam();
    void emptyEssayIsRefused();
    void submissionWritesScoresAndLocks();
    void unreadableEssayFileIsReported();
    void brokenWordListEndsWithoutScoring();
    void brokenKeywordQueryIsReportedNotBlamed();
    void timeUpLocksTheOpenEditor();
    void quickEssayGetsTheEncouragementScore();
    void essayWrittenOverTimeKeepsItsScore();
    void handInQuestionYesChangesNothing();
    void handInWithoutEssay();
    void wholeExam();
    void handInWithoutKeys();
    void failedGradeRowIsReportedNotScored();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<CExamPage> m_page;

    QPushButton* PageButton(int id) const
    {
        return m_page->findChild<QPushButton*>(QString::number(id));
    }
    void StartExam(int minutes = 120);
    // Opens the editor from the page and runs `work` in it; the editor is
    // then left with its exit button.
    void InEditor(const std::function<void(QDialog*)>& work);
    void Submit(QDialog* editor, const QString& text, MessageBoxes& boxes);
};

void TestEssay::initTestCase()
{
    Ui::InstallAppMessageBox();
}

void TestEssay::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->IsValid());
    g_essayDlg.m_clock = [] { return SecondWithDraw(3); };
    g_essayDlg.m_nState = 0;
    g_essayDlg.m_nStartMinutes = 0;
    g_essayDlg.m_strReport.clear();
    g_essayDlg.m_dScore = 0.0;
    g_strSavedEssay.clear();
    g_strSavedTitle.clear();
    Mci::SetDeviceFactory([]() -> std::unique_ptr<Mci::Device> { return nullptr; });
    m_page = std::make_unique<CExamPage>();
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
}

void TestEssay::cleanup()
{
    m_page.reset();
    Mci::SetDeviceFactory({});
    m_folder.reset();
    QVERIFY(!QApplication::activeModalWidget());
}

void TestEssay::StartExam(int minutes)
{
    m_page->findChild<QComboBox*>(QStringLiteral("1004"))->setCurrentIndex(4);
    m_page->findChild<QLineEdit*>(QStringLiteral("1048"))->setText(QString::number(minutes));
    m_page->findChild<QLineEdit*>(QStringLiteral("1050"))->setText(QStringLiteral("O'Brien"));
    MessageBoxes boxes;
    QTest::mouseClick(PageButton(1005), Qt::LeftButton);
    QCOMPARE(boxes.Texts(), QStringList());
    QVERIFY(m_page->IsTimerRunning());
}

void TestEssay::InEditor(const std::function<void(QDialog*)>& work)
{
    bool ran = false;
    ModalAnswer answer([&](QWidget* window) {
        auto* editor = qobject_cast<QDialog*>(window);
        QVERIFY(editor);
        QCOMPARE(editor, g_essayDlg.Window());
        ran = true;
        work(editor);
        QTest::mouseClick(EditorButton(editor, 2), Qt::LeftButton);
    });
    QTest::mouseClick(PageButton(1042), Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(answer.Seen().title, QStringLiteral("写作文"));
    QVERIFY(!g_essayDlg.Window());
}

void TestEssay::Submit(QDialog* editor, const QString& text, MessageBoxes& boxes)
{
    EssayBox(editor)->setPlainText(
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QTest::mouseClick(EditorButton(editor, 1057), Qt::LeftButton);
    QTRY_VERIFY(!boxes.Texts().isEmpty());
}

void TestEssay::draftIsKeptDuringTheExam()
{
    StartExam();
    InEditor([](QDialog* editor) {
        QCOMPARE(EssayBox(editor)->toPlainText(), QString());
        TitleBox(editor)->setText(QStringLiteral("A Visit"));
        EssayBox(editor)->setPlainText(QStringLiteral("Line one\nline two"));
        QTest::mouseClick(EditorButton(editor, 1058), Qt::LeftButton);
    });
    QCOMPARE(g_strSavedEssay, QStringLiteral("Line one\r\nline two"));
    InEditor([](QDialog* editor) {
        QCOMPARE(TitleBox(editor)->text(), QStringLiteral("A Visit"));
        QCOMPARE(EssayBox(editor)->toPlainText(), QStringLiteral("Line one\nline two"));
        EssayBox(editor)->setPlainText(QStringLiteral("changed, not saved"));
    });
    InEditor([](QDialog* editor) {
        QCOMPARE(EssayBox(editor)->toPlainText(), QStringLiteral("Line one\nline two"));
    });
    // The first opening of the next exam starts empty.
    PageButton(1005)->setEnabled(true);
    QTest::mouseClick(PageButton(1005), Qt::LeftButton); // re-select
    StartExam();
    InEditor([](QDialog* editor) {
        QCOMPARE(EssayBox(editor)->toPlainText(), QString());
        QCOMPARE(TitleBox(editor)->text(), QString());
    });
    QCOMPARE(g_essayDlg.m_nState, 1);
}

void TestEssay::emptyEssayIsRefused()
{
    StartExam();
    InEditor([](QDialog* editor) {
        MessageBoxes boxes;
        QTest::mouseClick(EditorButton(editor, 1057), Qt::LeftButton);
        QTRY_COMPARE(boxes.Texts(), QStringList{QStringLiteral("请写完作文后再提交！")});
        QCOMPARE(boxes.Titles(), QStringList{QStringLiteral("温馨提示")});
        QVERIFY(EditorButton(editor, 1057)->isEnabled());
    });
    QCOMPARE(g_essayDlg.m_nState, 1);
    QVERIFY(PageButton(1042)->isEnabled());
}

void TestEssay::submissionWritesScoresAndLocks()
{
    StartExam();
    // An older, longer content stays behind the zero byte.
    {
        QFile file(QStringLiteral("作文.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2000, 'x'));
    }
    InEditor([this](QDialog* editor) {
        MessageBoxes boxes;
        Submit(editor, GoodEssay, boxes);
        QTRY_COMPARE(boxes.Texts(),
                     (QStringList{QStringLiteral("结尾无标点"), QStringLiteral("作文提交成功！")}));
        QCOMPARE(boxes.Titles().front(), QCoreApplication::applicationName());
        QVERIFY(!EditorButton(editor, 1057)->isEnabled());
        QVERIFY(EssayBox(editor)->isReadOnly());
        QVERIFY(EditorButton(editor, 1058)->isEnabled());
        QVERIFY(TitleBox(editor)->isEnabled());
        QCOMPARE(g_essayDlg.m_nState, 2);
        QCOMPARE(g_essayDlg.m_nEndPenalty, -2);
    });
    QFile file(QStringLiteral("作文.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray expected = GoodEssay.toUtf8() + '\0';
    QCOMPARE(bytes.left(expected.size()), expected);
    QCOMPARE(bytes.size(), 2000);

    // Three keyword hits, x = 3, no final mark.
    QVERIFY(g_essayDlg.m_strReport.startsWith(EssayScorer::Grader(3)));
    QVERIFY(
        g_essayDlg.m_strReport.contains(QStringLiteral("五、文章没收尾或者忘记写标点，扣2分。")));
    QVERIFY(
        g_essayDlg.m_strReport.contains(QStringLiteral("三、文章扣题程度得分（共3分）：3分；")));
    QVERIFY(g_essayDlg.m_dScore > 5.0);
    // Taken within two minutes: the encouragement score.
    QCOMPARE(m_page->m_dScore, 3.0);
    QVERIFY(!PageButton(1042)->isEnabled());
}

void TestEssay::unreadableEssayFileIsReported()
{
    StartExam();
    QVERIFY(QFile::remove(QStringLiteral("作文.txt")));
    QVERIFY(QDir().mkdir(QStringLiteral("作文.txt")));
    InEditor([this](QDialog* editor) {
        MessageBoxes boxes;
        Submit(editor, GoodEssay, boxes);
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY(boxes.Texts().front().contains(QStringLiteral("“作文.txt”")));
        QVERIFY(EditorButton(editor, 1057)->isEnabled());
        QVERIFY(!EssayBox(editor)->isReadOnly());
    });
    QCOMPARE(g_essayDlg.m_nState, 1);
    QVERIFY(QFileInfo(QStringLiteral("作文.txt")).isDir());
    QVERIFY(PageButton(1042)->isEnabled());
}

void TestEssay::brokenWordListEndsWithoutScoring()
{
    StartExam();
    QVERIFY(m_folder->Sql(QStringLiteral("DROP TABLE word")));
    g_essayDlg.m_strReport = QStringLiteral("earlier");
    InEditor([this](QDialog* editor) {
        MessageBoxes boxes;
        Submit(editor, GoodEssay + QStringLiteral("."), boxes);
        QTest::qWait(50);
        QCOMPARE(boxes.Texts().size(), 2);
        QVERIFY(boxes.Texts().front().startsWith(QStringLiteral("数据库错误: ")));
        QCOMPARE(boxes.Texts()[1], Ui::LoadString(Ui::Str::EssayNotSubmitted));
        QCOMPARE(g_essayDlg.m_nState, 1);
        QVERIFY(!EssayBox(editor)->isReadOnly());
    });
    QCOMPARE(g_essayDlg.m_strReport, QStringLiteral("earlier"));
}

void TestEssay::brokenKeywordQueryIsReportedNotBlamed()
{
    StartExam();
    QVERIFY(m_folder->Sql(QStringLiteral("DROP TABLE write")));
    InEditor([this](QDialog* editor) {
        MessageBoxes boxes;
        Submit(editor, GoodEssay + QStringLiteral("."), boxes);
        QTRY_COMPARE(boxes.Texts().size(), 2);
        QVERIFY(boxes.Texts()[0].startsWith(QStringLiteral("数据库错误: ")));
        QCOMPARE(boxes.Texts()[1], Ui::LoadString(Ui::Str::EssayNotSubmitted));
    });
    QVERIFY(!g_essayDlg.m_strReport.contains(QStringLiteral("文不答题")));
}

void TestEssay::timeUpLocksTheOpenEditor()
{
    StartExam(1);
    InEditor([this](QDialog* editor) {
        QVERIFY(!EssayBox(editor)->isReadOnly());
        MessageBoxes boxes;
        m_page->OnTimer();
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("考试时间到，请交卷！")});
        QVERIFY(EssayBox(editor)->isReadOnly());
    });
    QVERIFY(!PageButton(1042)->isEnabled());
    QVERIFY(PageButton(1043)->isEnabled());
}

void TestEssay::quickEssayGetsTheEncouragementScore()
{
    StartExam();
    m_page->OnTimer();
    m_page->OnTimer(); // two minutes: still too quick
    InEditor([this](QDialog* editor) {
        MessageBoxes boxes;
        Submit(editor, GoodEssay + QStringLiteral("."), boxes);
        QTRY_COMPARE(boxes.Texts().size(), 1);
    });
    QVERIFY(g_essayDlg.m_dScore > 3.0);
    QCOMPARE(m_page->m_dScore, 3.0);
    QCOMPARE(m_page->m_strReport,
             QStringLiteral("该文章得分:3分（勉励分）；原因：成文仓促，缺少构思过程。"));
    QCOMPARE(m_page->m_strEssay, GoodEssay + QStringLiteral("."));
}

void TestEssay::essayWrittenOverTimeKeepsItsScore()
{
    StartExam();
    InEditor([](QDialog*) {}); // the first opening starts the writing time
    for (int i = 0; i < 3; ++i)
        m_page->OnTimer();
    InEditor([this](QDialog* editor) {
        TitleBox(editor)->setText(QStringLiteral("A Visit to a Mountain School"));
        MessageBoxes boxes;
        Submit(editor, GoodEssay + QStringLiteral("."), boxes);
        QTRY_COMPARE(boxes.Texts(), QStringList{QStringLiteral("作文提交成功！")});
    });
    QCOMPARE(g_essayDlg.m_nStartMinutes, 120);
    QCOMPARE(m_page->m_dScore, g_essayDlg.m_dScore);
    QCOMPARE(m_page->m_strReport, g_essayDlg.m_strReport);
    QCOMPARE(m_page->m_strEssayTitle, QStringLiteral("A Visit to a Mountain School"));
    QVERIFY(!m_page->m_strReport.contains(QStringLiteral("五、")));
}

void TestEssay::handInQuestionYesChangesNothing()
{
    StartExam();
    MessageBoxes boxes(QMessageBox::Yes);
    QTest::mouseClick(PageButton(1043), Qt::LeftButton);
    QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("作文未提交，是否提交？")});
    QVERIFY(m_page->IsTimerRunning());
    QVERIFY(PageButton(1043)->isEnabled());
    QVERIFY(PageButton(1042)->isEnabled());
    QVERIFY(!PageButton(1049)->isEnabled());
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT COUNT(*) FROM grades")),
             QStringList{QStringLiteral("2")});
}

void TestEssay::handInWithoutEssay()
{
    StartExam();
    MessageBoxes boxes(QMessageBox::No);
    QTest::mouseClick(PageButton(1043), Qt::LeftButton);
    QCOMPARE(
        boxes.Texts(),
        (QStringList{QStringLiteral("作文未提交，是否提交？"),
                     QStringLiteral(
                         "您本次考试成绩为：0.0分（其中客观题得分为：0.0分,作文得分为：0.0分）")}));
    QCOMPARE(m_page->m_strReport, QStringLiteral("没写作文，所以没有分数。"));
    QCOMPARE(m_page->m_dScore, 0.0);
    QVERIFY(!m_page->IsTimerRunning());
    for (int id : {1046, 1022, 1042, 1043, 1047, 1044})
        QVERIFY(!PageButton(id)->isEnabled());
    for (int id : {1049, 1005, 1006})
        QVERIFY(PageButton(id)->isEnabled());
    QCOMPARE(PageButton(1005)->text(), QStringLiteral("选 择 试 题"));
    QCOMPARE(g_essayDlg.m_nState, 9);
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT 试题名||'|'||考生姓名||'|'||成绩 FROM grades "
                                             "WHERE 考生姓名='O''Brien' AND 试题名='%1'")
                                  .arg(Paper2010)),
             QStringList{Paper2010 + QStringLiteral("|O'Brien|0.0")});
}

void TestEssay::wholeExam()
{
    StartExam();
    // Two right answers (1 point each) and a reading question (2 points).
    const struct
    {
        const char* number;
        const char* letter;
    } answers[] = {{"1", "B"}, {"2", "C"}, {"56", "D"}, {"7", "A"}};
    for (const auto& a : answers) {
        m_page->findChild<QLineEdit*>(QStringLiteral("1068"))->setText(QString::fromUtf8(a.number));
        auto* choice = m_page->findChild<QComboBox*>(QStringLiteral("1033"));
        choice->setCurrentIndex(choice->findText(QString::fromUtf8(a.letter)));
        MessageBoxes boxes;
        QTest::mouseClick(PageButton(1046), Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("提交成功!")});
    }
    InEditor([](QDialog*) {});
    for (int i = 0; i < 5; ++i)
        m_page->OnTimer();
    InEditor([this](QDialog* editor) {
        MessageBoxes boxes;
        Submit(editor, GoodEssay + QStringLiteral("."), boxes);
        QTRY_COMPARE(boxes.Texts(), QStringList{QStringLiteral("作文提交成功！")});
    });
    const double essay = m_page->m_dScore;
    QVERIFY(essay > 5.0);
    MessageBoxes boxes;
    QTest::mouseClick(PageButton(1043), Qt::LeftButton);
    const double total = 4.0 + essay;
    QCOMPARE(boxes.Texts(),
             QStringList{QString::asprintf(
                 "您本次考试成绩为：%2.1f分（其中客观题得分为：4.0分,作文得分为：%2.1f分）", total,
                 essay)});
    const QStringList rows =
        m_folder->Column(QStringLiteral("SELECT 成绩||'|'||typeof(成绩)||'|'||length(考试时间) "
                                        "FROM grades WHERE 考生姓名='O''Brien' AND 试题名='%1'")
                             .arg(Paper2010));
    QCOMPARE(rows, QStringList{QStringLiteral("%1|real|19").arg(total, 0, 'f', 1)});
}

void TestEssay::handInWithoutKeys()
{
    StartExam();
    QVERIFY(m_folder->Sql(QStringLiteral("DELETE FROM answer")));
    g_essayDlg.m_nState = 1;
    MessageBoxes boxes(QMessageBox::No);
    QTest::mouseClick(PageButton(1043), Qt::LeftButton);
    QCOMPARE(boxes.Texts(),
             (QStringList{QStringLiteral("作文未提交，是否提交？"), QStringLiteral("无得分!")}));
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT COUNT(*) FROM grades")),
             QStringList{QStringLiteral("2")});
    QVERIFY(m_page->IsTimerRunning());
    QCOMPARE(g_essayDlg.m_nState, 1);
}

void TestEssay::failedGradeRowIsReportedNotScored()
{
    StartExam();
    QVERIFY(m_folder->Sql(QStringLiteral("DROP TABLE grades")));
    MessageBoxes boxes(QMessageBox::No);
    QTest::mouseClick(PageButton(1043), Qt::LeftButton);
    QCOMPARE(boxes.Texts().size(), 3);
    QVERIFY(boxes.Texts()[1].startsWith(QStringLiteral("数据库错误: ")));
    QCOMPARE(boxes.Texts()[2], Ui::LoadString(Ui::Str::HandInNotRecorded));
}

QTEST_MAIN(TestEssay)
#include "tst_essay.moc"
