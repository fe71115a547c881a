// An exam driven as a student drives it, offscreen: the exam page, its
// answer card, the essay editor and hand-in. Message boxes are answered
// through the program's message-box hook; the countdown is advanced by
// calling its tick.

#include "DialogIds.h"
#include "EssayDlg.h"
#include "ExamPage.h"
#include "Mci.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

using namespace Ids::Exam;

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");
constexpr int Position2010 = 4;

// A second whose structure draw is 3, worked out once from the C runtime's
// generator.
constexpr std::int64_t DrawsThree = 1765000031;

// Over a hundred words in sentences of sensible length, with the test
// paper's keywords school, friend and help; no mark at the end.
const QString Essay = QStringLiteral(
    "Last month our class visited a small school in the mountains.\r\n"
    "We took books, pens and warm clothes for the children there. When we arrived, "
    "the students were waiting for us at the gate with big smiles. We played games "
    "with them, read stories together and taught them some English songs. A little "
    "girl told me that she wanted to become a teacher in the future. I was moved by "
    "her words. Before we left, every child gave us a card with a picture on it. "
    "I think this trip taught me a lot. We should help others whenever we can, and "
    "a friend in need is a friend indeed. I hope more students will join us next time "
    "and make the world a better place for everyone");

// The listening device: what the page asked of it.
QStringList g_played;
class FakeDevice : public Mci::Device
{
public:
    bool Load(const QString& path) override
    {
        g_played << QStringLiteral("load ") + QDir::current().relativeFilePath(path);
        return true;
    }
    void Play() override { g_played << QStringLiteral("play"); }
    void Stop() override { g_played << QStringLiteral("stop"); }
};

} // namespace

class TestExamPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void startValidations_data();
    void startValidations();
    void countdownAndTimeUp();
    void reselect();
    void answerCard_data();
    void answerCard();
    void listeningPlaysOnce();
    void essayDraftAndSubmission();
    void essayScoreTakenByWritingTime_data();
    void essayScoreTakenByWritingTime();
    void handIn();
    void handInWithoutEssay_data();
    void handInWithoutEssay();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<CExamPage> m_page;

    template <class T> T* Item(int id) const { return m_page->findChild<T*>(QString::number(id)); }
    QPushButton* Button(int id) const { return Item<QPushButton>(id); }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    QString TimeLeft() const { return Item<QLineEdit>(IdTimeLeft)->text(); }
    QStringList Start(const QString& minutes = QStringLiteral("120"),
                      const QString& name = QStringLiteral("O'Brien"), int paper = Position2010);
    QStringList Answer(int button, const QString& number, const QString& answer);
    QString Row(const QString& number) const;
    void VerifyState(const char* state);
    // Opens the editor from the page, runs `work` in it and leaves it.
    void InEditor(const std::function<void(QDialog*)>& work);
};

void TestExamPage::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->IsValid());
    QDir().mkpath(QStringLiteral("etp"));
    QFile doc(QStringLiteral("etp/%1.doc").arg(Paper2010));
    QVERIFY(doc.open(QIODevice::WriteOnly));
    doc.write("<html><head><meta charset=\"utf-8\"></head><body><p>1. What does the man "
              "want?</p></body></html>");
    doc.close();
    QDir().mkpath(QStringLiteral("elm"));
    QFile recording(QStringLiteral("elm/2010年江苏高考听力.mp3"));
    QVERIFY(recording.open(QIODevice::WriteOnly));
    recording.write("ID3");
    recording.close();
    g_played.clear();
    Mci::SetDeviceFactory([] { return std::make_unique<FakeDevice>(); });
    g_essayDlg.m_clock = [] { return DrawsThree; };
    g_essayDlg.m_nState = 0;
    g_strSavedEssay.clear();
    g_strSavedTitle.clear();
    m_page = std::make_unique<CExamPage>();
    m_page->show();
}

void TestExamPage::cleanup()
{
    m_page.reset();
    Mci::SendString(QStringLiteral("close mymp3"));
    Mci::SetDeviceFactory({});
    m_folder.reset();
    QVERIFY(!QApplication::activeModalWidget());
}

