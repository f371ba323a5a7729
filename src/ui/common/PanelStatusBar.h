#pragma once
// A status bar made of numbered panels (from 1), each a text or a picture.

#include <QStatusBar>

class QLabel;

class PanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // stretchPanel takes the spare width; the others size to their content.
    PanelStatusBar(int panels, int stretchPanel, QWidget* parent = nullptr);

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    void setPanelToolTip(int panel, const QString& tip);
    void setPanelIcon(int panel, const QIcon& icon);
    void setPanelMinimumWidth(int panel, int pixels);
    QLabel* panel(int panel) const;

signals:
    void panelDoubleClicked(int panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QLabel*> panels_;
};
