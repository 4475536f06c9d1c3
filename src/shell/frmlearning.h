// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The learning settings window (オプション → 学習の設定): time per question, the order of
// 読み当て, the direction of travel, the right reading after a miss and 打ち直し.

#include "gamestate.h"
#include "history.h"

#include <QDialog>

class QCheckBox;
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
    QSpinBox* spnRetention = nullptr; // percent, within setting::kRetention
    QSpinBox* spnGoal = nullptr;
    QSpinBox* spnNewPerDay = nullptr;
    QSpinBox* spnReviewLimit = nullptr;
    QListWidget* lstLines = nullptr; // the lines being learnt, in order

    // The learner's list of lines, as shown and as left by the player.
    void setLearningLines(const QList<LearningLine>& lines);
    QList<LearningLine> learningLines() const;
};
