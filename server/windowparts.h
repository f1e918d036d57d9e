// The widgets of the server's window as its form lays them out.
#ifndef FERROLINK_WINDOWPARTS_H
#define FERROLINK_WINDOWPARTS_H

#include <QFont>
#include <QRect>
#include <QString>
#include <Qt>

class QGroupBox;
class QLabel;
class QWidget;

namespace ferrolink {

// The window's bold serif ("Times New Roman", which fontconfig maps to a
// metric-compatible face).
QFont serifFont(qreal pointSize, bool italic);

// A word-wrapping label at a fixed place, aligned to the top and `alignment`.
QLabel *createLabel(QWidget *parent, const QString &name, const QRect &geometry, const QFont &font,
                    Qt::Alignment alignment);

// A captioned frame at a fixed place.
QGroupBox *createFrame(QWidget *parent, const QString &name, const QString &caption,
                       const QRect &geometry);

// Shows an error that ends the program: on stderr always, and in a message
// box when there is a display to click it away on.
void showFatalError(QWidget *parent, const QString &title, const QString &line);

} // namespace ferrolink

#endif
