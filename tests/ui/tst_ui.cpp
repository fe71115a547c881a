#include "AppMessage.h"
#include "DialogTemplate.h"
#include "Exchange.h"
#include "MessageBox.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TestUi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mapDialogRect_data();
    void mapDialogRect();
    void baseUnitsFollowTheFont();
    void templateBuildsControlsById();
    void missingTemplateBuildsNothing();
    void parseInt_data();
    void parseInt();
    void exchangeIntRejectsAndKeepsValue();
    void exchangeTextLineBreaks();
    void messageCaptions();
    void cleanup();
};

void TestUi::mapDialogRect_data()
{
    QTest::addColumn<int>("cx");
    QTest::addColumn<int>("cy");
    QTest::addColumn<QRect>("du");
    QTest::addColumn<QRect>("pixels");
    // The classic 宋体 9 pt base units: 6 x 12.
    QTest::newRow("about button") << 6 << 12 << QRect(178, 7, 50, 14) << QRect(267, 11, 75, 21);
    QTest::newRow("page at 8 x 16") << 8 << 16 << QRect(0, 0, 427, 297) << QRect(0, 0, 854, 594);
    // Rounded like MulDiv: 5 * 7 / 4 = 8.75 -> 9, 3 * 7 / 8 = 2.625 -> 3.
    QTest::newRow("rounding") << 7 << 7 << QRect(5, 3, 1, 1) << QRect(9, 3, 2, 1);
}

void TestUi::mapDialogRect()
{
    QFETCH(int, cx);
    QFETCH(int, cy);
    QFETCH(QRect, du);
    QFETCH(QRect, pixels);
    QCOMPARE(Ui::MapDialogRect(Ui::BaseUnits{cx, cy}, du), pixels);
}

void TestUi::baseUnitsFollowTheFont()
{
    const Ui::BaseUnits small = Ui::DialogBaseUnits(Ui::DialogFont(QStringLiteral("宋体"), 9));
    const Ui::BaseUnits large = Ui::DialogBaseUnits(Ui::DialogFont(QStringLiteral("宋体"), 12));
    QVERIFY(small.cx > 0 && small.cy > 0);
    QVERIFY(large.cx >= small.cx);
    QVERIFY(large.cy > small.cy);
}

void TestUi::templateBuildsControlsById()
{
    QDialog dialog;
    QVERIFY(Ui::ApplyTemplate(&dialog, 100));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("关于 Ordwin"));
    auto* ok = Ui::Control<QPushButton>(&dialog, 1);
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    QVERIFY(ok->isDefault());
    const Ui::BaseUnits units = Ui::DialogBaseUnits(dialog.font());
    QCOMPARE(ok->geometry(), Ui::MapDialogRect(units, QRect(178, 7, 50, 14)));
    QCOMPARE(dialog.size(), Ui::MapDialogRect(units, QRect(0, 0, 235, 55)).size());
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    const auto version = std::find_if(labels.begin(), labels.end(), [](QLabel* l) {
        return l->text() == QStringLiteral("Ordwin 1.0 版");
    });
    QVERIFY(version != labels.end());
    // Its 8-unit box grew to a whole line of the font, so the text is not cut.
    QVERIFY((*version)->height() >= (*version)->fontMetrics().height());
}

void TestUi::missingTemplateBuildsNothing()
{
    QDialog dialog;
    QVERIFY(!Ui::ApplyTemplate(&dialog, 4242));
    QVERIFY(dialog.children().isEmpty());
}

void TestUi::parseInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QStringLiteral("120") << true << 120;
    QTest::newRow("blanks around") << QStringLiteral("  90 ") << true << 90;
    QTest::newRow("negative") << QStringLiteral("-5") << true << -5;
    QTest::newRow("plus") << QStringLiteral("+7") << true << 7;
    QTest::newRow("int max") << QStringLiteral("2147483647") << true << 2147483647;
    QTest::newRow("int min") << QStringLiteral("-2147483648") << true << int(-2147483647 - 1);
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("letters") << QStringLiteral("abc") << false << 0;
    QTest::newRow("trailing letters") << QStringLiteral("12a") << false << 0;
    QTest::newRow("fraction") << QStringLiteral("1.5") << false << 0;
    QTest::newRow("sign only") << QStringLiteral("-") << false << 0;
    QTest::newRow("too large") << QStringLiteral("2147483648") << false << 0;
    QTest::newRow("far too large") << QStringLiteral("99999999999999999999999") << false << 0;
    QTest::newRow("full-width digits") << QStringLiteral("１２０") << false << 0;
}

void TestUi::parseInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int parsed = 4711;
    QCOMPARE(Ui::ParseInt(text, parsed), ok);
    QCOMPARE(parsed, ok ? value : 4711);
}

void TestUi::exchangeIntRejectsAndKeepsValue()
{
    QLineEdit edit;
    edit.setText(QStringLiteral("abc"));
    int minutes = 120;
    ModalAnswer answer;
    QVERIFY(!Ui::ExchangeInt(true, &edit, minutes));
    QVERIFY(answer.Seen().seen);
    QCOMPARE(answer.Seen().text, QStringLiteral("请输入一个整数。"));
    QCOMPARE(answer.Seen().title, QCoreApplication::applicationName());
    QCOMPARE(minutes, 120);

    edit.setText(QStringLiteral(" 45"));
    QVERIFY(Ui::ExchangeInt(true, &edit, minutes));
    QCOMPARE(minutes, 45);
    minutes = 7;
    QVERIFY(Ui::ExchangeInt(false, &edit, minutes));
    QCOMPARE(edit.text(), QStringLiteral("7"));
}

void TestUi::exchangeTextLineBreaks()
{
    QPlainTextEdit edit;
    QString member = QStringLiteral("Dear Tom,\r\nI am fine.\r\n");
    Ui::ExchangeText(false, &edit, member);
    QCOMPARE(edit.toPlainText(), QStringLiteral("Dear Tom,\nI am fine.\n"));
    edit.setPlainText(QStringLiteral("line one\nline two"));
    Ui::ExchangeText(true, &edit, member);
    QCOMPARE(member, QStringLiteral("line one\r\nline two"));
}

void TestUi::messageCaptions()
{
    {
        ModalAnswer answer;
        Ui::Prompt(nullptr, QStringLiteral("请选择考试题目！"));
        QCOMPARE(answer.Seen().title, QStringLiteral("温馨提示"));
        QCOMPARE(answer.Seen().text, QStringLiteral("请选择考试题目！"));
    }
    {
        ModalAnswer answer(QMessageBox::No);
        QVERIFY(!Ui::Ask(nullptr, QStringLiteral("作文未提交，是否提交？")));
        QVERIFY(answer.Seen().seen);
    }
    {
        ModalAnswer answer(QMessageBox::Yes);
        QVERIFY(Ui::Ask(nullptr, QStringLiteral("作文未提交，是否提交？")));
    }
    {
        ModalAnswer answer;
        Ui::InstallAppMessageBox();
        AppMessage::Show(QStringLiteral("数据库错误: test"));
        AppMessage::SetHandler({});
        QCOMPARE(answer.Seen().title, QCoreApplication::applicationName());
        QCOMPARE(answer.Seen().text, QStringLiteral("数据库错误: test"));
    }
}

void TestUi::cleanup()
{
    // No test leaves a window behind.
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(),
                             QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
}

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
