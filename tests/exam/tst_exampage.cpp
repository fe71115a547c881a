// The exam page, driven as a student drives it: offscreen, with message boxes
// answered by the test and the countdown advanced by calling its tick.

#include "Catalogue.h"
#include "DialogTemplate.h"
#include "ExamPage.h"
#include "Mci.h"
#include "MessageBox.h"
#include "StringTable.h"
#include "TestSupport.h"
#include "TextResource.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

namespace {

const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");

// A fake listening device: what was loaded and played.
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

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestExamPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void catalogueInTheList();
    void rulesShownAtStart();
    void validationsInOrderAfterTheResets_data();
    void validationsInOrderAfterTheResets();
    void startRunsTheExam();
    void countdownToTimeUp();
    void longExamShowsThreeDigitHours();
    void reselectAndSecondExam();
    void missingDocumentSaysSo();
    void resetFailureStartsNoExam();
    void choiceSubmissions();
    void fillSubmissions();
    void answerCardRefusals_data();
    void answerCardRefusals();
    void failedMarkingIsReportedAndNotAdvanced();
    void typingSurvivesTheTick();
    void listeningPlaysOnce();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<CExamPage> m_page;

    template <class T> T* Item(int id) const { return m_page->findChild<T*>(QString::number(id)); }
    QPushButton* Button(int id) const { return Item<QPushButton>(id); }
    void SetText(int id, const QString& text) { Item<QLineEdit>(id)->setText(text); }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    void SelectPaper(int position) { Item<QComboBox>(1004)->setCurrentIndex(position); }
    // Starts the 2010 paper as "张三" for `minutes`; returns the messages.
    QStringList Start(const QString& minutes = QStringLiteral("120"), int paper = 4);
    QString Row(const QString& number) const;
    void VerifyState(const char* state);
};

void TestExamPage::initTestCase()
{
    // Database errors show in the application's message box, as in the program.
    Ui::InstallAppMessageBox();
}

void TestExamPage::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    QVERIFY(m_folder->IsValid());
    WriteFile(QStringLiteral("etp/%1.doc").arg(Paper2010),
              "<html><head><meta charset=\"utf-8\"></head><body><h1>2010年 试卷</h1>"
              "<p>1. What does the man want?</p></body></html>");
    WriteFile(QStringLiteral("elm/2010年江苏高考听力.mp3"), "ID3");
    g_played.clear();
    Mci::SetDeviceFactory([] { return std::make_unique<FakeDevice>(); });
    m_page = std::make_unique<CExamPage>();
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
}

void TestExamPage::cleanup()
{
    m_page.reset();
    Mci::SendString(QStringLiteral("close mymp3"));
    Mci::SetDeviceFactory({});
    m_folder.reset();
    QVERIFY(!QApplication::activeModalWidget());
}

QStringList TestExamPage::Start(const QString& minutes, int paper)
{
    SelectPaper(paper);
    SetText(1048, minutes);
    SetText(1050, QStringLiteral("张三"));
    MessageBoxes boxes;
    Click(1005);
    return boxes.Texts();
}

QString TestExamPage::Row(const QString& number) const
{
    return m_folder
        ->Column(QStringLiteral("SELECT 回答||'|'||得分 FROM answer WHERE 卷名='%1' AND 题号='%2'")
                     .arg(Paper2010, number))
        .value(0);
}

// Enabled states of the page's controls in one state of an exam.
void TestExamPage::VerifyState(const char* state)
{
    struct Expect
    {
        const char* state;
        const char* start;
        bool startEnabled, settings, card, handIn, review;
    };
    const Expect table[] = {
        {"idle", "开 始 考 试", true, true, false, false, false},
        {"running", "选 择 试 题", false, false, true, true, false},
        {"time up", "选 择 试 题", false, false, false, true, false},
        {"selecting", "开 始 考 试", true, true, false, false, false},
    };
    for (const Expect& e : table) {
        if (qstrcmp(e.state, state) != 0)
            continue;
        QCOMPARE(Button(1005)->text(), QString::fromUtf8(e.start));
        QCOMPARE(Button(1005)->isEnabled(), e.startEnabled);
        for (int id : {1004, 1048, 1050})
            QCOMPARE(m_page->findChild<QWidget*>(QString::number(id))->isEnabled(), e.settings);
        for (int id : {1046, 1022, 1042, 1047, 1044})
            QCOMPARE(Button(id)->isEnabled(), e.card);
        QCOMPARE(Button(1043)->isEnabled(), e.handIn);
        QCOMPARE(Button(1049)->isEnabled(), e.review);
        QVERIFY(Button(1006)->isEnabled());
        return;
    }
    QFAIL("unknown state");
}

