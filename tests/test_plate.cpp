// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"
#include "fonts.h"
#include "frmoptiondialog.h"
#include "gamestate.h"
#include "plate.h"
#include "platesurface.h"
#include "platewidget.h"
#include "stationtable.h"
#include "twips.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;

// The plate area as the main window lays it out: 533 x 133 pixels.
QRect plateGeometry()
{
    return twips::rect(120, 120, 8000, 2000);
}

bool isBlack(const QImage& image, int x, int y)
{
    return (image.pixel(x, y) & RGB_MASK) == 0;
}
bool isWhite(const QImage& image, int x, int y)
{
    return (image.pixel(x, y) & RGB_MASK) == 0xFFFFFF;
}
// Text is antialiased: anything clearly darker than the background counts as ink.
bool isInk(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 160;
}

// The smallest rectangle holding every inked pixel of the area; null when there is none.
QRect inkBounds(const QImage& image, const QRect& area)
{
    QRect bounds;
    const QRect a = area.intersected(image.rect());
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (isInk(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QImage blankImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

// A 96 dpi picture of the plate's size at the given pixel ratio.
QImage plateImage(qreal ratio)
{
    const QSize design = plateGeometry().size();
    QImage image((QSizeF(design) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(PlateSurface::kDotsPerMeter);
    image.setDotsPerMeterY(PlateSurface::kDotsPerMeter);
    image.fill(kWhite);
    return image;
}

void drawOutline(QImage& image, const QRect& r, QRgb colour)
{
    for (int x = r.left(); x <= r.right(); ++x) {
        image.setPixel(x, r.top(), colour);
        image.setPixel(x, r.bottom(), colour);
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        image.setPixel(r.left(), y, colour);
        image.setPixel(r.right(), y, colour);
    }
}

// The sample line: 日暮里, 西日暮里, 田端.
void loadSampleLine()
{
    ResetStationTable();
    gLineName = QStringLiteral("山手線");
    const QStringList names {"日暮里", "西日暮里", "田端"};
    const QStringList readings {"にっぽり", "にしにっぽり", "たばた"};
    for (int i = 0; i < names.size(); ++i) {
        StationTable[std::size_t(i)].StationName = names[i];
        StationTable[std::size_t(i)].Reading = readings[i];
    }
    gStationCount = int(names.size());
}

enum class Place { Centre, Left, Right };

struct ExpectedText
{
    QString text;
    Place place;
    int y;
    double points;
};

} // namespace

Q_DECLARE_METATYPE(QList<ExpectedText>)

class TestPlate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void spreadChars_data();
    void spreadChars();
    void fontIsGothicAt96Dpi();
    void textWidthCountsTrailingBlanks();

    void modeTexts_data();
    void modeTexts();
    void textTopIsTheCellTop();
    void plateShapes_data();
    void plateShapes();
    void neighboursUnderTheBar_data();
    void neighboursUnderTheBar();
    void lastTableEntryReadsNoFurther();
    void wideNameClippedNotWrapped();
    void stationNumberOnlyWhereThereIsRoom();
    void textsFitTheirSpace_data();
    void textsFitTheirSpace();
    void eventsRunBetweenFillAndDot();
    void fillStyleKept();
    void titleLines_data();
    void titleLines();
    void highDensityKeepsDesignCoordinates_data();
    void highDensityKeepsDesignCoordinates();
    void widgetRepaintsFromMemory();

    void boxCoversBothCorners();
    void lineCoversBothEnds();
    void floodFill_data();
    void floodFill();
    void floodFillLeavesDiagonalLinesClosed();
    void floodFillLargeOpenPicture();

    void dialogLayout_data();
    void dialogLayout();
    void dialogFrame();
    void dialogChoices_data();
    void dialogChoices();
    void dialogIgnoresEscAndEnter();
    void dialogStartsAfresh();

    void writePictures();
};

void TestPlate::initTestCase()
{
    platform::registerFontSubstitutions();
}

void TestPlate::init()
{
    ResetGameState();
    ResetStationTable();
    ResetPlateStyle();
}

// ---- texts --------------------------------------------------------------------------------

void TestPlate::spreadChars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("spread");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one") << "あ"
                         << "あ  ";
    QTest::newRow("five") << "にしにっぽ"
                          << "に  し  に  っ  ぽ  ";
    QTest::newRow("blank kept") << "a b"
                                << "a     b  ";
    // Code units, not characters: each half of a surrogate pair gets its blanks.
    QTest::newRow("surrogate pair")
        << QString::fromUtf8("𠮷") << QStringLiteral("\xD842  \xDFB7  ");
}

void TestPlate::spreadChars()
{
    QFETCH(QString, text);
    QFETCH(QString, spread);
    QCOMPARE(SpreadChars(text), spread);
    QCOMPARE(SpreadChars(text).size(), 3 * text.size());
}

void TestPlate::fontIsGothicAt96Dpi()
{
    QImage image = plateImage(1);
    PlateSurface s(image);
    QFont font(QString::fromUtf8(platform::kProportionalGothic));
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
    // A kanji is one em wide: 12 pt are 16 px and 34 pt 45 px at 96 dpi.
    s.setFontSize(12);
    QCOMPARE(s.textWidth(QStringLiteral("駅")), 16);
    s.setFontSize(34);
    QCOMPARE(s.textWidth(QStringLiteral("駅")), 45);
    QCOMPARE(s.textWidth(QString()), 0);
}

void TestPlate::textWidthCountsTrailingBlanks()
{
    QImage image = plateImage(1);
    PlateSurface s(image);
    s.setFontSize(16);
    const int bare = s.textWidth(QStringLiteral("た"));
    const int spread = s.textWidth(QStringLiteral("た  "));
    QVERIFY(spread > bare + 4);
}

void TestPlate::modeTexts_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<ExpectedText>>("expected");

    const QString top = SpreadChars(SpreadChars(QStringLiteral("にしにっぽり")));
    const QString name = SpreadChars(QStringLiteral("西日暮里"));
    const QString next = SpreadChars(QStringLiteral("たばた"));
    const QString previous = SpreadChars(QStringLiteral("にっぽり"));
    const ExpectedText topLine {top, Place::Centre, 10, 12};
    const ExpectedText nameLine {name, Place::Centre, 25, 34};
    const ExpectedText nextLine {next, Place::Left, 100, 16};
    const ExpectedText previousLine {previous, Place::Right, 100, 16};

    QTest::newRow("早打ち") << 0 << 1
                            << QList<ExpectedText> {topLine, nameLine, nextLine, previousLine};
    QTest::newRow("読み当て") << 1 << 1 << QList<ExpectedText> {nameLine, nextLine, previousLine};
    QTest::newRow("駅当て") << 2 << 1 << QList<ExpectedText> {topLine, nameLine, previousLine};
    QTest::newRow("no mode") << -1 << 1
                             << QList<ExpectedText> {topLine, nameLine, nextLine, previousLine};

    const ExpectedText firstTop {SpreadChars(SpreadChars(QStringLiteral("にっぽり"))),
                                 Place::Centre, 10, 12};
    const ExpectedText firstName {SpreadChars(QStringLiteral("日暮里")), Place::Centre, 25, 34};
    const ExpectedText firstNext {SpreadChars(QStringLiteral("にしにっぽり")), Place::Left, 100,
                                  16};
    QTest::newRow("first station: no previous")
        << 0 << 0 << QList<ExpectedText> {firstTop, firstName, firstNext};
    QTest::newRow("first station in 駅当て: neither neighbour")
        << 2 << 0 << QList<ExpectedText> {firstTop, firstName};

    const ExpectedText lastTop {SpreadChars(SpreadChars(QStringLiteral("たばた"))), Place::Centre,
                                10, 12};
    const ExpectedText lastName {SpreadChars(QStringLiteral("田端")), Place::Centre, 25, 34};
    const ExpectedText emptyNext {QString(), Place::Left, 100, 16};
    const ExpectedText lastPrevious {SpreadChars(QStringLiteral("にしにっぽり")), Place::Right, 100,
                                     16};
    QTest::newRow("last station: empty next")
        << 0 << 2 << QList<ExpectedText> {lastTop, lastName, emptyNext, lastPrevious};
}

void TestPlate::modeTexts()
{
    QFETCH(int, mode);
    QFETCH(int, index);
    QFETCH(QList<ExpectedText>, expected);
    FakeHost host;
    loadSampleLine();
    gGameMode = mode;
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, index);

    PlateSurface& s = pic.surface();
    QCOMPARE(s.width(), 533);
    const int w = 533;
    const int h = w / 2;
    QList<PlateSurface::TextCall> want;
    for (const ExpectedText& e : expected) {
        s.setFontSize(e.points);
        const int tw = s.textWidth(e.text);
        int x = 0;
        switch (e.place) {
        case Place::Centre:
            x = (w - tw) / 2;
            break;
        case Place::Left:
            x = (h - tw) / 2;
            QVERIFY(x >= 0 && x + tw <= h);
            break;
        case Place::Right:
            x = h + (h - tw) / 2;
            QVERIFY(x >= h && x + tw <= w);
            break;
        }
        want.append({e.text, x, e.y, e.points});
    }
    QCOMPARE(s.texts(), want);
}

