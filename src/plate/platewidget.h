#pragma once
// The station plate area: a picture that keeps what was last drawn on it.

#include <QImage>
#include <QWidget>

class PlateWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PlateWidget(QWidget* parent = nullptr);

    // The picture drawn on, in design pixels.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
};