void TestExamPage::controls_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("du");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    const auto row = [](int id, const char* kind, const char* caption, QRect du, bool enabled,
                        bool visible = true) {
        QTest::addRow("%d", id) << id << QString::fromLatin1(kind) << QString::fromUtf8(caption)
                                << du << enabled << visible;
    };
    row(1067, "QPlainTextEdit", "", QRect(5, 0, 420, 173), true);
    row(1065, "QTextBrowser", "", QRect(7, 0, 420, 173), true, false);
    row(1004, "QComboBox", "", QRect(27, 211, 100, 0), true);
    row(1048, "QLineEdit", "", QRect(72, 231, 30, 12), true);
    row(1050, "QLineEdit", "", QRect(72, 251, 55, 12), true);
    row(1052, "QLineEdit", "", QRect(102, 271, 40, 12), true);
    row(1005, "WrapButton", "开 始 考 试", QRect(132, 208, 15, 55), true);
    row(1006, "WrapButton", "查看历次考试成绩", QRect(152, 193, 15, 70), true);
    row(1068, "QLineEdit", "", QRect(244, 225, 20, 12), true);
    row(1033, "QComboBox", "", QRect(304, 225, 25, 0), true);
    row(1046, "QPushButton", "提交", QRect(360, 222, 35, 15), false);
    row(1003, "QLineEdit", "", QRect(244, 245, 20, 12), true);
    row(1045, "QLineEdit", "", QRect(304, 245, 50, 12), true);
    row(1022, "QPushButton", "提交", QRect(360, 242, 35, 15), false);
    row(1042, "WrapButton", "写   作  文", QRect(405, 196, 15, 59), false);
    row(1047, "QPushButton", "播放听力", QRect(190, 268, 50, 15), false);
    row(1044, "QPushButton", "查看答题情况", QRect(249, 268, 53, 15), false);
    row(1043, "QPushButton", "交    卷", QRect(311, 268, 50, 15), false);
    row(1049, "QPushButton", "试卷讲评", QRect(370, 268, 50, 15), false);
}

void TestExamPage::controls()
{
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, du);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    QWidget* control = m_page->findChild<QWidget*>(QString::number(id));
    QVERIFY(control);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
    QCOMPARE(control->isEnabled(), enabled);
    QCOMPARE(control->isVisible(), visible);
    const Ui::BaseUnits units = Ui::DialogBaseUnits(m_page->font());
    const QRect expected = Ui::MapDialogRect(units, du);
    QCOMPARE(control->pos(), expected.topLeft());
    QCOMPARE(control->width(), expected.width());
    if (du.height() > 0)
        QCOMPARE(control->height(), expected.height());
}

void TestExamPage::catalogueInTheList()
{
    auto* combo = Item<QComboBox>(1004);
    QCOMPARE(combo->count(), Catalogue::PaperCount);
    QCOMPARE(combo->currentIndex(), -1);
    for (int i = 0; i < combo->count(); ++i)
        QCOMPARE(combo->itemText(i), Catalogue::ListEntry(i));
    QCOMPARE(m_page->m_nPaper, -2);
    SelectPaper(8);
    QCOMPARE(m_page->m_nPaper, 8);
    QCOMPARE(m_page->m_strDocPath, QStringLiteral("\\etp\\英语科模拟考试卷53.doc"));
    SelectPaper(0);
    QCOMPARE(m_page->m_strDocPath, QStringLiteral("\\etp\\2006年江苏高考英语试题.doc"));
    auto* choices = Item<QComboBox>(1033);
    QStringList letters;
    for (int i = 0; i < choices->count(); ++i)
        letters << choices->itemText(i);
    QCOMPARE(letters.join(QString()), QStringLiteral("ABCDEFGH"));
}

