// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The learning settings window (オプション → 学習の設定): time per question, the order of
// 読み当て, the direction of travel, the right reading after a miss, 打ち直し and 読み上げ.

#include "gamestate.h"
#include "history.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QComboBox;
class QSpinBox;

class frmLearning : public QDialog
{
    Q_OBJECT
public:
    explicit frmLearning(const LearningSettings& settings, QWidget* parent = nullptr);

    // What the window shows now.
    LearningSettings settings() const;

    QComboBox* cmbSeconds = nullptr;
    QComboBox* cmbOrder = nullptr;
    QComboBox* cmbDirection = nullptr;
    QCheckBox* chkCorrection = nullptr;
    QCheckBox* chkRetype = nullptr;
    QComboBox* cmbSpeech = nullptr; // 読み上げ: しない, 間違えたとき, 答えのあと
    QLabel* lblSpeechReason = nullptr; // why 読み上げ is greyed, when it is
    QSpinBox* spnRetention = nullptr; // percent, within setting::kRetention
    QSpinBox* spnGoal = nullptr;
    QSpinBox* spnNewPerDay = nullptr;
    QSpinBox* spnReviewLimit = nullptr;
    QListWidget* lstLines = nullptr; // the lines being learnt, in order

    // Greys 読み上げ with the reason shown under it ("" leaves it as it is). The choice kept is
    // not changed.
    void setSpeechUnavailable(const QString& reason);

    // The learner's list of lines, as shown and as left by the player.
    void setLearningLines(const QList<LearningLine>& lines);
    QList<LearningLine> learningLines() const;
};
