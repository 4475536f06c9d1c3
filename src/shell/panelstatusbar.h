// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A status bar of text panels addressed by key, each at its designed width. The panels are
// placed by hand rather than by a layout: a new time or score every tenth of a second then
// repaints that one panel instead of laying out and repainting the whole bar.

#include <QHash>
#include <QLabel>
#include <QWidget>

#include <memory>

class PanelStatusBar : public QWidget
{
    Q_OBJECT
public:
    enum class Sizing {
        Spring, // takes the width the others leave
        Fixed, // its design width
        Contents, // its design width, wider when its text needs it
    };
    struct PanelDesign
    {
        const char* key;
        QString text;
        QString toolTip;
        int width; // twips
        int minWidth; // twips
        Sizing sizing;
    };

    explicit PanelStatusBar(QWidget* parent = nullptr);
    void addPanel(const PanelDesign& design);

    void setPanelText(const QString& key, const QString& text);
    QString panelText(const QString& key) const;
    QLabel* panel(const QString& key) const;
    QStringList keys() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Panel
    {
        QLabel* label;
        PanelDesign design;
        std::shared_ptr<QHash<QString, int>> textWidths; // pixels, by text
    };
    int widthOf(const Panel& p) const;
    void placePanels();

    QList<Panel> panels_;
};
