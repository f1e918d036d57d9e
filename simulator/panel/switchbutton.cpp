#include "switchbutton.h"

#include <QPainter>
#include <QPalette>

namespace ferrolink {

namespace {

const QColor TrackOn(40, 150, 60);
const QColor TrackOff(170, 170, 170);
const QColor Knob(250, 250, 250);
const QColor Edge(80, 80, 80);

} // namespace

SwitchButton::SwitchButton(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SwitchButton::sizeHint() const
{
    return QSize(24, 40);
}

QSize SwitchButton::minimumSizeHint() const
{
    return sizeHint();
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF track = QRectF(rect()).adjusted(3, 2, -3, -2);
    const qreal radius = track.width() / 2;
    painter.setPen(
        QPen(hasFocus() ? palette().color(QPalette::Highlight) : Edge, hasFocus() ? 2 : 1));
    painter.setBrush(isChecked() ? TrackOn : TrackOff);
    painter.drawRoundedRect(track, radius, radius);

    // The knob sits at the top when the line is on, at the bottom when off.
    const qreal knobSide = track.width() - 4;
    const qreal knobTop = isChecked() ? track.top() + 2 : track.bottom() - 2 - knobSide;
    painter.setPen(QPen(Edge, 1));
    painter.setBrush(isDown() ? Knob.darker(115) : Knob);
    painter.drawEllipse(QRectF(track.left() + 2, knobTop, knobSide, knobSide));
}

} // namespace ferrolink
