#pragma once

#include "StoreCheck.h"

#include <QApplication>
#include <QTranslator>

// The application object: sets up fonts, Qt's Chinese texts, the icon and the
// application message box, then runs the main window.
class CExamApp : public QApplication
{
    Q_OBJECT
public:
    CExamApp(int& argc, char** argv);

    // Runs the main window modally; returns false: the program ends when the
    // main window closes. Before it: a second copy on the same data folder
    // says so and ends; a database that cannot serve is named, once, and the
    // window opens all the same.
    bool InitInstance();
    // The teacher's grade book of the configured class server, modally.
    void RunTeacher();

private:
    QTranslator m_qtTranslator;
};

// What the student is told about a database file that cannot serve; empty
// when it can.
QString StoreCheckMessage(const StoreCheck::Finding& finding, const QString& path);
