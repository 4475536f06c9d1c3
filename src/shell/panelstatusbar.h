#pragma once
// A status bar of text panels addressed by key.

#include <QLabel>
#include <QStatusBar>

class PanelStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    enum class Sizing { Spring, Fixed, Contents };
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

private:
    QList<QLabel*> panels_;
};
