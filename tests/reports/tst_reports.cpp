// The reports, cores and windows, on seeded histories: the results and the
// built-in texts, a student's progress, the mistakes notebook.

#include "Catalogue.h"
#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamPage.h"
#include "ExamRecord.h"
#include "GradeDlgs.h"
#include "MainTabDlg.h"
#include "NotebookDlg.h"
#include "Progress.h"
#include "ProgressDlgs.h"
#include "ReportList.h"
#include "ResultRows.h"
#include "ReviewDlg.h"
#include "StringTable.h"
#include "TestSupport.h"
#include "TextResource.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;
using namespace Ids::Notebook;
using Notebook::Filter;
using enum Notebook::Order;
using enum Notebook::State;
using Ui::Control;

namespace {

const QString Paper2010 = u"2010年江苏高考英语试题"_s;
const QString Mock = u"英语科模拟考试卷51"_s;
const QString Student = u"李明"_s; // the progress of
const QString Writer = u"王芳"_s;  // the notebook of

// The rows a report list of six columns shows: sorted by their first cell,
// as the list keeps them, missing cells empty.
QList<QStringList> Sorted(QList<QStringList> rows, int columns = 6)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const QStringList& a, const QStringList& b) { return a[0] < b[0]; });
    for (QStringList& row : rows)
        row.resize(columns);
    return rows;
}

QList<QStringList> Shown(QWidget* window)
{
    return Ui::ReportListRows(window->findChild<QTableWidget*>(QStringLiteral("1004")));
}

// Cells joined by "|", rows by ";"; "failed" for a failed read.
QString Joined(const Results::Rows& read)
{
    QStringList rows;
    for (const QStringList& row : read.rows)
        rows << row.join(QLatin1Char('|'));
    return read.result == ExamDb::Result::Done ? rows.join(QLatin1Char(';'))
                                               : QStringLiteral("failed");
}

// An exam of Student handed in: its grade row and its record, with the points
// of the questions named (题号 and 得分), every other question unanswered.
void Sit(const QString& paper, const QString& time,
         std::initializer_list<std::pair<const char*, qint16>> points, double essay)
{
    ExamRecord exam{paper, time, Student, 0.0, {essay, {}, {}, {}}, {}};
    for (const auto& [number, earned] : points) {
        exam.answers.append({QLatin1String(number), u"A"_s, u"A"_s, earned, earned});
        exam.objective += earned;
    }
    QCOMPARE(ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
                 db.Exec(Sql::InsertGrade, {paper, time, Student, exam.objective + essay});
                 ExamRecord::Write(db, exam);
             }),
             ExamDb::Result::Done);
}

