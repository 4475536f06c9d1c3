// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmscorelist.h"
#include "fonts.h"
#include "gamestate.h"
#include "scorereport.h"
#include "twips.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>
#include <algorithm>
#include <cmath>

namespace {

// The signal head, one character a pixel: '.' ground, '#' the black head, 'T', 'M' and 'B'
// the top, middle and bottom lamps.
constexpr const char* kSignalPattern[16] = {
    "....########....", "...####TT####...", "...###TTTT###...", "...###TTTT###...",
    "...####TT####...", "...##########...", "...####MM####...", "...###MMMM###...",
    "...###MMMM###...", "...####MM####...", "...##########...", "...####BB####...",
    "...###BBBB###...", "...###BBBB###...", "...####BB####...", "....########....",
};

constexpr QRgb kGround = qRgb(224, 224, 224);
constexpr QRgb kHead = qRgb(0, 0, 0);
constexpr QRgb kUnlit = qRgb(192, 192, 192);

} // namespace

QImage SignalImage(int grade)
{
    // Red at the bottom for a poor game, yellow in the middle, green at the top for a perfect one.
    struct Lamp
    {
        char key;
        QRgb lit;
    };
    constexpr Lamp kLamps[3]
        = {{'B', qRgb(255, 0, 0)}, {'M', qRgb(255, 255, 0)}, {'T', qRgb(0, 128, 128)}};
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const char c = kSignalPattern[y][x];
            QRgb colour = c == '.' ? kGround : c == '#' ? kHead : kUnlit;
            if (grade >= 0 && grade < 3 && c == kLamps[grade].key)
                colour = kLamps[grade].lit;
            image.setPixel(x, y, colour);
        }
    }
    return image;
}

frmScoreList::frmScoreList(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmScoreList"));
    setWindowTitle(QStringLiteral("スコア詳細"));
    // Sizable border with a close button only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(twips::size(kClientWidth, kClientHeight));
    move(twips::toPx(3030), twips::toPx(2625));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips::rect(120, 120, 3855, 2415));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The columns of the report line up only in a fixed-pitch face.
    QFont font(QString::fromUtf8(platform::kFixedGothic), 9);
    font.setStyleHint(QFont::TypeWriter);
    // The face's hinting at this size squeezes a full stop into a comma ("1,0"); its plain
    // outlines keep the same columns and read as they should.
    font.setHintingPreference(QFont::PreferNoHinting);
    Text1->setFont(font);

    Command1 = new QPushButton(QStringLiteral("&Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips::rect(4080, 2160, 495, 375));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmScoreList::Command1_Click);

    cmdReview = new QPushButton(QStringLiteral("復習"), this);
    cmdReview->setObjectName(QStringLiteral("cmdReview"));
    cmdReview->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));
    cmdReview->setToolTip(QStringLiteral("間違えた駅の正しい読みを見る (Alt+R)"));
    cmdReview->setVisible(false);
    connect(cmdReview, &QPushButton::clicked, this, [this] {
        reviewRequested_ = true;
        accept();
    });

    for (int i = 0; i < int(imgSignal.size()); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("imgSignal_%1").arg(i));
        label->setGeometry(twips::rect(4080, 100, 500, 500));
        // Stretched by repeating pixels, never blending them, so the little picture stays crisp.
        const qreal ratio = label->devicePixelRatioF();
        QPixmap picture = QPixmap::fromImage(SignalImage(i).scaled(
            label->size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        picture.setDevicePixelRatio(ratio);
        label->setPixmap(picture);
        label->setVisible(false);
        imgSignal[size_t(i)] = label;
    }

    Form_Load();
}

