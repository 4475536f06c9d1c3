// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmoptiondialog.h"
#include "lib_util.h"
#include "twips.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

std::int32_t gPlateStyle = 0;

void ResetPlateStyle()
{
    gPlateStyle = 0;
}

namespace {

// The tag lives on the first option, where the dialog has always kept it.
constexpr const char* kTag = "tag";

// The number a text starts with, rounded to whole with halves to even; 0 when it does not fit.
std::int32_t leadingWholeNumber(const QString& text)
{
    const double value = std::nearbyint(LeadingNumber(text));
    if (!std::isfinite(value) || std::fabs(value) > 2147483647.0)
        return 0;
    return std::int32_t(value);
}

struct OptionDesign
{
    int left, top, width, height;
    const char* caption;
};

// Positions inside the frame.
constexpr std::array<OptionDesign, 9> kOptions {{
    {120, 240, 1215, 180, "国鉄"},
    {120, 480, 1215, 255, "JR東(旧)"},
    {120, 720, 1215, 255, "JR東(新）"},
    {1440, 240, 1215, 255, "JR海"},
    {1440, 480, 1215, 255, "JR四"},
    {1440, 720, 1215, 255, "JR四"},
    {2400, 240, 1215, 255, "JR四"},
    {2400, 480, 1215, 255, "JR四"},
    {2400, 720, 1215, 255, "JR四"},
}};

} // namespace

frmOptionDialog::frmOptionDialog(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmOptionDialog"));
    setWindowTitle(QStringLiteral("オプション設定"));
    // Fixed dialog border: a title and a close box, no minimise or maximise, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips::size(kClientWidth, kClientHeight));
    setSizeGripEnabled(false);

    fraPlate = new QGroupBox(QStringLiteral("駅名板選択"), this);
    fraPlate->setObjectName(QStringLiteral("fraPlate"));
    fraPlate->setGeometry(twips::rect(120, 120, 3735, 1095));

    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int i = 0; i < int(Option2.size()); ++i) {
        const OptionDesign& d = kOptions[std::size_t(i)];
        auto* option = new QRadioButton(QString::fromUtf8(d.caption), fraPlate);
        option->setObjectName(QStringLiteral("Option2_%1").arg(i));
        option->setGeometry(twips::rect(d.left, d.top, d.width, d.height));
        group->addButton(option, i);
        Option2[std::size_t(i)] = option;
    }
    Option2[0]->setChecked(true);
    Option2[0]->setProperty(kTag, QString());
    connect(group, &QButtonGroup::idClicked, this, &frmOptionDialog::Option2_Click);

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(twips::rect(1320, 1320, 1215, 375));
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(twips::rect(2640, 1320, 1215, 375));
    // Enter must not press either button behind the player's back.
    for (QPushButton* b : {OKButton, CancelButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(OKButton, &QPushButton::clicked, this, &frmOptionDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmOptionDialog::CancelButton_Click);

    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, fraPlate);
    setTabOrder(fraPlate, Option2[0]);
    for (std::size_t i = 1; i < Option2.size(); ++i)
        setTabOrder(Option2[i - 1], Option2[i]);
}

void frmOptionDialog::showModal(QWidget* owner)
{
    frmOptionDialog dialog(owner);
    dialog.exec();
}

QString frmOptionDialog::optionTag() const
{
    return Option2[0]->property(kTag).toString();
}

void frmOptionDialog::Option2_Click(int index)
{
    Option2[0]->setProperty(kTag, QString::number(index));
}

void frmOptionDialog::OKButton_Click()
{
    gPlateStyle = leadingWholeNumber(optionTag());
    close();
}

void frmOptionDialog::CancelButton_Click()
{
    close();
}

void frmOptionDialog::keyPressEvent(QKeyEvent* event)
{
    // Neither Esc nor Enter closes this dialog; only its buttons and its close box do.
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape
        || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
