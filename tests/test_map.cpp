// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// 地図: the projection and the hit test as plain functions, and one use of the map through the
// main window: it opens on the loaded line, a key zooms, a click selects another line and Enter
// loads it as the open dialog would.

#include "fakehost.h"
#include "fonts.h"
#include "frmmain.h"
#include "frmmap.h"
#include "gamestate.h"
#include "stationtable.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <cmath>

class TestMap : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::registerFontSubstitutions(); }
    void projection_data();
    void projection();
    void nearestLine();
    void loadedLineNamed_data();
    void loadedLineNamed();
    void namesStayOnTheMap();
    void longSegmentsPaintQuickly_data();
    void longSegmentsPaintQuickly();
    void mapThroughTheMainWindow();
};

void TestMap::projection_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("scale");
    QTest::newRow("大崎, city scale") << 35.619772 << 139.728439 << 5000.0;
    QTest::newRow("稚内, country scale") << 45.41 << 141.67 << 30.0;
    QTest::newRow("那覇, street scale") << 26.21 << 127.68 << 150000.0;
}

void TestMap::projection()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(double, scale);
    const QSizeF window(800, 600);
    const MapView view {34.4, 132.46, scale};
    const QPointF pixel = Project(view, window, latitude, longitude);
    double lat = 0, lon = 0;
    Unproject(view, window, pixel, &lat, &lon);
    QVERIFY(qAbs(lat - latitude) < 1e-9 && qAbs(lon - longitude) < 1e-9);
    // North is up, and a degree of longitude is shorter than one of latitude.
    const QPointF north = Project(view, window, latitude + 0.01, longitude);
    const QPointF east = Project(view, window, latitude, longitude + 0.01);
    QVERIFY(north.y() < pixel.y() && east.x() > pixel.x());
    QVERIFY(east.x() - pixel.x() < pixel.y() - north.y());
    // Zooming around a pixel keeps the place under it.
    const MapView zoomed = ZoomAround(view, window, pixel, 1.5);
    QCOMPARE(zoomed.scale, std::min(scale * 1.5, kMaxMapScale));
    const QPointF after = Project(zoomed, window, latitude, longitude);
    QVERIFY2(QLineF(after, pixel).length() < 0.01, qPrintable(QString::number(after.x())));
    // A fitted view holds its box whole, centred.
    GeoBox box;
    box.add(latitude, longitude);
    box.add(latitude + 0.3, longitude + 0.5);
    const MapView fitted = FitView(box, window, 20);
    for (const auto& [a, b] : {std::pair {box.south, box.west}, {box.north, box.east}})
        QVERIFY(QRectF(19, 19, 762, 562).contains(Project(fitted, window, a, b)));
}

void TestMap::nearestLine()
{
    const QList<QPolygonF> lines {QPolygonF {{0, 0}, {100, 0}}, QPolygonF {{0, 20}, {100, 20}},
                                  QPolygonF {{500, 500}}};
    QList<QRectF> boxes;
    for (const QPolygonF& l : lines)
        boxes << l.boundingRect();
    QCOMPARE(NearestPolyline(lines, boxes, {50, 4}, 8), 0);
    QCOMPARE(NearestPolyline(lines, boxes, {50, 14}, 8), 1);
    QCOMPARE(NearestPolyline(lines, boxes, {120, 0}, 8), -1); // past the end
    QCOMPARE(NearestPolyline(lines, boxes, {505, 503}, 8), 2); // a line of one station
    QCOMPARE(DistanceToPolyline(lines[0], {-3, 4}), 5.0);
    // Thinning keeps both ends and drops only the crowded points.
    const QPolygonF thinned = Thinned(QPolygonF {{0, 0}, {0.5, 0}, {3, 0}, {3.2, 0}, {3.4, 0}}, 2);
    QCOMPARE(thinned, (QPolygonF {{0, 0}, {3, 0}, {3.4, 0}}));
}