QStringList TestExamPage::Start(const QString& minutes, const QString& name, int paper)
{
    Item<QComboBox>(IdPaper)->setCurrentIndex(paper);
    Item<QLineEdit>(IdMinutes)->setText(minutes);
    Item<QLineEdit>(IdName)->setText(name);
    MessageBoxes boxes;
    Click(IdStart);
    return boxes.Texts();
}

QStringList TestExamPage::Answer(int button, const QString& number, const QString& answer)
{
    if (button == IdChoiceSubmit) {
        Item<QLineEdit>(IdChoiceNo)->setText(number);
        auto* choice = Item<QComboBox>(IdChoice);
        choice->setCurrentIndex(choice->findText(answer));
    } else {
        Item<QLineEdit>(IdFillNo)->setText(number);
        Item<QLineEdit>(IdFillAnswer)->setText(answer);
    }
    MessageBoxes boxes;
    Click(button);
    return boxes.Texts();
}

QString TestExamPage::Row(const QString& number) const
{
    return m_folder
        ->Column(QStringLiteral("SELECT 回答||'|'||得分 FROM answer WHERE 卷名='%1' AND 题号='%2'")
                     .arg(Paper2010, number))
        .value(0);
}

// The enabled states of the page's controls in each state of an exam.
void TestExamPage::VerifyState(const char* state)
{
    struct Expect
    {
        const char* state;
        const char* start;
        bool startEnabled, settings, card, handIn, review;
    };
    static const Expect table[] = {
        {"idle", "开 始 考 试", true, true, false, false, false},
        {"running", "选 择 试 题", false, false, true, true, false},
        {"time up", "选 择 试 题", false, false, false, true, false},
        {"handed in", "选 择 试 题", true, false, false, false, true},
    };
    for (const Expect& e : table) {
        if (qstrcmp(e.state, state) != 0)
            continue;
        QCOMPARE(Button(IdStart)->text(), QString::fromUtf8(e.start));
        QCOMPARE(Button(IdStart)->isEnabled(), e.startEnabled);
        for (int id : {IdPaper, IdMinutes, IdName})
            QCOMPARE(Item<QWidget>(id)->isEnabled(), e.settings);
        for (int id : {IdChoiceSubmit, IdFillSubmit, IdEssay, IdListening, IdAnswerStatus})
            QCOMPARE(Button(id)->isEnabled(), e.card);
        QCOMPARE(Button(IdHandIn)->isEnabled(), e.handIn);
        QCOMPARE(Button(IdReview)->isEnabled(), e.review);
        QCOMPARE(m_page->IsTimerRunning(), e.card);
        return;
    }
    QFAIL("unknown state");
}

void TestExamPage::InEditor(const std::function<void(QDialog*)>& work)
{
    NextModal editor([&](QDialog* window) {
        work(window);
        QTest::mouseClick(window->findChild<QPushButton*>(QString::number(Ids::Essay::IdExit)),
                          Qt::LeftButton);
    });
    Click(IdEssay);
    QVERIFY(editor.Ran());
}

void TestExamPage::startValidations_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("messages");
    const QString noPaper = QStringLiteral("请选择考试题目！");
    const QString noName = QStringLiteral("请填写考生姓名！");
    const QString noTime = QStringLiteral("请重新设置考试时间！");
    QTest::newRow("no paper, no name")
        << -1 << QStringLiteral("120") << QString() << QStringList{noPaper};
    QTest::newRow("no name") << Position2010 << QStringLiteral("120") << QString()
                             << QStringList{noName};
    QTest::newRow("zero minutes") << Position2010 << QStringLiteral("0") << QStringLiteral("张三")
                                  << QStringList{noTime};
    QTest::newRow("negative minutes")
        << Position2010 << QStringLiteral("-5") << QStringLiteral("张三") << QStringList{noTime};
    QTest::newRow("letters for minutes")
        << Position2010 << QStringLiteral("abc") << QStringLiteral("张三")
        << QStringList{QStringLiteral("请输入一个整数。")};
}

