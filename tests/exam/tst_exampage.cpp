// An exam driven as a student drives it, offscreen, in the main window: the
// exam page, its answer card, the essay editor and hand-in, and the places
// where a student could lose an exam, be marked wrongly or be told what is
// not so. Message boxes are answered through the program's message-box hook;
// the countdown is advanced by calling its tick.

#include "DialogIds.h"
#include "EssayDlg.h"
#include "EssayScorer.h"
#include "ExamPage.h"
#include "Exchange.h"
#include "MainTabDlg.h"
#include "Mci.h"
#include "ReviewDlg.h"
#include "StringTable.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>

using namespace Ids::Exam;

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");
constexpr int Position2010 = 4;
const QString Document = QStringLiteral("etp/2010年江苏高考英语试题.doc");
const QString Recording = QStringLiteral("elm/2010年江苏高考听力.mp3");

// A second whose structure draw is 3, worked out once from the C runtime's
// generator.
constexpr std::int64_t DrawsThree = 1765000031;

// Over a hundred words in sentences of sensible length, with the test
// paper's keywords school, friend and help; no mark at the end.
const QString Essay = QStringLiteral(
    "Last month our class visited a small school in the mountains. "
    "We took books, pens and warm clothes for the children there. When we arrived, "
    "the students were waiting for us at the gate with big smiles. We played games "
    "with them, read stories together and taught them some English songs. A little "
    "girl told me that she wanted to become a teacher in the future. I was moved by "
    "her words. Before we left, every child gave us a card with a picture on it. "
    "I think this trip taught me a lot. We should help others whenever we can, and "
    "a friend in need is a friend indeed. I hope more students will join us next time "
    "and make the world a better place for everyone");

// The listening device: what the page asked of it; it can fail to decode.
QStringList g_played;
bool g_undecodable = false;
class FakeDevice : public Mci::Device
{
public:
    bool Load(const QString& path) override
    {
        g_played << QStringLiteral("load ") + QDir::current().relativeFilePath(path);
        return true;
    }
    void Play() override
    {
        g_played << QStringLiteral("play");
        if (g_undecodable)
            Fail(QStringLiteral("not a stream"));
    }
    void Stop() override { g_played << QStringLiteral("stop"); }
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString Str(int id)
{
    return Ui::LoadString(id);
}

// Drawn read-only, on the window's colour.
bool LooksLocked(const QPlainTextEdit* box)
{
    return box->isReadOnly() &&
           box->palette().color(QPalette::Base) == box->palette().color(QPalette::Window);
}

} // namespace

class TestExamPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Ui::InstallAppMessageBox(); }
    void init();
    void cleanup();

    void startValidations_data();
    void startValidations();
    void minutesTypoStartsNothing_data();
    void minutesTypoStartsNothing();
    void countdownAndTimeUp();
    void reselect();
    void leavingARunningExamAsks_data();
    void leavingARunningExamAsks();
    void answerCard_data();
    void answerCard();
    void listeningPlaysOnce();
    void failuresTellTheTruth_data();
    void failuresTellTheTruth();
    void essayDraftAndSubmission();
    void essayScoreTakenByWritingTime_data();
    void essayScoreTakenByWritingTime();
    void essayScoredOrNotSubmitted_data();
    void essayScoredOrNotSubmitted();
    void handIn();
    void handInWithoutEssay_data();
    void handInWithoutEssay();
    void handInFailsThenRetries();
    void whatTheStudentSees();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<CMainTabDlg> m_main;
    CExamPage* m_page = nullptr;

    template <class T> T* Item(int id) const { return m_page->findChild<T*>(QString::number(id)); }
    QPushButton* Button(int id) const { return Item<QPushButton>(id); }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    QString TimeLeft() const { return Item<QLineEdit>(IdTimeLeft)->text(); }
    QStringList Start(const QString& minutes = QStringLiteral("120"),
                      const QString& name = QStringLiteral("O'Brien"), int paper = Position2010);
    QStringList Answer(int button, const QString& number, const QString& answer);
    QString Row(const QString& number) const;
    QStringList Grades() const
    {
        return m_folder->Column(QStringLiteral("SELECT 考生姓名||'|'||成绩 FROM grades"));
    }
    void VerifyState(const char* state);
    // Opens the editor from the page, runs `work` in it and leaves it.
    void InEditor(const std::function<void(QDialog*)>& work);
};

