// The widgets of the server's window as its form lays them out.
#include "windowparts.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>

#include <cstdio>

namespace ferrolink {

namespace {

// Without a display there is nobody to click a message box away.
bool canShowMessageBoxes()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

QFont serifFont(qreal pointSize, bool italic)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(pointSize);
    font.setBold(true);
    font.setItalic(italic);
    return font;
}

QLabel *createLabel(QWidget *parent, const QString &name, const QRect &geometry, const QFont &font,
                    Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QGroupBox *createFrame(QWidget *parent, const QString &name, const QString &caption,
                       const QRect &geometry)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    return frame;
}

void showFatalError(QWidget *parent, const QString &title, const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    if (canShowMessageBoxes())
        QMessageBox::critical(parent, title, line);
}

} // namespace ferrolink
