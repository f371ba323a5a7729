#pragma once
// A two-pane splitter addressed by the share of its first pane ("ratio from
// top", 0.0 to 1.0). The requested ratio is kept when the splitter is
// resized; dragging the handle sets a new one. 1.0 hides the second pane,
// 0.0 the first.

#include <QSplitter>

class RatioSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit RatioSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    void setRatioFromTop(double ratio);
    double ratioFromTop() const { return ratio_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void apply();
    double ratio_ = 0.5;
    bool applying_ = false;
};
