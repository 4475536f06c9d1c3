// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmlogin.h"
#include "host.h"
#include "lib_util.h"
#include "placement.h"
#include "twips.h"
#include "versioninfo.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QShowEvent>

namespace {

const QString kPassword = QStringLiteral("hanabira");

// Masks the password with asterisks whatever the desktop style would draw.
class AsteriskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

frmLogin::frmLogin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    // Fixed dialog border: a close box, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips::size(kClientWidth, kClientHeight));
    setSizeGripEnabled(false);

    // Created in tab order, which is also the focus chain.
    lblLabels[0] = new QLabel(QStringLiteral("&User"), this);
    lblLabels[0]->setObjectName(QStringLiteral("lblLabels_0"));
    lblLabels[0]->setGeometry(twips::rect(105, 150, 1080, 270));

    txtUserName = new QLineEdit(QStringLiteral("guest"), this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtUserName->setGeometry(twips::rect(1290, 135, 2325, 345));

    lblLabels[1] = new QLabel(QStringLiteral("&Password"), this);
    lblLabels[1]->setObjectName(QStringLiteral("lblLabels_1"));
    lblLabels[1]->setGeometry(twips::rect(105, 540, 1080, 270));

    txtPassword = new QLineEdit(kPassword, this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setGeometry(twips::rect(1290, 525, 2325, 345));
    auto* asterisks = new AsteriskStyle;
    asterisks->setParent(txtPassword);
    txtPassword->setStyle(asterisks);
    txtPassword->setEchoMode(QLineEdit::Password);
    // A password is typed as plain letters: no input method composes it.
    txtPassword->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtPassword->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhLatinOnly);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips::rect(495, 1020, 1140, 390));
    cmdOK->setDefault(true);

    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twips::rect(2100, 1020, 1140, 390));
    cmdCancel->setAutoDefault(false);

    lblLabels[0]->setBuddy(txtUserName);
    lblLabels[1]->setBuddy(txtPassword);
    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);

    Form_Load();
}

void frmLogin::Form_Load()
{
    setWindowTitle(QStringLiteral("Logon - ") + platform::versionInfo().productName);
}

void frmLogin::cmdOK_Click()
{
    // Exact comparison: case, blanks and character width all count.
    if (txtPassword->text() == kPassword) {
        LoginSucceeded = true;
        accept();
        return;
    }

    IncrementValue(ErrCount);
    if (ErrCount >= kMaxErrors) {
        platform::host().endProgram();
        reject();
        return;
    }
    platform::messageBox(QStringLiteral("ﾊﾟｽﾜｰﾄﾞが正しくありません。もう一度入力してください !"),
                         platform::Buttons::Ok, platform::Icon::None, QStringLiteral("ﾛｸﾞｵﾝ"));
    // Ready for the next try: typing replaces the wrong password.
    txtPassword->setFocus(Qt::OtherFocusReason);
    txtPassword->selectAll();
}

void frmLogin::cmdCancel_Click()
{
    LoginSucceeded = false;
    reject();
}

void frmLogin::keyPressEvent(QKeyEvent* event)
{
    // Esc is the Cancel button's key; the close box rejects without it and changes nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmLogin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const std::optional<QRect> frame = platform::CentredFrame(frameGeometry(), this, nullptr))
        move(frame->topLeft());
}
