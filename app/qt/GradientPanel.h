#pragma once

#include <QColor>
#include <QWidget>

namespace velmora::app {

// A panel filled with a three-colour gradient from top to bottom (start, middle, end).
class GradientPanel : public QWidget {
    Q_OBJECT
public:
    GradientPanel(QColor start, QColor middle, QColor end, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor start_;
    QColor middle_;
    QColor end_;
};

} // namespace velmora::app
