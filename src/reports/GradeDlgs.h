#pragma once

#include "ClassServer.h"
#include "Progress.h"

#include <QDialog>

#include <functional>

// The grade history: a query for a student's name, then the list of that
// student's handed-in exams.
class CGradeQueryDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CGradeQueryDlg(QWidget* parent = nullptr);

    void UpdateData(bool save);
    void OnQuery();

    QString m_strName;
};

class CGradeListDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CGradeListDlg(QWidget* parent = nullptr);

    // Fills the list and runs the dialog; a name without grades is told so
    // and the list is not shown.
    int DoModal();
    bool OnInitDialog();
    void UpdateData(bool save);

    // The analysis of the exam of list row `row`; -1 (nothing chosen) stands
    // for the latest exam.
    void OnAnalysis(int row = -1);
    // Writes the history as a CSV file the user picks.
    void OnExport();

    QString m_strName;
    QString m_strTitle = QStringLiteral("同学历次考试成绩表");
    // With a class server configured the history comes from there (every
    // seat's exams); when it cannot be read, from this computer, with a note.
    ClassServer::Settings m_classServer;
    // The name's exams in the order they were sat, for the charts, the
    // analysis and the export.
    Progress::History m_history;
    // Asks where to export to, given a suggested file name; an empty path
    // cancels. A save-file dialog unless replaced (tests pick the path).
    std::function<QString(const QString& suggested)> m_chooseExportPath;
};

// The answers recorded so far for a paper, three questions to a row. A
// modeless window, released when it is closed.
class CAnswerListDlg : public QDialog
{
    Q_OBJECT
public:
    CAnswerListDlg(const QString& paper, QWidget* parent = nullptr);

    bool OnInitDialog();

    int m_nRow = 0;
    QString m_strPaper;
};
