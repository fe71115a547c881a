// The main window, Qt's own texts in Chinese, and the program installed.

#include "AboutDlg.h"
#include "ExamApp.h"
#include "ExamPage.h"
#include "MainTabDlg.h"
#include "TabControl.h"
#include "TestSupport.h"
#include "TextPages.h"
#include "TextResource.h"

#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Pages are only hidden, never rebuilt, so the exam page keeps its state.
    void tabsAndMenu()
    {
        CMainTabDlg dlg;
        dlg.show();
        QVERIFY(dlg.windowTitle().startsWith(QStringLiteral("Calvreth ")));
        QVERIFY(dlg.windowTitle().endsWith(QStringLiteral("——江苏省Pellarin")));
        QTabBar* bar = dlg.m_tab->TabBar();
        QCOMPARE((QStringList{bar->tabText(0), bar->tabText(1), bar->tabText(2)}),
                 (QStringList{u"前言"_s, u"软件使用说明"_s, u"Pellarin"_s}));
        QCOMPARE(dlg.m_pagePreface->findChild<QPlainTextEdit*>()->toPlainText(),
                 LoadTextResource(TextId::Preface));
        QCOMPARE(dlg.m_pageUsage->findChild<QPlainTextEdit*>()->toPlainText(),
                 LoadTextResource(TextId::Usage, TextCap::Usage));
        const QPointer<QWidget> exam = dlg.m_pageExam;
        dlg.m_pageExam->m_strName = QStringLiteral("kept");
        const QList<QWidget*> pages{dlg.m_pagePreface, dlg.m_pageUsage, dlg.m_pageExam};
        // The preface at start; a selection out of range keeps the page shown.
        for (const auto& [selection, shown] :
             {std::pair{-1, 0}, {1, 1}, {2, 2}, {0, 0}, {2, 2}, {-1, 2}, {3, 2}, {1000, 2}}) {
            dlg.ShowPageOf(selection);
            for (int i = 0; i < pages.size(); ++i)
                QCOMPARE(pages[i]->isVisible(), i == shown);
        }
        for (QWidget* page : pages)
            QCOMPARE(page->parentWidget(), dlg.m_tab);
        QCOMPARE(exam.data(), static_cast<QWidget*>(dlg.m_pageExam));
        QCOMPARE(dlg.m_pageExam->m_strName, QStringLiteral("kept"));

        const QList<QAction*> actions = dlg.actions();
        QCOMPARE(actions.size(), 2);
        QVERIFY(actions[0]->isSeparator());
        QCOMPARE(actions[1]->text(), QStringLiteral("关于 Ordwin(&A)..."));
        QString title;
        NextModal about([&](QDialog* box) {
            QVERIFY(qobject_cast<CAboutDlg*>(box));
            title = box->windowTitle();
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
        });
        actions[1]->trigger();
        QVERIFY(about.Ran());
        QCOMPARE(title, QStringLiteral("关于 Ordwin"));
        QVERIFY(dlg.isVisible());
        QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(u"是"_s));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(u"否"_s));
    }

    // Installed into a DESTDIR with the prefix /usr and started from an
    // unrelated folder, it finds its content and makes the user's data folder.
    void installedProgramStarts()
    {
        QTemporaryDir root;
        const QString usr = root.filePath(u"dest/usr"_s), elsewhere = root.filePath(u"elsewhere"_s);
        QVERIFY(root.isValid() && QDir().mkpath(elsewhere));
        // The variables are the program's too: this is the suite's last test.
        qputenv("DESTDIR", root.filePath(u"dest"_s).toLocal8Bit());
        qputenv("HOME", root.filePath(u"home"_s).toLocal8Bit());
        qputenv("XDG_DATA_HOME", root.filePath(u"home/.local/share"_s).toLocal8Bit());
        QCOMPARE(QProcess::execute(
                     QStringLiteral(ORDWIN_CMAKE),
                     {u"--install"_s, QStringLiteral(ORDWIN_BUILD_DIR), u"--prefix"_s, u"/usr"_s}),
                 0);

        const QDir share(usr + u"/share"_s);
        QVERIFY(QFileInfo(usr + u"/bin/ordwin"_s).isExecutable());
        QCOMPARE(
            DatabaseColumn(share.filePath(u"ordwin/word.mdb"_s), u"SELECT COUNT(*) FROM grades"_s),
            QStringList{u"0"_s});
        for (const char* file :
             {"ordwin/etp/2010年江苏高考英语试题.doc", "ordwin/elm/2010年江苏高考听力.mp3",
              "applications/com.calvreth.Ordwin.desktop",
              "metainfo/com.calvreth.Ordwin.metainfo.xml",
              "icons/hicolor/scalable/apps/com.calvreth.Ordwin.svg",
              "icons/hicolor/48x48/apps/com.calvreth.Ordwin.png"})
            QVERIFY2(QFileInfo::exists(share.filePath(QString::fromUtf8(file))), file);

        QProcess ordwin;
        ordwin.setWorkingDirectory(elsewhere);
        ordwin.start(usr + u"/bin/ordwin"_s);
        QVERIFY(ordwin.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            QFileInfo::exists(root.filePath(u"home/.local/share/Calvreth/Ordwin/word.mdb"_s)),
            30000);
        QTest::qWait(500);
        QCOMPARE(ordwin.state(), QProcess::Running);
        ordwin.kill();
        ordwin.waitForFinished();
        QVERIFY(QDir(elsewhere).isEmpty());
    }
};

int main(int argc, char* argv[])
{
    CExamApp app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
