// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmreview.h"
#include "gameloop.h"
#include "gamestate.h"
#include "stationtable.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

namespace {

// A miss stands out: a pale red row, its outcome in bold red.
const QColor kMissBackground(253, 226, 226);
const QColor kMissText(176, 0, 0);

} // namespace

void TakeLoadedLineWords(ReviewData& data)
{
    data.symbol = gLine.meta.symbol;
    data.colour = gLine.meta.colour;
    data.description = LineDescription(gLine.meta);
    // A section without trains for now is said beside what the line covers, so that a learner
    // who finds no train there knows why.
    if (const QString suspended = SuspendedText(gLine.meta); !suspended.isEmpty())
        data.description
            += (data.description.isEmpty() ? QString() : QStringLiteral("　")) + suspended;
    for (std::int32_t i = 0; i < gStationCount; ++i) {
        const QStringList numbers = ParseStationExtra(StationTable[i].Extra).numbers;
        if (!numbers.isEmpty())
            data.numbers.insert(StationTable[i].StationName, numbers.join(u' '));
    }
}

QString RecordText(const LineStats& stats)
{
    QString text;
    if (stats.games == 0 && stats.practice == 0 && stats.stopped == 0)
        return QStringLiteral("まだ記録がありません。");
    if (stats.games == 0)
        text = QStringLiteral("終点まで遊んだゲームはまだありません。");
    else
        text = QStringLiteral("プレイ %1 回　最高得点 %2 点　最高正解率 %3%")
                   .arg(stats.games)
                   .arg(stats.bestScore)
                   .arg(QString::number(stats.bestRate * 100.0, 'f', 1));
    // Retries, practice and stopped games are plays too, but never a best.
    if (stats.practice > 0)
        text += QStringLiteral("　練習 %1 回").arg(stats.practice);
    if (stats.stopped > 0)
        text += QStringLiteral("　中断 %1 回").arg(stats.stopped);
    return text + QStringLiteral("　最後に遊んだ日 ")
        + stats.last.toString(QStringLiteral("yyyy/MM/dd"));
}

QString OutcomeText(const ReviewRow& row)
{
    if (!row.question)
        return QStringLiteral("―");
    const QString name = OutcomeName(row.outcome);
    return name.isEmpty() ? QStringLiteral("未出題") : name;
}

static QString LineHeading(const ReviewData& data)
{
    QString text;
    if (!data.colour.isEmpty())
        text += QStringLiteral("<span style=\"color:%1\">&#x25A0;</span> ").arg(data.colour);
    if (!data.symbol.isEmpty())
        text += QStringLiteral("<b>%1</b> ").arg(data.symbol.toHtmlEscaped());
    text += data.lineName.toHtmlEscaped();
    if (!data.description.isEmpty())
        text += QStringLiteral("&#x3000;<span style=\"color:#555\">%1</span>")
                    .arg(data.description.toHtmlEscaped());
    return text;
}

int frmReview::buildStationGrid(const ReviewData& data)
{
    // The station numbers lead, as on the signs, when the line file gives them.
    const int first = data.numbers.isEmpty() ? 0 : 1;
    grdStations = new QTableWidget(int(data.rows.size()), 6 + first, this);
    grdStations->setObjectName(QStringLiteral("grdStations"));
    QStringList headers {QStringLiteral("駅名"), QStringLiteral("正しい読み"),
                         QStringLiteral("入力"), QStringLiteral("結果"),
                         QStringLiteral("秒数"), QStringLiteral("ヒント")};
    if (first > 0)
        headers.prepend(QStringLiteral("駅番号"));
    grdStations->setHorizontalHeaderLabels(headers);
    grdStations->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdStations->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdStations->setSelectionMode(QAbstractItemView::SingleSelection);
    grdStations->verticalHeader()->setVisible(false);
    // Rows as tall as the text needs, so that a whole line fits on the screen.
    grdStations->verticalHeader()->setDefaultSectionSize(grdStations->fontMetrics().height() + 6);
    grdStations->setTabKeyNavigation(false);
    int misses = 0;
    for (int r = 0; r < int(data.rows.size()); ++r) {
        const ReviewRow& row = data.rows[r];
        const bool asked = row.question && row.outcome != Outcome::NotAsked;
        QStringList cells {row.station,
                           row.reading,
                           row.typed,
                           OutcomeText(row),
                           asked ? FormatTenths(row.tenths) : QString(),
                           asked && row.hints > 0 ? QString::number(row.hints) : QString()};
        if (first > 0)
            cells.prepend(data.numbers.value(row.station));
        const bool miss = row.question && IsMiss(row.outcome);
        misses += miss ? 1 : 0;
        for (int c = 0; c < int(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 4 + first)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (miss) {
                item->setBackground(kMissBackground);
                if (c == 3 + first) {
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                    item->setForeground(kMissText);
                }
            }
            grdStations->setItem(r, c, item);
        }
    }
    grdStations->resizeColumnsToContents();
    grdStations->horizontalHeader()->setStretchLastSection(true);
    if (!data.rows.isEmpty())
        grdStations->selectRow(0);

    return misses;
}

