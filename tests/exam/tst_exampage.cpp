// An exam driven as a student drives it, offscreen, in the main window: the
// exam page, its answer card, the essay editor and hand-in, and the places
// where a student could lose an exam, be marked wrongly or be told what is
// not so. Message boxes are answered through the program's message-box hook;
// the countdown is advanced by calling its tick.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "EssayDlg.h"
#include "EssayScorer.h"
#include "ExamPage.h"
#include "Exchange.h"
#include "MainTabDlg.h"
#include "Mci.h"
#include "StringTable.h"
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
using namespace Qt::Literals::StringLiterals;

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");
constexpr int Position2010 = 4;
const QString Document = QStringLiteral("etp/2010年江苏高考英语试题.doc");
const QString Recording = QStringLiteral("elm/2010年江苏高考听力.mp3");
const QString Submitted = QStringLiteral("提交成功!");

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

QByteArray EssayFile()
{
    QFile file(QStringLiteral("作文.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

void Press(QWidget* window, int id)
{
    QTest::mouseClick(Ui::Control<QPushButton>(window, id), Qt::LeftButton);
}

} // namespace

class TestExamPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<CMainTabDlg> m_main;
    CExamPage* m_page = nullptr;

    template <class T = QWidget> T* Item(int id) const { return Ui::Control<T>(m_page, id); }
    QPushButton* Button(int id) const { return Item<QPushButton>(id); }
    void Click(int id) { Press(m_page, id); }
    QString TimeLeft() const { return Item<QLineEdit>(IdTimeLeft)->text(); }
    QStringList Grades() const
    {
        return m_folder->Column(QStringLiteral("SELECT 考生姓名||'|'||成绩 FROM grades"));
    }

    QStringList Start(const QString& minutes = QStringLiteral("120"),
                      const QString& name = QStringLiteral("O'Brien"), int paper = Position2010)
    {
        Item<QComboBox>(IdPaper)->setCurrentIndex(paper);
        Item<QLineEdit>(IdMinutes)->setText(minutes);
        Item<QLineEdit>(IdName)->setText(name);
        MessageBoxes boxes;
        Click(IdStart);
        return boxes.Texts();
    }

    QStringList Answer(int button, const QString& number, const QString& answer)
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

    // The enabled states of the page's controls in each state of an exam.
    void VerifyState(const char* state)
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
        const Expect& e = *std::find_if(std::begin(table), std::end(table),
                                        [&](const Expect& e) { return !qstrcmp(e.state, state); });
        QCOMPARE(Button(IdStart)->text(), QString::fromUtf8(e.start));
        QCOMPARE(Button(IdStart)->isEnabled(), e.startEnabled);
        for (int id : {IdPaper, IdMinutes, IdName})
            QCOMPARE(Item(id)->isEnabled(), e.settings);
        for (int id : {IdChoiceSubmit, IdFillSubmit, IdEssay, IdListening, IdAnswerStatus})
            QCOMPARE(Button(id)->isEnabled(), e.card);
        QCOMPARE(Button(IdHandIn)->isEnabled(), e.handIn);
        QCOMPARE(Button(IdReview)->isEnabled(), e.review);
        QCOMPARE(Button(IdNotebook)->isEnabled(), e.startEnabled); // whenever no exam runs
        QCOMPARE(m_page->IsTimerRunning(), e.card);
    }

    // Opens the editor from the page, runs `work` in it and leaves it.
    void InEditor(const std::function<void(QDialog*)>& work)
    {
        NextModal editor([&](QDialog* window) {
            work(window);
            Press(window, Ids::Essay::IdExit);
        });
        Click(IdEssay);
        QVERIFY(editor.Ran());
    }

    // Writes `text` in the editor and submits it; the messages shown.
    static QStringList Submit(QDialog* editor, const QString& text)
    {
        Ui::Control<QPlainTextEdit>(editor, Ids::Essay::IdText)->setPlainText(text);
        MessageBoxes boxes;
        Press(editor, Ids::Essay::IdSubmit);
        return boxes.Texts();
    }

private Q_SLOTS:
    void initTestCase() { Ui::InstallAppMessageBox(); }
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->IsValid());
        WriteFile(Document, "<html><head><meta charset=\"utf-8\"></head><body><p>1. What does "
                            "the man want?</p></body></html>");
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
    void cleanup()
    {
        m_main.reset();
        Mci::SendString(QStringLiteral("close mymp3"));
        Mci::SetDeviceFactory({});
        m_folder.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    void startValidations_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString noTime = QStringLiteral("请重新设置考试时间！");
        QTest::newRow("no paper, no name")
            << -1 << u"120"_s << QString() << QStringLiteral("请选择考试题目！");
        QTest::newRow("no name") << Position2010 << u"120"_s << QString()
                                 << QStringLiteral("请填写考生姓名！");
        QTest::newRow("zero minutes") << Position2010 << u"0"_s << u"张三"_s << noTime;
        QTest::newRow("negative minutes") << Position2010 << u"-5"_s << u"张三"_s << noTime;
        QTest::newRow("minutes typo")
            << Position2010 << u"9O"_s << u"张三"_s << QString::fromUtf8(Ui::NotAnIntegerMessage);
    }
    // Every start clears the answers and the essay file before it checks what
    // was chosen; a refused start starts nothing, nor takes the name.
    void startValidations()
    {
        QFETCH(int, paper);
        QFETCH(QString, minutes);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 回答='B', 得分=1")));
        WriteFile(QStringLiteral("作文.txt"), "last time's essay");
        m_page->m_strName = QStringLiteral("李明"); // the last exam's
        QCOMPARE(Start(minutes, name, paper), QStringList{message});
        QCOMPARE(m_folder->Column(QStringLiteral("SELECT DISTINCT 回答||'|'||得分 FROM answer")),
                 QStringList{QStringLiteral(" |0")});
        QCOMPARE(EssayFile(), QByteArray());
        VerifyState("idle");
        QVERIFY(!m_page->IsExamRunning());
        QVERIFY(Item(IdRules)->isVisible());
        if (message == QString::fromUtf8(Ui::NotAnIntegerMessage))
            QCOMPARE(m_page->m_strName, QStringLiteral("李明"));
    }

    void countdownAndTimeUp()
    {
        QCOMPARE(Start(QStringLiteral("61")), QStringList());
        VerifyState("running");
        QVERIFY(!Item(IdRules)->isVisible());
        QVERIFY(Item<QTextBrowser>(IdBrowser)->toPlainText().contains(u"man want"_s));
        QCOMPARE(TimeLeft(), QStringLiteral("01:01"));
        Click(IdListening);
        QVERIFY(!Button(IdListening)->isEnabled());
        MessageBoxes boxes;
        m_page->OnTimer();
        QCOMPARE(TimeLeft(), QStringLiteral("01:00"));
        m_page->m_nRemaining = 1;
        // Time-up locks the card and the open editor, and stops the recording.
        InEditor([&](QDialog* editor) {
            m_page->OnTimer();
            QVERIFY(Ui::Control<QPlainTextEdit>(editor, Ids::Essay::IdText)->isReadOnly());
        });
        QCOMPARE(TimeLeft(), QStringLiteral("00:00"));
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("考试时间到，请交卷！")});
        VerifyState("time up");
        QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
        QCOMPARE(g_played, (QStringList{u"load "_s + Recording, u"play"_s, u"stop"_s}));
    }

    void reselect()
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
        QVERIFY(Item<QTextBrowser>(IdBrowser)->toPlainText().contains(u"51.doc"_s));
    }

    void answerCard_data()
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
        // "#N": the paper has no question N.
        // clang-format off
        const struct { const char* name; int button; const char* number; const char* answer;
                       const char* message; const char* stored; const char* row; const char* next; }
        cases[] = {
            {"choice right",      IdChoiceSubmit, "7",    "B",  ok, "07", "B|1",  "8"},
            {"reading, wrong",    IdChoiceSubmit, "056",  "C",  ok, "56", "C|0",  "57"},
            {"fill, alternative", IdFillSubmit,   "71",   "is", ok, "71", "is|1", "72"},
            {"fill, blank key",   IdFillSubmit,   "72",   " ",  ok, "72", " |1",  "73"},
            {"no number",        IdChoiceSubmit, "",   "A", "题目不能为空！", "", "", ""},
            {"letter in number", IdFillSubmit,   "7x", "am", notDigits, "", "", "7x"},
            {"minus",            IdChoiceSubmit, "-1", "A",  notDigits, "", "", "-1"},
            {"81",               IdFillSubmit,   "81", "am", "#81", "", "", "81"},
            {"int max, on the paper", IdFillSubmit, "2147483647", "A", ok, "2147483647", "A|1", "2147483648"},
            {"beyond int", IdChoiceSubmit, "0099999999999", "A", "#99999999999", "", "", "0099999999999"},
            {"no letter",        IdChoiceSubmit, "1",  "",   "请选择答案", "", "", "1"},
            {"no fill-in",       IdFillSubmit,   "71", "",   "请填写答案，放弃回答请填入空格！", "", "", "71"},
        };
        // clang-format on
        for (const auto& c : cases)
            QTest::newRow(c.name)
                << c.button << QString::fromUtf8(c.number) << QString::fromUtf8(c.answer)
                << (c.message[0] == '#'
                        ? Str(Ui::Str::NoSuchQuestion).arg(QLatin1String(c.message + 1))
                        : QString::fromUtf8(c.message))
                << QString::fromUtf8(c.stored) << QString::fromUtf8(c.row)
                << QString::fromUtf8(c.next);
    }
    void answerCard()
    {
        QFETCH(int, button);
        QFETCH(QString, number);
        QFETCH(QString, answer);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        QFETCH(QString, row);
        QFETCH(QString, next);
        if (stored == u"2147483647"_s)
            QVERIFY(m_folder->Sql(
                u"INSERT INTO answer VALUES('%1','2147483647',' ','A',1,0)"_s.arg(Paper2010)));
        QCOMPARE(Start(), QStringList());
        QCOMPARE(Answer(button, number, answer), QStringList{message});
        QCOMPARE(m_folder->Column(QStringLiteral("SELECT 题号||'|'||回答||'|'||得分 FROM answer "
                                                 "WHERE 回答<>' ' OR 得分<>0")),
                 stored.isEmpty() ? QStringList() : QStringList{stored + u'|' + row});
        QCOMPARE(Item<QLineEdit>(button == IdChoiceSubmit ? IdChoiceNo : IdFillNo)->text(), next);
    }

    void essayDraftAndSubmission()
    {
        QCOMPARE(Start(), QStringList());
        const auto box = [](QDialog* editor) {
            return Ui::Control<QPlainTextEdit>(editor, Ids::Essay::IdText);
        };
        InEditor([&](QDialog* editor) {
            QCOMPARE(Submit(editor, QString()), QStringList{u"请写完作文后再提交！"_s});
            box(editor)->setPlainText(QStringLiteral("draft\nline two"));
            Press(editor, Ids::Essay::IdSave);
        });
        QCOMPARE(g_strSavedEssay, QStringLiteral("draft\r\nline two"));
        InEditor([&](QDialog* editor) {
            QCOMPARE(box(editor)->toPlainText(), QStringLiteral("draft\nline two"));
            QCOMPARE(Submit(editor, Essay), (QStringList{u"结尾无标点"_s, u"作文提交成功！"_s}));
            QVERIFY(box(editor)->isReadOnly());
        });
        QCOMPARE(g_essayDlg.m_nState, 2);
        QCOMPARE(EssayFile(), Essay.toUtf8() + '\0');
        QVERIFY(g_essayDlg.m_strReport.contains(u"五、文章没收尾或者忘记写标点，扣2分。"_s));
        QVERIFY(!Button(IdEssay)->isEnabled());
    }

    // An essay written within two minutes of the first opening gets the
    // encouragement score instead of its own.
    void essayScoreTakenByWritingTime_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("encouragement");
        QTest::newRow("two minutes: too quick") << 2 << true;
        QTest::newRow("three minutes") << 3 << false;
    }
    void essayScoreTakenByWritingTime()
    {
        QFETCH(int, minutes);
        QFETCH(bool, encouragement);
        QCOMPARE(Start(), QStringList());
        InEditor([](QDialog*) {});
        for (int i = 0; i < minutes; ++i)
            m_page->OnTimer();
        InEditor([&](QDialog* editor) { Submit(editor, Essay + u'.'); });
        QVERIFY(g_essayDlg.m_dScore > 3.0);
        QCOMPARE(m_page->m_dScore, encouragement ? 3.0 : g_essayDlg.m_dScore);
        QCOMPARE(m_page->m_strReport,
                 encouragement ? u"该文章得分:3分（勉励分）；原因：成文仓促，缺少构思过程。"_s
                               : g_essayDlg.m_strReport);
    }

    // A failed lookup leaves the essay unsubmitted and editable until a
    // submission can be scored; one that needs no lookup is scored at once.
    void essayScoredOrNotSubmitted_data()
    {
        QTest::addColumn<QString>("essay");
        QTest::addColumn<QString>("fault");  // SQL, or "remove": the database file goes
        QTest::addColumn<QString>("repair"); // none: nothing is looked up
        QTest::newRow("word list fails, essay file deleted")
            << Essay + u'.' << u"ALTER TABLE word RENAME TO gone"_s
            << u"ALTER TABLE gone RENAME TO word"_s;
        QTest::newRow("keywords fail") << Essay + u'.' << u"ALTER TABLE write RENAME TO gone"_s
                                       << u"ALTER TABLE gone RENAME TO write"_s;
        QTest::newRow("too few words, no database")
            << u"Too short to score."_s << u"remove"_s << QString();
    }
    void essayScoredOrNotSubmitted()
    {
        QFETCH(QString, essay);
        QFETCH(QString, fault);
        QFETCH(QString, repair);
        QCOMPARE(Start(), QStringList());
        // Nothing of the last exam's essay is left to be taken.
        QCOMPARE(g_essayDlg.m_dScore, 0.0);
        QCOMPARE(g_essayDlg.m_strReport, QString());
        if (fault.contains(u"word"_s))
            QVERIFY(QFile::remove(QStringLiteral("作文.txt")));
        QVERIFY(fault == u"remove"_s ? QFile::remove(m_folder->DatabasePath())
                                     : m_folder->Sql(fault));
        InEditor([&](QDialog* editor) {
            auto* box = Ui::Control<QPlainTextEdit>(editor, Ids::Essay::IdText);
            QStringList shown = Submit(editor, essay);
            if (!repair.isEmpty()) {
                QCOMPARE(shown.size(), 2);
                QVERIFY(shown[0].startsWith(QStringLiteral("数据库错误: ")));
                QCOMPARE(shown[1], Str(Ui::Str::EssayNotSubmitted));
                QVERIFY(g_essayDlg.m_nState != 2 && !box->isReadOnly());
                QVERIFY(m_folder->Sql(repair));
                shown = Submit(editor, essay);
            }
            QCOMPARE(shown, QStringList{QStringLiteral("作文提交成功！")});
            // Locked, and drawn so.
            QVERIFY(box->isReadOnly() &&
                    box->palette().color(QPalette::Base) == box->palette().color(QPalette::Window));
        });
        QCOMPARE(m_page->m_strEssay, essay);
        QCOMPARE(g_essayDlg.m_strReport.startsWith(EssayScorer::Grader(0)) ||
                     g_essayDlg.m_strReport.startsWith(EssayScorer::Grader(3)),
                 !repair.isEmpty());
        QCOMPARE(EssayFile(), essay.toUtf8() + '\0');
    }

    void handIn()
    {
        QCOMPARE(Start(), QStringList());
        // 1 + 1 + 2 + 1 points right, one wrong; the last row of the table counts.
        for (const auto& [number, letter] :
             {std::pair{"1", "B"}, {"2", "C"}, {"56", "D"}, {"7", "A"}, {"10", "A"}})
            QCOMPARE(Answer(IdChoiceSubmit, QString::fromUtf8(number), QString::fromUtf8(letter)),
                     QStringList{Submitted});
        Click(IdListening);
        g_essayDlg.m_nState = 2;
        m_page->m_dScore = 12.5;
        MessageBoxes boxes;
        Click(IdHandIn);
        // The score, then the offer of its analysis (declined here).
        QCOMPARE(boxes.Texts(), (QStringList{u"您本次考试成绩为：17.5分（其中客观题得分为：5.0分,"
                                             u"作文得分为：12.5分）"_s,
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

    void handInWithoutEssayGoesBackToIt()
    {
        QCOMPARE(Start(), QStringList());
        MessageBoxes boxes{QMessageBox::Yes};
        Click(IdHandIn);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("作文未提交，是否提交？")});
        VerifyState("running");
        QCOMPARE(Grades().size(), 2);
    }

    // The grade row cannot be written (the failing sum and the other faults are
    // HandIn's own test): after time-up, the exam stays open until a retry.
    void handInFailsThenRetries()
    {
        QCOMPARE(Start(QStringLiteral("1")), QStringList());
        QCOMPARE(Answer(IdFillSubmit, u"71"_s, u"am"_s), QStringList{Submitted});
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
                 u"您本次考试成绩为：1.0分（其中客观题得分为：1.0分,作文得分为：0.0分）"_s);
        QCOMPARE(Grades(), grades + QStringList{QStringLiteral("O'Brien|1.0")});
        QVERIFY(!m_page->IsExamRunning() && Button(IdReview)->isEnabled());
        QCOMPARE(m_page->m_strReport, QStringLiteral("没写作文，所以没有分数。"));
    }

    // Leaving a running exam (Esc, or closing the window) asks first; the
    // answer No keeps it open, Yes leaves. Outside an exam nothing is asked.
    void leavingARunningExamAsks()
    {
        MessageBoxes boxes(QMessageBox::No);
        QTest::keyClick(Item(IdFillAnswer), Qt::Key_Escape);
        QVERIFY(!m_main->isVisible());
        m_main->show();
        QCOMPARE(Start(QStringLiteral("1")), QStringList());
        m_page->OnTimer(); // time-up: still running
        QCOMPARE(boxes.Texts(), QStringList{u"考试时间到，请交卷！"_s});
        QTest::keyClick(Item(IdFillAnswer), Qt::Key_Escape);
        QVERIFY(m_main->isVisible());
        boxes.SetButton(QMessageBox::Yes);
        m_main->close();
        QVERIFY(!m_main->isVisible());
        QCOMPARE(boxes.Texts().mid(1), QStringList(2, Str(Ui::Str::LeaveRunningExam)));
    }

    void failuresTellTheTruth_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("message"); // none: nothing to tell
        QTest::newRow("recording missing") << u"missing"_s << Ui::Str::RecordingMissing;
        QTest::newRow("recording empty") << u"empty"_s << Ui::Str::RecordingEmpty;
        QTest::newRow("recording undecodable") << u"undecodable"_s << Ui::Str::RecordingUnplayable;
        QTest::newRow("paper unreadable") << u"paper is a folder"_s << 0;
    }
    void failuresTellTheTruth()
    {
        QFETCH(QString, fault);
        QFETCH(int, message);
        if (fault == u"missing"_s)
            QVERIFY(QFile::remove(Recording));
        if (fault == u"empty"_s)
            WriteFile(Recording, QByteArray());
        g_undecodable = fault == u"undecodable"_s;
        const bool folder = fault == u"paper is a folder"_s;
        if (folder)
            QVERIFY(QFile::remove(Document) && QDir().mkdir(Document));
        QCOMPARE(Start(), QStringList());
        const QString shown = Item<QTextBrowser>(IdBrowser)->toPlainText();
        QCOMPARE(shown.contains(u"man want"_s), !folder);
        QCOMPARE(shown.contains(u"文件无法读取"_s), folder);

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
};

QTEST_MAIN(TestExamPage)
#include "tst_exampage.moc"
