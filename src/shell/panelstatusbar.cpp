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
    panels_.append({label, design});
    placePanels();
}

int PanelStatusBar::widthOf(const Panel& p) const
{
    const int design = twips::toPx(p.design.width);
    if (p.design.sizing != Sizing::Contents)
        return design;
    return std::max({design, twips::toPx(p.design.minWidth), p.label->sizeHint().width()});
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
        const int before = widthOf(p);
        p.label->setText(text);
        // Only a panel that has to grow or shrink moves the others.
        if (p.design.sizing == Sizing::Contents && widthOf(p) != before)
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