// Every start clears the answers and the essay file before it checks what
// was chosen; a refused start starts nothing.
void TestExamPage::startValidations()
{
    QFETCH(int, paper);
    QFETCH(QString, minutes);
    QFETCH(QString, name);
    QFETCH(QStringList, messages);
    QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 回答='B', 得分=1")));
    QFile essay(QStringLiteral("作文.txt"));
    QVERIFY(essay.open(QIODevice::WriteOnly));
    essay.write("last time's essay");
    essay.close();

    QCOMPARE(Start(minutes, name, paper), messages);
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT DISTINCT 回答||'|'||得分 FROM answer")),
             QStringList{QStringLiteral(" |0")});
    QCOMPARE(QFileInfo(QStringLiteral("作文.txt")).size(), 0);
    VerifyState("idle");
    QVERIFY(Item<QPlainTextEdit>(IdRules)->isVisible());
}

void TestExamPage::countdownAndTimeUp()
{
    QCOMPARE(Start(QStringLiteral("61")), QStringList());
    VerifyState("running");
    QVERIFY(!Item<QPlainTextEdit>(IdRules)->isVisible());
    QVERIFY(Item<QTextBrowser>(IdBrowser)->toPlainText().contains(QStringLiteral("man want")));
    QCOMPARE(TimeLeft(), QStringLiteral("01:01"));
    Click(IdListening);
    MessageBoxes boxes;
    m_page->OnTimer();
    QCOMPARE(TimeLeft(), QStringLiteral("01:00"));
    m_page->OnTimer();
    QCOMPARE(TimeLeft(), QStringLiteral("00:59"));
    QCOMPARE(boxes.Texts(), QStringList());
    m_page->m_nRemaining = 1;
    // Time-up locks the card and the open editor, and stops the recording.
    InEditor([&](QDialog* editor) {
        m_page->OnTimer();
        QVERIFY(
            editor->findChild<QPlainTextEdit*>(QString::number(Ids::Essay::IdText))->isReadOnly());
    });
    QCOMPARE(TimeLeft(), QStringLiteral("00:00"));
    QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("考试时间到，请交卷！")});
    VerifyState("time up");
    QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
    QCOMPARE(g_played.mid(1), (QStringList{QStringLiteral("play"), QStringLiteral("stop")}));
}

void TestExamPage::reselect()
{
    QCOMPARE(Start(), QStringList());
    MessageBoxes boxes(QMessageBox::No);
    Click(IdHandIn);
    VerifyState("handed in");
    Click(IdStart);
    VerifyState("idle");
    QCOMPARE(Start(QStringLiteral("45"), QStringLiteral("张三"), 6), QStringList());
    QCOMPARE(m_page->m_strDocPath, QStringLiteral("\\etp\\英语科模拟考试卷51.doc"));
    QCOMPARE(TimeLeft(), QStringLiteral("00:45"));
    // A paper whose document is missing still starts, and the pane says so.
    QVERIFY(Item<QTextBrowser>(IdBrowser)->toPlainText().contains(QStringLiteral("51.doc")));
}

