// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmlearning.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QComboBox* choices(QWidget* parent, const QStringList& items, int current, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setCurrentIndex(current);
    return box;
}

// A share as the whole percent the retention box shows.
int percent(double share)
{
    return int(std::lround(share * 100.0));
}

QSpinBox* spin(QWidget* parent, const char* name, const setting::Whole& limits, int value,
               const QString& suffix)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(limits.min, limits.max);
    box->setSuffix(suffix);
    box->setValue(value);
    return box;
}

QLabel* note(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

} // namespace

frmLearning::frmLearning(const LearningSettings& settings, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLearning"));
    setWindowTitle(QStringLiteral("学習の設定"));

    QStringList seconds;
    int secondsIndex = 0;
    const auto& secondChoices = setting::kQuestionSeconds.choices;
    for (std::size_t i = 0; i < secondChoices.size(); ++i) {
        const std::int32_t s = secondChoices[i];
        seconds << (s == setting::kQuestionSeconds.fallback ? QStringLiteral("%1 秒 (標準)")
                                                            : QStringLiteral("%1 秒"))
                       .arg(s);
        if (s == QuestionSecondsFrom(settings.questionSeconds))
            secondsIndex = int(i);
    }
    cmbSeconds = choices(this, seconds, secondsIndex, "cmbSeconds");
    cmbOrder = choices(this, {QStringLiteral("路線の順 (標準)"), QStringLiteral("ばらばら")},
                       settings.shuffled ? 1 : 0, "cmbOrder");
    cmbDirection = choices(
        this, {QStringLiteral("始発駅から終点へ (標準)"), QStringLiteral("終点から始発駅へ")},
        settings.reversed ? 1 : 0, "cmbDirection");
    chkCorrection = new QCheckBox(QStringLiteral("間違えたら正しい読みを表示する(&A)"), this);
    chkCorrection->setObjectName(QStringLiteral("chkCorrection"));
    chkCorrection->setChecked(settings.correction);
    chkRetype = new QCheckBox(QStringLiteral("間違えたら正しい読みを1回打ち直す(&R)"), this);
    chkRetype->setObjectName(QStringLiteral("chkRetype"));
    chkRetype->setChecked(settings.retype);

    cmbSpeech = choices(this,
                        {QStringLiteral("しない (標準)"), QStringLiteral("間違えたとき"),
                         QStringLiteral("答えのあと")},
                        int(setting::kSpeech.nearest(settings.speech)), "cmbSpeech");
    lblSpeechReason = note(this, QString());
    lblSpeechReason->setObjectName(QStringLiteral("lblSpeechReason"));
    lblSpeechReason->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("1問の時間(&T):"), cmbSeconds);
    form->addRow(QString(),
                 note(this,
                      QStringLiteral("得点は時間を変えても1問 0〜10 点です。"
                                     "残り時間の割合が同じなら、10 秒のときと"
                                     "同じ点になります。")));
    form->addRow(QStringLiteral("読み当ての出題順(&O):"), cmbOrder);
    form->addRow(QStringLiteral("進む向き(&D):"), cmbDirection);
    form->addRow(QString(),
                 note(this,
                      QStringLiteral("終点からにすると、駅当てでは一つ前の駅を"
                                     "答えます。向きを変えると路線を読み込み"
                                     "直します。")));
    form->addRow(chkCorrection);
    form->addRow(chkRetype);
    form->addRow(QString(), note(this, QStringLiteral("打ち直しは得点になりません。")));
    form->addRow(QStringLiteral("読み上げ(&S):"), cmbSpeech);
    form->addRow(QString(), lblSpeechReason);
    // The second page: what the memory does with the answers, and the new stations.
    auto* memory = new QFormLayout;
    spnRetention = new QSpinBox(this);
    spnRetention->setObjectName(QStringLiteral("spnRetention"));
    spnRetention->setRange(percent(setting::kRetention.min), percent(setting::kRetention.max));
    spnRetention->setSuffix(QStringLiteral(" %"));
    spnRetention->setValue(percent(settings.retention));
    memory->addRow(QStringLiteral("復習で思い出せる見込み(&K):"), spnRetention);
    memory->addRow(QString(),
                   note(this,
                        QStringLiteral("思い出せる見込みがこの割合まで下がった駅が"
                                       "今日の復習に出ます。高くするほど復習が"
                                       "増えます。")));
    spnGoal = spin(this, "spnGoal", setting::kDailyGoal, settings.dailyGoal, QStringLiteral(" 問"));
    memory->addRow(QStringLiteral("1日の目標(&G):"), spnGoal);
    spnNewPerDay = spin(this, "spnNewPerDay", setting::kNewPerDay, settings.newPerDay,
                        QStringLiteral(" 駅"));
    memory->addRow(QStringLiteral("1日の新しい駅(&N):"), spnNewPerDay);
    spnReviewLimit = spin(this, "spnReviewLimit", setting::kReviewLimit, settings.reviewLimit,
                          QStringLiteral(" 問"));
    memory->addRow(QStringLiteral("1日の復習の上限(&U):"), spnReviewLimit);
    memory->addRow(QString(),
                   note(this,
                        QStringLiteral("新しい駅は「ゲーム」→「新しい駅を覚える」で、"
                                       "見て、打って、思い出して覚えます。復習が上限を"
                                       "超えたら、忘れかけた駅から出題します。")));

    // The lines being learnt, in order: a lesson goes on to the next when one is done.
    lstLines = new QListWidget(this);
    lstLines->setObjectName(QStringLiteral("lstLines"));
    lstLines->setMaximumHeight(lstLines->fontMetrics().lineSpacing() * 6);
    auto* lineLabel = new QLabel(QStringLiteral("学習中の路線(&L):"), this);
    lineLabel->setBuddy(lstLines);
    auto* up = new QPushButton(QStringLiteral("上へ(&P)"), this);
    auto* down = new QPushButton(QStringLiteral("下へ(&W)"), this);
    auto* remove = new QPushButton(QStringLiteral("外す(&X)"), this);
    up->setObjectName(QStringLiteral("cmdLineUp"));
    down->setObjectName(QStringLiteral("cmdLineDown"));
    remove->setObjectName(QStringLiteral("cmdLineRemove"));
    const auto move = [this](int by) {
        const int row = lstLines->currentRow();
        if (row < 0 || row + by < 0 || row + by >= lstLines->count())
            return;
        lstLines->insertItem(row + by, lstLines->takeItem(row));
        lstLines->setCurrentRow(row + by);
    };
    connect(up, &QPushButton::clicked, this, [move] { move(-1); });
    connect(down, &QPushButton::clicked, this, [move] { move(+1); });
    connect(remove, &QPushButton::clicked, this, [this] { delete lstLines->currentItem(); });
    auto* lineButtons = new QVBoxLayout;
    for (QPushButton* b : {up, down, remove})
        lineButtons->addWidget(b);
    lineButtons->addStretch();
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(lstLines, 1);
    lineRow->addLayout(lineButtons);
    memory->addRow(lineLabel, lineRow);
    memory->addRow(QString(), note(this, QStringLiteral("外しても、覚えた記録は消えません。")));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    // Two pages, so that the window fits a small or scaled screen with its buttons in view.
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("tabPages"));
    auto* questions = new QWidget(pages);
    questions->setLayout(form);
    auto* remembering = new QWidget(pages);
    remembering->setLayout(memory);
    pages->addTab(questions, QStringLiteral("出題(&Q)"));
    pages->addTab(remembering, QStringLiteral("復習と新しい駅(&V)"));
    layout->addWidget(pages);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    cmbSeconds->setFocus();
}

