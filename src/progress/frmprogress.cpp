// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmprogress.h"
#include "forecastchart.h"
#include "host.h"
#include "learningdesk.h"
#include "placement.h"
#include "playcalendar.h"
#include "progresschart.h"
#include "progresstext.h"
#include "routediagram.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>

namespace {

QLabel* wrappingLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QPushButton* button(QWidget* parent, const QString& text, const QString& name)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

// The share of a region's stations known, as a bar under its percentage.
class ShareDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const double share = std::clamp(index.data(Qt::UserRole).toDouble(), 0.0, 1.0);
        const QRect r = option.rect.adjusted(4, 4, -4, -4);
        p->save();
        if (option.state & QStyle::State_Selected)
            p->fillRect(option.rect, option.palette.highlight());
        p->fillRect(r, QColor(0xeb, 0xed, 0xf0));
        p->fillRect(QRect(r.topLeft(), QSize(int(r.width() * share), r.height())),
                    QColor(0x7f, 0xce, 0xb9));
        p->setPen(Qt::black);
        p->drawText(r.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                    index.data(Qt::DisplayRole).toString());
        p->restore();
    }
};

QString folderFor(QStandardPaths::StandardLocation where)
{
    const QString folder = QStandardPaths::writableLocation(where);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

} // namespace

frmProgress::frmProgress(const LineProgress& line, const LibraryProgress& library,
                         CsvExport exportCsv, QWidget* parent)
    : QDialog(parent), line_(line), library_(library), exportCsv_(std::move(exportCsv))
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("成績 - ") + line.lineName);
    setSizeGripEnabled(true);

    tabPages = new QTabWidget(this);
    tabPages->setObjectName(QStringLiteral("tabPages"));
    tabPages->addTab(buildLinePage(), QStringLiteral("この路線(&L)"));
    tabPages->addTab(buildLibraryPage(QDate::currentDate()), QStringLiteral("全体(&A)"));

    cmdSaveCsv
        = button(this, QStringLiteral("履歴を CSV で保存(&V)..."), QStringLiteral("cmdSaveCsv"));
    cmdSaveCsv->setEnabled(bool(exportCsv_));
    cmdClose = button(this, QStringLiteral("閉じる(&C)"), QStringLiteral("cmdClose"));
    connect(cmdSaveChart, &QPushButton::clicked, this, &frmProgress::saveChart);
    connect(cmdSaveRoute, &QPushButton::clicked, this, &frmProgress::saveRoute);
    connect(cmdSaveCsv, &QPushButton::clicked, this, &frmProgress::saveCsv);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSaveCsv);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabPages, 1);
    layout->addLayout(buttons);

    // The keyboard goes through the controls in the order they are made: the page's from top
    // to bottom, then the buttons under the pages.
    cmdClose->setDefault(true);
    picRoute->setFocus();
    const int h = fontMetrics().height();
    resize(QSize(h * 72, h * 62).expandedTo(sizeHint()));
}

