// ferrolink-panel: shows the simulated Ferrolink interface and lets a person
// set its inputs, while programs drive it through the simulated library.
#include "panelwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ferrolink-panel"));

    ferrolink::PanelWindow window;
    window.show();
    return app.exec();
}
