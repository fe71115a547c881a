#include "ExamApp.h"

#include "ExamDb.h"
#include "InstanceLock.h"
#include "MainTabDlg.h"
#include "MessageBox.h"
#include "StringTable.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

CExamApp::CExamApp(int& argc, char** argv) : QApplication(argc, argv)
{
    // Qt's own buttons and messages in Chinese: 确定, 是, 否.
    if (m_qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTranslator);
    // The icon is drawn in res/icon/ordwin.svg; the program carries it
    // rendered at the sizes window managers ask for.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/ordwin-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    Ui::InstallAppMessageBox();
}

bool CExamApp::InitInstance()
{
    // One running copy per data folder, for as long as the main window runs.
    const QString database = QString::fromUtf8(ExamDb::DatabaseFileName);
    InstanceLock lock(database);
    if (lock.Acquire() == InstanceLock::State::OtherCopy) {
        Ui::AppMessageBox(Ui::LoadString(Ui::Str::AlreadyRunning));
        return false;
    }

    CMainTabDlg dlg;
    dlg.exec();
    return false;
}