QWidget* frmProgress::buildLinePage()
{
    auto* page = new QWidget(this);
    lblCaption = wrappingLabel(page, QStringLiteral("lblCaption"));
    QFont bold = lblCaption->font();
    bold.setBold(true);
    lblCaption->setFont(bold);
    lblCaption->setText(line_.games.isEmpty()
                            ? LineCaption(line_)
                            : QStringLiteral("%1　最後まで遊んだゲーム %2 回")
                                  .arg(LineCaption(line_), Grouped(line_.games.size())));
    cmdSaveChart
        = button(page, QStringLiteral("グラフを画像で保存(&G)..."), QStringLiteral("cmdSaveChart"));
    cmdSaveChart->setEnabled(!line_.games.isEmpty());
    picChart = new ProgressChart(line_, page);
    if (line_.games.isEmpty())
        picChart->setMaximumHeight(fontMetrics().lineSpacing() * 5);

    picRoute = new RouteDiagram(line_, page);
    auto* routeLabel = new QLabel(QStringLiteral("路線図(&R)"), page);
    routeLabel->setBuddy(picRoute);
    cmdSaveRoute
        = button(page, QStringLiteral("路線図を画像で保存(&D)..."), QStringLiteral("cmdSaveRoute"));
    cmdSaveRoute->setEnabled(!line_.stations.isEmpty());
    lblStation = wrappingLabel(page, QStringLiteral("lblStation"));
    lblStation->setMinimumHeight(fontMetrics().lineSpacing() * 3);
    lblStation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblStation->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    lblKnown = wrappingLabel(page, QStringLiteral("lblKnown"));
    lblKnown->setFont(bold);
    lblKnown->setText(KnownShareText(line_));
    connect(picRoute, &RouteDiagram::selectedChanged, this, &frmProgress::showStation);
    showStation(-1);
    lblCounts = wrappingLabel(page, QStringLiteral("lblCounts"));
    // Easy is for a card already known: say so where 覚えた is shown.
    lblCounts->setText(LineCountsText(line_)
                       + QStringLiteral("\n覚えた: 3週間以上覚えていられる駅。はじめての正解と、"
                                        "忘れた後の最初の正解は、速くても「簡単」にはしません。"));
    picForecast = new ForecastChart(line_.forecast, QDate::currentDate(), page);
    auto* forecastLabel
        = new QLabel(QStringLiteral("これから %1 日の復習").arg(kForecastDays), page);

    auto* chartRow = new QHBoxLayout;
    chartRow->addWidget(lblCaption, 1);
    chartRow->addWidget(cmdSaveChart);
    auto* routeRow = new QHBoxLayout;
    routeRow->addWidget(routeLabel);
    routeRow->addStretch(1);
    cmdSpeak = MakeSpeakButton(this, [this] {
        const int i = picRoute->selected();
        if (say_ && i >= 0 && i < line_.stations.size())
            say_(line_.stations[i].name, line_.stations[i].reading);
    });
    routeRow->addWidget(cmdSpeak);
    routeRow->addWidget(cmdSaveRoute);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(chartRow);
    layout->addWidget(picChart, 4);
    layout->addLayout(routeRow);
    layout->addWidget(picRoute, 5);
    layout->addWidget(new RouteLegend(page));
    layout->addWidget(lblStation);
    layout->addWidget(lblKnown);
    auto* countsRow = new QHBoxLayout;
    countsRow->addWidget(lblCounts, 3);
    auto* forecastColumn = new QVBoxLayout;
    forecastColumn->addWidget(forecastLabel);
    forecastColumn->addWidget(picForecast);
    countsRow->addLayout(forecastColumn, 2);
    layout->addLayout(countsRow);
    forecastLabel->setVisible(!line_.forecast.isEmpty());
    picForecast->setVisible(!line_.forecast.isEmpty());
    // Room that neither a short line nor an empty chart takes stays at the bottom.
    layout->addStretch(0);
    return page;
}

QTableWidget* frmProgress::buildRegionGrid(QWidget* page)
{
    auto* grid = new QTableWidget(int(library_.regions.size()), 4, page);
    grid->setObjectName(QStringLiteral("grdRegions"));
    grid->setHorizontalHeaderLabels({QStringLiteral("地域"), QStringLiteral("覚えた駅"),
                                     QStringLiteral("駅数"), QStringLiteral("割合")});
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    grid->setItemDelegateForColumn(3, new ShareDelegate(grid));
    for (int r = 0; r < grid->rowCount(); ++r) {
        const RegionProgress& region = library_.regions[r];
        const double share = region.stations > 0 ? double(region.known) / region.stations : 0;
        const QStringList cells {region.region, Grouped(region.known), Grouped(region.stations),
                                 QStringLiteral("%1%").arg(WholePercent(share))};
        for (int c = 0; c < int(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setData(Qt::UserRole, share);
            grid->setItem(r, c, item);
        }
    }
    grid->resizeColumnsToContents();
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setMinimumSectionSize(fontMetrics().horizontalAdvance(u'0') * 8);
    return grid;
}

QWidget* frmProgress::buildLibraryPage(QDate today)
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("pageLibrary"));
    lblLibrary = wrappingLabel(page, QStringLiteral("lblLibrary"));
    QFont bold = lblLibrary->font();
    bold.setBold(true);
    lblLibrary->setFont(bold);
    lblLibrary->setText(LibraryKnownText(library_));
    grdRegions = buildRegionGrid(page);
    auto* regionsLabel = new QLabel(QStringLiteral("地域ごとの覚えた駅(&E)"), page);
    regionsLabel->setBuddy(grdRegions);

    picCalendar = new PlayCalendar(library_, today, page);
    lblCalendar = wrappingLabel(page, QStringLiteral("lblCalendar"));
    lblCalendar->setText(CalendarSummary(library_, today));
    lblStreak = wrappingLabel(page, QStringLiteral("lblStreak"));
    lblStreak->setFont(bold);
    lblStreak->setText(StreakText(library_));

    auto* regions = new QVBoxLayout;
    regions->addWidget(regionsLabel);
    regions->addWidget(grdRegions, 1);
    auto* days = new QVBoxLayout;
    days->addWidget(new QLabel(QStringLiteral("遊んだ日"), page));
    days->addWidget(picCalendar);
    days->addWidget(lblCalendar);
    days->addWidget(lblStreak);
    days->addStretch(1);
    // Regions and days side by side when the page is wide enough, else one above the other.
    libraryColumns_ = new QBoxLayout(QBoxLayout::LeftToRight);
    libraryColumns_->addLayout(regions, 1);
    libraryColumns_->addLayout(days);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(lblLibrary);
    layout->addLayout(libraryColumns_, 1);
    page->installEventFilter(this);
    return page;
}