void TestExamPage::rulesShownAtStart()
{
    auto* rules = Item<QPlainTextEdit>(1067);
    QVERIFY(rules->isReadOnly());
    QCOMPARE(rules->toPlainText(), LoadTextResource(TextId::ExamRules, TextCap::ExamRules));
    QVERIFY(
        rules->toPlainText().startsWith(QStringLiteral("高考考生守则、考场规则及考试注意事项")));
    QCOMPARE(rules->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(Item<QLineEdit>(1048)->text(), QStringLiteral("120"));
    VerifyState("idle");
}

void TestExamPage::validationsInOrderAfterTheResets_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("nothing chosen") << -1 << QStringLiteral("120") << QStringLiteral("张三")
                                    << QStringList{QStringLiteral("请选择考试题目！")};
    QTest::newRow("no name") << 4 << QStringLiteral("120") << QString()
                             << QStringList{QStringLiteral("请填写考生姓名！")};
    QTest::newRow("no paper before no name") << -1 << QStringLiteral("120") << QString()
                                             << QStringList{QStringLiteral("请选择考试题目！")};
    QTest::newRow("zero minutes") << 4 << QStringLiteral("0") << QStringLiteral("张三")
                                  << QStringList{QStringLiteral("请重新设置考试时间！")};
    QTest::newRow("negative minutes") << 4 << QStringLiteral("-5") << QStringLiteral("张三")
                                      << QStringList{QStringLiteral("请重新设置考试时间！")};
    // A typo in the minutes ends the start there.
    QTest::newRow("abc minutes") << 4 << QStringLiteral("abc") << QStringLiteral("张三")
                                 << QStringList{QStringLiteral("请输入一个整数。")};
    QTest::newRow("empty minutes") << 4 << QString() << QStringLiteral("张三")
                                   << QStringList{QStringLiteral("请输入一个整数。")};
}

void TestExamPage::validationsInOrderAfterTheResets()
{
    QFETCH(int, paper);
    QFETCH(QString, minutes);
    QFETCH(QString, name);
    QFETCH(QStringList, messages);
    QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 回答='B', 得分=1")));
    WriteFile(QStringLiteral("作文.txt"), "an essay from last time");
    if (paper >= 0)
        SelectPaper(paper);
    SetText(1048, minutes);
    SetText(1050, name);
    MessageBoxes boxes;
    Click(1005);
    QCOMPARE(boxes.Texts(), messages);
    QCOMPARE(boxes.Titles().last(), messages.last() == QStringLiteral("请输入一个整数。")
                                        ? QCoreApplication::applicationName()
                                        : QStringLiteral("温馨提示"));
    // The resets happened before the validations.
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT DISTINCT 回答||'|'||得分 FROM answer")),
             QStringList{QStringLiteral(" |0")});
    QCOMPARE(QFileInfo(QStringLiteral("作文.txt")).size(), 0);
    VerifyState("idle");
    QVERIFY(!m_page->IsTimerRunning());
    QVERIFY(Item<QPlainTextEdit>(1067)->isVisible());
}

void TestExamPage::startRunsTheExam()
{
    QFile::remove(QStringLiteral("作文.txt"));
    QCOMPARE(Start(), QStringList());
    VerifyState("running");
    QVERIFY(m_page->IsTimerRunning());
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("02:00"));
    QVERIFY(QFileInfo::exists(QStringLiteral("作文.txt")));
    QCOMPARE(QFileInfo(QStringLiteral("作文.txt")).size(), 0);
    QVERIFY(!Item<QPlainTextEdit>(1067)->isVisible());
    auto* browser = Item<QTextBrowser>(1065);
    QVERIFY(browser->isVisible());
    QVERIFY(browser->toPlainText().contains(QStringLiteral("What does the man want?")));
    QCOMPARE(m_page->m_nFreshExam, 1);
    QCOMPARE(m_page->m_strName, QStringLiteral("张三"));
    QCOMPARE(m_page->m_strDocPath, QStringLiteral("\\etp\\%1.doc").arg(Paper2010));
    m_page->OnTimer();
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("01:59"));
    VerifyState("running");
}

void TestExamPage::countdownToTimeUp()
{
    QCOMPARE(Start(QStringLiteral("2")), QStringList());
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("00:02"));
    Click(1047); // the listening plays
    QVERIFY(Mci::DeviceOf(QStringLiteral("mymp3")));
    MessageBoxes boxes;
    m_page->OnTimer();
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("00:01"));
    QVERIFY(boxes.Texts().isEmpty());
    m_page->OnTimer();
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("00:00"));
    QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("考试时间到，请交卷！")});
    QCOMPARE(boxes.Titles(), QStringList{QStringLiteral("温馨提示")});
    QVERIFY(!m_page->IsTimerRunning());
    VerifyState("time up");
    QVERIFY(!Mci::DeviceOf(QStringLiteral("mymp3")));
    QCOMPARE(g_played.mid(1), (QStringList{QStringLiteral("play"), QStringLiteral("stop")}));
}

void TestExamPage::longExamShowsThreeDigitHours()
{
    QCOMPARE(Start(QStringLiteral("6000")), QStringList());
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("100:00"));
    m_page->OnTimer();
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("99:59"));
}