void TestPlate::textTopIsTheCellTop()
{
    FakeHost host;
    loadSampleLine();
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, 1);
    const QImage image = pic.image();

    // Nothing above the reading line: drawn by its top, not its baseline.
    QVERIFY(inkBounds(image, QRect(0, 0, 533, 10)).isNull());
    const QRect reading = inkBounds(image, QRect(0, 0, 533, 25));
    QVERIFY(!reading.isNull());
    QVERIFY2(reading.top() >= 10 && reading.top() <= 14,
             qPrintable(QString::number(reading.top())));
    // The spread reading is centred: its last glyph is followed by eight blanks of ink-free
    // width, so the ink leans left of the middle but spans most of the plate.
    QVERIFY(reading.left() > 0 && reading.right() < 533);

    const QRect name = inkBounds(image, QRect(0, 25, 533, 45));
    QVERIFY(!name.isNull());
    QVERIFY2(name.top() >= 25 && name.top() <= 32, qPrintable(QString::number(name.top())));
    // Between the top reading and the name nothing inked reaches above y = 25 from the name.
    QVERIFY(reading.bottom() < 25 + 10);

    // The neighbours sit under the bar, each in its own half.
    const QRect left = inkBounds(image, QRect(0, 91, 266, 42));
    const QRect right = inkBounds(image, QRect(267, 91, 266, 42));
    QVERIFY(!left.isNull() && !right.isNull());
    QVERIFY(left.top() >= 100 && left.top() <= 106);
    QVERIFY(right.top() >= 100 && right.top() <= 106);
}

// ---- shapes -------------------------------------------------------------------------------

