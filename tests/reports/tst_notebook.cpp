// The mistakes notebook: which answers it collects, the two-days rule, practice
// kept apart from the exams, the filters, and the window on a seeded history.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamPage.h"
#include "ExamRecord.h"
#include "MainTabDlg.h"
#include "NotebookDlg.h"
#include "ReportList.h"
#include "StringTable.h"
#include "TestSupport.h"
#include "WordFile.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::Literals::StringLiterals;
using namespace Ids::Notebook;

namespace {

const QString Name = u"王芳"_s;
const QString P2010 = u"2010年江苏高考英语试题"_s;
const QString Mock = u"英语科模拟考试卷51"_s;

// An exam of `name` handed in, its card's rows written "题号|回答|答案".
void Sit(const QString& paper, const QString& time, const QStringList& card,
         const QString& name = Name)
{
    ExamRecord exam{paper, time, name, 0.0, {}, {}};
    for (const QString& row : card) {
        const QStringList f = row.split(u'|');
        exam.answers.append({f[0], f[1], f[2], qint16(1), qint16(f[1] == f[2])});
    }
    QCOMPARE(ExamDb::WriteKeyed([&](ExamDb::Connection& db) { ExamRecord::Write(db, exam); }),
             ExamDb::Result::Done);
}

QDateTime Day(int day)
{
    return QDateTime(QDate(2026, 11, day), QTime(20, 0));
}

} // namespace

class TestNotebook : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramFolder> m_folder;

