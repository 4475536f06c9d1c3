// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The score detail window: the report of the last game in a fixed-pitch text box, a signal
// that shows how well it went, and a button that closes it.

#include <QDialog>
#include <QImage>
#include <array>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The 16 x 16 signal picture of a grade: 0 red (bottom lamp), 1 yellow (middle lamp),
// 2 green (top lamp). Grades outside 0 to 2 show every lamp unlit.
QImage SignalImage(int grade);

class frmScoreList : public QDialog
{
    Q_OBJECT
public:
    explicit frmScoreList(QWidget* parent = nullptr);

    // Controls, named as in the design.
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QLabel*, 3> imgSignal {};

    // Shown above "&Ok" when the caller offers the review of the game: pressing it closes the
    // window and leaves reviewRequested() true.
    QPushButton* cmdReview = nullptr;
    void offerReview();
    bool reviewRequested() const { return reviewRequested_; }

    void Form_Load();
    void Form_Resize();
    void Command1_Click();

    // Design sizes, in twips.
    static constexpr int kClientWidth = 4710;
    static constexpr int kClientHeight = 2625;
    static constexpr int kMinOuterWidth = 4500;
    // Design distance from the signal's left edge to the right edge of the client area.
    static constexpr int kSignalRightGap = 4710 - 4080;
    static constexpr int kMinOuterHeight = 2000;
    // The tallest an opening makes the window to show a long report, frame included, in
    // percent of the screen's available height; the report scrolls beyond that.
    static constexpr int kMaxOpeningHeightPercent = 80;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateMinimumSize();
    void fitReport();

    bool loaded_ = false; // the report is current for this opening
    bool reviewRequested_ = false;
};
