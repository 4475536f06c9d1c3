// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plate style dialog: picks one of the station plate designs. Every opening starts afresh;
// only OK changes the chosen style.

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

class QGroupBox;
class QPushButton;
class QRadioButton;

// The chosen plate design, 0 to 8; written only by the dialog's OK.
extern std::int32_t gPlateStyle;
// Puts gPlateStyle back to its start value (for tests).
void ResetPlateStyle();

class frmOptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit frmOptionDialog(QWidget* owner = nullptr);

    // Opens a new dialog over owner and returns when it has been closed.
    static void showModal(QWidget* owner);

    // Controls, named as in the design.
    QGroupBox* fraPlate = nullptr;
    std::array<QRadioButton*, 9> Option2 {};
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The option clicked last, as kept in the tag of Option2(0) ("" until a click).
    QString optionTag() const;

    void Option2_Click(int index);
    void OKButton_Click();
    void CancelButton_Click();

    // Design sizes, in twips.
    static constexpr int kClientWidth = 3945;
    static constexpr int kClientHeight = 1830;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
