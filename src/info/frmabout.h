// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about window: the product's name, version and description, who made it and where to
// reach them, and a button that puts an inquiry form on the clipboard.

#include <QDialog>
#include <QRectF>
#include <QSizeF>
#include <array>

class QLabel;
class QPushButton;
namespace platform {
struct VersionInfo;
}

// "Ver 1.05": the minor number takes at least two digits.
QString AboutVersionText(int major, int minor);
// "Revision=0027": at least four digits.
QString AboutRevisionText(int revision);
// Company, e-mail address, copyright and web address, one a line (CR LF between them).
QString AboutContactText(const platform::VersionInfo& info);
// The inquiry form the user fills in and mails; CR LF line breaks.
QString InquiryFormText(const platform::VersionInfo& info);

// What the layout of the window depends on, in twips.
struct AboutMeasures
{
    QSizeF description; // Label1(0) in the window font
    QSizeF title; // Label1(1) in its own 36 point font
    QSizeF version; // Label1(2)
    QSizeF contact; // Label1(3): the widest line by all its lines
    QSizeF picture {480, 480};
    QSizeF inquiryButton {2055, 375}; // Command1(0)
    QSizeF okButton {1215, 375}; // Command1(1)
    QSizeF frameExtra; // outer size less client size
};

// Where everything goes, in twips.
struct AboutLayout
{
    QRectF picture;
    std::array<QRectF, 4> label;
    std::array<QRectF, 2> button;
    int clientWidth = 0;
    int clientHeight = 0;
    double windowWidth = 0;
    double windowHeight = 0;
};

// Stacks the labels under one another beside the picture, fits the window to the widest of
// them and centres the buttons and the contact block in it.
AboutLayout ComputeAboutLayout(const AboutMeasures& m);

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Controls, named as in the design.
    std::array<QPushButton*, 2> Command1 {};
    std::array<QLabel*, 4> Label1 {};
    QLabel* Picture1 = nullptr;

    void Form_Load();
    void Command1_Click(int index);
    void Label1_DblClick(int index);

    // The sizes the layout was made from, as measured at load.
    AboutMeasures measures() const { return measures_; }

    // Design sizes, in twips.
    static constexpr int kClientWidth = 4320;
    static constexpr int kClientHeight = 2700;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AboutMeasures measure() const;
    void applyLayout(const AboutLayout& layout);

    AboutMeasures measures_;
};
