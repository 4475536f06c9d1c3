// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmabout.h"
#include "host.h"
#include "infofonts.h"
#include "placement.h"
#include "twips.h"
#include "versioninfo.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>
#include <cmath>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr QRgb kDescriptionColour = qRgb(0, 0, 192);
constexpr QRgb kDarkBlue = qRgb(0, 0, 192);
constexpr double kTitlePoints = 36;
constexpr double kWindowPoints = 9.75;

// Twips to a whole number, halves to even.
int whole(double twips)
{
    return int(std::nearbyint(twips));
}

// Text sizes in twips as a label shows them: the widest line by the height of all lines.
QSizeF textSize(const QFont& font, const QString& text)
{
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(kCrLf);
    qreal widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const qreal height
        = lines.size() == 1 ? metrics.height() : lines.size() * metrics.lineSpacing();
    return QSizeF(widest, height) * twips::kPerPixel;
}

// The label is never narrower than its text: partial pixels round up.
QRect pixelRect(const QRectF& twipRect)
{
    auto up = [](double t) { return int(std::ceil(t / twips::kPerPixel - 1e-9)); };
    return QRect(twips::toPx(twipRect.left()), twips::toPx(twipRect.top()), up(twipRect.width()),
                 up(twipRect.height()));
}

// How far a top-level window's frame reaches beyond its client area on each side.
QMargins frameMargins(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

} // namespace

QString AboutVersionText(int major, int minor)
{
    return QStringLiteral("Ver %1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0'));
}

QString AboutRevisionText(int revision)
{
    return QStringLiteral("Revision=%1").arg(revision, 4, 10, QLatin1Char('0'));
}

QString AboutContactText(const platform::VersionInfo& info)
{
    return QStringList {info.companyName, info.authorMail, info.legalCopyright, info.authorWeb}
        .join(kCrLf);
}

QString InquiryFormText(const platform::VersionInfo& info)
{
    const QStringList lines {
        QStringLiteral("SUB:") + info.productName + QStringLiteral(" 問い合わせ"),
        QStringLiteral("TO:"),
        QStringLiteral("ファイルの入手先:"),
        QStringLiteral("入手したファイル名(.LZH):"),
        info.productName
            + QStringLiteral("のバージョン: Ver%1.%2.%3")
                  .arg(info.major)
                  .arg(info.minor)
                  .arg(info.revision),
        QStringLiteral("不具合内容"),
        QString(),
        QStringLiteral("試行錯誤の内容"),
    };
    // Room below the last heading for the user's own words.
    return lines.join(kCrLf) + kCrLf + kCrLf + kCrLf;
}

AboutLayout ComputeAboutLayout(const AboutMeasures& m)
{
    AboutLayout out;
    constexpr double kGap = 100;
    constexpr double kMargin = 200;

    out.picture = QRectF(QPointF(100, 100), m.picture);
    const double x = kGap + out.picture.left() + out.picture.width() + kGap;

    out.label[0] = QRectF(QPointF(x, 100), m.description);
    int y = whole(out.label[0].top() + kMargin + out.label[0].height());

    out.label[1] = QRectF(QPointF(x, y), m.title);
    // The version stands on the title's base line, right of it.
    out.label[2] = QRectF(
        QPointF(x + out.label[1].width() + kGap, y + out.label[1].height() - m.version.height()),
        m.version);
    y = whole(out.label[1].top() + kMargin + out.label[1].height());

    out.label[3] = QRectF(QPointF(kMargin, y + kMargin), m.contact);
    y = whole(out.label[3].top() + kMargin + out.label[3].height());

    // The title is left out: the window grows only for the description, version and contact.
    int widest = whole(out.label[0].right());
    for (int i : {2, 3})
        widest = std::max(widest, whole(out.label[size_t(i)].right()));
    out.clientWidth = widest + int(kMargin);
    out.windowWidth = m.frameExtra.width() + out.clientWidth;

    const double spare = out.clientWidth - m.inquiryButton.width() - m.okButton.width();
    const int left0 = (whole(spare) - int(kMargin)) / 2;
    out.button[0] = QRectF(QPointF(left0, y), m.inquiryButton);
    out.button[1] = QRectF(QPointF(left0 + m.inquiryButton.width() + kMargin, y), m.okButton);
    y = whole(out.button[0].top() + kMargin + out.button[0].height());

    out.clientHeight = y + int(kMargin);
    out.windowHeight = m.frameExtra.height() + out.clientHeight;

    out.label[3].moveLeft(whole(out.clientWidth - out.label[3].width()) / 2);
    return out;
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    // Fixed single border with a bare title bar: the button is the only way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(info::gothicFont(kWindowPoints));
    setFixedSize(twips::size(kClientWidth, kClientHeight));
    setSizeGripEnabled(false);

    // Created in tab order, which is also the focus chain.
    Command1[1] = new QPushButton(QStringLiteral("了解"), this);
    Command1[1]->setObjectName(QStringLiteral("Command1_1"));
    Command1[1]->setGeometry(twips::rect(2760, 2160, 1215, 375));
    Command1[1]->setDefault(true);

    auto newLabel = [this](int index, QRect twipRect) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(index));
        label->setGeometry(
            twips::rect(twipRect.x(), twipRect.y(), twipRect.width(), twipRect.height()));
        label->installEventFilter(this);
        Label1[size_t(index)] = label;
        return label;
    };

    newLabel(0, {720, 120, 2370, 195})->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    info::setTextColour(Label1[0], kDescriptionColour);
    newLabel(2, {2880, 960, 1155, 195})->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    info::setTextColour(Label1[2], kDarkBlue);

    Command1[0] = new QPushButton(QStringLiteral("問い合わせフォーム"), this);
    Command1[0]->setObjectName(QStringLiteral("Command1_0"));
    Command1[0]->setGeometry(twips::rect(240, 2160, 2055, 375));

    newLabel(3, {600, 1680, 3480, 195})->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    info::setTextColour(Label1[3], kDarkBlue);
    newLabel(1, {840, 480, 1575, 720})->setFont(info::gothicFont(kTitlePoints, false, true));
    info::setTextColour(Label1[1], kDarkBlue);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twips::rect(240, 480, 480, 480));

    for (int i = 0; i < int(Command1.size()); ++i)
        connect(Command1[size_t(i)], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });

    Form_Load();
}