void TestPlate::plateShapes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("index");
    QTest::newRow("早打ち, middle") << 0 << 1;
    QTest::newRow("読み当て, first") << 1 << 0;
    QTest::newRow("駅当て, last") << 2 << 2;
}

void TestPlate::plateShapes()
{
    QFETCH(int, mode);
    QFETCH(int, index);
    FakeHost host;
    loadSampleLine();
    gGameMode = mode;
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, index);
    const QImage image = pic.image();
    QCOMPARE(image.size(), QSize(533, 133));

    // Background corners.
    for (const QPoint p : {QPoint(0, 0), QPoint(532, 0), QPoint(0, 132), QPoint(532, 132)})
        QVERIFY2(isWhite(image, p.x(), p.y()),
                 qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));

    // The bar: x 20 to the right edge, y 70 to 90, black but for the dot.
    auto inDot = [](int x, int y) { return std::hypot(x - 40, y - 80) <= 8.6; };
    for (int y = 70; y <= 90; ++y)
        for (int x = 20; x < 533; ++x)
            if (!inDot(x, y))
                QVERIFY2(isBlack(image, x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    for (int x = 21; x < 533; ++x) {
        QVERIFY(!isBlack(image, x, 69));
        QVERIFY(!isBlack(image, x, 91));
    }

    // The arrow head: each column a single black run, symmetric about y = 80, growing by one
    // pixel up and down every two columns, with white outside it.
    for (int x = 0; x < 20; ++x) {
        int top = -1, bottom = -1;
        for (int y = 60; y <= 100; ++y) {
            if (isBlack(image, x, y)) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        QVERIFY2(top >= 0, qPrintable(QString::number(x)));
        for (int y = top; y <= bottom; ++y)
            QVERIFY2(isBlack(image, x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        QCOMPARE(80 - top, bottom - 80);
        QVERIFY2(std::abs((80 - top) - x / 2.0) <= 1, qPrintable(QString::number(x)));
    }
    QVERIFY(isBlack(image, 19, 80));
    QVERIFY(isBlack(image, 0, 80));
    QVERIFY(isWhite(image, 5, 72));
    QVERIFY(isWhite(image, 5, 88));
    QVERIFY(isWhite(image, 0, 79));
    QVERIFY(isWhite(image, 0, 81));

    // The dot: white around (40, 80) up to radius 8, black just outside it, symmetric.
    for (const QPoint p : {QPoint(40, 80), QPoint(40, 73), QPoint(40, 72), QPoint(40, 88),
                           QPoint(32, 80), QPoint(48, 80)})
        QVERIFY2(isWhite(image, p.x(), p.y()),
                 qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint p : {QPoint(40, 71), QPoint(40, 89), QPoint(31, 80), QPoint(49, 80),
                           QPoint(47, 87), QPoint(33, 73)})
        QVERIFY2(isBlack(image, p.x(), p.y()),
                 qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    int white = 0;
    for (int dy = -10; dy <= 10; ++dy) {
        for (int dx = -10; dx <= 10; ++dx) {
            const bool w = isWhite(image, 40 + dx, 80 + dy);
            QCOMPARE(w, isWhite(image, 40 - dx, 80 - dy));
            QCOMPARE(w, isWhite(image, 40 + dy, 80 + dx));
            white += w;
        }
    }
    QVERIFY2(white > 200 && white < 300, qPrintable(QString::number(white)));
}

void TestPlate::neighboursUnderTheBar_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("leftInked");
    QTest::addColumn<bool>("rightInked");
    QTest::newRow("first station") << 0 << 0 << true << false;
    QTest::newRow("middle") << 0 << 1 << true << true;
    QTest::newRow("last station") << 0 << 2 << false << true;
    QTest::newRow("駅当て hides the next one") << 2 << 1 << false << true;
    QTest::newRow("読み当て keeps both") << 1 << 1 << true << true;
}

void TestPlate::neighboursUnderTheBar()
{
    QFETCH(int, mode);
    QFETCH(int, index);
    QFETCH(bool, leftInked);
    QFETCH(bool, rightInked);
    FakeHost host;
    loadSampleLine();
    gGameMode = mode;
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, index);
    const QImage image = pic.image();
    QCOMPARE(!inkBounds(image, QRect(0, 100, 266, 31)).isNull(), leftInked);
    QCOMPARE(!inkBounds(image, QRect(267, 100, 266, 31)).isNull(), rightInked);
}

void TestPlate::lastTableEntryReadsNoFurther()
{
    FakeHost host;
    for (int i = 0; i < kStationTableSize; ++i) {
        StationTable[std::size_t(i)].StationName = QStringLiteral("駅%1").arg(i);
        StationTable[std::size_t(i)].Reading = QStringLiteral("えき");
    }
    gStationCount = kStationTableSize;
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, kStationTableSize - 1);
    const auto& texts = pic.surface().texts();
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts[1].text, SpreadChars(QStringLiteral("駅1000")));
    QCOMPARE(texts[2].text, QString());
    QCOMPARE(texts[3].text, SpreadChars(QStringLiteral("えき")));
    const QImage image = pic.image();
    QVERIFY(inkBounds(image, QRect(0, 100, 266, 31)).isNull());
    QVERIFY(!inkBounds(image, QRect(267, 100, 266, 31)).isNull());
}

void TestPlate::stationNumberOnlyWhereThereIsRoom()
{
    FakeHost host;
    loadSampleLine();
    gGameMode = kModeYomiate;
    gLine.meta.symbol = QStringLiteral("JY");
    StationTable[1].Extra = QStringLiteral("#JK33 #JY08 @35.73/139.77");
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, 1);
    // The line's own number, boxed left of the name; the name and neighbours drawn as before.
    const auto& texts = pic.surface().texts();
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts[1].text, QStringLiteral("JY08"));
    QVERIFY(texts[1].x + pic.surface().textWidth(QStringLiteral("JY08")) < texts[0].x);
    QVERIFY(!inkBounds(pic.image(), QRect(0, 38, 10, 24)).isNull());
    // A name too long to leave room keeps the plate as designed.
    StationTable[1].StationName = QString(10, QChar(0x9577));
    DrawStationPlate(pic, 1);
    QCOMPARE(pic.surface().texts().size(), 3);
    gLine.meta = {};
}

