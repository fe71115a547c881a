#pragma once

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
    // main window closes. Before it, a second copy on the same data folder
    // says so and ends.
    bool InitInstance();

private:
    QTranslator m_qtTranslator;
};
