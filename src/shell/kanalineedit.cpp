// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "kanalineedit.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QTextCharFormat>

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEscape = 27;

// The character a key press produces, 0 for none (arrows, function keys, modifiers).
int characterCode(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Escape:
        return kEscape;
    default:
        return event.text().isEmpty() ? 0 : event.text().at(0).unicode();
    }
}

Qt::Key keyFor(int code)
{
    switch (code) {
    case kBackspace:
        return Qt::Key_Backspace;
    case kEnter:
        return Qt::Key_Return;
    case kEscape:
        return Qt::Key_Escape;
    default:
        return Qt::Key_unknown;
    }
}

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return false;
    }
}

} // namespace

void KanaLineEdit::commitPending()
{
    if (m_composer.hasPending())
        showComposition(m_composer.flush());
}

void KanaLineEdit::discardPending()
{
    if (!m_composer.hasPending())
        return;
    m_composer.reset();
    showComposition({});
}

// The box is cleared for every question, maybe while the player is still composing with the
// system input method. When reset, ibus commits that reading a moment later, into the cleared box:
// the commit belongs to the old text and is dropped when it comes.
void KanaLineEdit::abandonComposition()
{
    discardPending();
    if (!m_imComposing)
        return;
    m_imComposing = false;
    m_dropLateCommit = true;
    QInputMethodEvent hidePreedit;
    QLineEdit::inputMethodEvent(&hidePreedit);
    if (hasFocus())
        QGuiApplication::inputMethod()->reset();
}

void KanaLineEdit::setText(const QString& text)
{
    abandonComposition();
    QLineEdit::setText(text);
}

void KanaLineEdit::clear()
{
    abandonComposition();
    QLineEdit::clear();
}

void KanaLineEdit::keyPressEvent(QKeyEvent* event)
{
    // A key the input method let through is new typing: no late commit can follow it.
    m_dropLateCommit = false;
    const int typed = characterCode(*event);
    if (typed == 0) {
        // Like an input method, commit what waits before the cursor moves away from it.
        if (!isModifierKey(event->key()))
            commitPending();
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (typed == kEnter)
        commitPending();

    int code = typed;
    if (keyPress)
        keyPress(code);
    if (code == 0) {
        event->accept();
    } else if (code == typed) {
        handleCharacter(event, code);
    } else {
        QKeyEvent replaced(QEvent::KeyPress, keyFor(code), Qt::NoModifier,
                           QString(QChar {char16_t(code)}));
        handleCharacter(&replaced, code);
        event->setAccepted(replaced.isAccepted());
    }
}

void KanaLineEdit::handleCharacter(QKeyEvent* event, int code)
{
    switch (code) {
    case kBackspace:
        if (m_composer.backspace()) {
            showComposition({});
            event->accept();
            return;
        }
        break;
    case kEnter:
        commitPending();
        break;
    case kEscape:
        // Esc cancels the composition; with nothing waiting it goes on (to close a dialog).
        if (m_composer.hasPending()) {
            discardPending();
            event->accept();
            return;
        }
        break;
    default: {
        // Shortcuts and the keypad ("-" there is a minus, not ー) are not romaji.
        const auto notRomaji
            = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::KeypadModifier;
        const QChar c {char16_t(code)};
        if (!isReadOnly() && event->text().size() == 1 && romaji::takesPart(c)
            && !(event->modifiers() & notRomaji)) {
            showComposition(m_composer.feed(c));
            event->accept();
            return;
        }
        commitPending();
    }
    }
    QLineEdit::keyPressEvent(event);
}

// Commits `commit` at the cursor (replacing a selection, with undo) and shows the waiting
// letters underlined after it, through the same event a real input method would send.
void KanaLineEdit::showComposition(const QString& commit)
{
    const QString preedit = m_composer.pending();
    QList<QInputMethodEvent::Attribute> attributes;
    if (!preedit.isEmpty()) {
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        attributes.append({QInputMethodEvent::TextFormat, 0, int(preedit.size()), underlined});
        attributes.append({QInputMethodEvent::Cursor, int(preedit.size()), 1, {}});
    }
    QInputMethodEvent event(preedit, attributes);
    event.setCommitString(commit);
    QLineEdit::inputMethodEvent(&event);
}

// Text from a real input method is the player's choice: take it as it comes. Letters of our own
// still waiting were seen by the player, so they are committed first, even for an empty event
// (fcitx5 sends one when it is switched on).
void KanaLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    commitPending();
    const bool late
        = m_dropLateCommit && (!event->commitString().isEmpty() || event->replacementLength() > 0);
    m_imComposing = !event->preeditString().isEmpty();
    if (m_imComposing)
        m_dropLateCommit = false; // a new composition has begun
    if (late) {
        QInputMethodEvent rest(event->preeditString(), event->attributes());
        QLineEdit::inputMethodEvent(&rest);
        event->setAccepted(rest.isAccepted());
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void KanaLineEdit::focusOutEvent(QFocusEvent* event)
{
    discardPending();
    QLineEdit::focusOutEvent(event);
}

// A click moves the cursor: commit first, as for the cursor keys.
void KanaLineEdit::mousePressEvent(QMouseEvent* event)
{
    commitPending();
    QLineEdit::mousePressEvent(event);
}