void TestExamPage::answerCard_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored"); // 题号, or empty: nothing stored
    QTest::addColumn<QString>("row");    // 回答|得分
    QTest::addColumn<QString>("next");   // the number box afterwards
    const char* const ok = "提交成功!";
    const char* const notDigits = "题目必须为数字！";
    // clang-format off
    const struct { const char* name; int button; const char* number; const char* answer;
                   const char* message; const char* stored; const char* row; const char* next; }
    cases[] = {
        {"choice right",             IdChoiceSubmit, "7",    "B",   ok, "07", "B|1",   "8"},
        {"choice wrong",             IdChoiceSubmit, "07",   "C",   ok, "07", "C|0",   "8"},
        {"9 is stored as 09",        IdChoiceSubmit, "9",    "D",   ok, "09", "D|1",   "10"},
        {"10 as it is",              IdChoiceSubmit, "10",   "A",   ok, "10", "A|1",   "11"},
        {"reading, two points",      IdChoiceSubmit, "56",   "D",   ok, "56", "D|2",   "57"},
        {"fill, second alternative", IdFillSubmit,   "71",   "is",  ok, "71", "is|1",  "72"},
        {"fill, capital",            IdFillSubmit,   "71",   "Am",  ok, "71", "Am|0",  "72"},
        {"fill, quote",              IdFillSubmit,   "0071", "I'm", ok, "71", "I'm|0", "72"},
        {"fill, blank key",          IdFillSubmit,   "72",   " ",   ok, "72", " |1",   "73"},
        {"no number",        IdChoiceSubmit, "",     "A",  "题目不能为空！", "", "", ""},
        {"letter in number", IdFillSubmit,   "7x",   "am", notDigits, "", "", "7x"},
        {"minus",            IdChoiceSubmit, "-1",   "A",  notDigits, "", "", "-1"},
        {"no letter",        IdChoiceSubmit, "1",    "",   "请选择答案", "", "", "1"},
        {"no fill-in",       IdFillSubmit,   "71",   "",   "请填写答案，放弃回答请填入空格！", "", "", "71"},
    };
    // clang-format on
    for (const auto& c : cases)
        QTest::newRow(c.name) << c.button << QString::fromUtf8(c.number)
                              << QString::fromUtf8(c.answer) << QString::fromUtf8(c.message)
                              << QString::fromUtf8(c.stored) << QString::fromUtf8(c.row)
                              << QString::fromUtf8(c.next);
}

void TestExamPage::answerCard()
{
    QFETCH(int, button);
    QFETCH(QString, number);
    QFETCH(QString, answer);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    QFETCH(QString, row);
    QFETCH(QString, next);
    QCOMPARE(Start(), QStringList());
    QCOMPARE(Answer(button, number, answer), QStringList{message});
    if (!stored.isEmpty())
        QCOMPARE(Row(stored), row);
    else
        QCOMPARE(m_folder->Column(QStringLiteral("SELECT COUNT(*) FROM answer WHERE 回答<>' '")),
                 QStringList{QStringLiteral("0")});
    QCOMPARE(Item<QLineEdit>(button == IdChoiceSubmit ? IdChoiceNo : IdFillNo)->text(), next);
}

void TestExamPage::listeningPlaysOnce()
{
    QCOMPARE(Start(), QStringList());
    Click(IdListening);
    QVERIFY(!Button(IdListening)->isEnabled());
    QCOMPARE(g_played, (QStringList{QStringLiteral("load elm/2010年江苏高考听力.mp3"),
                                    QStringLiteral("play")}));
}