QGroupBox* frmReview::buildRecord(const ReviewData& data)
{
    auto* record
        = new QGroupBox(QStringLiteral("この路線の記録（%1）").arg(GetModeName(data.mode)), this);
    lblRecord = new QLabel(record);
    lblRecord->setObjectName(QStringLiteral("lblRecord"));
    lblRecord->setWordWrap(true);
    if (!data.historyKept) {
        lblRecord->setText(QStringLiteral("遊んだ記録を保存できないため、記録はありません。"));
    } else {
        lblRecord->setText(RecordText(data.stats));
    }
    auto* weakLabel = new QLabel(QStringLiteral("苦手な駅(&W)"), record);
    lstWeak = new QListWidget(record);
    lstWeak->setObjectName(QStringLiteral("lstWeak"));
    weakLabel->setBuddy(lstWeak);
    for (const MissedStation& s : data.weak)
        lstWeak->addItem(
            s.recall >= 0.0
                ? QStringLiteral("%1（%2）　思い出せる見込み %3%")
                      .arg(s.station, s.reading)
                      .arg(qRound(s.recall * 100.0))
                : QStringLiteral("%1（%2）　%3 回").arg(s.station, s.reading).arg(s.misses));
    if (data.weak.isEmpty())
        lstWeak->addItem(QStringLiteral("（まだありません）"));
    lstWeak->setMaximumHeight(lstWeak->fontMetrics().height() * 6 + 8);
    auto* recordLayout = new QVBoxLayout(record);
    recordLayout->addWidget(lblRecord);
    recordLayout->addWidget(weakLabel);
    recordLayout->addWidget(lstWeak);

    return record;
}

frmReview::frmReview(const ReviewData& data, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReview"));
    setWindowTitle(QStringLiteral("復習 - ") + data.lineName);

    const int misses = buildStationGrid(data);
    QGroupBox* record = buildRecord(data);

    cmdRetry = new QPushButton(QStringLiteral("間違えた駅をもう一度(&A)"), this);
    cmdRetry->setObjectName(QStringLiteral("cmdRetry"));
    cmdRetry->setEnabled(misses > 0);
    cmdPractice = new QPushButton(QStringLiteral("苦手な駅で練習(&P)"), this);
    cmdPractice->setObjectName(QStringLiteral("cmdPractice"));
    cmdPractice->setEnabled(!data.weak.isEmpty());
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdRetry, &QPushButton::clicked, this, [this] {
        choice_ = Choice::RetryMisses;
        accept();
    });
    connect(cmdPractice, &QPushButton::clicked, this, [this] {
        choice_ = Choice::PracticeWeak;
        accept();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    rows_ = data.rows;
    cmdSpeak = MakeSpeakButton(this, [this] {
        const int r = grdStations->currentRow();
        if (say_ && r >= 0 && r < rows_.size())
            say_(rows_[r].station, rows_[r].reading);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRetry);
    buttons->addWidget(cmdPractice);
    buttons->addStretch(1);
    buttons->addWidget(cmdSpeak);
    buttons->addWidget(cmdClose);
    auto* summary = new QLabel(
        QStringLiteral("%1 駅のうち、間違えた駅 %2").arg(data.rows.size()).arg(misses), this);
    lblLine = new QLabel(LineHeading(data), this);
    lblLine->setObjectName(QStringLiteral("lblLine"));
    lblLine->setTextFormat(Qt::RichText);
    lblLine->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblLine);
    layout->addWidget(summary);
    layout->addWidget(grdStations, 1);
    layout->addWidget(record);
    layout->addLayout(buttons);
    cmdClose->setDefault(true);
    grdStations->setFocus();
    resize(QSize(640, 600).boundedTo(screen() ? screen()->availableSize() : QSize(640, 600)));
}

void frmReview::setSayReading(SayReading say)
{
    say_ = std::move(say);
    cmdSpeak->setVisible(bool(say_));
}