private Q_SLOTS:
    void cleanup() { m_folder.reset(); }
    // Three exams: 2010 twice, then the mock paper listed as 01.
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->IsValid());
        Sit(P2010, u"2026-11-01 09:00:00"_s,
            {u"01|B|A"_s, u"21|A|A"_s, u"36| |C"_s, u"71|Reason|Reasons/Causes"_s});
        Sit(P2010, u"2026-11-03 09:00:00"_s, {u"21|A|A"_s, u"36|A|C"_s});
        Sit(Mock, u"2026-11-05 09:00:00"_s, {u"56|A|B"_s, u"72|the|The"_s});
    }

    void wrongAnswers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("blank") << u"A"_s << u" "_s << true;
        QTest::newRow("another letter") << u"A"_s << u"B"_s << true;
        QTest::newRow("the key") << u"A"_s << u"A"_s << false;
        QTest::newRow("an alternative") << u"Reasons/Causes"_s << u"Causes"_s << false;
        QTest::newRow("part of an alternative") << u"Reasons/Causes"_s << u"Reason"_s << true;
    }

    void wrongAnswers()
    {
        QFETCH(QString, key);
        QFETCH(QString, answer);
        QFETCH(bool, wrong);
        Sit(P2010, u"2026-11-06 09:00:00"_s, {u"71|"_s + answer + u'|' + key}, u"赵"_s);
        QCOMPARE(Notebook::Read(u"赵"_s).entries.size(), wrong ? 1 : 0);
    }

    // Practice written "<day>+" (right) or "<day>-" (wrong), in November, after
    // the exam of November 5 got the question wrong.
    void mastery_data()
    {
        QTest::addColumn<QString>("practice");
        QTest::addColumn<int>("days");
        QTest::newRow("twice on one day") << u"10+ 10+"_s << 1;
        QTest::newRow("two days") << u"10+ 12+"_s << 2;
        QTest::newRow("a wrong answer resets") << u"10+ 11- 12+"_s << 1;
        QTest::newRow("wrong after mastered") << u"10+ 11+ 12-"_s << 0;
        QTest::newRow("before a later miss") << u"2+ 3+"_s << 0;
    }

    void mastery()
    {
        QFETCH(QString, practice);
        QFETCH(int, days);
        Notebook::Entry entry{P2010, u"36"_s, u"C"_s, 2, true, {{u"2026-11-05 09:00:00"_s, u"A"_s}},
                              {}};
        for (const QString& token : practice.split(u' ', Qt::SkipEmptyParts))
            entry.practice.append({Day(token.chopped(1).toInt()).toString(u"yyyy-MM-dd HH:mm:ss"_s),
                                   u"C"_s, token.endsWith(u'+')});
        QCOMPARE(Notebook::RightDays(entry), days);
        QCOMPARE(Notebook::StateOf(entry),
                 days >= 2 ? Notebook::State::Mastered : Notebook::State::Active);
    }

    // Practice is kept in a table of its own, and a copy renewed from new content
    // keeps it.
    void practice()
    {
        const QString kept =
            u"SELECT (SELECT count(*) FROM grades)||'|'||(SELECT count(*) FROM exam)"
            u"||'|'||(SELECT group_concat(回答) FROM exam_answer)"_s;
        const QStringList before = m_folder->Column(kept);
        Notebook::Book book = Notebook::Read(Name);
        QVERIFY(Notebook::Practise(Name, book.entries[2], u"C"_s, Day(10)).recorded);
        QCOMPARE(m_folder->Column(kept), before);
        QCOMPARE(Notebook::Read(Name).entries[2].practice.size(), 1);

        const QString renewed = m_folder->Path() + u"/renewed.mdb"_s;
        QVERIFY(QFile::copy(QStringLiteral(ORDWIN_TEST_DB), renewed));
        QFile::setPermissions(renewed, QFile::ReadOwner | QFile::WriteOwner);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"renewed"_s);
            db.setDatabaseName(renewed);
            QString error;
            QVERIFY(db.open() && WordFile::CarryGrades(db, m_folder->DatabasePath(), &error) == 2);
        }
        QSqlDatabase::removeDatabase(u"renewed"_s);
        QCOMPARE(DatabaseColumn(renewed, u"SELECT 卷名||题号||回答 FROM practice"_s),
                 QStringList{P2010 + u"36C"_s});
    }

    // The entries listed, P for the 2010 paper and M for the mock paper.
    void select_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("listed");
        QTest::newRow("newest first") << -1 << QString() << 0 << u"M56 M72 P36 P01 P71"_s;
        QTest::newRow("most missed first") << -1 << QString() << 1 << u"P36 M56 M72 P01 P71"_s;
        QTest::newRow("by paper") << -1 << QString() << 2 << u"P01 P36 P71 M56 M72"_s;
        QTest::newRow("one section") << 4 << QString() << 0 << u"M72 P71"_s;
        QTest::newRow("one paper") << -1 << Mock << 0 << u"M56 M72"_s;
    }

    void select()
    {
        QFETCH(int, section);
        QFETCH(QString, paper);
        QFETCH(int, order);
        QFETCH(QString, listed);
        const Notebook::Book book = Notebook::Read(Name);
        QCOMPARE(book.exams, 3);
        QStringList entries;
        for (int i : Notebook::Select(book, {section, paper, Notebook::State::Active,
                                             static_cast<Notebook::Order>(order)}))
            entries << (book.entries[i].paper == P2010 ? u"P"_s : u"M"_s) + book.entries[i].number;
        QCOMPARE(entries.join(u' '), listed);
    }

    // Opened from the exam page, on a name without history and on one with it.
    void window()
    {
        QVERIFY(m_folder->Sql(
            u"INSERT INTO question VALUES ('%1','36','完形填空','','map','pen','song',"
            u"'book','C',1,'由 sing 可知。',1)"_s.arg(P2010)));
        QVERIFY(
            m_folder->Sql(u"INSERT INTO passage VALUES ('%1',1,1,'短文','','She loved to __36__.'),"
                          u"('%1',1,2,'短文','','| Why | How |')"_s.arg(P2010)));
        CMainTabDlg main;
        CExamPage* page = main.m_pageExam;
        auto* name = page->findChild<QLineEdit*>(QString::number(Ids::Exam::IdName));
        auto* button = page->findChild<QPushButton*>(QString::number(Ids::Exam::IdNotebook));
        MessageBoxes boxes;
        name->setText(u"无名"_s);
        button->click();
        QCOMPARE(boxes.Texts(),
                 QStringList{Ui::LoadString(Ui::Str::NotebookNoHistory).arg(u"无名"_s)});
        boxes.Clear();

        NextModal notebook([&](QDialog* opened) {
            auto* dialog = static_cast<CNotebookDlg*>(opened);
            const auto close = qScopeGuard([&] { dialog->reject(); });
            QDateTime now = Day(10);
            dialog->m_clock = [&] { return now; };
            auto* list = Ui::Control<QTableWidget>(dialog, IdList);
            const auto text = [&](int id) {
                return Ui::Control<QTextBrowser>(dialog, id)->toPlainText();
            };
            const auto label = [&](int id) { return Ui::Control<QLabel>(dialog, id)->text(); };
            const auto answer = [&](const QString& letter) {
                auto* choice = Ui::Control<QComboBox>(dialog, IdChoice);
                choice->setCurrentIndex(choice->findText(letter));
                QTest::mouseClick(Ui::Control<QPushButton>(dialog, IdSubmit), Qt::LeftButton);
                return label(IdResult);
            };
            // The mock paper's questions are not in the database.
            QCOMPARE(Ui::ReportListRows(list).value(0),
                     (QStringList{u"英语科模拟考试卷01"_s, u"56"_s, u"阅读理解"_s, u"1"_s}));
            QVERIFY(text(IdQuestion).contains(Ui::LoadString(Ui::Str::NotebookNoQuestion)));
            list->selectRow(2);
            QVERIFY(text(IdMaterial).contains(u"She loved to   36  .\nWhy"_s));
            QVERIFY(text(IdQuestion).contains(u"C. song"_s));
            QCOMPARE(label(IdAnswers),
                     Ui::LoadString(Ui::Str::NotebookAnswers)
                         .arg(u"A（2026-11-03）；（未作答）（2026-11-01）"_s, u"C"_s));
            QCOMPARE(text(IdExplanation), u"由 sing 可知。"_s);

            QCOMPARE(answer(u"C"_s), Ui::LoadString(Ui::Str::PracticeRightOnce));
            now = Day(11);
            QCOMPARE(answer(u"C"_s), Ui::LoadString(Ui::Str::PracticeMastered));
            QCOMPARE(list->rowCount(), 4);
            Ui::Control<QComboBox>(dialog, IdScope)->setCurrentIndex(1);
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

        page->findChild<QComboBox*>(QString::number(Ids::Exam::IdPaper))->setCurrentIndex(0);
        page->OnStart();
        QVERIFY(page->IsExamRunning());
        QVERIFY(!button->isEnabled());
    }
};

QTEST_MAIN(TestNotebook)
#include "tst_notebook.moc"
