// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"
#include "fonts.h"
#include "frmabout.h"
#include "frmsplash.h"
#include "placement.h"
#include "twips.h"
#include "versioninfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(AboutMeasures)

namespace {

// An icon with a small and a large picture, each of one colour.
QIcon twoSizeIcon()
{
    QIcon icon;
    for (const int side : {16, 96}) {
        QPixmap picture(side, side);
        picture.fill(side == 16 ? Qt::red : Qt::blue);
        icon.addPixmap(picture);
    }
    return icon;
}

AboutMeasures measuresOf(QSizeF description, QSizeF title, QSizeF version, QSizeF contact)
{
    AboutMeasures m;
    m.description = description;
    m.title = title;
    m.version = version;
    m.contact = contact;
    m.frameExtra = QSizeF(90, 405);
    return m;
}

QList<QRectF> rectsOf(const AboutLayout& l)
{
    return {l.picture, l.label[0], l.label[1], l.label[2], l.label[3], l.button[0], l.button[1]};
}

const QString kDescription = QStringLiteral("鉄道路線の駅名と読みを覚えるクイズゲーム");

} // namespace

class TestInfo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::registerFontSubstitutions(); }

    // Splash window.
    void splashTexts();
    void splashVersionText_data();
    void splashVersionText();
    void splashLogo();
    void splashWindow();
    void fitLabel_data();
    void fitLabel();
    void splashKeys_data();
    void splashKeys();
    void splashClicks_data();
    void splashClicks();
    void splashUnloadTwice();

    // About window.
    void aboutVersionText_data();
    void aboutVersionText();
    void aboutRevisionText_data();
    void aboutRevisionText();
    void aboutTexts();
    void inquiryForm();
    void aboutLayout_data();
    void aboutLayout();
    void aboutLayoutCentresButtons_data();
    void aboutLayoutCentresButtons();
    void aboutLoadAppliesLayout();
    void aboutCentredOverOwner();
    void centredFrame_data();
    void centredFrame();
    void inquiryButton_data();
    void inquiryButton();
    void labelDoubleClicks_data();
    void labelDoubleClicks();
    void aboutCloseKeys_data();
    void aboutCloseKeys();
};

// ---- Splash window

void TestInfo::splashTexts()
{
    frmSplash w(twoSizeIcon());
    const platform::VersionInfo& info = platform::versionInfo();
    QCOMPARE(w.lblLicenseTo->text(), QString());
    QCOMPARE(w.lblCompanyProduct->text(), kDescription);
    QCOMPARE(w.lblProductName->text(), QStringLiteral("Tabi Dori"));
    QCOMPARE(w.lblPlatform->text(), QStringLiteral("For Linux"));
    QCOMPARE(w.lblVersion->text(), QStringLiteral("Version 1.0"));
    QCOMPARE(w.lblCopyright->text(), info.legalCopyright);
    QCOMPARE(w.lblCompany->text(), info.companyName);
    QCOMPARE(w.lblWarning->text(), QString());
    QVERIFY(!info.legalCopyright.isEmpty());
    QVERIFY(!info.companyName.isEmpty());
}

void TestInfo::splashVersionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.0") << 1 << 0 << "Version 1.0";
    QTest::newRow("2.10") << 2 << 10 << "Version 2.10";
    QTest::newRow("0.5 not padded") << 0 << 5 << "Version 0.5";
    QTest::newRow("12.345") << 12 << 345 << "Version 12.345";
}

void TestInfo::splashVersionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, text);
    QCOMPARE(SplashVersionText(major, minor), text);
}