void frmScoreList::Form_Load()
{
    const QString report = BuildScoreReport();
    for (QLabel* signal : imgSignal)
        signal->setVisible(false);
    const int grade = GetRateGrade(gCorrectRate);
    if (grade >= 0 && grade < int(imgSignal.size()))
        imgSignal[size_t(grade)]->setVisible(true);
    // The report breaks its lines with CR LF; the box wants plain line feeds.
    Text1->setPlainText(QString(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    loaded_ = true;
}

void frmScoreList::updateMinimumSize()
{
    // The limits hold for the outer size, frame included; the window system decides the frame.
    const QSize frame = frameGeometry().size() - size();
    setMinimumSize(std::max(0, twips::toPx(kMinOuterWidth) - frame.width()),
                   std::max(0, twips::toPx(kMinOuterHeight) - frame.height()));
}

void frmScoreList::fitReport()
{
    // The totals come last: at the design size a report of more than a few stations hides them
    // below the fold. The window opens tall enough for every line, within a share of the
    // screen; it never opens smaller than it is, so the design size and the player's own
    // size stay the least.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize frame = frameGeometry().size() - size();
    const QRect available = screen->availableGeometry();
    const int tallest = available.height() * kMaxOpeningHeightPercent / 100 - frame.height();
    // Text1 keeps its margins from the window's edges as the window grows: the window grows by
    // what the box lacks.
    const int chrome = height() - Text1->height();
    QTextDocument* document = Text1->document();
    auto* layout = document->documentLayout();
    qreal wanted = 2 * document->documentMargin() + 2 * Text1->frameWidth();
    if (document->idealWidth() > Text1->viewport()->width())
        wanted += Text1->horizontalScrollBar()->sizeHint().height();
    for (QTextBlock block = document->begin(); block.isValid() && chrome + wanted <= tallest;
         block = block.next())
        wanted += layout->blockBoundingRect(block).height();
    const int target = std::min(chrome + int(std::ceil(wanted)), tallest);
    if (target <= height())
        return;
    resize(width(), target);
    // Grown downwards from the design position; lifted where it would reach below the screen.
    const int overhang = pos().y() + target + frame.height() - (available.bottom() + 1);
    if (overhang > 0)
        move(pos().x(), std::max(available.top(), pos().y() - overhang));
}

void frmScoreList::Form_Resize()
{
    if (!Text1 || !Command1)
        return; // a resize while the controls are still being made
    updateMinimumSize();
    const QSize outer = frameGeometry().size();
    if (outer.width() < twips::toPx(kMinOuterWidth)
        || outer.height() < twips::toPx(kMinOuterHeight)) {
        // Lays out again when the new size arrives; until then the controls fit the old one.
        resize(size().expandedTo(minimumSize()));
    }

    const int innerWidth = twips::fromPx(width());
    const int innerHeight = twips::fromPx(height());
    const int margin = twips::fromPx(Text1->x());
    const int buttonWidth = twips::fromPx(Command1->width());
    const int buttonHeight = twips::fromPx(Command1->height());
    const int buttonLeft = innerWidth - margin - buttonWidth;
    const int buttonTop = innerHeight - margin - buttonHeight;
    Command1->setGeometry(twips::rect(buttonLeft, buttonTop, buttonWidth, buttonHeight));
    cmdReview->setGeometry(
        twips::rect(buttonLeft, buttonTop - buttonHeight - margin, buttonWidth, buttonHeight));
    Text1->setGeometry(twips::rect(margin, twips::fromPx(Text1->y()),
                                   std::max(0, buttonLeft - 2 * margin),
                                   std::max(0, innerHeight - 2 * margin)));
    // The signal stays in the button column, as far from the right edge as designed, so the
    // report never slides under it when the window grows.
    for (QLabel* signal : imgSignal)
        signal->move(twips::toPx(innerWidth - kSignalRightGap), signal->y());
}

void frmScoreList::offerReview()
{
    cmdReview->setVisible(true);
    Form_Resize();
}

void frmScoreList::Command1_Click()
{
    accept();
}

void frmScoreList::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Every opening shows the globals as they are now.
    if (!loaded_)
        Form_Load();
    fitReport();
    Form_Resize();
}

void frmScoreList::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        loaded_ = false;
}

void frmScoreList::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}