void TestExamPage::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->IsValid());
    WriteFile(Document, "<html><head><meta charset=\"utf-8\"></head><body><p>1. What does the "
                        "man want?</p></body></html>");
    WriteFile(Recording, "ID3");
    g_played.clear();
    g_undecodable = false;
    Mci::SetDeviceFactory([] { return std::make_unique<FakeDevice>(); });
    g_essayDlg.m_clock = [] { return DrawsThree; };
    g_essayDlg.m_nState = 0;
    // What the last exam left in the editor.
    g_essayDlg.m_dScore = 9.5;
    g_essayDlg.m_strReport = QStringLiteral("last exam's report");
    g_strSavedEssay.clear();
    g_strSavedTitle.clear();
    m_main = std::make_unique<CMainTabDlg>();
    m_page = m_main->m_pageExam;
    m_main->ShowPageOf(2);
    m_main->show();
}

void TestExamPage::cleanup()
{
    m_main.reset();
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
        {"0 is not on the paper", IdFillSubmit, "0", "am", "#0", "", "", "0"},
        {"81", IdFillSubmit, "81", "am", "#81", "", "", "81"},
        {"int max", IdFillSubmit, "2147483647", "am", "#2147483647", "", "", "2147483647"},
        {"beyond int", IdChoiceSubmit, "0099999999999", "A", "#99999999999", "", "", "0099999999999"},
        {"no letter",        IdChoiceSubmit, "1",    "",   "请选择答案", "", "", "1"},
        {"no fill-in",       IdFillSubmit,   "71",   "",   "请填写答案，放弃回答请填入空格！", "", "", "71"},
    };
    // clang-format on
    // "#N": the paper has no question N.
    for (const auto& c : cases)
        QTest::newRow(c.name)
            << c.button << QString::fromUtf8(c.number) << QString::fromUtf8(c.answer)
            << (c.message[0] == '#' ? Str(Ui::Str::NoSuchQuestion).arg(QLatin1String(c.message + 1))
                                    : QString::fromUtf8(c.message))
            << QString::fromUtf8(c.stored) << QString::fromUtf8(c.row) << QString::fromUtf8(c.next);
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
    // The score, then the offer of its analysis (declined here).
    QCOMPARE(
        boxes.Texts(),
        (QStringList{QStringLiteral(
                         "您本次考试成绩为：17.5分（其中客观题得分为：5.0分,作文得分为：12.5分）"),
                     Str(Ui::Str::OfferAnalysis)}));
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

void TestExamPage::leavingARunningExamAsks_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("escape"); // else the window is closed
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("closes");
    const auto row = [](const char* state, bool escape, QMessageBox::StandardButton answer,
                        bool closes) {
        QTest::addRow("%s, %s, %s", state, escape ? "Esc" : "close",
                      answer == QMessageBox::Yes ? "leave" : "stay")
            << QString::fromLatin1(state) << escape << answer << closes;
    };
    row("idle", true, QMessageBox::No, true);
    row("running", true, QMessageBox::No, false);
    row("running", false, QMessageBox::No, false);
    row("running", false, QMessageBox::Yes, true);
    row("time up", true, QMessageBox::No, false);
    row("handed in", false, QMessageBox::No, true);
}

void TestExamPage::leavingARunningExamAsks()
{
    QFETCH(QString, state);
    QFETCH(bool, escape);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, closes);
    if (state != QLatin1String("idle")) {
        QCOMPARE(Start(QStringLiteral("1")), QStringList());
        MessageBoxes boxes(QMessageBox::No);
        if (state == QLatin1String("time up"))
            m_page->OnTimer();
        if (state == QLatin1String("handed in"))
            Click(IdHandIn);
    }
    MessageBoxes boxes(answer);
    if (escape)
        QTest::keyClick(Item<QLineEdit>(IdFillAnswer), Qt::Key_Escape);
    else
        m_main->close();
    const bool asked = state == QLatin1String("running") || state == QLatin1String("time up");
    QCOMPARE(boxes.Texts(), asked ? QStringList{Str(Ui::Str::LeaveRunningExam)} : QStringList());
    QCOMPARE(m_main->isVisible(), !closes);
}

void TestExamPage::minutesTypoStartsNothing_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::newRow("letter O") << QStringLiteral("9O");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("full-width digit") << QStringLiteral("５");
    QTest::newRow("a number") << QStringLiteral("90");
}

