// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress window (成績): on one page the line being played, with the chart of its full
// games, its route diagram coloured by what the player knows and the share known; on the other
// the whole library, region by region, with a calendar of the days played and the streak. The
// chart and the diagram save as pictures, the history as CSV.

#include "progressdata.h"

#include "speakbutton.h"
#include <QDate>

#include <QDialog>
#include <QImage>
#include <functional>

class PlayCalendar;
class QBoxLayout;
class ProgressChart;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class RouteDiagram;

class frmProgress : public QDialog
{
    Q_OBJECT
public:
    // Writes the whole history to path as CSV; on failure false, and why in Japanese.
    using CsvExport = std::function<bool(const QString& path, QString* why)>;

    frmProgress(const LineProgress& line, const LibraryProgress& library, CsvExport exportCsv,
                QWidget* parent = nullptr);

    QTabWidget* tabPages = nullptr;
    // この路線
    QLabel* lblCaption = nullptr;
    ProgressChart* picChart = nullptr;
    RouteDiagram* picRoute = nullptr;
    QLabel* lblStation = nullptr; // the selected station's reading and answers
    QLabel* lblKnown = nullptr;
    QLabel* lblCounts = nullptr; // the stations by state, the day the line was complete
    QWidget* picForecast = nullptr; // the reviews of the coming days
    QPushButton* cmdSaveChart = nullptr;
    QPushButton* cmdSaveRoute = nullptr;
    QPushButton* cmdSpeak = nullptr; // ♪ 読み: the selected station's reading (and F6)
    // 全体
    QLabel* lblLibrary = nullptr;
    QTableWidget* grdRegions = nullptr;
    PlayCalendar* picCalendar = nullptr;
    QLabel* lblCalendar = nullptr;
    QLabel* lblStreak = nullptr;
    // Both pages
    QPushButton* cmdSaveCsv = nullptr;
    QPushButton* cmdClose = nullptr;

    // The voice for the selected station's reading; the button shows once it is given.
    void setSayReading(SayReading say);

    // The pictures the buttons save, at the size they are saved.
    QImage chartImage() const;
    QImage routeImage() const;

    // What the buttons do: ask for a file, then write it; a failure is told in a message box.
    void saveChart();
    void saveRoute();
    void saveCsv();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SayReading say_;
    QWidget* buildLinePage();
    QWidget* buildLibraryPage(QDate today);
    QTableWidget* buildRegionGrid(QWidget* page);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showStation(int station);
    // Asks where to save; "" when cancelled. A name without an extension gets suffix.
    QString askPath(const QString& title, const QString& what, const QString& filter,
                    const QString& suffix);
    void savePicture(const QImage& image, const QString& path, const QString& what);
    void fitToScreen();

    LineProgress line_;
    LibraryProgress library_;
    CsvExport exportCsv_;
    QBoxLayout* libraryColumns_ = nullptr;
    bool placed_ = false;
};