void TestMap::loadedLineNamed_data()
{
    QTest::addColumn<QStringList>("stations"); // name, latitude, longitude
    QTest::addColumn<QSize>("window");
    const QStringList ginza {"浅草 35.711883 139.798214",       "田原町 35.709897 139.790897",
                             "稲荷町 35.711273 139.782593",     "上野 35.713790 139.777043",
                             "上野広小路 35.707680 139.772877", "末広町 35.702972 139.771713",
                             "神田 35.691173 139.770641",       "三越前 35.687156 139.773571",
                             "日本橋 35.682078 139.773516",     "京橋 35.676856 139.770126",
                             "銀座 35.671989 139.763965",       "新橋 35.666195 139.758587",
                             "虎ノ門 35.670236 139.749832",     "溜池山王 35.673621 139.741419",
                             "赤坂見附 35.677021 139.737047",   "青山一丁目 35.672765 139.724159",
                             "外苑前 35.670527 139.717857",     "表参道 35.665247 139.712314",
                             "渋谷 35.658871 139.701238"};
    const QStringList yamanoteNorth {
        "新宿 35.689729 139.700464",     "新大久保 35.700875 139.700261",
        "高田馬場 35.712677 139.703715", "目白 35.720476 139.706228",
        "池袋 35.730256 139.711086",     "大塚 35.731412 139.728584",
        "巣鴨 35.733445 139.739303",     "駒込 35.736825 139.748053",
        "田端 35.737781 139.761229",     "西日暮里 35.731954 139.766857",
        "日暮里 35.727908 139.771287",   "鶯谷 35.721484 139.778015",
        "上野 35.713790 139.777043"};
    QStringList row;
    for (int i = 0; i < 12; ++i)
        row << QStringLiteral("駅%1 35.0 %2").arg(i).arg(135.0 + 0.0015 * i, 0, 'f', 4);
    QTest::newRow("銀座線, a window at twice the scale") << ginza << QSize(555, 370);
    QTest::newRow("銀座線") << ginza << QSize(900, 620);
    QTest::newRow("山手線's north: 大塚 between 池袋 and 巣鴨") << yamanoteNorth << QSize(900, 620);
    QTest::newRow("stations in a row, closer than their names") << row << QSize(700, 400);
}

// Every name of the loaded line is written once the line is fitted into the window: beside its
// own dot, over no dot and no other name, inside the window.
void TestMap::loadedLineNamed()
{
    QFETCH(QStringList, stations);
    QFETCH(QSize, window);
    MapLine line;
    line.name = QStringLiteral("試験線");
    line.colour = QColor(0xf3, 0x97, 0x00);
    line.pale = line.colour;
    for (const QString& s : stations) {
        const QStringList f = s.split(u' ');
        line.stations.append({f[0], f[1].toDouble(), f[2].toDouble(), int(line.stations.size())});
        line.box.add(f[1].toDouble(), f[2].toDouble());
    }
    MapCanvas canvas({line});
    canvas.setCurrent(0, {}, {});
    canvas.resize(window);
    canvas.showCurrent();
    canvas.grab();
    const QList<QRectF>& names = canvas.currentNames();
    QCOMPARE(names.size(), stations.size());
    for (int i = 0; i < int(names.size()); ++i) {
        const QString what = stations[i].section(u' ', 0, 0);
        QVERIFY2(!names[i].isEmpty(), qPrintable(what + QStringLiteral(" unnamed")));
        QVERIFY2(QRectF(canvas.rect()).contains(names[i]), qPrintable(what));
        const auto distance = [&](int station) {
            const QPointF dot = canvas.stationPixel(0, station);
            const qreal dx = std::max({names[i].left() - dot.x(), 0.0, dot.x() - names[i].right()});
            const qreal dy = std::max({names[i].top() - dot.y(), 0.0, dot.y() - names[i].bottom()});
            return std::hypot(dx, dy);
        };
        for (int j = 0; j < int(names.size()); ++j) {
            QVERIFY2(distance(j) >= 4, qPrintable(what + QStringLiteral(" covers a dot")));
            if (j == i)
                continue;
            QVERIFY2(
                distance(j) > distance(i),
                qPrintable(what + QStringLiteral(" reads as ") + stations[j].section(u' ', 0, 0)));
            QVERIFY2(!names[i].intersects(names[j]), qPrintable(what));
        }
    }
}

// A name beside a station near the map's right edge goes to its left: the map is not the
// whole window it is painted into.
void TestMap::namesStayOnTheMap()
{
    QWidget window;
    window.resize(900, 400);
    MapLine line;
    line.name = QStringLiteral("端の線");
    line.colour = line.pale = QColor(0x9e, 0x9e, 0x9e);
    const MapView view {35.0, 135.0, 6000};
    for (const QPointF pixel : {QPointF(300, 260), QPointF(585, 200)}) {
        double latitude = 0, longitude = 0;
        Unproject(view, QSizeF(600, 400), pixel, &latitude, &longitude);
        line.stations.append(
            {pixel.x() < 500 ? QStringLiteral("内側") : QStringLiteral("右の端の駅"), latitude,
             longitude, int(line.stations.size())});
        line.box.add(latitude, longitude);
    }
    auto* canvas = new MapCanvas({line}, &window);
    canvas->setGeometry(0, 0, 600, 400);
    canvas->setView(view);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(canvas->labelsDrawn(), 2);
    for (const QRectF& name : canvas->namesDrawn())
        QVERIFY(QRectF(canvas->rect()).contains(name));
}

void TestMap::longSegmentsPaintQuickly_data()
{
    QTest::addColumn<QList<QPointF>>("stations"); // latitude, longitude
    QTest::addColumn<double>("scale");
    QList<QPointF> zigzag;
    for (int i = 0; i < 1001; ++i)
        zigzag.append(i % 2 ? QPointF(45.0, 145.0) : QPointF(24.5, 123.5));
    QTest::newRow("1001 stations zig-zag across Japan, a street in view") << zigzag << 150000.0;
    QTest::newRow("the same at the closest zoom") << zigzag << kMaxMapScale;
    QTest::newRow("the poles and 0/0")
        << QList<QPointF> {{90, 0}, {-90, 180}, {0, 0}, {35, 139}} << kMaxMapScale;
}