void TestPlate::wideNameClippedNotWrapped()
{
    FakeHost host;
    StationTable[0].StationName = QString(20, QChar(0x9577)); // 長 × 20, spread to 60 units
    gStationCount = 1;
    gGameMode = kModeYomiate;
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, 0);

    const PlateSurface::TextCall name = pic.surface().texts().at(0);
    QVERIFY(name.x < 0);
    const QImage image = pic.image();
    pic.surface().setFontSize(34);
    QVERIFY(name.x + pic.surface().textWidth(name.text) > 533);
    // Condensed to no less than half its width, which is still too wide: cut at both edges of
    // the plate rather than shrunk further, glyphs (one every 35 pixels) up to both edges.
    QCOMPARE(name.stretch, 0.5);
    const QRect ink = inkBounds(image, QRect(0, 25, 533, 45));
    QVERIFY2(ink.left() < 30 && ink.right() > 502,
             qPrintable(QStringLiteral("%1..%2").arg(ink.left()).arg(ink.right())));
    QVERIFY(inkBounds(image, QRect(0, 25, 533, 45)).height() > 35);
    // On one row: nothing from it below the bar.
    QVERIFY(inkBounds(image, QRect(0, 91, 533, 42)).isNull());
}

void TestPlate::textsFitTheirSpace_data()
{
    QTest::addColumn<QString>("lineName");
    QTest::addColumn<QStringList>("readings");
    QTest::addColumn<int>("index"); // -1: the title
    QTest::addColumn<bool>("condensed");
    const QString yamanote = QStringLiteral("山手線");
    const QStringList sample {"にっぽり", "にしにっぽり", "たばた"};
    const QStringList hakozaki {"なかすかわばた",     "ごふくまち",
                                "ちよけんちょうぐち", "まいだしきゅうだいびょういんまえ",
                                "はこざきみやまえ",   "はこざききゅうだいまえ"};
    QTest::newRow("short neighbours as they were") << yamanote << sample << 1 << false;
    QTest::newRow("short title as it was") << yamanote << sample << -1 << false;
    QTest::newRow("long next beside a short previous") << yamanote << hakozaki << 2 << true;
    QTest::newRow("long previous beside a long next") << yamanote << hakozaki << 4 << true;
    QTest::newRow("long title") << QStringLiteral("東京メトロ丸ノ内線（方南町支線）") << sample
                                << -1 << true;
}

void TestPlate::textsFitTheirSpace()
{
    QFETCH(QString, lineName);
    QFETCH(QStringList, readings);
    QFETCH(int, index);
    QFETCH(bool, condensed);
    FakeHost host;
    ResetStationTable();
    gLineName = lineName;
    for (int i = 0; i < readings.size(); ++i) {
        StationTable[std::size_t(i)].StationName = QStringLiteral("駅");
        StationTable[std::size_t(i)].Reading = readings[i];
    }
    gStationCount = int(readings.size());
    gGameMode = kModeHayauchi;
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    if (index < 0)
        DrawGameTitle(pic);
    else
        DrawStationPlate(pic, index);
    const QImage image = pic.image();
    PlateSurface& s = pic.surface();
    // The row the checks read: the title's line name, or the neighbours under the bar.
    const QRect row = index < 0 ? QRect(0, 55, 533, 78) : QRect(0, 91, 533, 42);

    bool anyCondensed = false;
    for (const PlateSurface::TextCall& call : s.texts()) {
        QVERIFY2(call.stretch >= 0.5 && call.stretch <= 1, qPrintable(call.text));
        anyCondensed = anyCondensed || call.stretch < 1;
    }
    QCOMPARE(anyCondensed, condensed);
    if (!condensed) {
        // Pixel for pixel what plain drawing at the centred positions gives.
        QImage plainImage = plateImage(1);
        PlateSurface plain(plainImage);
        for (const PlateSurface::TextCall& call : s.texts()) {
            plain.setFontSize(call.points);
            plain.drawText(call.x, call.y, call.text);
        }
        QCOMPARE(image.copy(row), plainImage.convertToFormat(image.format()).copy(row));
    }

    if (index < 0) {
        // Whole, with white to spare at both edges of the plate.
        const QRect ink = inkBounds(image, row);
        QVERIFY2(ink.left() > 0 && ink.right() < 532,
                 qPrintable(QStringLiteral("%1..%2").arg(ink.left()).arg(ink.right())));
        return;
    }
    // Each neighbour within its half, and a column of white between the two.
    const QRect left = inkBounds(image, QRect(0, 91, 266, 42));
    const QRect right = inkBounds(image, QRect(266, 91, 267, 42));
    QVERIFY(!left.isNull() && !right.isNull());
    QVERIFY2(left.left() > 0 && left.right() + 1 < right.left() && right.right() < 532,
             qPrintable(QStringLiteral("%1..%2, %3..%4")
                            .arg(left.left())
                            .arg(left.right())
                            .arg(right.left())
                            .arg(right.right())));
}

