#pragma once
// The short window shown while the main window loads: the version and a
// growing "Loading..." caption.

#include <QWidget>

class QLabel;
class QTimer;

class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);
    QString loadingCaption() const;
    // One timer tick: the caption grows "L", "Lo", … "Loading...", then starts over.
    void tick();

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    QLabel* version_;
    QLabel* loading_;
    QTimer* timer_;
    int ticks_ = 0;
};