bool frmProgress::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == picCalendar->parentWidget()) {
        const int needed = picCalendar->sizeHint().width() * 2 + 40;
        libraryColumns_->setDirection(static_cast<QWidget*>(watched)->width() >= needed
                                          ? QBoxLayout::LeftToRight
                                          : QBoxLayout::TopToBottom);
    }
    return QDialog::eventFilter(watched, event);
}

void frmProgress::setSayReading(SayReading say)
{
    say_ = std::move(say);
    cmdSpeak->setVisible(bool(say_));
}

void frmProgress::showStation(int station)
{
    if (station < 0 || station >= line_.stations.size()) {
        lblStation->setText(line_.stations.isEmpty()
                                ? QString()
                                : QStringLiteral("駅をクリックするか、路線図で矢印キーを押すと、"
                                                 "その駅の読みと成績がここに出ます。"));
        return;
    }
    lblStation->setText(StationDetailText(line_.stations[station]));
}

QImage frmProgress::chartImage() const
{
    return RenderChart(line_, picChart->size().expandedTo(QSize(800, 400)), font());
}

QImage frmProgress::routeImage() const
{
    return RenderRoute(line_, std::max(640, picRoute->viewport()->width()), font());
}

QString frmProgress::askPath(const QString& title, const QString& what, const QString& filter,
                             const QString& suffix)
{
    platform::FileDialogSettings settings;
    settings.title = title;
    settings.filters = {filter};
    // A name of its own for each line, which a file system takes: no slashes.
    QString name = QStringLiteral("%1_%2.%3").arg(line_.lineName, what, suffix);
    name.replace(u'/', u'_').replace(u'\\', u'_');
    const auto where = suffix == QStringLiteral("csv") ? QStandardPaths::DocumentsLocation
                                                       : QStandardPaths::PicturesLocation;
    settings.initialFolder = QDir(folderFor(where)).filePath(name);
    QString path = platform::host().saveFileName(settings);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    return path;
}

void frmProgress::savePicture(const QImage& image, const QString& path, const QString& what)
{
    if (image.isNull() || !image.save(path, "PNG"))
        platform::messageBox(QStringLiteral("%1の画像を保存できませんでした。\n%2")
                                 .arg(what, QDir::toNativeSeparators(path)),
                             platform::Buttons::Ok, platform::Icon::Exclamation);
}

void frmProgress::saveChart()
{
    const QString path = askPath(QStringLiteral("グラフを画像で保存"), QStringLiteral("グラフ"),
                                 QStringLiteral("PNG 画像 (*.png)"), QStringLiteral("png"));
    if (!path.isEmpty())
        savePicture(chartImage(), path, QStringLiteral("グラフ"));
}

void frmProgress::saveRoute()
{
    const QString path = askPath(QStringLiteral("路線図を画像で保存"), QStringLiteral("路線図"),
                                 QStringLiteral("PNG 画像 (*.png)"), QStringLiteral("png"));
    if (!path.isEmpty())
        savePicture(routeImage(), path, QStringLiteral("路線図"));
}

void frmProgress::saveCsv()
{
    if (!exportCsv_)
        return;
    const QString path = askPath(QStringLiteral("履歴を CSV で保存"), QStringLiteral("履歴"),
                                 QStringLiteral("CSV ファイル (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QString why;
    if (exportCsv_(path, &why))
        return;
    QString text
        = QStringLiteral("履歴を保存できませんでした。\n%1").arg(QDir::toNativeSeparators(path));
    if (!why.isEmpty())
        text += u'\n' + why;
    platform::messageBox(text, platform::Buttons::Ok, platform::Icon::Exclamation);
}

void frmProgress::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !placed_) {
        placed_ = true;
        fitToScreen();
    }
}

void frmProgress::fitToScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The window manager frames the window only once it is mapped; until then the frame is
    // reckoned from the style, so that the framed window fits the screen.
    QMargins margins(geometry().left() - frameGeometry().left(),
                     geometry().top() - frameGeometry().top(),
                     frameGeometry().right() - geometry().right(),
                     frameGeometry().bottom() - geometry().bottom());
    if (margins.isNull()) {
        const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) + 2;
        const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
        margins = QMargins(border, title + border, border, border);
    }
    const QRect available = screen->availableGeometry();
    const QSize room(available.width() - margins.left() - margins.right(),
                     available.height() - margins.top() - margins.bottom());
    const QSize client = size().boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room));
    QRect outer(QPoint(0, 0), client.grownBy(margins));
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    // Over its owner, or the screen; wholly on the screen, its title bar first.
    outer = platform::CentredFrame(outer, this, owner, platform::Clamp::ToScreen).value_or(outer);
    setGeometry(outer.marginsRemoved(margins));
}