void TestExamPage::reselectAndSecondExam()
{
    QCOMPARE(Start(QStringLiteral("1")), QStringList());
    {
        MessageBoxes boxes;
        m_page->OnTimer();
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("考试时间到，请交卷！")});
    }
    // Hand-in locks the card and opens the review and the re-select button.
    Button(1043)->setEnabled(false);
    Button(1049)->setEnabled(true);
    Button(1005)->setEnabled(true);
    Click(1005);
    VerifyState("selecting");
    QVERIFY(Item<QTextBrowser>(1065)->isVisible());
    QCOMPARE(Start(QStringLiteral("45"), 6), QStringList());
    VerifyState("running");
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("00:45"));
    QCOMPARE(m_page->m_strDocPath, QStringLiteral("\\etp\\英语科模拟考试卷51.doc"));
    m_page->OnTimer();
    QCOMPARE(Item<QLineEdit>(1052)->text(), QStringLiteral("00:44"));
}

void TestExamPage::missingDocumentSaysSo()
{
    QCOMPARE(Start(QStringLiteral("120"), 7), QStringList());
    const QString shown = Item<QTextBrowser>(1065)->toPlainText();
    QVERIFY2(shown.contains(QStringLiteral("英语科模拟考试卷52.doc")), qPrintable(shown));
    VerifyState("running");
}

void TestExamPage::resetFailureStartsNoExam()
{
    QVERIFY(m_folder->Sql(QStringLiteral("DROP TABLE answer")));
    const QStringList messages = Start();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.front().startsWith(QStringLiteral("数据库错误: ")));
    VerifyState("idle");
    QVERIFY(!m_page->IsTimerRunning());
}

void TestExamPage::choiceSubmissions()
{
    QCOMPARE(Start(), QStringList());
    auto* choice = Item<QComboBox>(1033);
    SetText(1068, QStringLiteral("7"));
    choice->setCurrentIndex(choice->findText(QStringLiteral("B")));
    {
        MessageBoxes boxes;
        Click(1046);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("提交成功!")});
    }
    QCOMPARE(Row(QStringLiteral("07")), QStringLiteral("B|1"));
    QCOMPARE(Item<QLineEdit>(1068)->text(), QStringLiteral("8"));
    QCOMPARE(choice->currentIndex(), -1);

    // Typed with its zero; a wrong answer overwrites the right one.
    SetText(1068, QStringLiteral("07"));
    choice->setCurrentIndex(choice->findText(QStringLiteral("C")));
    {
        MessageBoxes boxes;
        Click(1046);
    }
    QCOMPARE(Row(QStringLiteral("07")), QStringLiteral("C|0"));

    // Points NULL: a right answer scores 0.
    QVERIFY(m_folder->Sql(QStringLiteral("UPDATE answer SET 分值=NULL WHERE 题号='08'")));
    SetText(1068, QStringLiteral("8"));
    choice->setCurrentIndex(choice->findText(QStringLiteral("C")));
    {
        MessageBoxes boxes;
        Click(1046);
    }
    QCOMPARE(Row(QStringLiteral("08")), QStringLiteral("C|0"));
    QCOMPARE(Item<QLineEdit>(1068)->text(), QStringLiteral("9"));
}

void TestExamPage::fillSubmissions()
{
    QCOMPARE(Start(), QStringList());
    struct Case
    {
        const char* number;
        const char* answer;
        const char* row;
        const char* next;
    };
    const Case cases[] = {
        {"71", "am", "am|1", "72"}, {"71", "Am", "Am|0", "72"},   {"71", " am", " am|0", "72"},
        {"71", "is", "is|1", "72"}, {"71", "I'm", "I'm|0", "72"}, {"72", " ", " |1", "73"},
        {"73", "h", "h|1", "74"},   {"0071", "is", "is|1", "72"},
    };
    for (const Case& c : cases) {
        SetText(1003, QString::fromUtf8(c.number));
        SetText(1045, QString::fromUtf8(c.answer));
        MessageBoxes boxes;
        Click(1022);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("提交成功!")});
        const QString number = QString::fromUtf8(c.number).right(2);
        QCOMPARE(Row(number), QString::fromUtf8(c.row));
        QCOMPARE(Item<QLineEdit>(1003)->text(), QString::fromUtf8(c.next));
        QCOMPARE(Item<QLineEdit>(1045)->text(), QString());
    }
    // A question the paper does not have records nothing, and says so.
    SetText(1003, QStringLiteral("0"));
    SetText(1045, QStringLiteral("x"));
    MessageBoxes boxes;
    Click(1022);
    QCOMPARE(boxes.Texts(),
             QStringList{Ui::LoadString(Ui::Str::NoSuchQuestion).arg(QStringLiteral("0"))});
    QCOMPARE(Row(QStringLiteral("00")), QString());
    QCOMPARE(Item<QLineEdit>(1003)->text(), QStringLiteral("0"));
}

