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

class TestMap : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::registerFontSubstitutions(); }
    void projection_data();
    void projection();
    void nearestLine();
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
