// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The answer box: a line edit that types hiragana from romaji by itself, like a Japanese input
// method in hiragana mode, for players who have none. Letters still waiting for their kana are
// shown underlined as the box's composition, so text() holds only committed text.

#include "romaji.h"

#include <QLineEdit>
#include <functional>

class KanaLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    // Called for every key press that produces a character, before the box acts on it, with
    // the character code (Enter 13, Backspace 8, Esc 27). Setting it to 0 swallows the key;
    // another code is handled as if that character had been typed. Enter arrives after the
    // waiting letters were committed, so text() is then the finished answer.
    std::function<void(int& keyAscii)> keyPress;

    QString pendingText() const { return m_composer.pending(); }
    void commitPending();
    void discardPending();

public slots:
    // These hide QLineEdit's slots of the same name: letters typed for the old text, and a
    // reading the system input method commits late for it, must not end up in the new one.
    void setText(const QString& text);
    void clear();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void handleCharacter(QKeyEvent* event, int code);
    void showComposition(const QString& commit);
    void abandonComposition();

    romaji::Composer m_composer;
    bool m_imComposing = false; // the system input method shows a pre-edit in the box
    bool m_dropLateCommit = false; // its composition was cut off by setText() or clear()
};
