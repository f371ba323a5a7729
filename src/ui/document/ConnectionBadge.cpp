#include "document/ConnectionBadge.h"

#include "common/DocumentContext.h"
#include "common/PanelStatusBar.h"

#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace {

// A round dot of the colour, for the window's icon.
QIcon dot(const QColor& colour) {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(130));
    painter.setBrush(colour);
    painter.drawEllipse(2, 2, 12, 12);
    return QIcon(p);
}

} // namespace

ConnectionBadge::ConnectionBadge(QWidget* document, const DocumentContext& context, PanelStatusBar* status,
                                 int panel)
    : QObject(document), document_(document), context_(context), status_(status), panel_(panel) {
    status_->setPanelToolTip(panel_,
                             QStringLiteral("The connection's environment, and whether it is read-only "
                                            "(Environment, ReadOnly in its connection string)"));
    connect(&context_, &DocumentContext::connectionChanged, this, &ConnectionBadge::update);
}

void ConnectionBadge::update() {
    profile_ = db::ConnectionProfile::of(context_.connectionString());
    QStringList parts;
    if (!profile_.environment.isEmpty()) parts << profile_.environment;
    if (profile_.readOnly) parts << QStringLiteral("Read-only");
    status_->setPanelText(panel_, parts.join(QStringLiteral(" | ")));
    const QColor colour(profile_.environmentColor);
    QLabel* label = status_->panel(panel_);
    label->setStyleSheet(
        colour.isValid() && !parts.isEmpty()
            ? QStringLiteral("QLabel { background: %1; color: %2; font-weight: bold; padding: 0 4px; }")
                  .arg(colour.name(),
                       colour.lightness() > 150 ? QStringLiteral("black") : QStringLiteral("white"))
            : QString());
    document_->setWindowIcon(colour.isValid() ? dot(colour) : QIcon());
}

QString ConnectionBadge::captionPrefix() const {
    return profile_.environment.isEmpty() ? QString() : QStringLiteral("[%1] ").arg(profile_.environment);
}