void TestInfo::splashLogo()
{
    frmSplash w(twoSizeIcon());
    QCOMPARE(w.imgLogo->geometry(), twips::rect(360, 795, 1815, 2385));
    QVERIFY(w.imgLogo->hasScaledContents());
    // The largest picture is the one shown, stretched over the whole box.
    const QPixmap shown = w.imgLogo->pixmap();
    QCOMPARE(shown.size(), QSize(96, 96));
    QCOMPARE(shown.toImage().pixelColor(48, 48), QColor(Qt::blue));
    QImage drawn(w.imgLogo->size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    w.imgLogo->render(&drawn);
    QCOMPARE(drawn.pixelColor(1, 1), QColor(Qt::blue));
    QCOMPARE(drawn.pixelColor(drawn.width() - 2, drawn.height() - 2), QColor(Qt::blue));
}

void TestInfo::splashWindow()
{
    frmSplash w(twoSizeIcon());
    w.show();
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.windowType(), Qt::SplashScreen);
    // The client area sits inside the thin border.
    const QSize border(2 * w.frameWidth(), 2 * w.frameWidth());
    QCOMPARE(w.size(), twips::size(frmSplash::kClientWidth, frmSplash::kClientHeight) + border);
    QCOMPARE(w.Frame1->geometry(), twips::rect(150, 60, 7080, 4050));
    for (QLabel* label : w.Frame1->findChildren<QLabel*>())
        QCOMPARE(label->parentWidget(), w.Frame1);
    QCOMPARE(w.Frame1->findChildren<QLabel*>().size(), 9);

    // Auto-sized labels keep their top left corner, show their whole text and end inside
    // the frame; those that fit at their design size keep it.
    struct Fitted
    {
        QLabel* label;
        QPoint twipCorner;
        int pixelSize;
        bool underline;
    };
    const int right = w.Frame1->width() - twips::toPx(frmSplash::kFrameRightMargin);
    for (const Fitted& f : {Fitted {w.lblCompanyProduct, {2355, 705}, 24, false},
                            Fitted {w.lblProductName, {2400, 1140}, 43, true},
                            Fitted {w.lblPlatform, {2160, 1800}, 21, false},
                            Fitted {w.lblVersion, {2280, 2520}, 16, false}}) {
        const QString name = f.label->objectName();
        QPoint corner(twips::toPx(f.twipCorner.x()), twips::toPx(f.twipCorner.y()));
        // The platform line keeps clear of the product name above it.
        if (f.label == w.lblPlatform)
            corner.setY(std::max(corner.y(), w.lblProductName->geometry().bottom() + 1));
        QCOMPARE(f.label->pos(), corner);
        QCOMPARE(f.label->size(), f.label->sizeHint());
        QVERIFY2(f.label->geometry().right() < right, qPrintable(name));
        QFont design = f.label->font();
        design.setPixelSize(f.pixelSize);
        const bool fitsAtDesign
            = f.twipCorner.x() / 15.0 + QFontMetrics(design).horizontalAdvance(f.label->text())
            < right - 1;
        if (fitsAtDesign)
            QCOMPARE(f.label->font().pixelSize(), f.pixelSize);
        else
            QVERIFY2(f.label->font().pixelSize() < f.pixelSize, qPrintable(name));
        QVERIFY(f.label->font().bold());
        QCOMPARE(f.label->font().underline(), f.underline);
        QCOMPARE(f.label->font().family(), QString::fromUtf8(platform::kProportionalGothic));
    }
    QVERIFY(!w.lblPlatform->geometry().intersects(w.lblProductName->geometry()));
    QVERIFY(w.lblPlatform->geometry().bottom() < w.lblVersion->y());
    // Only the long description needs a smaller font.
    QVERIFY(w.lblProductName->font().pixelSize() == 43 && w.lblVersion->font().pixelSize() == 16);
    QCOMPARE(w.lblProductName->palette().color(QPalette::WindowText),
             QColor(frmSplash::kDesktopColour));
    QCOMPARE(w.lblVersion->palette().color(QPalette::WindowText),
             w.palette().color(QPalette::Highlight));
    QCOMPARE(w.lblCopyright->geometry(), twips::rect(2280, 3060, 4695, 255));
    QCOMPARE(w.lblCopyright->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(w.lblLicenseTo->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

void TestInfo::fitLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("right");
    QTest::addColumn<bool>("shrinks");
    QTest::addColumn<bool>("atMinimum");
    QTest::newRow("short text") << "Tabi" << 400 << false << false;
    QTest::newRow("long text") << "鉄道路線の駅名と読みを覚えるクイズゲーム" << 400 << true
                               << false;
    QTest::newRow("too long even small") << QString(80, QChar(0x99C5)) << 400 << true << true;
}

void TestInfo::fitLabel()
{
    QFETCH(QString, text);
    QFETCH(int, right);
    QFETCH(bool, shrinks);
    QFETCH(bool, atMinimum);
    QWidget parent;
    parent.resize(500, 200);
    QLabel label(text, &parent);
    QFont font(QString::fromUtf8(platform::kProportionalGothic));
    font.setPixelSize(24);
    label.setFont(font);
    label.move(100, 30);
    FitLabel(&label, right, 10);
    QCOMPARE(label.pos(), QPoint(100, 30));
    QCOMPARE(label.size(), label.sizeHint());
    QCOMPARE(label.font().pixelSize() < 24, shrinks);
    if (atMinimum) {
        QCOMPARE(label.font().pixelSize(), 10);
        return;
    }
    QVERIFY(label.geometry().right() < right);
    // Not smaller than it has to be.
    QFont bigger = label.font();
    bigger.setPixelSize(bigger.pixelSize() + 1);
    if (shrinks)
        QVERIFY(100 + QFontMetrics(bigger).horizontalAdvance(text) >= right - 1);
}

void TestInfo::splashKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("letter") << int(Qt::Key_A) << true;
    QTest::newRow("digit") << int(Qt::Key_7) << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << true;
    QTest::newRow("space") << int(Qt::Key_Space) << true;
    QTest::newRow("Right arrow") << int(Qt::Key_Right) << false;
    QTest::newRow("F5") << int(Qt::Key_F5) << false;
    QTest::newRow("Shift") << int(Qt::Key_Shift) << false;
    QTest::newRow("Home") << int(Qt::Key_Home) << false;
}

void TestInfo::splashKeys()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    // The key reaches the splash itself, or (as the window system sends it) the main window's
    // answer box behind it: either way it closes the splash and never lands in the box.
    for (const bool toBox : {false, true}) {
        frmSplash w(twoSizeIcon());
        QSignalSpy closed(&w, &frmSplash::closed);
        QLineEdit box;
        box.show();
        w.show();
        QTest::keyClick(toBox ? static_cast<QWidget*>(&box) : &w, Qt::Key(key));
        QCOMPARE(w.isVisible(), !closes);
        QCOMPARE(closed.count(), closes ? 1 : 0);
        if (closes)
            QVERIFY(box.text().isEmpty());
    }
}