void TestPlate::eventsRunBetweenFillAndDot()
{
    FakeHost host;
    loadSampleLine();
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    bool ran = false;
    bool filled = false;
    bool dotted = true;
    host.after(0, [&] {
        ran = true;
        filled = isBlack(pic.image(), 19, 80) && isBlack(pic.image(), 10, 80);
        dotted = isWhite(pic.image(), 40, 80);
    });
    DrawStationPlate(pic, 1);
    QVERIFY(ran);
    QVERIFY(filled);
    QVERIFY(!dotted);
    QVERIFY(isWhite(pic.image(), 40, 80));
}

void TestPlate::fillStyleKept()
{
    FakeHost host;
    loadSampleLine();
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    pic.surface().setFillStyle(Qt::Dense4Pattern);
    pic.surface().setFillColor(Qt::red);
    DrawStationPlate(pic, 1);
    QCOMPARE(pic.surface().fillStyle(), Qt::Dense4Pattern);
    QCOMPARE(pic.surface().fillColor(), QColor(Qt::red));
    // The dot is solid white all the same.
    QVERIFY(isWhite(pic.image(), 40, 80) && isWhite(pic.image(), 41, 80));
}

void TestPlate::titleLines_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("modeName");
    QTest::newRow("早打ち") << 0 << "早打ちモード";
    QTest::newRow("駅当て") << 2 << "駅当てモード";
    QTest::newRow("no mode") << -1 << "モード";
}

void TestPlate::titleLines()
{
    QFETCH(int, mode);
    QFETCH(QString, modeName);
    FakeHost host;
    loadSampleLine();
    gGameMode = mode;
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    DrawStationPlate(pic, 1); // the title replaces whatever was there
    DrawGameTitle(pic);

    PlateSurface& s = pic.surface();
    s.setFontSize(20);
    const int modeX = (533 - s.textWidth(modeName)) / 2;
    s.setFontSize(38);
    const int lineX = (533 - s.textWidth(QStringLiteral("山手線"))) / 2;
    QCOMPARE(s.texts(),
             (QList<PlateSurface::TextCall> {{modeName, modeX, 20, 20},
                                             {QStringLiteral("山手線"), lineX, 60, 38}}));

    const QImage image = pic.image();
    QVERIFY(inkBounds(image, QRect(0, 0, 533, 20)).isNull());
    const QRect top = inkBounds(image, QRect(0, 0, 533, 55));
    const QRect bottom = inkBounds(image, QRect(0, 60, 533, 73));
    QVERIFY(!top.isNull() && !bottom.isNull());
    // Both centred on the plate, give or take the glyphs' side bearings.
    QVERIFY2(std::abs(top.center().x() - 266) <= 3, qPrintable(QString::number(top.center().x())));
    QVERIFY2(std::abs(bottom.center().x() - 266) <= 3,
             qPrintable(QString::number(bottom.center().x())));
    QVERIFY(bottom.top() >= 60 && bottom.top() <= 70);
    // No bar on the title.
    QVERIFY(isWhite(image, 300, 70) || bottom.contains(300, 70));
    QVERIFY(isWhite(image, 10, 80));
}

void TestPlate::highDensityKeepsDesignCoordinates_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1.5") << qreal(1.5);
    QTest::newRow("2") << qreal(2);
    QTest::newRow("3") << qreal(3);
}