void TestExamPage::answerCardRefusals_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("answer"); // choice letter or fill-in text
    QTest::addColumn<QString>("message");
    QTest::newRow("choice: no number")
        << 1046 << QString() << QStringLiteral("A") << QStringLiteral("题目不能为空！");
    QTest::newRow("choice: letter") << 1046 << QStringLiteral("1a") << QStringLiteral("A")
                                    << QStringLiteral("题目必须为数字！");
    QTest::newRow("choice: minus") << 1046 << QStringLiteral("-1") << QStringLiteral("A")
                                   << QStringLiteral("题目必须为数字！");
    QTest::newRow("choice: blank") << 1046 << QStringLiteral(" 1") << QStringLiteral("A")
                                   << QStringLiteral("题目必须为数字！");
    QTest::newRow("choice: beyond int")
        << 1046 << QStringLiteral("99999999999") << QStringLiteral("A")
        << Ui::LoadString(Ui::Str::NoSuchQuestion).arg(QStringLiteral("99999999999"));
    QTest::newRow("choice: no letter")
        << 1046 << QStringLiteral("1") << QString() << QStringLiteral("请选择答案");
    QTest::newRow("fill: no number")
        << 1022 << QString() << QStringLiteral("am") << QStringLiteral("题目不能为空！");
    QTest::newRow("fill: letter") << 1022 << QStringLiteral("7x") << QStringLiteral("am")
                                  << QStringLiteral("题目必须为数字！");
    QTest::newRow("fill: no answer") << 1022 << QStringLiteral("71") << QString()
                                     << QStringLiteral("请填写答案，放弃回答请填入空格！");
}

void TestExamPage::answerCardRefusals()
{
    QFETCH(int, button);
    QFETCH(QString, number);
    QFETCH(QString, answer);
    QFETCH(QString, message);
    QCOMPARE(Start(), QStringList());
    if (button == 1046) {
        SetText(1068, number);
        auto* choice = Item<QComboBox>(1033);
        choice->setCurrentIndex(choice->findText(answer));
    } else {
        SetText(1003, number);
        SetText(1045, answer);
    }
    MessageBoxes boxes;
    Click(button);
    QCOMPARE(boxes.Texts(), QStringList{message});
    QCOMPARE(boxes.Titles(), QStringList{QStringLiteral("温馨提示")});
    // Nothing recorded, and the fields keep what was typed.
    QCOMPARE(m_folder->Column(QStringLiteral("SELECT COUNT(*) FROM answer WHERE 回答<>' '")),
             QStringList{QStringLiteral("0")});
    QCOMPARE(Item<QLineEdit>(button == 1046 ? 1068 : 1003)->text(), number);
}

void TestExamPage::failedMarkingIsReportedAndNotAdvanced()
{
    QCOMPARE(Start(), QStringList());
    QVERIFY(m_folder->Sql(QStringLiteral("DROP TABLE answer")));
    SetText(1003, QStringLiteral("71"));
    SetText(1045, QStringLiteral("am"));
    MessageBoxes boxes;
    Click(1022);
    QCOMPARE(boxes.Texts().size(), 1);
    QVERIFY(boxes.Texts().front().startsWith(QStringLiteral("数据库错误: ")));
    QVERIFY(!boxes.Texts().contains(QStringLiteral("提交成功!")));
    QCOMPARE(Item<QLineEdit>(1003)->text(), QStringLiteral("71"));
    QCOMPARE(Item<QLineEdit>(1045)->text(), QStringLiteral("am"));
}

void TestExamPage::typingSurvivesTheTick()
{
    QCOMPARE(Start(), QStringList());
    SetText(1003, QStringLiteral("75"));
    SetText(1045, QStringLiteral("Reas"));
    m_page->OnTimer();
    QCOMPARE(Item<QLineEdit>(1003)->text(), QStringLiteral("75"));
    QCOMPARE(Item<QLineEdit>(1045)->text(), QStringLiteral("Reas"));
}

void TestExamPage::listeningPlaysOnce()
{
    QCOMPARE(Start(), QStringList());
    Click(1047);
    QVERIFY(!Button(1047)->isEnabled());
    QCOMPARE(g_played, (QStringList{QStringLiteral("load elm/2010年江苏高考听力.mp3"),
                                    QStringLiteral("play")}));
    Click(1047); // disabled: nothing happens
    QCOMPARE(g_played.size(), 2);
}

QTEST_MAIN(TestExamPage)
#include "tst_exampage.moc"
