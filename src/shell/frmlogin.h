// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The logon dialog: a user name and a password, checked against the one password the program
// knows. Three wrong passwords end the program.

#include <QDialog>
#include <array>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class frmLogin : public QDialog
{
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);

    // Controls, named as in the design.
    std::array<QLabel*, 2> lblLabels {};
    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // True once the right password was given.
    bool LoginSucceeded = false;

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Design sizes, in twips.
    static constexpr int kClientWidth = 3750;
    static constexpr int kClientHeight = 1545;
    // Wrong passwords allowed before the program gives up.
    static constexpr std::int32_t kMaxErrors = 3;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::int32_t ErrCount = 0;
};
