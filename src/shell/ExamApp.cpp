#include "ExamApp.h"

#include "MainTabDlg.h"
#include "MessageBox.h"

#include <QIcon>
#include <QImageReader>
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
    // rendered at the sizes window managers ask for. The files are read as
    // PNG outright: a reader left to find the format loads every image
    // plugin installed to ask each whether it reads PNG.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        QImageReader reader(QStringLiteral(":/icons/ordwin-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    setWindowIcon(icon);
    Ui::InstallAppMessageBox();
}

bool CExamApp::InitInstance()
{
    CMainTabDlg dlg;
    dlg.exec();
    return false;
}