// A player's own line may hold anything its file can: segments thousands of kilometres long
// seen at street scale cost no more than what is on screen.
void TestMap::longSegmentsPaintQuickly()
{
    QFETCH(QList<QPointF>, stations);
    QFETCH(double, scale);
    MapLine line;
    line.name = QStringLiteral("長い線");
    line.colour = line.pale = QColor(0x9e, 0x9e, 0x9e);
    for (const QPointF& at : stations) {
        line.stations.append({QStringLiteral("駅"), at.x(), at.y(), int(line.stations.size())});
        line.box.add(at.x(), at.y());
    }
    line.suspended = QList<bool>(stations.size() - 1, false);
    line.suspended[1] = true; // dashes along a long segment too
    MapCanvas canvas({line, line});
    canvas.setCurrent(0, {}, {});
    canvas.resize(880, 620);
    // Midway along the second segment, where it crosses the window.
    const QPointF a = stations[1], b = stations[2];
    canvas.setView({(a.x() + b.x()) / 2, (a.y() + b.y()) / 2, scale});
    canvas.grab();
    // 17 ms here; before the segments were cut to the window, minutes. The bound leaves room
    // for the sanitizers.
    QVERIFY2(canvas.lastPaintMs() < 250, qPrintable(QString::number(canvas.lastPaintMs())));
}

void TestMap::mapThroughTheMainWindow()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("line/kinki"));
    const QString main = writeLineFile(dir, "line/kinki/main.txt",
                                       {"試験本線", "@事業者: 試験鉄道", "@色: #E60012", "###",
                                        "東駅,ひがしえき,@34.700000/135.500000",
                                        "中駅,なかえき,#T02 @34.700000/135.520000",
                                        "西駅,にしえき,@34.700000/135.540000"});
    const QString branch = writeLineFile(dir, "line/kinki/branch.txt",
                                         {"試験支線", "@事業者: 支線鉄道", "@区間: 北駅～南駅",
                                          "###", "北駅,きたえき,@34.740000/135.560000",
                                          "南駅,みなみえき,@34.760000/135.560000"});
    writeLineFile(dir, "line/kinki/far.txt", {"遠い線", "###", "遠駅,とおえき,@43.0/141.3"});
    FakeHost host;
    host.folder = dir.path();
    ResetStationTable();
    ResetGameState();
    frmMain w;
    w.Form_Load(QString());
    QVERIFY(w.OpenLineFile(main));
    QVERIFY(w.mnuMap->isEnabled());

    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* map = qobject_cast<frmMap*>(QApplication::activeModalWidget());
        QVERIFY(map);
        const auto closeAnyway = qScopeGuard([map] { map->reject(); });
        QVERIFY(QTest::qWaitForWindowExposed(map));
        MapCanvas* canvas = map->canvas();
        QCOMPARE(canvas->lines().size(), 3);
        const int current = canvas->current();
        QVERIFY(current >= 0);
        QCOMPARE(canvas->lines()[current].name, QStringLiteral("試験本線"));
        QVERIFY(map->statusText().startsWith(QStringLiteral("いまの路線：試験本線　試験鉄道")));
        // Opened on the line, its stations all in sight; a line never played is all new (white).
        for (int i = 0; i < 3; ++i)
            QVERIFY(canvas->rect().contains(canvas->stationPixel(current, i).toPoint()));
        const QImage shot = canvas->grab().toImage();
        const QPoint middle = canvas->stationPixel(current, 1).toPoint() * shot.devicePixelRatio();
        QCOMPARE(shot.pixelColor(middle), QColor(Qt::white));

        const double before = canvas->view().scale;
        QTest::keyClick(canvas, Qt::Key_Minus);
        QCOMPARE(canvas->view().scale, before / 1.5);
        // A click on the branch line selects it and tells what it is.
        const int other = current == 0 ? 1 : 0;
        QCOMPARE(canvas->lines()[other].name, QStringLiteral("試験支線"));
        const QPointF a = canvas->stationPixel(other, 0), b = canvas->stationPixel(other, 1);
        QTest::mouseClick(canvas, Qt::LeftButton, {}, ((a + b) / 2 + QPointF(3, 0)).toPoint());
        QCOMPARE(canvas->selected(), other);
        QVERIFY(map->statusText().contains(QStringLiteral("試験支線　支線鉄道　北駅～南駅")));
        QTest::keyClick(canvas, Qt::Key_Return);
        QVERIFY(!map->isVisible());
        checked = true;
    });
    w.mnuMap->trigger();
    QVERIFY(checked);
    // Loaded as the open dialog loads a line.
    QCOMPARE(gLineFilePath, branch);
    QCOMPARE(gLineName, QStringLiteral("試験支線"));
    QCOMPARE(w.windowTitle().left(6), QStringLiteral("branch"));
}

QTEST_MAIN(TestMap)
#include "test_map.moc"