void frmAbout::Form_Load()
{
    const platform::VersionInfo& info = platform::versionInfo();
    setWindowTitle(info.productName + QStringLiteral("について"));
    Label1[0]->setText(info.comments);
    Label1[1]->setText(info.productName);
    Label1[2]->setText(AboutVersionText(info.major, info.minor));
    Label1[3]->setText(AboutContactText(info).replace(kCrLf, QStringLiteral("\n")));

    measures_ = measure();
    applyLayout(ComputeAboutLayout(measures_));

    const int side = twips::toPx(measures_.picture.width());
    Picture1->setPixmap(windowIcon().pixmap(QSize(side, side)));
}

AboutMeasures frmAbout::measure() const
{
    const platform::VersionInfo& info = platform::versionInfo();
    AboutMeasures m;
    // The title is measured in a font of its own, so the window font stays as it is.
    m.description = textSize(font(), info.comments);
    m.title = textSize(Label1[1]->font(), info.productName);
    m.version = textSize(font(), AboutVersionText(info.major, info.minor));
    m.contact = textSize(font(), AboutContactText(info));
    m.picture = QSizeF(twips::fromPx(Picture1->width()), twips::fromPx(Picture1->height()));
    m.inquiryButton
        = QSizeF(twips::fromPx(Command1[0]->width()), twips::fromPx(Command1[0]->height()));
    m.okButton = QSizeF(twips::fromPx(Command1[1]->width()), twips::fromPx(Command1[1]->height()));
    const QSize extra = frameGeometry().size() - size();
    m.frameExtra = QSizeF(twips::fromPx(extra.width()), twips::fromPx(extra.height()));
    return m;
}

void frmAbout::applyLayout(const AboutLayout& layout)
{
    setFixedSize(twips::size(layout.clientWidth, layout.clientHeight));
    Picture1->setGeometry(pixelRect(layout.picture));
    for (size_t i = 0; i < Label1.size(); ++i)
        Label1[i]->setGeometry(pixelRect(layout.label[i]));
    for (size_t i = 0; i < Command1.size(); ++i)
        Command1[i]->setGeometry(pixelRect(layout.button[i]));
}

void frmAbout::Command1_Click(int index)
{
    if (index == 1) {
        accept();
        return;
    }
    if (index != 0)
        return;
    const platform::VersionInfo& info = platform::versionInfo();
    const platform::Answer answer = platform::messageBox(
        info.productName + QStringLiteral("の問い合わせフォームをクリップボードにコピーします。"),
        platform::Buttons::YesNo, platform::Icon::Information);
    if (answer != platform::Answer::Yes)
        return;
    platform::host().setClipboardText(InquiryFormText(info));
}

void frmAbout::Label1_DblClick(int index)
{
    QString text;
    switch (index) {
    case 1:
        text = QStringLiteral("なかなかいいソフトでしょ。");
        break;
    case 2:
        text = AboutRevisionText(platform::versionInfo().revision);
        break;
    case 3:
        text = QStringLiteral("痛い。つつかないでください。");
        break;
    default:
        return;
    }
    platform::messageBox(text);
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // Esc presses the same button as Enter.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command1[1]->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    // A window manager frames the window only as it is mapped, after this: until then its frame
    // reads as none, and centring the bare client area would leave the framed window half a title
    // bar too high. A dialog gets the same frame as its owner, so the owner's stands in for it.
    QMargins margins = frameMargins(this);
    if (margins.isNull() && owner)
        margins = frameMargins(owner);
    QRect outer = geometry().marginsAdded(margins);
    outer = platform::CentredFrame(outer, this, owner).value_or(outer);
    // Placed by its client area, which the window manager keeps where it is told when it adds the
    // frame around it.
    setGeometry(outer.marginsRemoved(margins));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (size_t i = 0; i < Label1.size(); ++i) {
            if (watched == Label1[i]) {
                Label1_DblClick(int(i));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
