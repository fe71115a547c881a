// The exam in the main window, offscreen, where a student could lose it, be
// marked wrongly or be told what is not so.

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
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>

namespace {

const QString Recording = QStringLiteral("elm/2010年江苏高考听力.mp3");
const QString Document = QStringLiteral("etp/2010年江苏高考英语试题.doc");
const QString Essay = QStringLiteral("Last month our class visited a small school in the "
                                     "mountains. We took books, pens and "
                                     "warm clothes for the children there. When we arrived, the "
                                     "students were waiting for us at "
                                     "the gate with big smiles. We played games with them, read "
                                     "stories together and taught "
                                     "them some English songs. A little girl told me that she "
                                     "wanted to become a teacher. I was "
                                     "moved by her words. Before we left, every child gave us a "
                                     "card with a picture on it. We "
                                     "should help others, and a friend in need is a friend "
                                     "indeed. I hope more will join us.");
bool g_undecodable = false;

class FakeDevice : public Mci::Device
{
public:
    bool Load(const QString&) override { return true; }
    void Play() override
    {
        if (g_undecodable)
            Fail(QStringLiteral("not a stream"));
    }
    void Stop() override {}
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

class TestTrust : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Ui::InstallAppMessageBox(); }
    void init();
    void cleanup();

    void leavingARunningExamAsks_data();
    void leavingARunningExamAsks();
    void minutesTypoStartsNothing_data();
    void minutesTypoStartsNothing();
    void questionThePaperLacks_data();
    void questionThePaperLacks();
    void handInFailsThenRetries();
    void failuresTellTheTruth_data();
    void failuresTellTheTruth();
    void essayScoredOrNotSubmitted_data();
    void essayScoredOrNotSubmitted();
    void whatTheStudentSees();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<CMainTabDlg> m_main;
    CExamPage* m_page = nullptr;

    template <class T> T* Item(int id) const { return m_page->findChild<T*>(QString::number(id)); }
    void Click(int id) { QTest::mouseClick(Item<QPushButton>(id), Qt::LeftButton); }
    void Type(int id, const QString& text) { Item<QLineEdit>(id)->setText(text); }
    QStringList Start(const QString& minutes);
    // Runs `work` in the essay editor opened from the page, then leaves it.
    void InEditor(const std::function<void(QDialog*)>& work);
    QStringList Grades() const
    {
        return m_folder->Column(QStringLiteral("SELECT 考生姓名||'|'||成绩 FROM grades"));
    }
};

void TestTrust::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->IsValid());
    WriteFile(Document, "<html><body>1. Why?</body></html>");
    WriteFile(Recording, "ID3");
    g_undecodable = false;
    Mci::SetDeviceFactory([] { return std::make_unique<FakeDevice>(); });
    // What the last exam left in the editor.
    g_essayDlg.m_dScore = 9.5;
    g_essayDlg.m_strReport = QStringLiteral("last exam's report");
    m_main = std::make_unique<CMainTabDlg>();
    m_page = m_main->m_pageExam;
    m_main->ShowPageOf(2);
    m_main->show();
}

void TestTrust::cleanup()
{
    m_main.reset();
    Mci::SendString(QStringLiteral("close mymp3"));
    Mci::SetDeviceFactory({});
    m_folder.reset();
}

QStringList TestTrust::Start(const QString& minutes)
{
    Item<QComboBox>(1004)->setCurrentIndex(4);
    Type(1048, minutes);
    Type(1050, QStringLiteral("李四"));
    MessageBoxes boxes;
    Click(1005);
    return boxes.Texts();
}

void TestTrust::InEditor(const std::function<void(QDialog*)>& work)
{
    bool ran = false;
    // Runs once, as soon as the editor's own event loop has started.
    QMetaObject::invokeMethod(
        this,
        [&] {
            if (QDialog* editor = g_essayDlg.Window()) {
                ran = true;
                work(editor);
                editor->reject();
            }
        },
        Qt::QueuedConnection);
    Click(1042);
    QVERIFY(ran);
}

void TestTrust::leavingARunningExamAsks_data()
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

void TestTrust::leavingARunningExamAsks()
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
            Click(1043);
    }
    MessageBoxes boxes(answer);
    if (escape)
        QTest::keyClick(Item<QLineEdit>(1045), Qt::Key_Escape);
    else
        m_main->close();
    const bool asked = state == QLatin1String("running") || state == QLatin1String("time up");
    QCOMPARE(boxes.Texts(), asked ? QStringList{Str(Ui::Str::LeaveRunningExam)} : QStringList());
    QCOMPARE(m_main->isVisible(), !closes);
}

void TestTrust::minutesTypoStartsNothing_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::newRow("letter O") << QStringLiteral("9O");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("full-width digit") << QStringLiteral("５");
    QTest::newRow("a number") << QStringLiteral("90");
}

void TestTrust::minutesTypoStartsNothing()
{
    QFETCH(QString, minutes);
    const bool starts = minutes == QLatin1String("90");
    m_page->m_strName = QStringLiteral("张三"); // the last exam's
    QCOMPARE(Start(minutes),
             starts ? QStringList() : QStringList{QString::fromUtf8(Ui::NotAnIntegerMessage)});
    QCOMPARE(m_page->IsExamRunning(), starts);
    QCOMPARE(m_page->IsTimerRunning(), starts);
    QCOMPARE(Item<QPushButton>(1046)->isEnabled(), starts);
    QCOMPARE(m_page->m_strName, starts ? QStringLiteral("李四") : QStringLiteral("张三"));
}

