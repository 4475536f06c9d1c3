// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"
#include "fonts.h"
#include "frmlogin.h"
#include "twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kWrongText = QStringLiteral("ﾊﾟｽﾜｰﾄﾞが正しくありません。もう一度入力してください !");
const QString kWrongTitle = QStringLiteral("ﾛｸﾞｵﾝ");

// The focusable controls in the order Tab visits them, starting at first.
QList<QWidget*> tabChain(QWidget* first)
{
    QList<QWidget*> chain;
    QWidget* w = first;
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w;
        w = w->nextInFocusChain();
    } while (w != first);
    return chain;
}

void tryPassword(frmLogin& w, const QString& password)
{
    w.txtPassword->setText(password);
    w.cmdOK->click();
}

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::registerFontSubstitutions(); }
    void caption();
    void controls_data();
    void controls();
    void tabOrderAndBuddies();
    void passwordBox();
    void password_data();
    void password();
    void enterPressesOk();
    void failureMessages();
    void thirdFailureEndsProgram();
    void rightPasswordAfterTwoWrong();
    void refused_data();
    void refused();
    void wrongEntrySelectsPassword();
    void altUMovesToUserName();
};

void TestLogin::caption()
{
    FakeHost host;
    frmLogin w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Logon - Tabi Dori"));
}

void TestLogin::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipRect");
    QTest::addColumn<QString>("text");
    QTest::newRow("lblLabels_0") << "lblLabels_0" << QRect(105, 150, 1080, 270) << "&User";
    QTest::newRow("txtUserName") << "txtUserName" << QRect(1290, 135, 2325, 345) << "guest";
    QTest::newRow("lblLabels_1") << "lblLabels_1" << QRect(105, 540, 1080, 270) << "&Password";
    QTest::newRow("txtPassword") << "txtPassword" << QRect(1290, 525, 2325, 345) << "hanabira";
    QTest::newRow("cmdOK") << "cmdOK" << QRect(495, 1020, 1140, 390) << "&OK";
    QTest::newRow("cmdCancel") << "cmdCancel" << QRect(2100, 1020, 1140, 390) << "&Cancel";
}

void TestLogin::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipRect);
    QFETCH(QString, text);
    FakeHost host;
    frmLogin w;
    w.show();
    QCOMPARE(w.size(), twips::size(frmLogin::kClientWidth, frmLogin::kClientHeight));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);

    auto* control = w.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(),
             twips::rect(twipRect.x(), twipRect.y(), twipRect.width(), twipRect.height()));
    QCOMPARE(control->property("text").toString(), text);
    QVERIFY(control->isVisible());
}

void TestLogin::tabOrderAndBuddies()
{
    FakeHost host;
    frmLogin w;
    QCOMPARE(tabChain(w.txtUserName),
             (QList<QWidget*> {w.txtUserName, w.txtPassword, w.cmdOK, w.cmdCancel}));
    QCOMPARE(w.lblLabels[0]->buddy(), w.txtUserName);
    QCOMPARE(w.lblLabels[1]->buddy(), w.txtPassword);
    QVERIFY(w.cmdOK->isDefault());
    QVERIFY(!w.cmdCancel->isDefault());
}

void TestLogin::passwordBox()
{
    FakeHost host;
    frmLogin w;
    QCOMPARE(w.txtPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(w.txtPassword->displayText(), QStringLiteral("********"));
    QVERIFY(!w.txtPassword->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(w.txtPassword->inputMethodHints() & Qt::ImhHiddenText);
    QVERIFY(w.txtPassword->inputMethodHints() & Qt::ImhLatinOnly);
    // The user name is ordinary text.
    QCOMPARE(w.txtUserName->echoMode(), QLineEdit::Normal);
}

void TestLogin::password_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("prefilled") << "guest"
                               << "hanabira" << true;
    QTest::newRow("empty user") << ""
                                << "hanabira" << true;
    QTest::newRow("any user") << "Administrator ユーザー"
                              << "hanabira" << true;
    QTest::newRow("capital") << "guest"
                             << "Hanabira" << false;
    QTest::newRow("leading blank") << "guest"
                                   << " hanabira" << false;
    QTest::newRow("trailing blank") << "guest"
                                    << "hanabira " << false;
    QTest::newRow("full width") << "guest"
                                << "ｈａｎａｂｉｒａ" << false;
    QTest::newRow("empty") << "guest"
                           << "" << false;
    QTest::newRow("prefix") << "guest"
                            << "hanabir" << false;
    QTest::newRow("user name as password") << "hanabira"
                                           << "guest" << false;
}

void TestLogin::password()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    FakeHost host;
    frmLogin w;
    w.show();
    w.txtUserName->setText(user);
    tryPassword(w, password);

    QCOMPARE(w.LoginSucceeded, accepted);
    QCOMPARE(w.isVisible(), !accepted);
    if (accepted)
        QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(int(host.messages.size()), accepted ? 0 : 1);
    QCOMPARE(host.endCalls, 0);
}