LearningSettings frmLearning::settings() const
{
    LearningSettings s;
    const int i = cmbSeconds->currentIndex();
    const auto& secondChoices = setting::kQuestionSeconds.choices;
    s.questionSeconds = i >= 0 && i < int(secondChoices.size())
        ? secondChoices[std::size_t(i)]
        : setting::kQuestionSeconds.fallback;
    s.shuffled = cmbOrder->currentIndex() == 1;
    s.reversed = cmbDirection->currentIndex() == 1;
    s.correction = chkCorrection->isChecked();
    s.retype = chkRetype->isChecked();
    s.speech = setting::kSpeech.choices[std::size_t(std::clamp(cmbSpeech->currentIndex(), 0, 2))];
    s.retention = spnRetention->value() / 100.0;
    s.dailyGoal = spnGoal->value();
    s.newPerDay = spnNewPerDay->value();
    s.reviewLimit = spnReviewLimit->value();
    return s;
}

void frmLearning::setSpeechUnavailable(const QString& reason)
{
    if (reason.isEmpty())
        return;
    cmbSpeech->setEnabled(false);
    lblSpeechReason->setText(reason);
    lblSpeechReason->show();
}

void frmLearning::setLearningLines(const QList<LearningLine>& lines)
{
    lstLines->clear();
    for (const LearningLine& line : lines) {
        auto* item = new QListWidgetItem(line.lineName, lstLines);
        item->setData(Qt::UserRole, line.lineKey);
        item->setData(Qt::UserRole + 1, line.lineFile);
    }
}

QList<LearningLine> frmLearning::learningLines() const
{
    QList<LearningLine> lines;
    for (int i = 0; i < lstLines->count(); ++i) {
        const QListWidgetItem* item = lstLines->item(i);
        lines.append({item->data(Qt::UserRole).toString(), item->text(),
                      item->data(Qt::UserRole + 1).toString()});
    }
    return lines;
}
