// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelstatusbar.h"
#include "twips.h"

#include <algorithm>

PanelStatusBar::PanelStatusBar(QWidget* parent) : QWidget(parent) { }

void PanelStatusBar::addPanel(const PanelDesign& design)
{
    auto* label = new QLabel(design.text, this);
    label->setObjectName(QString::fromLatin1(design.key));
    label->setToolTip(design.toolTip);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A small fixed inset instead of the font-dependent default.
    label->setIndent(2);
    // Opaque: a new text repaints the panel alone, not the bar and the window behind it.
    label->setAutoFillBackground(true);
    panels_.append({label, design, std::make_shared<QHash<QString, int>>()});
    placePanels();
}

int PanelStatusBar::widthOf(const Panel& p) const
{
    const int design = twips::toPx(p.design.width);
    if (p.design.sizing != Sizing::Contents)
        return design;
    // Frame, inset and a little air around the text, as a label's own size hint would give.
    // Measuring shapes the text; the time panel alone shows the same hundred texts in every
    // question, so each width is measured once.
    auto known = p.textWidths->constFind(p.label->text());
    if (known == p.textWidths->cend())
        known = p.textWidths->insert(p.label->text(),
                                     p.label->fontMetrics().horizontalAdvance(p.label->text()));
    const int text = *known;
    const int chrome = 2 * p.label->frameWidth() + p.label->indent() + 4;
    return std::max({design, twips::toPx(p.design.minWidth), text + chrome});
}

void PanelStatusBar::placePanels()
{
    int others = 0;
    for (const Panel& p : panels_) {
        if (p.design.sizing != Sizing::Spring)
            others += widthOf(p);
    }
    int x = 0;
    for (const Panel& p : panels_) {
        const int w = p.design.sizing == Sizing::Spring
            ? std::max(twips::toPx(p.design.minWidth), width() - others)
            : widthOf(p);
        const QRect r(x, 0, w, height());
        if (p.label->geometry() != r)
            p.label->setGeometry(r);
        x += w;
    }
}

void PanelStatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePanels();
}

QLabel* PanelStatusBar::panel(const QString& key) const
{
    for (const Panel& p : panels_) {
        if (p.label->objectName() == key)
            return p.label;
    }
    return nullptr;
}

void PanelStatusBar::setPanelText(const QString& key, const QString& text)
{
    for (const Panel& p : panels_) {
        if (p.label->objectName() != key)
            continue;
        if (p.label->text() == text)
            return;
        p.label->setText(text);
        // Only a panel that has to grow or shrink moves the others.
        if (p.design.sizing == Sizing::Contents && widthOf(p) != p.label->width())
            placePanels();
        return;
    }
}

QString PanelStatusBar::panelText(const QString& key) const
{
    const QLabel* p = panel(key);
    return p ? p->text() : QString();
}

QStringList PanelStatusBar::keys() const
{
    QStringList out;
    for (const Panel& p : panels_)
        out << p.label->objectName();
    return out;
}