void TestExamPage::minutesTypoStartsNothing()
{
    QFETCH(QString, minutes);
    const bool starts = minutes == QLatin1String("90");
    m_page->m_strName = QStringLiteral("张三"); // the last exam's
    QCOMPARE(Start(minutes),
             starts ? QStringList() : QStringList{QString::fromUtf8(Ui::NotAnIntegerMessage)});
    QCOMPARE(m_page->IsExamRunning(), starts);
    QCOMPARE(m_page->IsTimerRunning(), starts);
    QCOMPARE(Button(IdChoiceSubmit)->isEnabled(), starts);
    QCOMPARE(m_page->m_strName, starts ? QStringLiteral("O'Brien") : QStringLiteral("张三"));
}

// The grade row cannot be written (the failing sum and the other faults are
// HandIn's own test): after time-up, the exam stays open until a retry.
void TestExamPage::handInFailsThenRetries()
{
    QCOMPARE(Start(QStringLiteral("1")), QStringList());
    QCOMPARE(Answer(IdFillSubmit, QStringLiteral("71"), QStringLiteral("am")),
             QStringList{QStringLiteral("提交成功!")});
    MessageBoxes boxes(QMessageBox::No); // and no essay
    m_page->OnTimer();
    const QStringList grades = Grades();
    QVERIFY(m_folder->Sql(QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON grades "
                                         "BEGIN SELECT RAISE(ABORT,'x'); END")));
    boxes.Clear();
    Click(IdHandIn);
    QCOMPARE(boxes.Texts().size(), 3);
    QVERIFY(boxes.Texts()[1].startsWith(QStringLiteral("数据库错误: ")));
    QCOMPARE(boxes.Texts()[2], Str(Ui::Str::HandInNotRecorded));
    QCOMPARE(Grades(), grades);
    QVERIFY(m_page->IsExamRunning() && Button(IdHandIn)->isEnabled());
    QVERIFY(!Button(IdReview)->isEnabled());

    QVERIFY(m_folder->Sql(QStringLiteral("DROP TRIGGER t")));
    boxes.Clear();
    Click(IdHandIn);
    QCOMPARE(boxes.Texts().value(boxes.Texts().size() - 2),
             QStringLiteral("您本次考试成绩为：1.0分（其中客观题得分为：1.0分,"
                            "作文得分为：0.0分）"));
    QCOMPARE(Grades(), grades + QStringList{QStringLiteral("O'Brien|1.0")});
    QVERIFY(!m_page->IsExamRunning() && !Button(IdHandIn)->isEnabled());
    QVERIFY(Button(IdReview)->isEnabled());
}

void TestExamPage::failuresTellTheTruth_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("message"); // none: nothing to tell
    QTest::newRow("recording missing") << QStringLiteral("missing") << Ui::Str::RecordingMissing;
    QTest::newRow("recording empty") << QStringLiteral("empty") << Ui::Str::RecordingEmpty;
    QTest::newRow("recording undecodable")
        << QStringLiteral("undecodable") << Ui::Str::RecordingUnplayable;
    QTest::newRow("recording sound") << QString() << 0;
    QTest::newRow("paper unreadable") << QStringLiteral("paper is a folder") << 0;
}

void TestExamPage::failuresTellTheTruth()
{
    QFETCH(QString, fault);
    QFETCH(int, message);
    if (fault == QLatin1String("missing"))
        QVERIFY(QFile::remove(Recording));
    if (fault == QLatin1String("empty"))
        WriteFile(Recording, QByteArray());
    g_undecodable = fault == QLatin1String("undecodable");
    const bool folder = fault == QLatin1String("paper is a folder");
    if (folder)
        QVERIFY(QFile::remove(Document) && QDir().mkdir(Document));
    QCOMPARE(Start(QStringLiteral("120")), QStringList());
    const QString shown = Item<QTextBrowser>(IdBrowser)->toPlainText();
    QCOMPARE(shown.contains(QStringLiteral("man want")), !folder);
    QCOMPARE(shown.contains(QStringLiteral("文件无法读取")), folder);

    MessageBoxes boxes;
    Click(IdListening);
    QCoreApplication::sendPostedEvents(); // the player's report comes later
    const QString path = QDir::toNativeSeparators(QFileInfo(Recording).absoluteFilePath());
    QStringList expected;
    if (message)
        expected << Str(message).arg(path);
    if (message == Ui::Str::RecordingUnplayable)
        expected[0] = expected[0].arg(QStringLiteral("not a stream"));
    QCOMPARE(boxes.Texts(), expected);
    QVERIFY(!Button(IdListening)->isEnabled());
}