void TestExamPage::essayDraftAndSubmission()
{
    QCOMPARE(Start(), QStringList());
    const auto box = [](QDialog* editor) {
        return editor->findChild<QPlainTextEdit*>(QString::number(Ids::Essay::IdText));
    };
    const auto press = [](QDialog* editor, int id) {
        QTest::mouseClick(editor->findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
    };
    InEditor([&](QDialog* editor) {
        MessageBoxes boxes;
        press(editor, Ids::Essay::IdSubmit);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("请写完作文后再提交！")});
        box(editor)->setPlainText(QStringLiteral("draft\nline two"));
        press(editor, Ids::Essay::IdSave);
    });
    QCOMPARE(g_strSavedEssay, QStringLiteral("draft\r\nline two"));
    InEditor([&](QDialog* editor) {
        QCOMPARE(box(editor)->toPlainText(), QStringLiteral("draft\nline two"));
        box(editor)->setPlainText(
            QString(Essay).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        MessageBoxes boxes;
        press(editor, Ids::Essay::IdSubmit);
        QCOMPARE(boxes.Texts(),
                 (QStringList{QStringLiteral("结尾无标点"), QStringLiteral("作文提交成功！")}));
        QVERIFY(box(editor)->isReadOnly());
    });
    QCOMPARE(g_essayDlg.m_nState, 2);
    QFile file(QStringLiteral("作文.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), Essay.toUtf8() + '\0');
    QVERIFY(
        g_essayDlg.m_strReport.contains(QStringLiteral("五、文章没收尾或者忘记写标点，扣2分。")));
    QVERIFY(!Button(IdEssay)->isEnabled());
}

void TestExamPage::essayScoreTakenByWritingTime_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("encouragement");
    QTest::newRow("two minutes: too quick") << 2 << true;
    QTest::newRow("three minutes") << 3 << false;
}

// An essay written within two minutes of the first opening gets the
// encouragement score instead of its own.
void TestExamPage::essayScoreTakenByWritingTime()
{
    QFETCH(int, minutes);
    QFETCH(bool, encouragement);
    QCOMPARE(Start(), QStringList());
    InEditor([](QDialog*) {});
    for (int i = 0; i < minutes; ++i)
        m_page->OnTimer();
    InEditor([&](QDialog* editor) {
        editor->findChild<QPlainTextEdit*>(QString::number(Ids::Essay::IdText))
            ->setPlainText(Essay + QLatin1Char('.'));
        MessageBoxes boxes;
        QTest::mouseClick(editor->findChild<QPushButton*>(QString::number(Ids::Essay::IdSubmit)),
                          Qt::LeftButton);
    });
    QVERIFY(g_essayDlg.m_dScore > 3.0);
    QCOMPARE(m_page->m_dScore, encouragement ? 3.0 : g_essayDlg.m_dScore);
    QCOMPARE(m_page->m_strReport,
             encouragement
                 ? QStringLiteral("该文章得分:3分（勉励分）；原因：成文仓促，缺少构思过程。")
                 : g_essayDlg.m_strReport);
}

void TestExamPage::handIn()
{
    QCOMPARE(Start(), QStringList());
    // 1 + 1 + 2 + 1 points right, one wrong; the last row of the table counts.
    for (const auto& [number, letter] :
         {std::pair{"1", "B"}, {"2", "C"}, {"56", "D"}, {"7", "A"}, {"10", "A"}})
        QCOMPARE(Answer(IdChoiceSubmit, QString::fromUtf8(number), QString::fromUtf8(letter)),
                 QStringList{QStringLiteral("提交成功!")});
    Click(IdListening);
    g_essayDlg.m_nState = 2;
    m_page->m_dScore = 12.5;
    MessageBoxes boxes;
    Click(IdHandIn);
    QCOMPARE(boxes.Texts(),
             QStringList{QStringLiteral(
                 "您本次考试成绩为：17.5分（其中客观题得分为：5.0分,作文得分为：12.5分）")});
    VerifyState("handed in");
    QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
    QCOMPARE(g_essayDlg.m_nState, 9);
    QCOMPARE(
        m_folder->Column(QStringLiteral("SELECT 成绩||'|'||typeof(成绩)||'|'||length(考试时间) "
                                        "FROM grades WHERE 考生姓名='O''Brien' AND 试题名='%1'")
                             .arg(Paper2010)),
        QStringList{QStringLiteral("17.5|real|19")});
}

void TestExamPage::handInWithoutEssay_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("handedIn");
    QTest::newRow("yes: go back to the essay") << int(QMessageBox::Yes) << false;
    QTest::newRow("no: hand in") << int(QMessageBox::No) << true;
}

void TestExamPage::handInWithoutEssay()
{
    QFETCH(int, button);
    QFETCH(bool, handedIn);
    QCOMPARE(Start(), QStringList());
    MessageBoxes boxes{QMessageBox::StandardButton(button)};
    Click(IdHandIn);
    QCOMPARE(boxes.Texts().value(0), QStringLiteral("作文未提交，是否提交？"));
    VerifyState(handedIn ? "handed in" : "running");
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT COUNT(*) FROM grades")).value(0),
             handedIn ? QStringLiteral("3") : QStringLiteral("2"));
    if (handedIn)
        QCOMPARE(m_page->m_strReport, QStringLiteral("没写作文，所以没有分数。"));
}

QTEST_MAIN(TestExamPage)
#include "tst_exampage.moc"
