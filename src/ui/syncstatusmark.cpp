#include "ui/syncstatusmark.h"

#include "sync/syncservice.h"
#include "widgets/colorscheme.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

namespace {

using Look = SyncStatusMark::Look;

constexpr int IconSize = 24;

Look lookOf(const sync::SyncService* service)
{
    if (!service)
        return Look::Hidden;
    switch (service->status()) {
    case sync::SyncService::Status::Off:
        return Look::Hidden;
    case sync::SyncService::Status::Waiting:
        return service->hasPassword() ? Look::Waiting : Look::Attention;
    case sync::SyncService::Status::Syncing:
        return Look::Syncing;
    case sync::SyncService::Status::Synced:
        return Look::Synced;
    case sync::SyncService::Status::Offline:
        return Look::Offline;
    case sync::SyncService::Status::NeedsAttention:
        return Look::Attention;
    }
    return Look::Hidden;
}

/// Two arrows chasing each other round a circle: the sign of sync.
void drawArrows(QPainter& painter, const QRectF& box, const QColor& colour)
{
    const QPointF centre = box.center();
    const qreal radius = box.width() * 0.36;
    QPen pen(colour, box.width() * 0.1, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    for (const int start : {30, 210}) {
        painter.drawArc(circle, start * 16, 130 * 16);
        // The head at the end of the arc, pointing along it.
        const qreal end = qDegreesToRadians(qreal(start + 130));
        const QPointF tip(centre.x() + radius * qCos(end), centre.y() - radius * qSin(end));
        const QPointF along(-qSin(end), -qCos(end));
        const QPointF across(qCos(end), -qSin(end));
        const qreal head = box.width() * 0.16;
        QPainterPath path;
        path.moveTo(tip + along * head);
        path.lineTo(tip + across * head * 0.9);
        path.lineTo(tip - across * head * 0.9);
        path.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(path);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
    }
}

/// A small round badge at the lower right, with a sign in it.
void drawBadge(QPainter& painter, const QRectF& box, const QColor& fill, const QColor& outline, const QColor& sign,
               Look look)
{
    const qreal size = box.width() * 0.5;
    const QRectF badge(box.right() - size, box.bottom() - size, size, size);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(fill);
    painter.drawEllipse(badge.adjusted(0.5, 0.5, -0.5, -0.5));
    QPen pen(sign, size * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPointF c = badge.center();
    const qreal u = size * 0.22;
    if (look == Look::Synced) {
        painter.drawPolyline(QPolygonF({c + QPointF(-u, 0), c + QPointF(-u * 0.3, u * 0.75), c + QPointF(u, -u * 0.8)}));
    } else if (look == Look::Attention) {
        painter.drawLine(c + QPointF(0, -u * 1.1), c + QPointF(0, u * 0.3));
        painter.drawPoint(c + QPointF(0, u * 1.05));
    } else if (look == Look::Offline) {
        painter.drawLine(c + QPointF(-u, -u), c + QPointF(u, u));
        painter.drawLine(c + QPointF(-u, u), c + QPointF(u, -u));
    }
}

} // namespace

QPixmap SyncStatusMark::picture(Look look, qreal ratio)
{
    QPixmap pixmap(QSize(IconSize, IconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(1, 1, IconSize - 2, IconSize - 2);
    const QColor text = schemeColor(ColorScheme::Text);
    const QColor arrows = look == Look::Offline ? schemeColor(ColorScheme::FadedText) : schemeColor(ColorScheme::Accent);
    drawArrows(painter, look == Look::Waiting || look == Look::Syncing ? box : box.adjusted(0, 0, -2, -2), arrows);
    switch (look) {
    case Look::Synced:
        drawBadge(painter, box, schemeColor(ColorScheme::Highlight), schemeColor(ColorScheme::Outline), text, look);
        break;
    case Look::Offline:
        drawBadge(painter, box, schemeColor(ColorScheme::Panel), schemeColor(ColorScheme::Outline), text, look);
        break;
    case Look::Attention:
        drawBadge(painter, box, schemeColor(ColorScheme::DueSoon), schemeColor(ColorScheme::Outline), text, look);
        break;
    case Look::Waiting:
    case Look::Syncing:
    case Look::Hidden:
        break;
    }
    return pixmap;
}

SyncStatusMark::SyncStatusMark(QWidget* parent)
    : FancyToolBtn(parent)
{
    setObjectName(QStringLiteral("syncStatusMark"));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFocusPolicy(Qt::TabFocus);
    setIconSize(QSize(IconSize, IconSize));
    _update();
}

void SyncStatusMark::setService(sync::SyncService* service)
{
    if (m_service)
        disconnect(m_service, nullptr, this, nullptr);
    m_service = service;
    if (service)
        connect(service, &sync::SyncService::statusChanged, this, &SyncStatusMark::_update);
    _update();
}

QIcon SyncStatusMark::_icon() const
{
    QIcon icon;
    // Both scales, so that the mark stays sharp on a screen of twice the density.
    icon.addPixmap(picture(m_look, 1));
    icon.addPixmap(picture(m_look, 2));
    return icon;
}

void SyncStatusMark::_update()
{
    const Look before = m_look;
    m_look = lookOf(m_service);
    QString shortText;
    switch (m_look) {
    case Look::Hidden:
        break;
    case Look::Waiting:
        shortText = tr("Sync soon");
        break;
    case Look::Syncing:
        shortText = tr("Syncing…");
        break;
    case Look::Synced:
        shortText = tr("Synced %1").arg(QLocale().toString(m_service->lastSynced().time(), QLocale::ShortFormat));
        break;
    case Look::Offline:
        shortText = tr("Offline");
        break;
    case Look::Attention:
        shortText = tr("Check sync");
        break;
    }
    setText(shortText);
    setIcon(_icon());
    const QString sentence = m_service ? m_service->statusText() : QString();
    setToolTip(sentence);
    setAccessibleName(sentence);
    if ((before == Look::Hidden) != (m_look == Look::Hidden))
        Q_EMIT wantedChanged(m_look != Look::Hidden);
}

void SyncStatusMark::changeEvent(QEvent* event)
{
    FancyToolBtn::changeEvent(event);
    if (event->type() == QEvent::LanguageChange || ColorScheme::isPaletteChange(event))
        _update();
}

void SyncStatusMark::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    FancyToolBtn::keyPressEvent(event);
}