QList<QStringList> Rows(const QStringList& lines)
{
    QList<QStringList> rows;
    for (const QString& line : lines)
        rows << line.split(QLatin1Char('|'));
    return rows;
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramFolder> m_folder;

    void SeedAnswers()
    {
        QVERIFY(m_folder->Sql(
            QStringLiteral("UPDATE answer SET 回答='A' WHERE 题号 IN ('56','07','71')")));
    }

    // Besides the test database's grade row of 2026-11-02 (85.5, not kept whole),
    // three kept exams of Student, one of them on a paper no longer listed.
    void SeedExams()
    {
        Sit(QStringLiteral("2011年江苏高考英语试题"), QStringLiteral("2026-11-05 10:00:00"),
            {{"01", 1}, {"20", 1}, {"21", 1}, {"56", 2}}, 20);
        Sit(QStringLiteral("2005年江苏高考英语试题"), QStringLiteral("2026-11-07 10:00:00"),
            {{"01", 1}, {"02", 1}, {"03", 1}, {"04", 1}, {"36", 1}, {"71", 1}}, 17);
        Sit(Paper2010, QStringLiteral("2026-11-09 10:00:00"),
            {{"01", 1}, {"02", 1}, {"03", 1}, {"36", 1}, {"56", 2}, {"57", 2}, {"71", 1}}, 24.5);
    }

    // Three exams of Writer: 2010 twice, then the mock paper listed as 01; each
    // card row "考试编号,题号,回答,答案,分值,得分" kept with the points of an exact
    // match, the notebook marking the answer again. Wrong are 01 (another
    // letter), 36 (a blank, then another letter), 71 (part of an alternative)
    // and 72 (the case); 21 is the key and 41 an alternative of it.
    void SeedMistakes()
    {
        QVERIFY(m_folder->Sql(
            u"INSERT INTO exam VALUES (1,'%1','2026-11-01 09:00:00','王芳',0,0,0,0,0,0,0,'','',''),"
            u"(2,'%1','2026-11-03 09:00:00','王芳',0,0,0,0,0,0,0,'','',''),"
            u"(3,'%2','2026-11-05 09:00:00','王芳',0,0,0,0,0,0,0,'','','')"_s.arg(Paper2010,
                                                                                  Mock)));
        QVERIFY(m_folder->Sql(
            u"INSERT INTO exam_answer VALUES (1,'01','B','A',1,0),(1,'21','A','A',1,1),"
            u"(1,'36',' ','C',1,0),(1,'71','Reason','Reasons/Causes',1,0),(2,'21','A','A',1,1),"
            u"(2,'36','A','C',1,0),(2,'41','Causes','Reasons/Causes',1,0),(3,'56','A','B',1,0),"
            u"(3,'72','the','The',1,0)"_s));
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->IsValid());
    }

    void cleanup()
    {
        m_folder.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Both windows show the results core's rows and are released when closed.
    void reviewAnswersAndEssayReport()
    {
        SeedAnswers();
        QPointer<CAnswerListDlg> answers = new CAnswerListDlg(Paper2010);
        answers->show();
        QCOMPARE(Shown(answers), Sorted(Results::AnswerStatus(Paper2010).rows));
        QCOMPARE(Shown(answers).size(), 4); // ten answers, three to a row
        QPointer<CReviewDlg> review = new CReviewDlg(Paper2010);
        review->m_strEssayTitle = QStringLiteral("A Visit");
        review->m_strEssay = QStringLiteral("We went.\r\nIt rained.");
        review->m_strReport = QStringLiteral("没写作文，所以没有分数。");
        review->show();
        QCOMPARE(Shown(review), Sorted(Results::WrongAnswers(Paper2010).rows));
        QCOMPARE(Shown(review).size(), 5); // ten wrong answers, two to a row
        // Every column, and four rows, in sight.
        auto* list = Control<QTableWidget>(review, Ids::Review::IdList);
        QVERIFY(list->horizontalHeader()->length() <= list->viewport()->width());
        QVERIFY(list->rowViewportPosition(3) + list->rowHeight(3) <= list->viewport()->height());
        QCOMPARE(Control<QPlainTextEdit>(review, Ids::Review::IdExplain)->toPlainText(),
                 LoadTextResource(ExplanationTextId(Paper2010)));
        QStringList shown;
        NextModal report([&](QDialog* dialog) {
            for (int id : {Ids::EssayReport::IdEssay, Ids::EssayReport::IdReport})
                shown << Control<QPlainTextEdit>(dialog, id)->toPlainText();
            shown << Control<QLineEdit>(dialog, Ids::EssayReport::IdTitle)->text();
            dialog->reject();
        });
        QTest::mouseClick(Control<QPushButton>(review, Ids::Review::IdEssayReport), Qt::LeftButton);
        QVERIFY(report.Ran());
        QCOMPARE(shown, (QStringList{QStringLiteral("We went.\nIt rained."),
                                     QStringLiteral("没写作文，所以没有分数。"),
                                     QStringLiteral("A Visit")}));
        review->close();
        answers->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!review && !answers);
    }

    // Wrong answers that cannot be read are told once; the explanation shows.
    void reviewAfterAFailedQuery()
    {
        QVERIFY(m_folder->Sql(QStringLiteral("ALTER TABLE answer RENAME TO gone")));
        AppMessages messages;
        CReviewDlg review(Paper2010);
        review.show();
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].startsWith(QStringLiteral("数据库错误: ")));
        QCOMPARE(Control<QPlainTextEdit>(&review, Ids::Review::IdExplain)->toPlainText(),
                 LoadTextResource(ExplanationTextId(Paper2010)));
    }

    void gradeHistory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // none: the list is shown
        QTest::newRow("a name with grades") << u"O'Brien"_s << QString();
        QTest::newRow("unknown name") << u"王五"_s << u"查无该同学历次考试成绩！"_s;
        QTest::newRow("no name") << QString() << u"请填写考生姓名！"_s;
    }
    void gradeHistory()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QString title;
        QList<QStringList> shown;
        MessageBoxes boxes;
        NextModal query([&](QDialog* dialog) {
            Control<QLineEdit>(dialog, Ids::GradeQuery::IdName)->setText(name);
            NextModal list([&](QDialog* grades) {
                title =
                    Ui::FindControl(grades, Ids::GradeList::IdTitle)->property("text").toString();
                shown = Shown(grades);
                grades->reject();
            });
            QTest::mouseClick(Control<QPushButton>(dialog, Ids::GradeQuery::IdQuery),
                              Qt::LeftButton);
            if (dialog->isVisible())
                dialog->reject();
            QCOMPARE(list.Ran(), message.isEmpty());
        });
        CGradeQueryDlg dialog;
        dialog.exec();
        QVERIFY(query.Ran());
        QCOMPARE(boxes.Texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty()) {
            QCOMPARE(title, name + QStringLiteral("同学历次考试成绩表"));
            QCOMPARE(shown, Sorted(Results::GradeHistory(name).rows, 4));
            QCOMPARE(shown.size(), 1);
        }
    }

    void rows()
    {
        ProgramFolder folder;
        QVERIFY(folder.Sql(QStringLiteral("INSERT INTO grades VALUES('p','t','李明',NULL)")));
        QVERIFY(folder.Sql(QStringLiteral("INSERT INTO answer VALUES ('P','01','A','A',1,1),"
                                          "('P','02','b','B',1,0),('P','03','C','C',2,2),"
                                          "('P','04',' ','D',1,0),('P','05','e','E',1,0)")));
        AppMessages messages;
        QCOMPARE(Joined(Results::GradeHistory(QStringLiteral("李明"))),
                 QStringLiteral("001|2010年江苏高考英语试题|2026-11-02 10:30:00|85;002|p|t|"));
        QCOMPARE(Joined(Results::AnswerStatus(QStringLiteral("P"))),
                 QStringLiteral("01|A|02|b|03|C;04| |05|e"));
        QCOMPARE(Joined(Results::WrongAnswers(QStringLiteral("P"))),
                 QStringLiteral("02|b|B|04| |D;05|e|E"));
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(folder.Sql(QStringLiteral("UPDATE grades SET 成绩=99999")));
        QCOMPARE(Joined(Results::GradeHistory(QStringLiteral("李明"))), QStringLiteral("failed"));
        for (const auto& [n, shown] :
             {std::pair{9, "009"}, {10, "010"}, {99, "099"}, {100, "100"}, {1000, "1000"}})
            QCOMPARE(Results::RowNumber(n), QLatin1String(shown));
    }

    void load_data()
    {
        QTest::addColumn<QString>("file"); // in the test texts' folder, or a resource
        QTest::addColumn<int>("cap");      // -1: none
        QTest::addColumn<QString>("text");
        // "第一行\n第二行" takes 13 GBK bytes.
        QTest::newRow("cut") << "short.txt" << 12 << "第一行\n第二";
        QTest::newRow("up to the NUL") << "nul.txt" << -1 << "before the zero";
        QTest::newRow("no such text") << ":/data/9999" << -1 << "";
    }
    void load()
    {
        QFETCH(QString, file);
        QFETCH(int, cap);
        QFETCH(QString, text);
        if (!file.startsWith(QLatin1Char(':')))
            file.prepend(QStringLiteral(ORDWIN_TEST_TEXTS "/"));
        QCOMPARE(LoadTextFile(file, cap < 0 ? std::nullopt : std::optional<qsizetype>(cap)), text);
    }

    void builtInTexts()
    {
        const QString rules = LoadTextResource(TextId::ExamRules);
        QVERIFY(rules.startsWith(QStringLiteral("高考考生守则、考场规则及考试注意事项\n")));
        QCOMPARE(LoadTextResource(TextId::ExamRules, TextCap::ExamRules), rules);
        QVERIFY(LoadTextResource(TextId::Usage).startsWith(QStringLiteral("使用说明\n")));
        QVERIFY(LoadTextResource(TextId::Preface).startsWith(QStringLiteral("前  言\n")));
    }

    void analysisOfTheLatestExam()
    {
        SeedExams();
        MessageBoxes boxes(QMessageBox::Yes);
        QList<QStringList> table;
        QList<qreal> bars;
        NextModal analysis([&](QDialog* dialog) {
            table = Shown(dialog);
            const auto* series = static_cast<QBarSeries*>(
                dialog->findChild<QChartView*>()->chart()->series().value(0));
            for (int i = 0; i < series->barSets().value(0)->count(); ++i)
                bars << series->barSets().value(0)->at(i);
            dialog->reject();
        });
        OfferGradeAnalysis(nullptr, Student, Paper2010);
        QVERIFY(analysis.Ran());
        QCOMPARE(boxes.Texts(), QStringList{Ui::LoadString(Ui::Str::OfferAnalysis)});
        // Averages over the exams of 11-05 and 11-07; the total's over every earlier one.
        QCOMPARE(table, Rows({u"听力|3|20|15%|3|0"_s, u"单项填空|0|15|0%|0.5|-0.5"_s,
                              u"完形填空|1|20|5%|0.5|+0.5"_s, u"阅读理解|4|30|13%|1|+3"_s,
                              u"任务型阅读|1|10|10%|0.5|+0.5"_s, u"书面表达|24.5|25|98%|18.5|+6"_s,
                              u"总 分|33.5|120|28%|44.5|-11"_s}));
        QCOMPARE(bars, (QList<qreal>{15, 0, 5, 4 * 100.0 / 30, 10, 98}));
    }

    void gradeListTrend()
    {
        SeedExams();
        CGradeListDlg list;
        list.m_strName = Student;
        QVERIFY(list.OnInitDialog());
        list.show();
        const auto series = [&](const char* view, int n) {
            const auto* chart = list.findChild<QChartView*>(QLatin1String(view))->chart();
            return static_cast<QLineSeries*>(chart->series().value(n));
        };
        const auto line = [&](const char* view, int n) { return series(view, n)->points(); };
        QCOMPARE(line("totals", 0), (QList<QPointF>{{1, 85.5}, {2, 25}, {3, 23}, {4, 33.5}}));
        Q_EMIT series("totals", 0)->hovered(QPointF(3.3, 26), true);
        QCOMPARE(QToolTip::text(), u"2005年江苏高考英语试题\n2026-11-07 10:00:00\n总分：23"_s);
        Control<QComboBox>(&list, Ids::GradeList::IdTrendView)->setCurrentIndex(1);
        // Listening, in percent: the first exam was not kept whole.
        QCOMPARE(line("sectionRates", 0), (QList<QPointF>{{2, 10}, {3, 20}, {4, 15}}));

        // The grade row of 11-02 was handed in before exams were kept whole.
        auto* table = Control<QTableWidget>(&list, Ids::GradeList::IdList);
        const QTableWidgetItem* old =
            table->findItems(QStringLiteral("2026-11-02 10:30:00"), Qt::MatchExactly).value(0);
        QVERIFY(old);
        QString note;
        QList<QStringList> shown;
        bool chartShown = true;
        NextModal analysis([&](QDialog* dialog) {
            note = Ui::FindControl(dialog, Ids::GradeAnalysis::IdNote)->property("text").toString();
            shown = Shown(dialog);
            chartShown = Ui::FindControl(dialog, Ids::GradeAnalysis::IdRates)->isVisibleTo(dialog);
            dialog->reject();
        });
        const QPoint row = table->visualItemRect(old).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
        QVERIFY(analysis.Ran());
        QVERIFY(note.endsWith(Ui::LoadString(Ui::Str::AnalysisWithoutSections)));
        QCOMPARE(shown, Rows({u"总 分|85.5|120|71%|—|—"_s}));
        QVERIFY(!chartShown);
    }

    void exportCsv_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("written");
        QTest::newRow("a new file") << QStringLiteral("成绩.csv") << true;
        QTest::newRow("a folder that is not there")
            << QStringLiteral("无此文件夹/成绩.csv") << false;
    }

    void exportCsv()
    {
        SeedExams();
        QFETCH(QString, file);
        QFETCH(bool, written);
        const QString path = m_folder->Path() + QLatin1Char('/') + file;
        CGradeListDlg list;
        list.m_strName = Student;
        QVERIFY(list.OnInitDialog());
        list.m_chooseExportPath = [&](const QString&) { return path; };
        MessageBoxes boxes;
        QTest::mouseClick(Control<QPushButton>(&list, Ids::GradeList::IdExport), Qt::LeftButton);
        QCOMPARE(boxes.Texts().size(), 1);
        QFile csv(path);
        if (!written) {
            QVERIFY(boxes.Texts()[0].startsWith(QStringLiteral("成绩没有导出")));
            QVERIFY(boxes.Texts()[0].contains(path));
            QVERIFY(!csv.exists());
            return;
        }
        QCOMPARE(boxes.Texts()[0],
                 Ui::LoadString(Ui::Str::HistoryExported).arg(Student, QStringLiteral("4"), path));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(),
                 QByteArray(
                     "\xEF\xBB\xBF" // UTF-8 with a byte-order mark, for spreadsheets
                     "试题名,考试时间,总分,听力,单项填空,完形填空,阅读理解,任务型阅读,书面表达\r\n"
                     "2010年江苏高考英语试题,2026-11-02 10:30:00,85.5,,,,,,\r\n"
                     "2011年江苏高考英语试题,2026-11-05 10:00:00,25,2,1,0,2,0,20\r\n"
                     "2005年江苏高考英语试题,2026-11-07 10:00:00,23,4,0,1,0,1,17\r\n"
                     "2010年江苏高考英语试题,2026-11-09 10:00:00,33.5,3,0,1,4,1,24.5\r\n"));
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
        SeedMistakes();
        QFETCH(Filter, filter);
        QFETCH(QString, listed);
        const Notebook::Book book = Notebook::Read(Writer);
        QCOMPARE(book.exams, 3);
        QStringList entries;
        for (int i : Notebook::Select(book, filter))
            entries << (book.entries[i].paper == Paper2010 ? u"P"_s : u"M"_s) +
                           book.entries[i].number;
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
        Notebook::Entry entry{
            Paper2010, u"36"_s, u"C"_s, 2, true, {{u"2026-11-05 09:00:00"_s, u"A"_s}}, {}};
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
        SeedMistakes();
        QVERIFY(m_folder->Sql(
            u"INSERT INTO question VALUES ('%1','36','完形填空','','map','pen','song',"
            u"'book','C',1,'由 sing 可知。',1)"_s.arg(Paper2010)));
        QVERIFY(
            m_folder->Sql(u"INSERT INTO passage VALUES ('%1',1,1,'短文','','She loved to __36__.'),"
                          u"('%1',1,2,'短文','','| Why | How |')"_s.arg(Paper2010)));
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
        name->setText(Writer);
        button->click();
        QVERIFY(notebook.Ran());
        QCOMPARE(m_folder->Column(exams), before);
        QCOMPARE(Notebook::StateOf(Notebook::Read(Writer).entries[2]), Mastered);

        Control<QComboBox>(page, Ids::Exam::IdPaper)->setCurrentIndex(0);
        page->OnStart();
        QVERIFY(page->IsExamRunning() && !button->isEnabled());
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