void TestInfo::splashClicks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("twipPoint"); // in Frame1 when target is "Frame1"
    QTest::addColumn<bool>("closes");
    QTest::newRow("frame corner") << "Frame1" << QPoint(60, 60) << true;
    QTest::newRow("frame between labels") << "Frame1" << QPoint(6000, 2300) << true;
    QTest::newRow("product name") << "lblProductName" << QPoint(150, 150) << false;
    QTest::newRow("copyright") << "lblCopyright" << QPoint(300, 60) << false;
    QTest::newRow("empty warning line") << "lblWarning" << QPoint(300, 60) << false;
    QTest::newRow("logo") << "imgLogo" << QPoint(900, 1200) << false;
}

void TestInfo::splashClicks()
{
    QFETCH(QString, target);
    QFETCH(QPoint, twipPoint);
    QFETCH(bool, closes);
    frmSplash w(twoSizeIcon());
    QSignalSpy closed(&w, &frmSplash::closed);
    w.show();
    auto* widget = target == "Frame1" ? w.Frame1 : w.findChild<QWidget*>(target);
    QVERIFY(widget);
    const QPoint at(twips::toPx(twipPoint.x()), twips::toPx(twipPoint.y()));
    QVERIFY(widget->rect().contains(at));
    if (widget == w.Frame1)
        QCOMPARE(w.Frame1->childAt(at), nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(w.isVisible(), !closes);
    QCOMPARE(closed.count(), closes ? 1 : 0);
}

void TestInfo::splashUnloadTwice()
{
    frmSplash w(twoSizeIcon());
    QSignalSpy closed(&w, &frmSplash::closed);
    w.show();
    w.Unload();
    w.Unload();
    QTest::keyClick(&w, Qt::Key_A);
    QVERIFY(!w.isVisible());
    QCOMPARE(closed.count(), 1);
}

// ---- About window

void TestInfo::aboutVersionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("text");
    QTest::newRow("minor 0") << 1 << 0 << "Ver 1.00";
    QTest::newRow("minor 5") << 1 << 5 << "Ver 1.05";
    QTest::newRow("minor 12") << 1 << 12 << "Ver 1.12";
    QTest::newRow("three digits as they are") << 2 << 123 << "Ver 2.123";
    QTest::newRow("major not padded") << 10 << 1 << "Ver 10.01";
}