void TestTrust::questionThePaperLacks_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named"); // the number the message names; none: stored
    QTest::newRow("0") << 1003 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("81") << 1003 << QStringLiteral("81") << QStringLiteral("81");
    QTest::newRow("int max") << 1003 << QStringLiteral("2147483647")
                             << QStringLiteral("2147483647");
    QTest::newRow("beyond int, choice")
        << 1068 << QStringLiteral("0099999999999") << QStringLiteral("99999999999");
    QTest::newRow("on the paper") << 1003 << QStringLiteral("071") << QString();
}

void TestTrust::questionThePaperLacks()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    QCOMPARE(Start(QStringLiteral("120")), QStringList());
    Type(field, typed);
    Type(1045, QStringLiteral("am"));
    Item<QComboBox>(1033)->setCurrentIndex(0);
    MessageBoxes boxes;
    Click(field == 1068 ? 1046 : 1022);
    const bool stored = named.isNull();
    QCOMPARE(boxes.Texts(), QStringList{stored ? QStringLiteral("提交成功!")
                                               : Str(Ui::Str::NoSuchQuestion).arg(named)});
    QCOMPARE(Item<QLineEdit>(field)->text(), stored ? QStringLiteral("72") : typed);
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT COUNT(*) FROM answer WHERE 回答<>' '")),
             QStringList{QString::number(int(stored))});
}

// The grade row cannot be written (the failing sum and the other faults are
// HandIn's own test): after time-up, the exam stays open until a retry.
void TestTrust::handInFailsThenRetries()
{
    QCOMPARE(Start(QStringLiteral("1")), QStringList());
    Type(1003, QStringLiteral("71"));
    Type(1045, QStringLiteral("am"));
    MessageBoxes boxes(QMessageBox::No); // and no essay
    Click(1022);
    m_page->OnTimer();
    const QStringList grades = Grades();
    QVERIFY(m_folder->Sql(QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON grades "
                                         "BEGIN SELECT RAISE(ABORT,'x'); END")));
    boxes.Clear();
    Click(1043);
    QCOMPARE(boxes.Texts().size(), 3);
    QVERIFY(boxes.Texts()[1].startsWith(QStringLiteral("数据库错误: ")));
    QCOMPARE(boxes.Texts()[2], Str(Ui::Str::HandInNotRecorded));
    QCOMPARE(Grades(), grades);
    QVERIFY(m_page->IsExamRunning() && Item<QPushButton>(1043)->isEnabled());
    QVERIFY(!Item<QPushButton>(1049)->isEnabled());

    QVERIFY(m_folder->Sql(QStringLiteral("DROP TRIGGER t")));
    boxes.Clear();
    Click(1043);
    QCOMPARE(boxes.Texts().last(),
             QStringLiteral("您本次考试成绩为：1.0分（其中客观题得分为：1.0分,"
                            "作文得分为：0.0分）"));
    QCOMPARE(Grades(), grades + QStringList{QStringLiteral("李四|1.0")});
    QVERIFY(!m_page->IsExamRunning() && !Item<QPushButton>(1043)->isEnabled());
    QVERIFY(Item<QPushButton>(1049)->isEnabled());
}

void TestTrust::failuresTellTheTruth_data()
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

void TestTrust::failuresTellTheTruth()
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
    const QString shown = Item<QTextBrowser>(1065)->toPlainText();
    QCOMPARE(shown.contains(QStringLiteral("1. Why?")), !folder);
    QCOMPARE(shown.contains(QStringLiteral("文件无法读取")), folder);

    MessageBoxes boxes;
    Click(1047);
    QCoreApplication::sendPostedEvents(); // the player's report comes later
    const QString path = QDir::toNativeSeparators(QFileInfo(Recording).absoluteFilePath());
    QStringList expected;
    if (message)
        expected << Str(message).arg(path);
    if (message == Ui::Str::RecordingUnplayable)
        expected[0] = expected[0].arg(QStringLiteral("not a stream"));
    QCOMPARE(boxes.Texts(), expected);
    QVERIFY(!Item<QPushButton>(1047)->isEnabled());
}

void TestTrust::essayScoredOrNotSubmitted_data()
{
    QTest::addColumn<QString>("essay");
    QTest::addColumn<QString>("fault");  // SQL, or "remove": the database file goes
    QTest::addColumn<QString>("repair"); // none: nothing is looked up
    QTest::newRow("word list fails, essay file deleted")
        << Essay << QStringLiteral("ALTER TABLE word RENAME TO gone")
        << QStringLiteral("ALTER TABLE gone RENAME TO word");
    QTest::newRow("keywords fail") << Essay << QStringLiteral("ALTER TABLE write RENAME TO gone")
                                   << QStringLiteral("ALTER TABLE gone RENAME TO write");
    QTest::newRow("too few words, no database")
        << QStringLiteral("Too short to score.") << QStringLiteral("remove") << QString();
}

void TestTrust::essayScoredOrNotSubmitted()
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

void TestTrust::whatTheStudentSees()
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

QTEST_MAIN(TestTrust)
#include "tst_trust.moc"
