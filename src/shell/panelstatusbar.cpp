#include "panelstatusbar.h"
#include "twips.h"

PanelStatusBar::PanelStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

void PanelStatusBar::addPanel(const PanelDesign& design)
{
    auto* label = new QLabel(design.text, this);
    label->setObjectName(QString::fromLatin1(design.key));
    label->setToolTip(design.toolTip);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(twips::toPx(design.minWidth));
    switch (design.sizing) {
    case Sizing::Spring:
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        addWidget(label, 1);
        break;
    case Sizing::Fixed:
        label->setFixedWidth(twips::toPx(design.width));
        addWidget(label);
        break;
    case Sizing::Contents:
        label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        addWidget(label);
        break;
    }
    panels_.append(label);
}

QLabel* PanelStatusBar::panel(const QString& key) const
{
    for (QLabel* p : panels_) {
        if (p->objectName() == key)
            return p;
    }
    return nullptr;
}

void PanelStatusBar::setPanelText(const QString& key, const QString& text)
{
    if (QLabel* p = panel(key))
        p->setText(text);
}

QString PanelStatusBar::panelText(const QString& key) const
{
    const QLabel* p = panel(key);
    return p ? p->text() : QString();
}

QStringList PanelStatusBar::keys() const
{
    QStringList out;
    for (const QLabel* p : panels_)
        out << p->objectName();
    return out;
}
