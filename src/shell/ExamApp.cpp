#include "ExamApp.h"

#include "ClassBookDlg.h"
#include "ClassSync.h"

#include "ExamDb.h"
#include "ExamRecord.h"
#include "InstanceLock.h"
#include "KeptExam.h"
#include "MainTabDlg.h"
#include "MessageBox.h"
#include "StringTable.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>

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
    // The installed desktop entry, so that desktops match the windows to it.
    setDesktopFileName(QStringLiteral("com.calvreth.Ordwin"));
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
    // A database that cannot serve is named once; the texts can still be read.
    const StoreCheck::Finding store = StoreCheck::Check(database);
    const QString problem = StoreCheckMessage(store, database);
    if (!problem.isEmpty())
        Ui::AppMessageBox(problem);
    bool keeps = false;
    if (problem.isEmpty()) {
        // A word.mdb from before exams were kept, or taken up, gets their tables.
        const QStringList& own = store.ownTables;
        if (!own.contains(QLatin1String("exam")) || !own.contains(QLatin1String("exam_answer")))
            EnsureExamTables();
        if (!own.contains(QLatin1String("running_exam")))
            KeptExam::EnsureTable();
        keeps = store.examKept;
    }

    CMainTabDlg dlg;
    // The exam left running last time is offered over the open window.
    if (keeps)
        QTimer::singleShot(0, &dlg, [&dlg] { dlg.OfferKeptExam(); });
    ClassSync classSync(&dlg);
    dlg.exec();
    return false;
}

void CExamApp::RunTeacher()
{
    CClassBookDlg book(ClassServer::Load());
    book.exec();
}

QString StoreCheckMessage(const StoreCheck::Finding& finding, const QString& path)
{
    using StoreCheck::Problem;
    const QString file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QString text;
    switch (finding.problem) {
    case Problem::None:
        return {};
    case Problem::Missing:
        text = Ui::LoadString(Ui::Str::StoreMissing).arg(file);
        break;
    case Problem::Unreadable:
        text = Ui::LoadString(Ui::Str::StoreUnreadable).arg(file, finding.detail);
        break;
    case Problem::NotADatabase:
        text = Ui::LoadString(Ui::Str::StoreNotADatabase).arg(file);
        break;
    case Problem::Damaged:
        text = Ui::LoadString(Ui::Str::StoreDamaged).arg(file, finding.detail);
        break;
    case Problem::MissingTable:
        text = Ui::LoadString(Ui::Str::StoreMissingTable).arg(file, finding.table);
        break;
    case Problem::MissingColumn:
        text = Ui::LoadString(Ui::Str::StoreMissingColumn).arg(file, finding.table, finding.column);
        break;
    case Problem::ReadOnly:
        text = Ui::LoadString(Ui::Str::StoreReadOnly).arg(file);
        break;
    }
    return text + QLatin1String("\n\n") + Ui::LoadString(Ui::Str::StoreStillOpens);
}