void TestLogin::enterPressesOk()
{
    FakeHost host;
    frmLogin w;
    w.show();
    QTest::keyClick(w.txtPassword, Qt::Key_Return);
    QVERIFY(w.LoginSucceeded);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
}

void TestLogin::failureMessages()
{
    FakeHost host;
    frmLogin w;
    w.show();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        tryPassword(w, QStringLiteral("sakura"));
        QCOMPARE(int(host.messages.size()), attempt);
        const FakeHost::Message& m = host.messages.back();
        QCOMPARE(m.text, kWrongText);
        QCOMPARE(m.title, kWrongTitle);
        QCOMPARE(m.buttons, platform::Buttons::Ok);
        QCOMPARE(m.icon, platform::Icon::None);
        QVERIFY(w.isVisible());
        QVERIFY(!w.LoginSucceeded);
    }
    QCOMPARE(host.endCalls, 0);
}

void TestLogin::thirdFailureEndsProgram()
{
    FakeHost host;
    frmLogin w;
    w.show();
    for (int attempt = 0; attempt < 3; ++attempt)
        tryPassword(w, QStringLiteral("sakura"));
    QCOMPARE(host.endCalls, 1);
    QCOMPARE(int(host.messages.size()), 2);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QVERIFY(!w.LoginSucceeded);
}

void TestLogin::rightPasswordAfterTwoWrong()
{
    FakeHost host;
    frmLogin w;
    w.show();
    tryPassword(w, QStringLiteral("sakura"));
    tryPassword(w, QStringLiteral("HANABIRA"));
    tryPassword(w, QStringLiteral("hanabira"));
    QVERIFY(w.LoginSucceeded);
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(host.endCalls, 0);
    QCOMPARE(int(host.messages.size()), 2);
}

void TestLogin::refused_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("Esc key") << 1;
    QTest::newRow("close box") << 2;
}

void TestLogin::refused()
{
    QFETCH(int, how);
    FakeHost host;
    frmLogin w;
    w.show();
    // Even a right password in the box does not log on.
    if (how == 0)
        w.cmdCancel->click();
    else if (how == 1)
        QTest::keyClick(w.txtPassword, Qt::Key_Escape);
    else
        w.close();
    QVERIFY(!w.LoginSucceeded);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QCOMPARE(int(host.messages.size()), 0);
    QCOMPARE(host.endCalls, 0);
}

void TestLogin::wrongEntrySelectsPassword()
{
    FakeHost host;
    frmLogin w;
    w.show();
    w.cmdOK->setFocus();
    tryPassword(w, QStringLiteral("momiji"));
    QCOMPARE(w.focusWidget(), w.txtPassword);
    QCOMPARE(w.txtPassword->selectedText(), QStringLiteral("momiji"));
    QCOMPARE(w.txtPassword->selectionStart(), 0);
}

void TestLogin::altUMovesToUserName()
{
    FakeHost host;
    frmLogin w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.cmdCancel->setFocus();
    QTest::keyClick(&w, Qt::Key_U, Qt::AltModifier);
    QCOMPARE(w.focusWidget(), w.txtUserName);
    QTest::keyClick(&w, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(w.focusWidget(), w.txtPassword);
}

QTEST_MAIN(TestLogin)
#include "test_login.moc"
