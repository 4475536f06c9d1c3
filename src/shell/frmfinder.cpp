// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmfinder.h"
#include "linemenu.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

enum Column { Name, Operator, Stations, Station, Description, Columns };

} // namespace

// The hits as rows: a model rather than a list of items, so that a keystroke that lists every
// line costs no more than one that lists a few.
class FinderModel : public QAbstractTableModel
{
public:
    explicit FinderModel(const QList<IndexedLine>& lines, QObject* parent)
        : QAbstractTableModel(parent), lines_(lines)
    { }

    void setHits(QList<FinderHit> hits)
    {
        beginResetModel();
        hits_ = std::move(hits);
        endResetModel();
    }
    const QList<FinderHit>& hits() const { return hits_; }
    void markLearning(const QSet<QString>& paths) { learning_ = paths; }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(hits_.size());
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : Columns;
    }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char* titles[] = {"路線", "事業者", "駅数", "一致した駅", "区間・都道府県"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return QString::fromUtf8(titles[section]);
    }

private:
    const QList<IndexedLine>& lines_;
    QList<FinderHit> hits_;
    QSet<QString> learning_;
};

QVariant FinderModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= hits_.size())
        return {};
    const FinderHit& hit = hits_[index.row()];
    const IndexedLine& line = lines_[hit.line];
    if (role == Qt::DecorationRole && index.column() == Name)
        return LineSwatch(line.meta.colour);
    if (role == Qt::TextAlignmentRole && index.column() == Stations)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    // A through service says what it runs over, in every column's tooltip.
    if (role == Qt::ToolTipRole && !line.meta.runsOver.isEmpty()) {
        const QString over = QStringLiteral("%1を経由").arg(line.meta.runsOver.join(u'・'));
        const QVariant shown = data(index, Qt::DisplayRole);
        return shown.toString().isEmpty() ? over : shown.toString() + u'\n' + over;
    }
    switch (index.column()) {
    case Name:
        return learning_.contains(line.path) ? line.name + QStringLiteral("　学習中") : line.name;
    case Operator:
        return line.meta.operatorName;
    case Stations:
        return QStringLiteral("%1駅").arg(line.stations.size());
    case Station:
        if (hit.station < 0)
            return {};
        return QStringLiteral("%1（%2）")
            .arg(line.stations[hit.station].name, line.stations[hit.station].reading);
    case Description:
        if (const QString suspended = SuspendedText(line.meta); !suspended.isEmpty())
            return LineDescription(line.meta) + QStringLiteral("　") + suspended;
        return LineDescription(line.meta);
    }
    return {};
}

frmFinder::frmFinder(const QList<IndexedLine>& lines, QWidget* parent, SayReading say)
    : QDialog(parent), lines_(lines), index_(BuildFinderIndex(lines_)), say_(std::move(say))
{
    setObjectName(QStringLiteral("frmFinder"));
    setWindowTitle(QStringLiteral("路線を探す"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt
        = new QLabel(QStringLiteral("路線名・読み・駅名・事業者・都道府県で探します(&S)："), this);
    layout->addWidget(prompt);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(
        QStringLiteral("例：山手線、やまのて、新宿、しんじゅく、東京メトロ"));
    txtFind->setClearButtonEnabled(true);
    prompt->setBuddy(txtFind);
    layout->addWidget(txtFind);

    model_ = new FinderModel(lines_, this);
    lstLines = new QTreeView(this);
    lstLines->setObjectName(QStringLiteral("lstLines"));
    lstLines->setModel(model_);
    lstLines->setRootIsDecorated(false);
    lstLines->setUniformRowHeights(true);
    lstLines->setAlternatingRowColors(true);
    lstLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstLines->setAllColumnsShowFocus(true);
    // Widths from the font, not from the rows: measuring 600 rows at each keystroke would cost
    // more than the search itself.
    const int em = fontMetrics().horizontalAdvance(QChar(u'あ'));
    for (const auto& [column, chars] :
         {std::pair {Name, 13}, {Operator, 8}, {Stations, 4}, {Station, 10}})
        lstLines->setColumnWidth(column, em * chars);
    lstLines->header()->setStretchLastSection(true);
    layout->addWidget(lstLines, 1);
    lblFound = new QLabel(this);
    lblFound->setObjectName(QStringLiteral("lblFound"));
    cmdSpeak = MakeSpeakButton(this, [this] { sayCurrent(); });
    cmdSpeak->setVisible(bool(say_));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblFound, 1);
    bottom->addWidget(cmdSpeak);
    layout->addLayout(bottom);

    txtFind->installEventFilter(this);
    lstLines->installEventFilter(this);
    connect(txtFind, &QLineEdit::textChanged, this, &frmFinder::search);
    connect(lstLines, &QAbstractItemView::doubleClicked, this, &frmFinder::choose);
    search(QString());
    const QSize wanted(em * 66, em * 40);
    resize(wanted.boundedTo(screen() ? screen()->availableSize() * 9 / 10 : wanted));
    txtFind->setFocus();
}

frmFinder::~frmFinder() = default;

const QList<FinderHit>& frmFinder::hits() const
{
    return model_->hits();
}

void frmFinder::search(const QString& text)
{
    model_->setHits(FindLines(index_, text));
    const int found = int(model_->hits().size());
    if (found > 0)
        lstLines->setCurrentIndex(model_->index(0, 0));
    if (FinderFold(text).isEmpty())
        lblFound->setText(QStringLiteral("%1 路線から探します。Enter で読み込み、Esc で閉じます。")
                              .arg(lines_.size()));
    else if (found == 0)
        lblFound->setText(QStringLiteral("「%1」に合う路線は見つかりません。").arg(text.trimmed()));
    else
        lblFound->setText(QStringLiteral("%1 路線が見つかりました。").arg(found));
}

void frmFinder::sayCurrent()
{
    const int row = lstLines->currentIndex().row();
    if (!say_ || row < 0 || row >= hits().size())
        return;
    const FinderHit& hit = hits()[row];
    const IndexedLine& line = lines_[hit.line];
    if (hit.station >= 0 && hit.station < line.stations.size())
        say_(line.stations[hit.station].name, line.stations[hit.station].reading);
    else if (!line.meta.reading.isEmpty())
        say_(line.name, line.meta.reading);
}

void frmFinder::choose()
{
    const QModelIndex current = lstLines->currentIndex();
    if (!current.isValid())
        return;
    chosen_ = lines_[model_->hits()[current.row()].line].path;
    accept();
}

bool frmFinder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (watched == txtFind) {
            // The list moves, the typing stays in the box.
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(lstLines, &copy);
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmFinder::markLearning(const QSet<QString>& paths)
{
    model_->markLearning(paths);
}
