// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 路線を探す: one search box and the lines that match, listed as the player types. Enter or a
// double click chooses the line under the cursor; Up and Down move in the list from the box.

#include "finder.h"
#include "lineindex.h"
#include "speakbutton.h"

#include <QDialog>
#include <QSet>

class QPushButton;

class QLabel;
class QLineEdit;
class QTreeView;
class FinderModel;

class frmFinder : public QDialog
{
    Q_OBJECT
public:
    // lines: the whole library, read whole (LineIndex); the index is built here, once. say,
    // when the voice can speak, says the selected station (or line) on F6 and a small button.
    explicit frmFinder(const QList<IndexedLine>& lines, QWidget* parent = nullptr,
                       SayReading say = {});
    ~frmFinder() override;

    QLineEdit* txtFind = nullptr;
    QTreeView* lstLines = nullptr;
    QLabel* lblFound = nullptr;
    QPushButton* cmdSpeak = nullptr;

    // The file of the line chosen; "" until one is.
    QString chosenPath() const { return chosen_; }
    // The lines listed now, best first (for tests and the benchmark).
    const QList<FinderHit>& hits() const;
    // The lines being learnt (by file), marked 学習中 in the list.
    void markLearning(const QSet<QString>& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search(const QString& text);
    void choose();
    // The selected row's station, or the line when no station of it matched, said aloud.
    void sayCurrent();

    QList<IndexedLine> lines_;
    FinderIndex index_;
    FinderModel* model_ = nullptr;
    QString chosen_;
    SayReading say_;
};
