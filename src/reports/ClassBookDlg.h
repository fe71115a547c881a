#pragma once

#include "ClassBook.h"

#include <QDialog>

#include <functional>

// What the student or the teacher is told when the class server did not
// serve; empty when it did (or class mode is off).
QString ClassServerMessage(const ClassServer::Settings& settings,
                           const ClassServer::Outcome& outcome);

// Asks the student, once, for their class and name in the class grade book,
// the name typed for the exam offered; what they give is kept in their own
// settings and in `settings`. False when they put it off (they are asked
// again at the next hand-in).
bool AskClassStudent(QWidget* parent, ClassServer::Settings& settings, const QString& typedName);

// The teacher's grade book: every exam of the class, the class averages by
// paper and section, the questions of a paper most of the class missed, and
// the export of the exams as CSV.
class CClassBookDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CClassBookDlg(const ClassServer::Settings& settings, QWidget* parent = nullptr);

    // Reads the book from the server; what went wrong is shown in the window.
    bool OnInitDialog();
    // Ranks the questions of the paper chosen in the list.
    void OnSelchangePaper();
    // Writes the exams as a CSV file the user picks.
    void OnExport();

    ClassServer::Settings m_settings;
    ClassBook::Book m_book;
    // Asks where to export to, given a suggested file name; an empty path
    // cancels. A save-file dialog unless replaced (tests pick the path).
    std::function<QString(const QString& suggested)> m_chooseExportPath;
};