void TestPlate::highDensityKeepsDesignCoordinates()
{
    QFETCH(qreal, ratio);
    FakeHost host;
    loadSampleLine();
    QImage single = plateImage(1);
    QImage dense = plateImage(ratio);
    PlateSurface one(single);
    PlateSurface many(dense);
    DrawStationPlate(one, 1);
    DrawStationPlate(many, 1);
    QCOMPARE(many.width(), 533);
    QCOMPARE(many.height(), 133);

    // The same texts at the same design places.
    QCOMPARE(many.texts().size(), one.texts().size());
    for (int i = 0; i < one.texts().size(); ++i) {
        QCOMPARE(many.texts()[i].text, one.texts()[i].text);
        QCOMPARE(many.texts()[i].y, one.texts()[i].y);
        QVERIFY(std::abs(many.texts()[i].x - one.texts()[i].x) <= 1);
    }
    // Every black or white pixel of the bar, arrow head and dot at ratio 1 has that colour over
    // all the device pixels of that design pixel: the fill stayed in the arrow head.
    auto edge = [ratio](int u) { return int(std::lround(u * ratio)); };
    for (int y = 60; y <= 95; ++y) {
        for (int x = 0; x < 533; ++x) {
            const QRgb c = single.pixel(x, y) & RGB_MASK;
            const double r = std::hypot(x - 40, y - 80);
            const bool slant = x <= 20 && std::abs(std::abs(y - 80) - x / 2.0) <= 1;
            if ((r > 7 && r < 10) || slant || (c != 0 && c != 0xFFFFFF) || (y < 70 && x > 60))
                continue; // the dot's rim and the arrow's slants are finer; text is not a shape
            for (int dy = edge(y); dy < edge(y + 1); ++dy)
                for (int dx = edge(x); dx < edge(x + 1); ++dx)
                    QVERIFY2((dense.pixel(dx, dy) & RGB_MASK) == c,
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY((dense.pixel(0, 0) & RGB_MASK) == 0xFFFFFF);
    // The name's glyphs are drawn with the finer pixels, not enlarged coarse ones.
    const QImage scaledUp = single.scaled(dense.size());
    int differing = 0;
    for (int y = edge(25); y < edge(70); ++y)
        for (int x = 0; x < dense.width(); ++x)
            differing += dense.pixel(x, y) != scaledUp.pixel(x, y);
    QVERIFY(differing > 100);
    // So are the arrow head's slants: along them design pixels are part black, part white,
    // where enlarged coarse pixels would be one colour each.
    int split = 0;
    for (int y = 60; y <= 100; ++y) {
        for (int x = 0; x <= 20; ++x) {
            QSet<QRgb> colours;
            for (int dy = edge(y); dy < edge(y + 1); ++dy)
                for (int dx = edge(x); dx < edge(x + 1); ++dx)
                    colours.insert(dense.pixel(dx, dy) & RGB_MASK);
            split += colours.size() > 1;
        }
    }
    // A finer step about every other column of either slant's 21.
    QVERIFY2(split > 10, qPrintable(QString::number(split)));
}

void TestPlate::widgetRepaintsFromMemory()
{
    FakeHost host;
    loadSampleLine();
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    // Drawn before the window first shows: the picture is there already.
    DrawStationPlate(pic, 1);
    pic.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pic));
    QCOMPARE(pic.image().dotsPerMeterY(), PlateSurface::kDotsPerMeter);
    const QImage shown = pic.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), pic.image().size());
    QVERIFY(shown == pic.image().convertToFormat(QImage::Format_RGB32));
    // Hidden and shown again, it shows the same.
    pic.hide();
    pic.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pic));
    QVERIFY(pic.grab().toImage().convertToFormat(QImage::Format_RGB32) == shown);
}

// ---- drawing operations --------------------------------------------------------------------

void TestPlate::boxCoversBothCorners()
{
    QImage image = plateImage(1);
    PlateSurface s(image);
    s.filledBox(QPoint(25, 30), QPoint(20, 28), Qt::black);
    QCOMPARE(inkBounds(image, image.rect()), QRect(QPoint(20, 28), QPoint(25, 30)));
    // Reaching past the picture is clipped at its edge.
    s.clear();
    s.filledBox(QPoint(500, 10), QPoint(533, 12), Qt::black);
    QCOMPARE(inkBounds(image, image.rect()), QRect(QPoint(500, 10), QPoint(532, 12)));
}

void TestPlate::lineCoversBothEnds()
{
    QImage image = plateImage(1);
    PlateSurface s(image);
    s.line(QPoint(0, 80), QPoint(20, 70), Qt::black);
    QVERIFY(isBlack(image, 0, 80));
    QVERIFY(isBlack(image, 20, 70));
    // One pixel per column of a shallow line.
    for (int x = 0; x <= 20; ++x)
        QCOMPARE(inkBounds(image, QRect(x, 0, 1, 133)).height(), 1);
    QCOMPARE(inkBounds(image, image.rect()), QRect(QPoint(0, 70), QPoint(20, 80)));
}

void TestPlate::floodFill_data()
{
    QTest::addColumn<QImage>("before");
    QTest::addColumn<QPoint>("seed");
    QTest::addColumn<QImage>("after");

    const QRect square(2, 2, 6, 6); // outline x, y 2..7
    QImage closed = blankImage(10, 10);
    drawOutline(closed, square, kBlack);
    QImage closedFilled = closed;
    for (int y = 3; y <= 6; ++y)
        for (int x = 3; x <= 6; ++x)
            closedFilled.setPixel(x, y, kRed);
    QTest::newRow("closed square, inside only") << closed << QPoint(4, 4) << closedFilled;

    QImage outside = closed;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (!QRect(2, 2, 6, 6).contains(x, y))
                outside.setPixel(x, y, kRed);
    QTest::newRow("closed square, outside only") << closed << QPoint(0, 9) << outside;

    QImage gap = closed;
    gap.setPixel(7, 4, kWhite);
    QImage gapFilled = gap;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (gapFilled.pixel(x, y) == kWhite)
                gapFilled.setPixel(x, y, kRed);
    QTest::newRow("gap lets it out to the edges") << gap << QPoint(4, 4) << gapFilled;

    QTest::newRow("seed on the border") << closed << QPoint(2, 5) << closed;
    QTest::newRow("seed left of the picture") << closed << QPoint(-1, 4) << closed;
    QTest::newRow("seed below the picture") << closed << QPoint(4, 10) << closed;

    // Pixels of other colours are filled over; only the border colour stops it.
    QImage mixed = closed;
    mixed.setPixel(4, 4, 0xFF808080);
    mixed.setPixel(5, 5, kRed);
    QTest::newRow("other colours filled over") << mixed << QPoint(3, 3) << closedFilled;

    // A pocket reached only round a corner of a spiral.
    QImage spiral = blankImage(9, 9);
    drawOutline(spiral, QRect(0, 0, 9, 9), kBlack);
    for (int x = 2; x <= 8; ++x)
        spiral.setPixel(x, 2, kBlack);
    for (int y = 2; y <= 6; ++y)
        spiral.setPixel(2, y, kBlack);
    for (int x = 2; x <= 6; ++x)
        spiral.setPixel(x, 6, kBlack);
    for (int y = 4; y <= 6; ++y)
        spiral.setPixel(6, y, kBlack);
    QImage spiralFilled = spiral;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            if (spiralFilled.pixel(x, y) == kWhite)
                spiralFilled.setPixel(x, y, kRed);
    QTest::newRow("around a spiral") << spiral << QPoint(5, 5) << spiralFilled;
}