void TestExamPage::essayScoredOrNotSubmitted_data()
{
    QTest::addColumn<QString>("essay");
    QTest::addColumn<QString>("fault");  // SQL, or "remove": the database file goes
    QTest::addColumn<QString>("repair"); // none: nothing is looked up
    QTest::newRow("word list fails, essay file deleted")
        << Essay + QLatin1Char('.') << QStringLiteral("ALTER TABLE word RENAME TO gone")
        << QStringLiteral("ALTER TABLE gone RENAME TO word");
    QTest::newRow("keywords fail")
        << Essay + QLatin1Char('.') << QStringLiteral("ALTER TABLE write RENAME TO gone")
        << QStringLiteral("ALTER TABLE gone RENAME TO write");
    QTest::newRow("too few words, no database")
        << QStringLiteral("Too short to score.") << QStringLiteral("remove") << QString();
}

void TestExamPage::essayScoredOrNotSubmitted()
{
    QFETCH(QString, essay);
    QFETCH(QString, fault);
    QFETCH(QString, repair);
    QCOMPARE(Start(QStringLiteral("120")), QStringList());
    // Nothing of the last exam's essay is left to be taken.
    QCOMPARE(g_essayDlg.m_dScore, 0.0);
    QCOMPARE(g_essayDlg.m_strReport, QString());
    if (qstrcmp(QTest::currentDataTag(), "word list fails, essay file deleted") == 0)
        QVERIFY(QFile::remove(QStringLiteral("作文.txt")));
    QVERIFY(fault == QLatin1String("remove") ? QFile::remove(m_folder->DatabasePath())
                                             : m_folder->Sql(fault));
    InEditor([&](QDialog* editor) {
        auto* box = editor->findChild<QPlainTextEdit*>(QStringLiteral("1055"));
        auto* submit = editor->findChild<QPushButton*>(QStringLiteral("1057"));
        MessageBoxes boxes;
        box->setPlainText(essay);
        QTest::mouseClick(submit, Qt::LeftButton);
        if (!repair.isEmpty()) {
            QCOMPARE(boxes.Texts().size(), 2);
            QVERIFY(boxes.Texts()[0].startsWith(QStringLiteral("数据库错误: ")));
            QCOMPARE(boxes.Texts()[1], Str(Ui::Str::EssayNotSubmitted));
            QVERIFY(g_essayDlg.m_nState != 2 && submit->isEnabled() && !box->isReadOnly());
            QVERIFY(m_folder->Sql(repair));
            boxes.Clear();
            QTest::mouseClick(submit, Qt::LeftButton);
        }
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("作文提交成功！")});
        QCOMPARE(g_essayDlg.m_nState, 2);
        QVERIFY(LooksLocked(box));
    });
    QCOMPARE(m_page->m_strEssay, essay);
    QCOMPARE(g_essayDlg.m_strReport.startsWith(EssayScorer::Grader(0)) ||
                 g_essayDlg.m_strReport.startsWith(EssayScorer::Grader(3)),
             !repair.isEmpty());
    QFile written(QStringLiteral("作文.txt"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), essay.toUtf8() + '\0');
}

void TestExamPage::whatTheStudentSees()
{
    // The About entry's separator is drawn, not folded away.
    std::unique_ptr<QMenu> menu(m_main->CreateContextMenu());
    QVERIFY(menu->actions()[0]->isSeparator());
    QVERIFY(menu->actionGeometry(menu->actions()[0]).height() > 0);

    // Ten wrong answers, five rows: every column, and four rows in sight.
    auto* review = new CReviewDlg(QStringLiteral("2010年江苏高考英语试题"), m_page);
    review->show();
    auto* list = review->findChild<QTableWidget*>(QStringLiteral("1004"));
    QCOMPARE(list->rowCount(), 5);
    QVERIFY(list->horizontalHeader()->length() <= list->viewport()->width());
    QVERIFY(list->rowViewportPosition(3) + list->rowHeight(3) <= list->viewport()->height());

    // A whole report scrolls; a short one needs no scroll bar.
    CEssayReportDlg report;
    report.m_strReport = EssayScorer::Score(EssayScorer::Inputs{100, 60, 50, 10, -2, 2, 0}).report;
    report.UpdateData(false);
    report.show();
    auto* box = report.findChild<QPlainTextEdit*>(QStringLiteral("1060"));
    QVERIFY(box->verticalScrollBar()->isVisible() && box->verticalScrollBar()->maximum() > 0);
    box->setPlainText(QStringLiteral("没写作文，所以没有分数。"));
    QCoreApplication::sendPostedEvents(); // the bar goes once the change is
                                          // posted
    QVERIFY(!box->verticalScrollBar()->isVisible());
}

QTEST_MAIN(TestExamPage)
#include "tst_exampage.moc"