void TestInfo::aboutVersionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, text);
    QCOMPARE(AboutVersionText(major, minor), text);
}

void TestInfo::aboutRevisionText_data()
{
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("27") << 27 << "Revision=0027";
    QTest::newRow("0") << 0 << "Revision=0000";
    QTest::newRow("4 digits") << 1234 << "Revision=1234";
    QTest::newRow("5 digits") << 12345 << "Revision=12345";
}

void TestInfo::aboutRevisionText()
{
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(AboutRevisionText(revision), text);
}

void TestInfo::aboutTexts()
{
    FakeHost host;
    frmAbout w;
    const platform::VersionInfo& info = platform::versionInfo();
    QCOMPARE(w.windowTitle(), QStringLiteral("Tabi Doriについて"));
    QCOMPARE(w.Label1[0]->text(), kDescription);
    QCOMPARE(w.Label1[1]->text(), QStringLiteral("Tabi Dori"));
    QCOMPARE(w.Label1[2]->text(), QStringLiteral("Ver 1.00"));
    const QString contact = info.companyName + "\ntabidori@example.org\n" + info.legalCopyright
        + "\nhttps://tabidori.example.org/";
    QCOMPARE(w.Label1[3]->text(), contact);
    QCOMPARE(AboutContactText(info), QString(contact).replace("\n", "\r\n"));
    QCOMPARE(w.Command1[0]->text(), QStringLiteral("問い合わせフォーム"));
    QCOMPARE(w.Command1[1]->text(), QStringLiteral("了解"));
    QVERIFY(!(w.windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(w.font().pixelSize(), 13);
    QCOMPARE(w.Label1[1]->font().pixelSize(), 48);
    QVERIFY(w.Label1[1]->font().underline());
    QCOMPARE(w.Label1[0]->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    for (int i : {1, 2, 3})
        QCOMPARE(w.Label1[size_t(i)]->palette().color(QPalette::WindowText), QColor(0, 0, 192));
}

void TestInfo::inquiryForm()
{
    const QString expected = QStringLiteral("SUB:Tabi Dori 問い合わせ\r\n"
                                            "TO:\r\n"
                                            "ファイルの入手先:\r\n"
                                            "入手したファイル名(.LZH):\r\n"
                                            "Tabi Doriのバージョン: Ver1.0.27\r\n"
                                            "不具合内容\r\n"
                                            "\r\n"
                                            "試行錯誤の内容\r\n"
                                            "\r\n"
                                            "\r\n");
    QCOMPARE(InquiryFormText(platform::versionInfo()), expected);

    platform::VersionInfo other = platform::versionInfo();
    other.productName = QStringLiteral("X");
    other.major = 3;
    other.minor = 4;
    other.revision = 5;
    const QString form = InquiryFormText(other);
    QVERIFY(form.startsWith(QStringLiteral("SUB:X 問い合わせ\r\n")));
    QVERIFY(form.contains(QStringLiteral("\r\nXのバージョン: Ver3.4.5\r\n")));
}

void TestInfo::aboutLayout_data()
{
    QTest::addColumn<AboutMeasures>("measures");
    QTest::addColumn<QList<QRectF>>("rects"); // picture, Label1(0..3), Command1(0..1)
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<int>("clientHeight");

    // The design sizes, the contact block four lines of 195.
    // X = 780; Y: 495, 1415, 2595, 3170; widest right edge 3680 (the contact block).
    QTest::newRow("design sizes") << measuresOf({2370, 195}, {1575, 720}, {1155, 195}, {3480, 780})
                                  << QList<QRectF> {{100, 100, 480, 480},   {780, 100, 2370, 195},
                                                    {780, 495, 1575, 720},  {2455, 1020, 1155, 195},
                                                    {200, 1615, 3480, 780}, {205, 2595, 2055, 375},
                                                    {2460, 2595, 1215, 375}}
                                  << 3880 << 3370;

    // Halves go to the even number: 492.5 -> 492, 1412.5 -> 1412, right edge 3683.5 -> 3684.
    // Spare width 3884 - 3270 = 614, buttons from (614 - 200) / 2 = 207; the contact block
    // from whole(3884 - 3483.5 = 400.5) = 400, halved.
    QTest::newRow("halves to even")
        << measuresOf({2370.5, 192.5}, {1575.25, 720.5}, {1155, 195}, {3483.5, 780})
        << QList<QRectF> {{100, 100, 480, 480},       {780, 100, 2370.5, 192.5},
                          {780, 492, 1575.25, 720.5}, {2455.25, 1017.5, 1155, 195},
                          {200, 1612, 3483.5, 780},   {207, 2592, 2055, 375},
                          {2462, 2592, 1215, 375}}
        << 3884 << 3367;

    // A long description sets the width; an odd spare width rounds the left button down.
    // Right edge 780 + 6001 = 6781, client 6981, spare 3711, buttons from 3511 / 2 = 1755.
    QTest::newRow("long description")
        << measuresOf({6001, 195}, {1575, 720}, {1155, 195}, {3480, 780})
        << QList<QRectF> {{100, 100, 480, 480},    {780, 100, 6001, 195},   {780, 495, 1575, 720},
                          {2455, 1020, 1155, 195}, {1750, 1615, 3480, 780}, {1755, 2595, 2055, 375},
                          {4010, 2595, 1215, 375}}
        << 6981 << 3370;

    // A long contact line: right edge 200 + 7000, client 7400, the block stays at 200.
    QTest::newRow("long contact line")
        << measuresOf({2370, 195}, {1575, 720}, {1155, 195}, {7000, 780})
        << QList<QRectF> {{100, 100, 480, 480},    {780, 100, 2370, 195},  {780, 495, 1575, 720},
                          {2455, 1020, 1155, 195}, {200, 1615, 7000, 780}, {1965, 2595, 2055, 375},
                          {4220, 2595, 1215, 375}}
        << 7400 << 3370;

    // A wide title pushes the version out; the title's own right edge does not count.
    // Version at 780 + 5000 + 100 = 5880, right edge 7035, client 7235.
    QTest::newRow("wide title") << measuresOf({2370, 195}, {5000, 720}, {1155, 195}, {3480, 780})
                                << QList<QRectF> {{100, 100, 480, 480},    {780, 100, 2370, 195},
                                                  {780, 495, 5000, 720},   {5880, 1020, 1155, 195},
                                                  {1877, 1615, 3480, 780}, {1882, 2595, 2055, 375},
                                                  {4137, 2595, 1215, 375}}
                                << 7235 << 3370;

    // Narrower than the buttons: the spare width is negative and halves toward zero.
    // Client 780 + 1001 + 200 = 1981 (contact 1500 ends at 1700), spare -1289, (-1489) / 2;
    // the contact block from 481 / 2.
    QTest::newRow("narrow window")
        << measuresOf({1001, 195}, {300, 720}, {200, 195}, {1500, 195})
        << QList<QRectF> {{100, 100, 480, 480},   {780, 100, 1001, 195},  {780, 495, 300, 720},
                          {1180, 1020, 200, 195}, {240, 1615, 1500, 195}, {-744, 2010, 2055, 375},
                          {1511, 2010, 1215, 375}}
        << 1981 << 2785;
}

void TestInfo::aboutLayout()
{
    QFETCH(AboutMeasures, measures);
    QFETCH(QList<QRectF>, rects);
    QFETCH(int, clientWidth);
    QFETCH(int, clientHeight);
    const AboutLayout layout = ComputeAboutLayout(measures);
    QCOMPARE(rectsOf(layout), rects);
    QCOMPARE(layout.clientWidth, clientWidth);
    QCOMPARE(layout.clientHeight, clientHeight);
    QCOMPARE(layout.windowWidth, clientWidth + 90.0);
    QCOMPARE(layout.windowHeight, clientHeight + 405.0);
}

void TestInfo::aboutLayoutCentresButtons_data()
{
    QTest::addColumn<double>("descriptionWidth");
    QTest::addColumn<double>("contactWidth");
    for (double d : {2370.0, 4000.5, 6001.0, 9999.25})
        for (double c : {3480.0, 5000.5, 7001.0})
            QTest::addRow("%g x %g", d, c) << d << c;
}

void TestInfo::aboutLayoutCentresButtons()
{
    QFETCH(double, descriptionWidth);
    QFETCH(double, contactWidth);
    const AboutLayout layout = ComputeAboutLayout(
        measuresOf({descriptionWidth, 195}, {1575, 720}, {1155, 195}, {contactWidth, 780}));
    // The window is the widest label's right edge plus the margin.
    double widest = 0;
    for (int i : {0, 2, 3})
        widest = std::max(widest, layout.label[size_t(i)].right());
    QVERIFY(std::abs(layout.clientWidth - 200 - widest) <= 0.5);
    // The buttons stand 200 apart, as far from the left edge as from the right.
    QCOMPARE(layout.button[1].left() - layout.button[0].right(), 200.0);
    const double leftMargin = layout.button[0].left();
    const double rightMargin = layout.clientWidth - layout.button[1].right();
    QVERIFY2(std::abs(leftMargin - rightMargin) <= 1,
             qPrintable(QStringLiteral("%1 vs %2").arg(leftMargin).arg(rightMargin)));
    // So does the contact block.
    const double contactLeft = layout.label[3].left();
    QVERIFY(std::abs(contactLeft - (layout.clientWidth - layout.label[3].right())) <= 1);
}

void TestInfo::aboutLoadAppliesLayout()
{
    FakeHost host;
    QWidget owner;
    owner.setWindowIcon(twoSizeIcon());
    frmAbout w(&owner);
    w.show();
    const AboutMeasures m = w.measures();
    QCOMPARE(m.picture, QSizeF(480, 480));
    QCOMPARE(m.inquiryButton, QSizeF(2055, 375));
    QCOMPARE(m.okButton, QSizeF(1215, 375));
    // The title is measured in its big font, not in the window font.
    QVERIFY(m.title.height() > 3 * m.description.height());
    QVERIFY(m.contact.height() >= 4 * m.version.height());

    const AboutLayout layout = ComputeAboutLayout(m);
    QCOMPARE(w.size(), twips::size(layout.clientWidth, layout.clientHeight));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(w.Picture1->geometry(), QRect(7, 7, 32, 32));
    // The owner's icon, in its 32 pixel form.
    QCOMPARE(w.Picture1->pixmap().size(), QSize(32, 32));
    QCOMPARE(w.Picture1->pixmap().toImage().pixelColor(16, 16), QColor(Qt::blue));
    QCOMPARE(w.Command1[0]->pos(),
             QPoint(twips::toPx(layout.button[0].left()), twips::toPx(layout.button[0].top())));
    QCOMPARE(w.Command1[1]->size(), twips::size(1215, 375));
    for (QLabel* label : w.Label1) {
        // Every text fits its label.
        QVERIFY2(label->width() >= label->sizeHint().width() - 1, qPrintable(label->objectName()));
        QVERIFY2(label->height() >= label->sizeHint().height() - 1,
                 qPrintable(label->objectName()));
        QVERIFY(w.rect().contains(label->geometry()) || label == w.Label1[1]);
    }
    // Tab goes from the OK button to the inquiry button.
    QCOMPARE(w.Command1[1]->nextInFocusChain()->focusPolicy() & Qt::TabFocus, 0);
    QWidget* next = w.Command1[1]->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    QCOMPARE(next, w.Command1[0]);
}

void TestInfo::aboutCentredOverOwner()
{
    FakeHost host;
    QWidget owner;
    owner.setGeometry(500, 400, 600, 300);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    frmAbout w(&owner);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint offset = w.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

// Where a window opens: over its owner, else over the screen; kept on the screen when asked.
void TestInfo::centredFrame_data()
{
    QTest::addColumn<QRect>("owner"); // none when null
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<bool>("clamp");
    QTest::addColumn<QRect>("expected");
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint middle = available.center();
    const QRect offRight(available.right() - 100, available.bottom() - 50, 600, 300);
    QTest::newRow("over the owner")
        << QRect(500, 400, 600, 300) << QSize(200, 100) << false << QRect(700, 500, 200, 100);
    QTest::newRow("over the screen")
        << QRect() << QSize(200, 100) << false << QRect(middle.x() - 99, middle.y() - 49, 200, 100);
    QTest::newRow("owner off the screen")
        << offRight << QSize(200, 100) << false
        << QRect(offRight.center() - QPoint(99, 49), QSize(200, 100));
    QTest::newRow("owner off the screen, kept on it")
        << offRight << QSize(200, 100) << true
        << QRect(available.right() + 1 - 200, available.bottom() + 1 - 100, 200, 100);
    const QSize large = available.size() + QSize(100, 60);
    QTest::newRow("larger than the screen, top left kept on it")
        << QRect() << large << true << QRect(available.topLeft(), large);
}

void TestInfo::centredFrame()
{
    QFETCH(QRect, owner);
    QFETCH(QSize, frame);
    QFETCH(bool, clamp);
    QFETCH(QRect, expected);
    QWidget ownerWindow;
    ownerWindow.setGeometry(owner);
    QWidget window;
    const std::optional<QRect> placed = platform::CentredFrame(
        QRect(QPoint(3, 4), frame), &window, owner.isNull() ? nullptr : &ownerWindow,
        clamp ? platform::Clamp::ToScreen : platform::Clamp::None);
    QVERIFY(placed);
    QCOMPARE(*placed, expected);
}

void TestInfo::inquiryButton_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes copies") << true;
    QTest::newRow("No leaves the clipboard") << false;
}

void TestInfo::inquiryButton()
{
    QFETCH(bool, yes);
    FakeHost host;
    host.clipboard = QStringLiteral("before");
    host.answers.push_back(yes ? platform::Answer::Yes : platform::Answer::No);
    frmAbout w;
    w.show();
    w.Command1[0]->click();
    QCOMPARE(int(host.messages.size()), 1);
    const FakeHost::Message& m = host.messages.front();
    QCOMPARE(m.text,
             QStringLiteral("Tabi Doriの問い合わせフォームをクリップボードにコピーします。"));
    QCOMPARE(m.buttons, platform::Buttons::YesNo);
    QCOMPARE(m.icon, platform::Icon::Information);
    QCOMPARE(m.title, QString());
    QCOMPARE(host.clipboard,
             yes ? InquiryFormText(platform::versionInfo()) : QStringLiteral("before"));
    QVERIFY(w.isVisible());
}

void TestInfo::labelDoubleClicks_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text"); // empty: no message
    QTest::newRow("description") << 0 << "";
    QTest::newRow("title") << 1 << "なかなかいいソフトでしょ。";
    QTest::newRow("version") << 2 << "Revision=0027";
    QTest::newRow("contact") << 3 << "痛い。つつかないでください。";
}

void TestInfo::labelDoubleClicks()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    FakeHost host;
    frmAbout w;
    w.show();
    QTest::mouseDClick(w.Label1[size_t(index)], Qt::LeftButton);
    if (text.isEmpty()) {
        QCOMPARE(int(host.messages.size()), 0);
        return;
    }
    QCOMPARE(int(host.messages.size()), 1);
    QCOMPARE(host.messages.front().text, text);
    QCOMPARE(host.messages.front().buttons, platform::Buttons::Ok);
    QCOMPARE(host.messages.front().icon, platform::Icon::None);
    QCOMPARE(host.messages.front().title, QString());
    QVERIFY(w.isVisible());
}

void TestInfo::aboutCloseKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestInfo::aboutCloseKeys()
{
    QFETCH(int, key);
    FakeHost host;
    frmAbout w;
    w.show();
    QSignalSpy pressed(w.Command1[1], &QPushButton::clicked);
    QTest::keyClick(&w, Qt::Key(key));
    QCOMPARE(pressed.count(), 1);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(int(host.messages.size()), 0);
}

QTEST_MAIN(TestInfo)
#include "test_info.moc"
