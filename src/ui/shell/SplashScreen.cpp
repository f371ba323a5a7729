#include "shell/SplashScreen.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

SplashScreen::SplashScreen(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(420, 200);
    setStyleSheet(QStringLiteral("QWidget#frmSplash { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, "
                                 "stop:0 #2f5aa8, stop:1 #1c3870); } QLabel { color: white; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    auto* title = new QLabel(QStringLiteral("SQL Query Editor"), this);
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 9);
    f.setBold(true);
    title->setFont(f);
    const QStringList v = QApplication::applicationVersion().split(QLatin1Char('.'));
    version_ = new QLabel(QStringLiteral("Version: %1.%2").arg(v.value(0, QStringLiteral("1")), v.value(1, QStringLiteral("0"))),
                          this);
    version_->setObjectName(QStringLiteral("versionLabel"));
    loading_ = new QLabel(this);
    loading_->setObjectName(QStringLiteral("loadingLabel"));
    layout->addWidget(title);
    layout->addWidget(version_);
    layout->addStretch();
    layout->addWidget(loading_);
    timer_ = new QTimer(this);
    timer_->setInterval(120);
    connect(timer_, &QTimer::timeout, this, &SplashScreen::tick);
    timer_->start();
}

QString SplashScreen::loadingCaption() const { return loading_->text(); }

void SplashScreen::tick() {
    static const char* const steps[] = {"L", "Lo", "Loa", "Load", "Loadin", "Loading", "Loading.", "Loading..", "Loading..."};
    ++ticks_;
    if (ticks_ >= 1 && ticks_ <= 9) loading_->setText(QString::fromLatin1(steps[ticks_ - 1]));
    else ticks_ = 0; // the tick after the ninth starts the caption over
}

void SplashScreen::mousePressEvent(QMouseEvent*) { close(); }
