// An exam driven as a student drives it, offscreen, in the main window; the
// countdown is advanced by calling its tick.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "EssayDlg.h"
#include "EssayScorer.h"
#include "ExamPage.h"
#include "Exchange.h"
#include "HandIn.h"
#include "MainTabDlg.h"
#include "Mci.h"
#include "StringTable.h"
#include "TabControl.h"
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
using Ui::LoadString;

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");
constexpr int Position2010 = 4;
const QString Document = QStringLiteral("etp/2010年江苏高考英语试题.doc");
const QString Recording = QStringLiteral("elm/2010年江苏高考听力.mp3");
const QString Submitted = QStringLiteral("提交成功!");

// A second whose structure draw is 3 in the C runtime's generator.
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

QByteArray EssayFile()
{
    QFile file(QStringLiteral("作文.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

template <class... T> void Row(const char* name, const T&... cells)
{
    (QTest::newRow(name) << ... << cells);
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
        return m_folder->Column(u"SELECT 考生姓名||'|'||成绩 FROM grades"_s);
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
    static constexpr int Idle = 0, Running = 1, TimeUp = 2, HandedIn = 3;
    void VerifyState(int state)
    {
        const bool open = state == Idle || state == HandedIn; // no exam runs
        QCOMPARE(Button(IdStart)->text(), state == Idle ? u"开 始 考 试"_s : u"选 择 试 题"_s);
        QCOMPARE(Button(IdStart)->isEnabled(), open);
        QCOMPARE(Button(IdNotebook)->isEnabled(), open);
        for (int id : {IdPaper, IdMinutes, IdName})
            QCOMPARE(Item(id)->isEnabled(), state == Idle);
        for (int id : {IdChoiceSubmit, IdFillSubmit, IdEssay, IdListening, IdAnswerStatus})
            QCOMPARE(Button(id)->isEnabled(), state == Running);
        QCOMPARE(Button(IdHandIn)->isEnabled(), !open);
        QCOMPARE(Button(IdReview)->isEnabled(), state == HandedIn);
        QCOMPARE(m_page->IsTimerRunning(), state == Running);
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

    static QPlainTextEdit* Text(QDialog* editor)
    {
        return Ui::Control<QPlainTextEdit>(editor, Ids::Essay::IdText);
    }
    // Writes `text` in the editor and submits it; the messages shown.
    static QStringList Submit(QDialog* editor, const QString& text)
    {
        Text(editor)->setPlainText(text);
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
        Row("no paper, no name", -1, "120", "", "请选择考试题目！");
        Row("no name", Position2010, "120", "", "请填写考生姓名！");
        Row("zero minutes", Position2010, "0", "张三", "请重新设置考试时间！");
        Row("minutes typo", Position2010, "9O", "张三", Ui::NotAnIntegerMessage);
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
        VerifyState(Idle);
        QVERIFY(!m_page->IsExamRunning());
        QVERIFY(Item(IdRules)->isVisible());
        if (message == QString::fromUtf8(Ui::NotAnIntegerMessage))
            QCOMPARE(m_page->m_strName, QStringLiteral("李明"));
    }

    // Outside an exam Esc leaves at once. Time-up locks the card and the open
    // editor and stops the recording, but the exam runs until hand-in: leaving
    // it (Esc, or closing the window) asks first, and No keeps it open.
    void countdownAndTimeUp()
    {
        MessageBoxes boxes(QMessageBox::No);
        QTest::keyClick(Item(IdFillAnswer), Qt::Key_Escape);
        QVERIFY(!m_main->isVisible());
        m_main->show();
        QCOMPARE(Start(QStringLiteral("61")), QStringList());
        VerifyState(Running);
        QVERIFY(!Item(IdRules)->isVisible());
        QVERIFY(Item<QTextBrowser>(IdBrowser)->toPlainText().contains(u"man want"_s));
        QCOMPARE(TimeLeft(), QStringLiteral("01:01"));
        Click(IdListening);
        m_page->OnTimer();
        QCOMPARE(TimeLeft(), QStringLiteral("01:00"));
        m_page->m_nRemaining = 1;
        InEditor([&](QDialog* editor) {
            m_page->OnTimer();
            QVERIFY(Text(editor)->isReadOnly());
        });
        QCOMPARE(TimeLeft(), QStringLiteral("00:00"));
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("考试时间到，请交卷！")});
        VerifyState(TimeUp);
        QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
        QCOMPARE(g_played, (QStringList{u"load "_s + Recording, u"play"_s, u"stop"_s}));
        QTest::keyClick(Item(IdFillAnswer), Qt::Key_Escape);
        QVERIFY(m_main->isVisible());
        boxes.SetButton(QMessageBox::Yes);
        m_main->close();
        QVERIFY(!m_main->isVisible());
        QCOMPARE(boxes.Texts().mid(1), QStringList(2, LoadString(Ui::Str::LeaveRunningExam)));
    }

    void answerCard_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("message"); // "#N": the paper has no question N
        QTest::addColumn<QString>("row");     // 题号|回答|得分 stored, or empty
        QTest::addColumn<QString>("next");    // the number box afterwards
        const int choice = IdChoiceSubmit, fill = IdFillSubmit;
        const char* const ok = "提交成功!";
        const char* const notDigits = "题目必须为数字！";
        Row("choice right", choice, "7", "B", ok, "07|B|1", "8");
        Row("fill, alternative", fill, "71", "is", ok, "71|is|1", "72");
        Row("fill, blank key", fill, "72", " ", ok, "72| |1", "73");
        Row("no number", choice, "", "A", "题目不能为空！", "", "");
        Row("letter in number", fill, "7x", "am", notDigits, "", "7x");
        Row("81", fill, "81", "am", "#81", "", "81");
        Row("int max, on the paper", fill, "2147483647", "A", ok, "2147483647|A|1", "2147483648");
        Row("beyond int", choice, "0099999999999", "A", "#99999999999", "", "0099999999999");
        Row("no letter", choice, "1", "", "请选择答案", "", "1");
        Row("no fill-in", fill, "71", "", "请填写答案，放弃回答请填入空格！", "", "71");
    }
    void answerCard()
    {
        QFETCH(int, button);
        QFETCH(QString, number);
        QFETCH(QString, answer);
        QFETCH(QString, message);
        QFETCH(QString, row);
        QFETCH(QString, next);
        if (number == u"2147483647"_s)
            QVERIFY(m_folder->Sql(
                u"INSERT INTO answer VALUES('%1','2147483647',' ','A',1,0)"_s.arg(Paper2010)));
        if (message.startsWith(u'#'))
            message = LoadString(Ui::Str::NoSuchQuestion).arg(message.mid(1));
        QCOMPARE(Start(), QStringList());
        QCOMPARE(Answer(button, number, answer), QStringList{message});
        QCOMPARE(m_folder->Column(QStringLiteral("SELECT 题号||'|'||回答||'|'||得分 FROM answer "
                                                 "WHERE 回答<>' ' OR 得分<>0")),
                 row.isEmpty() ? QStringList() : QStringList{row});
        QCOMPARE(Item<QLineEdit>(button == IdChoiceSubmit ? IdChoiceNo : IdFillNo)->text(), next);
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
            auto* box = Text(editor);
            QStringList shown = Submit(editor, essay);
            if (!repair.isEmpty()) {
                QCOMPARE(shown.size(), 2);
                QVERIFY(shown[0].startsWith(QStringLiteral("数据库错误: ")));
                QCOMPARE(shown[1], LoadString(Ui::Str::EssayNotSubmitted));
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

    void handInThenReselect_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("encouragement");
        QTest::newRow("essay in two minutes: too quick") << 2 << true;
        QTest::newRow("essay in three minutes") << 3 << false;
    }
    // Hand-in without an essay asks first (Yes: back to it); while the grade
    // row cannot be written the exam stays open. The draft comes
    // back at the next opening; an essay submitted within two minutes of the
    // first opening gets the encouragement score instead of its own. Hand-in
    // records every answer's points and the essay's; another paper can follow.
    void handInThenReselect()
    {
        QFETCH(int, minutes);
        QFETCH(bool, encouragement);
        QCOMPARE(Start(), QStringList());
        // 1 + 1 + 2 + 1 points right, one wrong, 1 for the fill-in; the last
        // row of the table counts.
        for (const auto& [number, letter] :
             {std::pair{"1", "B"}, {"2", "C"}, {"56", "D"}, {"7", "A"}, {"10", "A"}})
            QCOMPARE(Answer(IdChoiceSubmit, QString::fromUtf8(number), QString::fromUtf8(letter)),
                     QStringList{Submitted});
        QCOMPARE(Answer(IdFillSubmit, u"71"_s, u"am"_s), QStringList{Submitted});
        const QStringList grades = Grades();
        QVERIFY(m_folder->Sql(u"CREATE TRIGGER t BEFORE INSERT ON grades "
                              "BEGIN SELECT RAISE(ABORT,'x'); END"_s));
        MessageBoxes boxes(QMessageBox::Yes);
        Click(IdHandIn); // back to the essay
        boxes.SetButton(QMessageBox::No);
        Click(IdHandIn);
        QCOMPARE(boxes.Texts().size(), 4);
        QCOMPARE(boxes.Texts().mid(0, 2), QStringList(2, u"作文未提交，是否提交？"_s));
        QVERIFY(boxes.Texts()[2].startsWith(u"数据库错误: "_s));
        QCOMPARE(boxes.Texts()[3], LoadString(Ui::Str::HandInNotRecorded));
        QCOMPARE(m_page->m_strReport, u"没写作文，所以没有分数。"_s);
        QCOMPARE(Grades(), grades);
        VerifyState(Running);
        QVERIFY(m_folder->Sql(u"DROP TRIGGER t"_s));

        InEditor([&](QDialog* editor) {
            QCOMPARE(Submit(editor, QString()), QStringList{u"请写完作文后再提交！"_s});
            Text(editor)->setPlainText(u"draft\nline two"_s);
            Press(editor, Ids::Essay::IdSave);
        });
        QCOMPARE(g_strSavedEssay, u"draft\r\nline two"_s);
        for (int i = 0; i < minutes; ++i)
            m_page->OnTimer();
        InEditor([&](QDialog* editor) {
            QCOMPARE(Text(editor)->toPlainText(), u"draft\nline two"_s);
            QCOMPARE(Submit(editor, Essay), (QStringList{u"结尾无标点"_s, u"作文提交成功！"_s}));
            QVERIFY(Text(editor)->isReadOnly());
        });
        QCOMPARE(g_essayDlg.m_nState, 2);
        QCOMPARE(EssayFile(), Essay.toUtf8() + '\0');
        QVERIFY(!Button(IdEssay)->isEnabled());
        QVERIFY(g_essayDlg.m_dScore > 3.0);
        const double score = encouragement ? 3.0 : g_essayDlg.m_dScore;
        QCOMPARE(m_page->m_dScore, score);
        QCOMPARE(m_page->m_strReport,
                 encouragement ? u"该文章得分:3分（勉励分）；原因：成文仓促，缺少构思过程。"_s
                               : g_essayDlg.m_strReport);

        Click(IdListening);
        boxes.Clear();
        Click(IdHandIn);
        // The score, then the offer of its analysis (declined here).
        QCOMPARE(boxes.Texts(), (QStringList{HandIn::ScoreMessage(6.0, score),
                                             LoadString(Ui::Str::OfferAnalysis)}));
        VerifyState(HandedIn);
        QVERIFY(!Mci::DeviceOf(u"mymp3"_s));
        QCOMPARE(g_essayDlg.m_nState, 9);
        const QString row = u"SELECT %1 FROM grades WHERE 考生姓名='O''Brien' AND 试题名='%2'"_s;
        QCOMPARE(m_folder->Column(row.arg(u"typeof(成绩)||'|'||length(考试时间)"_s, Paper2010)),
                 QStringList{u"real|19"_s});
        QCOMPARE(m_folder->Column(row.arg(u"成绩"_s, Paper2010)).value(0).toDouble(), 6.0 + score);

        Click(IdStart);
        VerifyState(Idle);
        QCOMPARE(Start(QStringLiteral("45"), QStringLiteral("张三"), 6), QStringList());
        // A paper whose document is missing still starts, and the pane says so.
        QVERIFY(Item<QTextBrowser>(IdBrowser)->toPlainText().contains(u"51.doc"_s));
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
            expected << LoadString(message).arg(path);
        if (message == Ui::Str::RecordingUnplayable)
            expected[0] = expected[0].arg(QStringLiteral("not a stream"));
        QCOMPARE(boxes.Texts(), expected);
        QVERIFY(!Button(IdListening)->isEnabled());
    }
    // An exam started at 0 s of the draft's clock: question 7 answered, the
    // listening pressed, "Dear " typed in the editor; a minute passes at 5 s,
    // "Tom" is typed at 10 s and ", hi" at 15 s. The database then holds what a
    // crash would leave: the tick kept the draft and the first keystroke due is
    // the "," at 15 s, so "Dear Tom," comes back in the next start's window.
    void takenUpAfterACrash()
    {
        qint64 now = 0;
        m_page->m_draftThrottle.SetClock([&now] { return now; });
        QCOMPARE(Start(u"120"_s, u"张三"_s), QStringList());
        QCOMPARE(Answer(IdChoiceSubmit, u"7"_s, u"B"_s), QStringList{Submitted});
        Click(IdListening);
        InEditor([&](QDialog* editor) {
            QTest::keyClicks(Text(editor), u"Dear "_s);
            now = 5000;
            m_page->OnTimer();
            now = 10000;
            QTest::keyClicks(Text(editor), u"Tom"_s);
            now = 15000;
            QTest::keyClicks(Text(editor), u", hi"_s);
            QVERIFY(m_folder->Sql(u"CREATE TABLE crash AS SELECT * FROM running_exam"_s));
        });
        const auto kept = [&] { return m_folder->Column(u"SELECT 开始时间 FROM running_exam"_s); };
        const auto restore = [&] {
            return m_folder->Sql(u"DELETE FROM running_exam"_s) &&
                   m_folder->Sql(u"INSERT INTO running_exam SELECT * FROM crash"_s);
        };
        const QStringList started = m_folder->Column(u"SELECT 开始时间 FROM crash"_s);
        QCOMPARE(started.size(), 1);
        m_main = std::make_unique<CMainTabDlg>();
        m_page = m_main->m_pageExam;
        QVERIFY(restore());

        // Declined, the exam is given up; kept again, it is taken up.
        MessageBoxes boxes(QMessageBox::No);
        m_main->OfferKeptExam();
        QVERIFY(!m_page->IsExamRunning() && kept().isEmpty());
        QVERIFY(restore());
        boxes.SetButton(QMessageBox::Yes);
        m_main->OfferKeptExam();
        QCOMPARE(boxes.Texts(),
                 QStringList(2, LoadString(Ui::Str::ResumeKeptExam)
                                    .arg(u"张三"_s, Paper2010, started[0], u"119"_s)));
        QVERIFY(m_page->IsExamRunning() && m_page->IsTimerRunning() &&
                m_main->m_tab->GetCurSel() == 2);
        QCOMPARE(kept(), started);
        QCOMPARE(TimeLeft(), u"01:59"_s);
        QVERIFY(!Button(IdListening)->isEnabled());
        InEditor([](QDialog* editor) { QCOMPARE(Text(editor)->toPlainText(), u"Dear Tom,"_s); });
        // The card is live; hand-in counts the answers of both runs, 07 and 71.
        QCOMPARE(Answer(IdFillSubmit, u"71"_s, u"is"_s), QStringList{Submitted});
        boxes.SetButton(QMessageBox::No); // no essay submitted: hand in all the same
        Click(IdHandIn);
        QCOMPARE(Grades().filter(u"张三"_s), QStringList{u"张三|2.0"_s});
        QVERIFY(kept().isEmpty());
    }
};

QTEST_MAIN(TestExamPage)
#include "tst_exampage.moc"
