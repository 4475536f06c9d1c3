// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmlearning.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

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
    spnRetention = new QSpinBox(this);
    spnRetention->setObjectName(QStringLiteral("spnRetention"));
    spnRetention->setRange(percent(setting::kRetention.min), percent(setting::kRetention.max));
    spnRetention->setSuffix(QStringLiteral(" %"));
    spnRetention->setValue(percent(settings.retention));
    form->addRow(QStringLiteral("復習で思い出せる見込み(&K):"), spnRetention);
    form->addRow(QString(),
                 note(this,
                      QStringLiteral("思い出せる見込みがこの割合まで下がった駅が"
                                     "今日の復習に出ます。高くするほど復習が"
                                     "増えます。")));
    spnGoal = new QSpinBox(this);
    spnGoal->setObjectName(QStringLiteral("spnGoal"));
    spnGoal->setRange(setting::kDailyGoal.min, setting::kDailyGoal.max);
    spnGoal->setSuffix(QStringLiteral(" 問"));
    spnGoal->setValue(settings.dailyGoal);
    form->addRow(QStringLiteral("1日の目標(&G):"), spnGoal);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
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
    s.retention = spnRetention->value() / 100.0;
    s.dailyGoal = spnGoal->value();
    return s;
}
