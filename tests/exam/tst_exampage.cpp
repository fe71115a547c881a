// An exam driven as a student drives it, in the main window; the countdown ticks when called.

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

// Over a hundred words with the paper's keywords; no mark at the end.
const QString Essay = QStringLiteral(
    "Last month our class visited a small school in the mountains. We took books, pens and warm "
    "clothes for the children there. When we arrived, the students were waiting for us at the gate "
    "with big smiles. We played games with them, read stories together and taught them some "
    "English songs. A little girl told me that she wanted to become a teacher in the future. I was "
    "moved by her words. Before we left, every child gave us a card with a picture on it. I think "
    "this trip taught me a lot. We should help others whenever we can, and a friend in need is a "
    "friend indeed. I hope more students will join us next time and make the world a better place "
    "for everyone");

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

    // Every start clears the answers and the essay file before it checks what
    // was chosen; a refused start starts nothing, nor takes a mistyped name.
    void startValidations()
    {
        for (const auto& [paper, minutes, name, message] :
             {std::tuple{-1, u"120"_s, QString(), u"请选择考试题目！"_s},
              {Position2010, u"120"_s, QString(), u"请填写考生姓名！"_s},
              {Position2010, u"0"_s, u"张三"_s, u"请重新设置考试时间！"_s},
              {Position2010, u"9O"_s, u"张三"_s, QString::fromUtf8(Ui::NotAnIntegerMessage)}}) {
            QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 回答='B', 得分=1")));
            WriteFile(QStringLiteral("作文.txt"), "last time's essay");
            m_page->m_strName = QStringLiteral("李明");
            QCOMPARE(Start(minutes, name, paper), QStringList{message});
            QCOMPARE(
                m_folder->Column(QStringLiteral("SELECT DISTINCT 回答||'|'||得分 FROM answer")),
                QStringList{QStringLiteral(" |0")});
            QCOMPARE(EssayFile(), QByteArray());
            VerifyState(Idle);
            QVERIFY(!m_page->IsExamRunning() && Item(IdRules)->isVisible());
            if (minutes == u"9O"_s)
                QCOMPARE(m_page->m_strName, QStringLiteral("李明"));
        }
    }

    // Time-up locks the card and the editor, but the exam runs until hand-in:
    // leaving it asks first. Outside an exam Esc leaves at once.
    void countdownAndTimeUp()
    {
        MessageBoxes boxes(QMessageBox::No);
        QTest::keyClick(Item(IdFillAnswer), Qt::Key_Escape);
        QVERIFY(!m_main->isVisible());
        m_main->show();
        QCOMPARE(Start(QStringLiteral("61")), QStringList());
        VerifyState(Running);
        QVERIFY(!Item(IdRules)->isVisible());
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

    // Each answer in turn on one card: the message, and the number box afterwards.
    void answerCard()
    {
        QVERIFY(m_folder->Sql(
            u"INSERT INTO answer VALUES('%1','2147483647',' ','A',1,0)"_s.arg(Paper2010)));
        QCOMPARE(Start(), QStringList());
        const int choice = IdChoiceSubmit, fill = IdFillSubmit;
        const auto noSuch = [](const char* number) {
            return LoadString(Ui::Str::NoSuchQuestion).arg(QString::fromUtf8(number));
        };
        for (const auto& [button, number, answer, message, next] :
             {std::tuple{choice, "7", "B", Submitted, "8"},
              {fill, "71", "is", Submitted, "72"},
              {fill, "72", " ", Submitted, "73"},
              {choice, "", "A", u"题目不能为空！"_s, ""},
              {fill, "7x", "am", u"题目必须为数字！"_s, "7x"},
              {fill, "81", "am", noSuch("81"), "81"},
              {fill, "2147483647", "A", Submitted, "2147483648"},
              {choice, "0099999999999", "A", noSuch("99999999999"), "0099999999999"},
              {choice, "1", "", u"请选择答案"_s, "1"},
              {fill, "71", "", u"请填写答案，放弃回答请填入空格！"_s, "71"}}) {
            QCOMPARE(Answer(button, QString::fromUtf8(number), QString::fromUtf8(answer)),
                     QStringList{message});
            QCOMPARE(Item<QLineEdit>(button == choice ? IdChoiceNo : IdFillNo)->text(),
                     QString::fromUtf8(next));
        }
        // Only the answers taken are stored, each marked.
        QCOMPARE(m_folder->Column(u"SELECT 题号||'|'||回答||'|'||得分 FROM answer "
                                  "WHERE 回答<>' ' OR 得分<>0 ORDER BY 题号"_s),
                 (QStringList{u"07|B|1"_s, u"2147483647|A|1"_s, u"71|is|1"_s, u"72| |1"_s}));
    }

    // A failed lookup leaves the essay unsubmitted and editable; a short one needs none.
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
        QCOMPARE(g_essayDlg.m_dScore, 0.0); // nothing left of the last exam's essay
        QCOMPARE(g_essayDlg.m_strReport, QString());
        if (fault.contains(u"word"_s))
            QVERIFY(QFile::remove(QStringLiteral("作文.txt")));
        QVERIFY(fault == u"remove"_s ? QFile::remove(m_folder->DatabasePath())
                                     : m_folder->Sql(fault));
        InEditor([&](QDialog* editor) {
            auto* box = Text(editor);
            QStringList shown = Submit(editor, essay);
            if (!repair.isEmpty()) {
                QVERIFY(shown.size() == 2 && shown[0].startsWith(u"数据库错误: "_s));
                QCOMPARE(shown[1], LoadString(Ui::Str::EssayNotSubmitted));
                QVERIFY(g_essayDlg.m_nState != 2 && !box->isReadOnly());
                QVERIFY(m_folder->Sql(repair));
                shown = Submit(editor, essay);
            }
            QCOMPARE(shown, QStringList{QStringLiteral("作文提交成功！")});
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
        QTest::newRow("essay in two minutes: too quick") << 2;
        QTest::newRow("essay in three minutes") << 3;
    }
    // Hand-in without an essay asks first; while the grade row cannot be written the
    // exam stays open. An essay within two minutes of the first opening gets 3 points.
    void handInThenReselect()
    {
        QFETCH(int, minutes);
        QCOMPARE(Start(), QStringList());
        // 1 + 1 + 2 + 1 points right, one wrong, 1 for the fill-in; the table's last row counts.
        for (const auto& [number, letter] :
             {std::pair{"1", "B"}, {"2", "C"}, {"56", "D"}, {"7", "A"}, {"10", "A"}})
            QCOMPARE(Answer(IdChoiceSubmit, QString::fromUtf8(number), QString::fromUtf8(letter)),
                     QStringList{Submitted});
        QCOMPARE(Answer(IdFillSubmit, u"71"_s, u"am"_s), QStringList{Submitted});
        const QStringList grades = Grades();
        QVERIFY(m_folder->Sql(u"CREATE TRIGGER t BEFORE INSERT ON grades "
                              "BEGIN SELECT RAISE(ABORT,'x'); END"_s));
        MessageBoxes boxes(QMessageBox::Yes);
        Click(IdHandIn);
        boxes.SetButton(QMessageBox::No);
        Click(IdHandIn);
        QVERIFY(boxes.Texts().size() == 4 && boxes.Texts()[2].startsWith(u"数据库错误: "_s));
        QCOMPARE(boxes.Texts().mid(0, 2), QStringList(2, u"作文未提交，是否提交？"_s));
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
        const double score = minutes == 2 ? 3.0 : g_essayDlg.m_dScore;
        QCOMPARE(m_page->m_dScore, score);
        QCOMPARE(m_page->m_strReport,
                 minutes == 2 ? u"该文章得分:3分（勉励分）；原因：成文仓促，缺少构思过程。"_s
                              : g_essayDlg.m_strReport);

        Click(IdListening);
        boxes.Clear();
        Click(IdHandIn);
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
        // A paper without its document starts all the same.
        QVERIFY(Item<QTextBrowser>(IdBrowser)->toPlainText().contains(u"51.doc"_s));
    }

    void failuresTellTheTruth_data()
    {
        QTest::addColumn<int>("message"); // 0: the paper is unreadable, nothing to tell
        QTest::newRow("recording missing") << Ui::Str::RecordingMissing;
        QTest::newRow("recording empty") << Ui::Str::RecordingEmpty;
        QTest::newRow("recording undecodable") << Ui::Str::RecordingUnplayable;
        QTest::newRow("paper unreadable") << 0;
    }
    void failuresTellTheTruth()
    {
        QFETCH(int, message);
        if (message == Ui::Str::RecordingMissing)
            QVERIFY(QFile::remove(Recording));
        if (message == Ui::Str::RecordingEmpty)
            WriteFile(Recording, QByteArray());
        g_undecodable = message == Ui::Str::RecordingUnplayable;
        if (!message)
            QVERIFY(QFile::remove(Document) && QDir().mkdir(Document));
        QCOMPARE(Start(), QStringList());
        const QString shown = Item<QTextBrowser>(IdBrowser)->toPlainText();
        QCOMPARE(shown.contains(u"man want"_s), message != 0);
        QCOMPARE(shown.contains(u"文件无法读取"_s), message == 0);

        MessageBoxes boxes;
        Click(IdListening);
        QCoreApplication::sendPostedEvents(); // the player's report comes later
        const QString path = QDir::toNativeSeparators(QFileInfo(Recording).absoluteFilePath());
        const QString told = message ? LoadString(message).arg(path) : QString();
        QCOMPARE(boxes.Texts().join(QString()),
                 message == Ui::Str::RecordingUnplayable ? told.arg(u"not a stream"_s) : told);
        QVERIFY(!Button(IdListening)->isEnabled());
    }

    // The tick at 5 s keeps the draft, the next keeping is due at 15 s: "Dear Tom,"
    // is what a crash then leaves for the next start.
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
                                    .arg(u"张三"_s, Paper2010, started.value(0), u"119"_s)));
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
