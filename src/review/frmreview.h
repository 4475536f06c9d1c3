// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The review window: every station of the last game with the right reading, what was typed and
// how it ended, the record of the line in this mode, and the stations most often missed. From
// here the player plays the misses again, or the weakest stations.

#include "history.h"
#include "session.h"

#include "speakbutton.h"

#include <QDialog>
#include <QHash>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

struct ReviewData
{
    QString lineName; // as the game showed it, a retry's mark included
    std::int32_t mode = 0;
    QList<ReviewRow> rows;
    bool historyKept = false;
    LineStats stats;
    QList<MissedStation> weak;
    // What the line file says: its symbol, colour (#RRGGBB), description, and station numbers by
    // station name (empty when it says nothing).
    QString symbol;
    QString colour;
    QString description;
    QHash<QString, QString> numbers;
};

// What the loaded line's file says, for the review of a game on it: symbol, colour,
// description and the stations' numbers.
void TakeLoadedLineWords(ReviewData& data);
// The line's record as the review shows it.
QString RecordText(const LineStats& stats);
// The outcome as the review shows it.
QString OutcomeText(const ReviewRow& row);

class frmReview : public QDialog
{
    Q_OBJECT
public:
    enum class Choice { Close, RetryMisses, PracticeWeak };

    explicit frmReview(const ReviewData& data, QWidget* parent = nullptr);

    QTableWidget* grdStations = nullptr;
    QLabel* lblLine = nullptr; // the line's symbol, name and description

    QLabel* lblRecord = nullptr;
    QListWidget* lstWeak = nullptr;
    QPushButton* cmdRetry = nullptr;
    QPushButton* cmdPractice = nullptr;
    QPushButton* cmdClose = nullptr;

    QPushButton* cmdSpeak = nullptr; // ♪ 読み: the selected station's reading (and F6)

    Choice choice() const { return choice_; }
    // The voice for the selected station's reading; the button shows once it is given.
    void setSayReading(SayReading say);

private:
    // The stations of the game, misses in red; returns the number of misses.
    int buildStationGrid(const ReviewData& data);
    // The line's record in this mode and its weakest stations.
    QGroupBox* buildRecord(const ReviewData& data);

    Choice choice_ = Choice::Close;
    QList<ReviewRow> rows_;
    SayReading say_;
};
