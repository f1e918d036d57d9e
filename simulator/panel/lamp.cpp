#include "lamp.h"

#include <QPainter>
#include <QRadialGradient>

namespace ferrolink {

namespace {

const QColor LitCentre(255, 170, 150);
const QColor LitEdge(220, 30, 20);
const QColor DarkCentre(120, 80, 80);
const QColor DarkEdge(60, 35, 35);
const QColor Rim(40, 40, 40);

} // namespace

Lamp::Lamp(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Lamp::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    update();
}

QSize Lamp::sizeHint() const
{
    return QSize(30, 30);
}

QSize Lamp::minimumSizeHint() const
{
    return QSize(16, 16);
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal side = qMin(width(), height()) - 4;
    const QRectF circle((width() - side) / 2, (height() - side) / 2, side, side);

    // A highlight up and to the left makes a lit lamp look like glowing glass.
    QRadialGradient glow(circle.center() - QPointF(side / 6, side / 6), side / 1.6);
    glow.setColorAt(0, m_on ? LitCentre : DarkCentre);
    glow.setColorAt(1, m_on ? LitEdge : DarkEdge);

    painter.setPen(QPen(Rim, 1.5));
    painter.setBrush(glow);
    painter.drawEllipse(circle);
}

} // namespace ferrolink
