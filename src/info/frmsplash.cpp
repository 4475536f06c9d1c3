// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmsplash.h"
#include "infofonts.h"
#include "placement.h"
#include "twips.h"
#include "versioninfo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QShowEvent>
#include <algorithm>

namespace {

QLabel* newLabel(QWidget* parent, const char* name, QRect twipRect,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(
        twips::rect(twipRect.x(), twipRect.y(), twipRect.width(), twipRect.height()));
    label->setAlignment(alignment);
    return label;
}

// The icon's largest picture; icons without fixed sizes are drawn at the size asked for.
QPixmap largestPixmap(const QIcon& icon, QSize fallback)
{
    const QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        return icon.pixmap(fallback);
    const QSize largest = *std::max_element(sizes.begin(), sizes.end(), [](QSize a, QSize b) {
        return qint64(a.width()) * a.height() < qint64(b.width()) * b.height();
    });
    return icon.pixmap(largest);
}

} // namespace

QString SplashVersionText(int major, int minor)
{
    return QStringLiteral("Version %1.%2").arg(major).arg(minor);
}

QString SplashPlatformText()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("For Windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("For macOS");
#else
    return QStringLiteral("For Linux");
#endif
}

void FitLabel(QLabel* label, int right, int minPixelSize)
{
    label->adjustSize();
    QFont font = label->font();
    int size = font.pixelSize();
    while (label->geometry().right() >= right && size > minPixelSize) {
        font.setPixelSize(--size);
        label->setFont(font);
        label->adjustSize();
    }
}

frmSplash::frmSplash(const QIcon& logo, QWidget* parent) : QFrame(parent), logo_(logo)
{
    setObjectName(QStringLiteral("frmSplash"));
    // No title bar and no task bar button; the thin raised border is drawn by the frame itself.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    const int border = frameWidth();
    setFixedSize(twips::size(kClientWidth, kClientHeight) + QSize(2 * border, 2 * border));
    // The window itself takes the keys: none of its controls can have the focus.
    setFocusPolicy(Qt::StrongFocus);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setGeometry(QRect(QPoint(border, border), twips::size(kClientWidth, kClientHeight)));

    Frame1 = new QFrame(client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips::rect(150, 60, 7080, 4050));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->installEventFilter(this);

    imgLogo = newLabel(Frame1, "imgLogo", {360, 795, 1815, 2385});
    imgLogo->setScaledContents(true);

    const auto right = Qt::AlignRight | Qt::AlignTop;
    const auto centre = Qt::AlignHCenter | Qt::AlignTop;
    lblLicenseTo = newLabel(Frame1, "lblLicenseTo", {120, 240, 6855, 255}, right);

    lblCompanyProduct = newLabel(Frame1, "lblCompanyProduct", {2355, 705, 4560, 435});

    lblProductName = newLabel(Frame1, "lblProductName", {2400, 1140, 1980, 645});
    info::setTextColour(lblProductName, QColor(kDesktopColour));

    lblPlatform = newLabel(Frame1, "lblPlatform", {2160, 1800, 4755, 360}, right);

    lblVersion = newLabel(Frame1, "lblVersion", {2280, 2520, 4605, 285}, right);
    info::setTextColour(lblVersion, lblVersion->palette().color(QPalette::Highlight));

    lblCopyright = newLabel(Frame1, "lblCopyright", {2280, 3060, 4695, 255}, centre);
    lblCompany = newLabel(Frame1, "lblCompany", {2280, 3315, 4695, 255}, centre);
    lblWarning = newLabel(Frame1, "lblWarning", {150, 3660, 6855, 195});

    Form_Load();
}

void frmSplash::Form_Load()
{
    const platform::VersionInfo& product = platform::versionInfo();
    imgLogo->setPixmap(largestPixmap(logo_, imgLogo->size()));
    lblLicenseTo->setText(QString());
    lblCompanyProduct->setText(product.comments);
    lblProductName->setText(product.productName);
    lblPlatform->setText(SplashPlatformText());
    lblVersion->setText(SplashVersionText(product.major, product.minor));
    lblCopyright->setText(product.legalCopyright);
    lblCompany->setText(product.companyName);
    lblWarning->setText(QString());
    // These labels fit their text; each keeps its top left corner. A description too long for
    // the frame at its design size is set smaller rather than cut off at the frame's edge, so
    // each starts again from its design font.
    lblCompanyProduct->setFont(info::gothicFont(18, true));
    lblProductName->setFont(info::gothicFont(32.25, true, true));
    lblPlatform->setFont(info::gothicFont(15.75, true));
    lblVersion->setFont(info::gothicFont(12, true));
    const int right = Frame1->width() - twips::toPx(kFrameRightMargin);
    for (QLabel* label : {lblCompanyProduct, lblProductName, lblPlatform, lblVersion})
        FitLabel(label, right);
    // The product name's face is taller than its design box: the platform line goes under it
    // rather than over its lower part (the underline among it).
    lblPlatform->move(twips::toPx(2160), twips::toPx(1800));
    lblPlatform->move(lblPlatform->x(),
                      std::max(lblPlatform->y(), lblProductName->geometry().bottom() + 1));
}

void frmSplash::Form_KeyPress(int keyAscii)
{
    Q_UNUSED(keyAscii);
    Unload();
}

void frmSplash::Frame1_Click()
{
    Unload();
}

void frmSplash::Unload()
{
    if (!unloaded_)
        close();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Only keys that type a character count (Enter, Esc and Backspace among them).
    const QString text = event->text();
    if (text.isEmpty()) {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
    Form_KeyPress(text.at(0).unicode());
}

void frmSplash::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    if (event->spontaneous())
        return;
    unloaded_ = false;
    QCoreApplication::instance()->installEventFilter(this);
    if (const std::optional<QRect> frame = platform::CentredFrame(frameGeometry(), this, nullptr))
        move(frame->topLeft());
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (unloaded_)
        return;
    unloaded_ = true;
    QCoreApplication::instance()->removeEventFilter(this);
    emit closed();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    // A splash window gets no keyboard focus from the window system (and none at all without a
    // window manager): the key goes to the main window behind it. So the splash watches every
    // key the program receives while it shows, and a character key closes it instead of
    // landing in the answer box. Keys with Ctrl or Alt are commands for the main window.
    if (event->type() == QEvent::KeyPress && !unloaded_ && isVisible()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (!key->text().isEmpty() && !command) {
            Form_KeyPress(key->text().at(0).unicode());
            return true;
        }
    }
    if (watched != Frame1)
        return QFrame::eventFilter(watched, event);
    // A click counts when it begins and ends on the frame itself; labels and the logo pass
    // their clicks up to the frame, which must not take them for its own.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        framePressed_ = mouse->button() == Qt::LeftButton
            && Frame1->childAt(mouse->position().toPoint()) == nullptr;
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        const bool click = framePressed_ && mouse->button() == Qt::LeftButton
            && Frame1->rect().contains(at) && Frame1->childAt(at) == nullptr;
        framePressed_ = false;
        if (click) {
            Frame1_Click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}
