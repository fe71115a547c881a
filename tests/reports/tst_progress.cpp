// A student's progress on a seeded history: the analysis of an exam, the grade
// list's trend and its export.

#include "DialogIds.h"
#include "DialogTemplate.h"
#include "ExamRecord.h"
#include "GradeDlgs.h"
#include "Progress.h"
#include "ProgressDlgs.h"
#include "ReportList.h"
#include "StringTable.h"
#include "TestSupport.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Name = QStringLiteral("李明");
const QString Paper2010 = QStringLiteral("2010年江苏高考英语试题");

// An exam of Name handed in: its grade row and its record, with the points of
// the questions named (题号 and 得分), every other question unanswered.
void Sit(const QString& paper, const QString& time,
         std::initializer_list<std::pair<const char*, qint16>> points, double essay)
{
    ExamRecord exam{paper, time, Name, 0.0, {essay, {}, {}, {}}, {}};
    for (const auto& [number, earned] : points) {
        exam.answers.append({QLatin1String(number), u"A"_s, u"A"_s, earned, earned});
        exam.objective += earned;
    }
    QCOMPARE(ExamDb::WriteKeyed([&](ExamDb::Connection& db) {
                 db.Exec(Sql::InsertGrade, {paper, time, Name, exam.objective + essay});
                 ExamRecord::Write(db, exam);
             }),
             ExamDb::Result::Done);
}

// Table rows written as "cell|cell|...".
QList<QStringList> Rows(const QStringList& lines)
{
    QList<QStringList> rows;
    for (const QString& line : lines)
        rows << line.split(QLatin1Char('|'));
    return rows;
}

QList<QStringList> Table(QDialog* dialog)
{
    return Ui::ReportListRows(Ui::Control<QTableWidget>(dialog, Ids::GradeAnalysis::IdList));
}

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT
    std::unique_ptr<ProgramFolder> m_folder;

private Q_SLOTS:
    // Besides the test database's grade row of 2026-11-02 (85.5, not kept whole):
    // three kept exams, one of them on a paper no longer listed.
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->IsValid());
        Sit(QStringLiteral("2011年江苏高考英语试题"), QStringLiteral("2026-11-05 10:00:00"),
            {{"01", 1}, {"20", 1}, {"21", 1}, {"56", 2}}, 20);
        Sit(QStringLiteral("2005年江苏高考英语试题"), QStringLiteral("2026-11-07 10:00:00"),
            {{"01", 1}, {"02", 1}, {"03", 1}, {"04", 1}, {"36", 1}, {"71", 1}}, 17);
        Sit(Paper2010, QStringLiteral("2026-11-09 10:00:00"),
            {{"01", 1}, {"02", 1}, {"03", 1}, {"36", 1}, {"56", 2}, {"57", 2}, {"71", 1}}, 24.5);
    }

    void cleanup()
    {
        m_folder.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    void analysisOfTheLatestExam()
    {
        MessageBoxes boxes(QMessageBox::Yes);
        QList<QStringList> table;
        QList<qreal> bars;
        NextModal analysis([&](QDialog* dialog) {
            table = Table(dialog);
            const auto* series = static_cast<QBarSeries*>(
                dialog->findChild<QChartView*>()->chart()->series().value(0));
            for (int i = 0; i < series->barSets().value(0)->count(); ++i)
                bars << series->barSets().value(0)->at(i);
            dialog->reject();
        });
        OfferGradeAnalysis(nullptr, Name, Paper2010);
        QVERIFY(analysis.Ran());
        QCOMPARE(boxes.Texts(), QStringList{Ui::LoadString(Ui::Str::OfferAnalysis)});
        // Averages over the exams of 11-05 and 11-07; the total's over every earlier one.
        QCOMPARE(table, Rows({u"听力|3|20|15%|3|0"_s, u"单项填空|0|15|0%|0.5|-0.5"_s,
                              u"完形填空|1|20|5%|0.5|+0.5"_s, u"阅读理解|4|30|13%|1|+3"_s,
                              u"任务型阅读|1|10|10%|0.5|+0.5"_s, u"书面表达|24.5|25|98%|18.5|+6"_s,
                              u"总 分|33.5|120|28%|44.5|-11"_s}));
        const QList<qreal> rates{15, 0, 5, 400.0 / 30, 10, 98};
        QCOMPARE(bars.size(), rates.size());
        for (int i = 0; i < rates.size(); ++i)
            QCOMPARE(bars[i], rates[i]);
    }

    void gradeListTrend()
    {
        CGradeListDlg list;
        list.m_strName = Name;
        QVERIFY(list.OnInitDialog());
        list.show();
        const auto series = [&](const char* view, int n) {
            const auto* chart = list.findChild<QChartView*>(QLatin1String(view))->chart();
            return static_cast<QLineSeries*>(chart->series().value(n));
        };
        const auto line = [&](const char* view, int n) { return series(view, n)->points(); };
        QCOMPARE(line("totals", 0), (QList<QPointF>{{1, 85.5}, {2, 25}, {3, 23}, {4, 33.5}}));
        // Hovering the line near the third exam names it.
        Q_EMIT series("totals", 0)->hovered(QPointF(3.3, 26), true);
        QCOMPARE(QToolTip::text(), u"2005年江苏高考英语试题\n2026-11-07 10:00:00\n总分：23"_s);
        Ui::Control<QComboBox>(&list, Ids::GradeList::IdTrendView)->setCurrentIndex(1);
        // Listening, in percent: the first exam was not kept whole.
        QCOMPARE(line("sectionRates", 0), (QList<QPointF>{{2, 10}, {3, 20}, {4, 15}}));

        // The grade row of 11-02 was handed in before exams were kept whole.
        auto* table = Ui::Control<QTableWidget>(&list, Ids::GradeList::IdList);
        const QTableWidgetItem* old =
            table->findItems(QStringLiteral("2026-11-02 10:30:00"), Qt::MatchExactly).value(0);
        QVERIFY(old);
        QString note;
        QList<QStringList> shown;
        bool chartShown = true;
        NextModal analysis([&](QDialog* dialog) {
            note = Ui::FindControl(dialog, Ids::GradeAnalysis::IdNote)->property("text").toString();
            shown = Table(dialog);
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
        QFETCH(QString, file);
        QFETCH(bool, written);
        const QString path = m_folder->Path() + QLatin1Char('/') + file;
        CGradeListDlg list;
        list.m_strName = Name;
        QVERIFY(list.OnInitDialog());
        list.m_chooseExportPath = [&](const QString&) { return path; };
        MessageBoxes boxes;
        QTest::mouseClick(Ui::Control<QPushButton>(&list, Ids::GradeList::IdExport),
                          Qt::LeftButton);
        QCOMPARE(boxes.Texts().size(), 1);
        QFile csv(path);
        if (!written) {
            QVERIFY(boxes.Texts()[0].startsWith(QStringLiteral("成绩没有导出")));
            QVERIFY(boxes.Texts()[0].contains(path));
            QVERIFY(!csv.exists());
            return;
        }
        QCOMPARE(boxes.Texts()[0],
                 Ui::LoadString(Ui::Str::HistoryExported).arg(Name, QStringLiteral("4"), path));
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
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
