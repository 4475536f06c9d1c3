// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The splash window shown while the program starts: the logo, the product's name and version,
// the copyright. Any character key or a click on its background closes it.

#include <QFrame>
#include <QIcon>

class QLabel;

// "Version 1.0": the major and minor numbers as plain decimals.
QString SplashVersionText(int major, int minor);
// The line that names the system the program runs on ("For Linux").
QString SplashPlatformText();
// Sizes label to its text, keeping its top left corner. A text that would reach past right
// (pixels, in the parent's coordinates) is set in a smaller font, down to minPixelSize.
void FitLabel(QLabel* label, int right, int minPixelSize = 10);

class frmSplash : public QFrame
{
    Q_OBJECT
public:
    // logo is the main window's icon; the largest picture it holds is shown.
    explicit frmSplash(const QIcon& logo, QWidget* parent = nullptr);

    // Controls, named as in the design. Every label and the logo sit in Frame1.
    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblLicenseTo = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblWarning = nullptr;

    void Form_Load();
    void Form_KeyPress(int keyAscii);
    void Frame1_Click();
    // Closes the window; nothing happens when it is closed already.
    void Unload();

    // Design sizes, in twips.
    static constexpr int kClientWidth = 7380;
    static constexpr int kClientHeight = 4245;
    // Labels end this far inside the right edge of Frame1.
    static constexpr int kFrameRightMargin = 105;
    // Text colour of the product name: the classic desktop blue.
    static constexpr QRgb kDesktopColour = qRgb(58, 110, 165);

signals:
    // Sent once each time the window closes, however it was closed.
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QIcon logo_;
    bool unloaded_ = false;
    bool framePressed_ = false; // a click began on the frame's own surface
};