void TestPlate::floodFill()
{
    QFETCH(QImage, before);
    QFETCH(QPoint, seed);
    QFETCH(QImage, after);
    QImage image = before;
    PlateSurface::floodFillBorder(image, seed, kBlack, kRed);
    QCOMPARE(image, after);
}

void TestPlate::floodFillLeavesDiagonalLinesClosed()
{
    // A diamond of one-pixel diagonal lines touches only at pixel corners; the fill goes
    // left, right, up and down, so it stays inside.
    QImage image = plateImage(1);
    PlateSurface s(image);
    const QColor black(Qt::black);
    s.line(QPoint(50, 10), QPoint(80, 40), black);
    s.line(QPoint(80, 40), QPoint(50, 70), black);
    s.line(QPoint(50, 70), QPoint(20, 40), black);
    s.line(QPoint(20, 40), QPoint(50, 10), black);
    s.floodFillBorder(QPoint(50, 40), black, Qt::red);
    QCOMPARE(image.pixel(50, 40), kRed);
    QCOMPARE(image.pixel(50, 12), kRed);
    QCOMPARE(image.pixel(50, 9), kWhite);
    QCOMPARE(image.pixel(49, 10), kWhite);
    QCOMPARE(image.pixel(0, 0), kWhite);
    QCOMPARE(image.pixel(35, 24), kWhite); // just outside the upper left edge

    // Filling with the colour already there ends and changes nothing.
    QImage again = image;
    PlateSurface::floodFillBorder(again, QPoint(50, 40), kBlack, kRed);
    QCOMPARE(again, image);
}

void TestPlate::floodFillLargeOpenPicture()
{
    // A comb: a path of millions of pixels that winds up and down 2000 x 2000, which a
    // recursive fill would not survive.
    QImage image = blankImage(2000, 2000);
    for (int x = 1; x < 2000; x += 2) {
        const int gapY = (x / 2) % 2 == 0 ? 1999 : 0;
        for (int y = 0; y < 2000; ++y)
            if (y != gapY)
                image.setPixel(x, y, kBlack);
    }
    PlateSurface::floodFillBorder(image, QPoint(0, 0), kBlack, kRed);
    for (int x = 0; x < 2000; x += 2)
        for (const int y : {0, 999, 1999})
            QCOMPARE(image.pixel(x, y), kRed);
    QCOMPARE(image.pixel(1, 5), kBlack);

    QImage open = blankImage(2000, 2000);
    PlateSurface::floodFillBorder(open, QPoint(1999, 1999), kBlack, kRed);
    QImage red(2000, 2000, QImage::Format_RGB32);
    red.fill(kRed);
    QCOMPARE(open, red);
}

// ---- the plate style dialog ------------------------------------------------------------------

void TestPlate::dialogLayout_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twipRect");
    QTest::newRow("0") << 0 << "国鉄" << QRect(120, 240, 1215, 180);
    QTest::newRow("1") << 1 << "JR東(旧)" << QRect(120, 480, 1215, 255);
    QTest::newRow("2") << 2 << "JR東(新）" << QRect(120, 720, 1215, 255);
    QTest::newRow("3") << 3 << "JR海" << QRect(1440, 240, 1215, 255);
    QTest::newRow("4") << 4 << "JR四" << QRect(1440, 480, 1215, 255);
    QTest::newRow("5") << 5 << "JR四" << QRect(1440, 720, 1215, 255);
    QTest::newRow("6") << 6 << "JR四" << QRect(2400, 240, 1215, 255);
    QTest::newRow("7") << 7 << "JR四" << QRect(2400, 480, 1215, 255);
    QTest::newRow("8") << 8 << "JR四" << QRect(2400, 720, 1215, 255);
}

void TestPlate::dialogLayout()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QRect, twipRect);
    frmOptionDialog dialog;
    auto* option = dialog.findChild<QRadioButton*>(QStringLiteral("Option2_%1").arg(index));
    QVERIFY(option);
    QCOMPARE(option, dialog.Option2[std::size_t(index)]);
    QCOMPARE(option->parentWidget(), dialog.fraPlate);
    QCOMPARE(option->text(), caption);
    QCOMPARE(option->geometry(),
             twips::rect(twipRect.x(), twipRect.y(), twipRect.width(), twipRect.height()));
    QCOMPARE(option->isChecked(), index == 0);
}

