// The mistakes notebook: which answers it collects, the two-days rule, the
// filters, and the window on a seeded history, its practice kept apart from
// the exams.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamPage.h"
#include "MainTabDlg.h"
#include "NotebookDlg.h"
#include "ReportList.h"
#include "StringTable.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::Literals::StringLiterals;
using namespace Ids::Notebook;
using Notebook::Filter;
using enum Notebook::Order;
using enum Notebook::State;
using Ui::Control;

const QString Name = u"王芳"_s;
const QString P2010 = u"2010年江苏高考英语试题"_s;
const QString Mock = u"英语科模拟考试卷51"_s;

class TestNotebook : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramFolder> m_folder;

private Q_SLOTS:
    void cleanup() { m_folder.reset(); }
    // Three exams: 2010 twice, then the mock paper listed as 01; each card row
    // "考试编号,题号,回答,答案,分值,得分" kept with the points of an exact match,
    // the notebook marking the answer again. Wrong are 01 (another letter), 36
    // (a blank, then another letter), 71 (part of an alternative) and 72 (the
    // case); 21 is the key and 41 an alternative of it.
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->Sql(
            u"INSERT INTO exam VALUES (1,'%1','2026-11-01 09:00:00','王芳',0,0,0,0,0,0,0,'','',''),"
            u"(2,'%1','2026-11-03 09:00:00','王芳',0,0,0,0,0,0,0,'','',''),"
            u"(3,'%2','2026-11-05 09:00:00','王芳',0,0,0,0,0,0,0,'','','')"_s.arg(P2010, Mock)));
        QVERIFY(m_folder->Sql(
            u"INSERT INTO exam_answer VALUES (1,'01','B','A',1,0),(1,'21','A','A',1,1),"
            u"(1,'36',' ','C',1,0),(1,'71','Reason','Reasons/Causes',1,0),(2,'21','A','A',1,1),"
            u"(2,'36','A','C',1,0),(2,'41','Causes','Reasons/Causes',1,0),(3,'56','A','B',1,0),"
            u"(3,'72','the','The',1,0)"_s));
    }

    // The entries listed, P for the 2010 paper and M for the mock paper.
    void select_data()
    {
        QTest::addColumn<Filter>("filter");
        QTest::addColumn<QString>("listed");
        QTest::newRow("newest first") << Filter{-1, {}, Active, Newest} << u"M56 M72 P36 P01 P71"_s;
        QTest::newRow("most missed first")
            << Filter{-1, {}, Active, MostMissed} << u"P36 M56 M72 P01 P71"_s;
        QTest::newRow("by paper") << Filter{-1, {}, Active, ByPaper} << u"P01 P36 P71 M56 M72"_s;
        QTest::newRow("one section") << Filter{4, {}, Active, Newest} << u"M72 P71"_s;
        QTest::newRow("one paper") << Filter{-1, Mock, Active, Newest} << u"M56 M72"_s;
    }

    void select()
    {
        QFETCH(Filter, filter);
        QFETCH(QString, listed);
        const Notebook::Book book = Notebook::Read(Name);
        QCOMPARE(book.exams, 3);
        QStringList entries;
        for (int i : Notebook::Select(book, filter))
            entries << (book.entries[i].paper == P2010 ? u"P"_s : u"M"_s) + book.entries[i].number;
        QCOMPARE(entries.join(u' '), listed);
    }

    // Practice "<day>+" (right) or "<day>-" (wrong), in November, after the
    // exam of November 5 got the question wrong.
    void mastery_data()
    {
        QTest::addColumn<QString>("practice");
        QTest::addColumn<int>("days");
        QTest::newRow("twice on one day") << u"10+ 10+"_s << 1;
        QTest::newRow("two days") << u"10+ 12+"_s << 2;
        QTest::newRow("a wrong answer resets") << u"10+ 11- 12+"_s << 1;
        QTest::newRow("wrong after mastered") << u"10+ 11+ 12-"_s << 0;
        QTest::newRow("before a later miss") << u"02+ 03+"_s << 0;
    }

    void mastery()
    {
        QFETCH(QString, practice);
        QFETCH(int, days);
        Notebook::Entry entry{P2010, u"36"_s, u"C"_s, 2, true, {{u"2026-11-05 09:00:00"_s, u"A"_s}},
                              {}};
        for (const QString& day : practice.split(u' '))
            entry.practice.append(
                {u"2026-11-"_s + day.chopped(1) + u" 20:00:00"_s, u"C"_s, day.endsWith(u'+')});
        QCOMPARE(Notebook::RightDays(entry), days);
        QCOMPARE(Notebook::StateOf(entry), days >= 2 ? Mastered : Active);
    }

    // Opened from the exam page, on a name without history and on one with it;
    // practice is written to its own table alone, and read back.
    void window()
    {
        QVERIFY(m_folder->Sql(
            u"INSERT INTO question VALUES ('%1','36','完形填空','','map','pen','song',"
            u"'book','C',1,'由 sing 可知。',1)"_s.arg(P2010)));
        QVERIFY(
            m_folder->Sql(u"INSERT INTO passage VALUES ('%1',1,1,'短文','','She loved to __36__.'),"
                          u"('%1',1,2,'短文','','| Why | How |')"_s.arg(P2010)));
        const QString exams = u"SELECT (SELECT count(*) FROM grades)||'|'||(SELECT count(*) FROM "
                              u"exam)||'|'||(SELECT group_concat(回答) FROM exam_answer)"_s;
        const QStringList before = m_folder->Column(exams);
        CMainTabDlg main;
        CExamPage* page = main.m_pageExam;
        auto* name = Control<QLineEdit>(page, Ids::Exam::IdName);
        auto* button = Control<QPushButton>(page, Ids::Exam::IdNotebook);
        MessageBoxes boxes;
        name->setText(u"无名"_s);
        button->click();
        QCOMPARE(boxes.Texts(),
                 QStringList{Ui::LoadString(Ui::Str::NotebookNoHistory).arg(u"无名"_s)});
        boxes.Clear();

        NextModal notebook([&](QDialog* opened) {
            auto* dialog = static_cast<CNotebookDlg*>(opened);
            const auto close = qScopeGuard([&] { dialog->reject(); });
            QDateTime now(QDate(2026, 11, 10), QTime(20, 0));
            dialog->m_clock = [&] { return now; };
            auto* list = Control<QTableWidget>(dialog, IdList);
            const auto text = [&](int id) {
                return Control<QTextBrowser>(dialog, id)->toPlainText();
            };
            const auto answer = [&](const QString& letter) {
                auto* choice = Control<QComboBox>(dialog, IdChoice);
                choice->setCurrentIndex(choice->findText(letter));
                QTest::mouseClick(Control<QPushButton>(dialog, IdSubmit), Qt::LeftButton);
                return Control<QLabel>(dialog, IdResult)->text();
            };
            // The mock paper's questions are not in the database.
            QCOMPARE(Ui::ReportListRows(list).value(0),
                     (QStringList{u"英语科模拟考试卷01"_s, u"56"_s, u"阅读理解"_s, u"1"_s}));
            QVERIFY(text(IdQuestion).contains(Ui::LoadString(Ui::Str::NotebookNoQuestion)));
            list->selectRow(2);
            QVERIFY(text(IdMaterial).contains(u"She loved to   36  .\nWhy"_s));
            QVERIFY(text(IdQuestion).contains(u"C. song"_s));
            QCOMPARE(Control<QLabel>(dialog, IdAnswers)->text(),
                     Ui::LoadString(Ui::Str::NotebookAnswers)
                         .arg(u"A（2026-11-03）；（未作答）（2026-11-01）"_s, u"C"_s));
            QCOMPARE(text(IdExplanation), u"由 sing 可知。"_s);

            QCOMPARE(answer(u"C"_s), Ui::LoadString(Ui::Str::PracticeRightOnce));
            now = now.addDays(1);
            QCOMPARE(answer(u"C"_s), Ui::LoadString(Ui::Str::PracticeMastered));
            QCOMPARE(list->rowCount(), 4);
            Control<QComboBox>(dialog, IdScope)->setCurrentIndex(1);
            QCOMPARE(Ui::ReportListRows(list).value(0).value(1), u"36"_s);

            QVERIFY(m_folder->Sql(u"CREATE TRIGGER full BEFORE INSERT ON practice "
                                  u"BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s));
            AppMessages messages; // the database error
            QCOMPARE(answer(u"A"_s), QString());
            QCOMPARE(boxes.Texts(), QStringList{Ui::LoadString(Ui::Str::PracticeNotRecorded)});
            QCOMPARE(list->rowCount(), 1);
        });
        name->setText(Name);
        button->click();
        QVERIFY(notebook.Ran());
        QCOMPARE(m_folder->Column(exams), before);
        QCOMPARE(Notebook::StateOf(Notebook::Read(Name).entries[2]), Mastered);

        Control<QComboBox>(page, Ids::Exam::IdPaper)->setCurrentIndex(0);
        page->OnStart();
        QVERIFY(page->IsExamRunning() && !button->isEnabled());
    }
};

QTEST_MAIN(TestNotebook)
#include "tst_notebook.moc"