void TestPlate::dialogFrame()
{
    QWidget owner;
    owner.setGeometry(200, 150, 600, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    frmOptionDialog dialog(&owner);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.windowTitle(), QStringLiteral("オプション設定"));
    QCOMPARE(dialog.size(), twips::size(3945, 1830));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(std::abs(dialog.geometry().center().x() - owner.geometry().center().x()) <= 2);
    QVERIFY(std::abs(dialog.geometry().center().y() - owner.geometry().center().y()) <= 2);

    QCOMPARE(dialog.fraPlate->title(), QStringLiteral("駅名板選択"));
    QCOMPARE(dialog.fraPlate->geometry(), twips::rect(120, 120, 3735, 1095));
    QCOMPARE(dialog.OKButton->text(), QStringLiteral("&OK"));
    QCOMPARE(dialog.OKButton->geometry(), twips::rect(1320, 1320, 1215, 375));
    QCOMPARE(dialog.CancelButton->text(), QStringLiteral("&Cancel"));
    QCOMPARE(dialog.CancelButton->geometry(), twips::rect(2640, 1320, 1215, 375));
    QVERIFY(!dialog.OKButton->isDefault() && !dialog.OKButton->autoDefault());
    QVERIFY(!dialog.CancelButton->isDefault() && !dialog.CancelButton->autoDefault());

    // Tab order, once round the focus chain from OK.
    QList<QWidget*> want {dialog.OKButton, dialog.CancelButton, dialog.fraPlate};
    for (QRadioButton* o : dialog.Option2)
        want << o;
    QList<QWidget*> chain;
    QWidget* w = dialog.OKButton;
    do {
        if (want.contains(w))
            chain << w;
        w = w->nextInFocusChain();
    } while (w != dialog.OKButton);
    QCOMPARE(chain, want);
    QCOMPARE(dialog.optionTag(), QString());
}

void TestPlate::dialogChoices_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("style");
    QTest::newRow("OK without a click") << QList<int> {} << true << 0;
    QTest::newRow("JR海") << QList<int> {3} << true << 3;
    QTest::newRow("JR海 then 国鉄") << QList<int> {3, 0} << true << 0;
    QTest::newRow("the last JR四") << QList<int> {1, 8} << true << 8;
    QTest::newRow("Cancel keeps it") << QList<int> {3} << false << 7;
    QTest::newRow("Cancel without a click") << QList<int> {} << false << 7;
}

void TestPlate::dialogChoices()
{
    QFETCH(QList<int>, clicks);
    QFETCH(bool, ok);
    QFETCH(int, style);
    gPlateStyle = 7;
    frmOptionDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const int i : clicks) {
        QTest::mouseClick(dialog.Option2[std::size_t(i)], Qt::LeftButton);
        QVERIFY(dialog.Option2[std::size_t(i)]->isChecked());
        QCOMPARE(dialog.optionTag(), QString::number(i));
    }
    QCOMPARE(gPlateStyle, 7); // nothing changes before OK
    QTest::mouseClick(ok ? dialog.OKButton : dialog.CancelButton, Qt::LeftButton);
    QCOMPARE(gPlateStyle, style);
    QVERIFY(!dialog.isVisible());
}

void TestPlate::dialogIgnoresEscAndEnter()
{
    gPlateStyle = 5;
    frmOptionDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.Option2[3], Qt::LeftButton);
    for (QWidget* focus : std::initializer_list<QWidget*> {dialog.OKButton, dialog.CancelButton,
                                                           dialog.Option2[3]}) {
        focus->setFocus();
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(focus, key);
            QVERIFY(dialog.isVisible());
        }
    }
    QCOMPARE(gPlateStyle, 5);
    // The close box still closes it, changing nothing.
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(gPlateStyle, 5);
}

void TestPlate::dialogStartsAfresh()
{
    // Two openings through the modal call; each sees the design state and picks something.
    struct Seen
    {
        bool firstChecked = false;
        QString tag = QStringLiteral("unset");
    };
    QList<Seen> seen;
    std::function<void(int)> pickLater = [&](int pick) {
        QTimer::singleShot(0, [&, pick] {
            auto* dialog = qobject_cast<frmOptionDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen.append({dialog->Option2[0]->isChecked(), dialog->optionTag()});
            QTest::mouseClick(dialog->Option2[std::size_t(pick)], Qt::LeftButton);
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
    };
    pickLater(4);
    frmOptionDialog::showModal(nullptr);
    QCOMPARE(gPlateStyle, 4);
    pickLater(6);
    frmOptionDialog::showModal(nullptr);
    QCOMPARE(gPlateStyle, 6);
    QCOMPARE(seen.size(), 2);
    for (const Seen& s : seen) {
        QVERIFY(s.firstChecked);
        QCOMPARE(s.tag, QString());
    }
    QVERIFY(!QApplication::activeModalWidget());
}

// ---- pictures to look at ---------------------------------------------------------------------

void TestPlate::writePictures()
{
    const QString folder = qEnvironmentVariable("TABIDORI_PLATE_PNG_DIR");
    if (folder.isEmpty())
        QSKIP("TABIDORI_PLATE_PNG_DIR names no folder to write the plates into");
    QVERIFY(QDir().mkpath(folder));
    FakeHost host;
    loadSampleLine();
    PlateWidget pic;
    pic.setGeometry(plateGeometry());
    for (const int mode : {0, 1, 2}) {
        gGameMode = mode;
        DrawStationPlate(pic, 1);
        QVERIFY(
            pic.image().save(QDir(folder).filePath(QStringLiteral("plate-mode%1.png").arg(mode))));
    }
    gGameMode = 0;
    DrawGameTitle(pic);
    QVERIFY(pic.image().save(QDir(folder).filePath(QStringLiteral("title.png"))));

    // The same plate on a screen of twice the density.
    QImage twice = plateImage(2);
    PlateSurface s(twice);
    DrawStationPlate(s, 1);
    QVERIFY(twice.save(QDir(folder).filePath(QStringLiteral("plate-mode0@2x.png"))));
}

QTEST_MAIN(TestPlate)
#include "test_plate.moc"
