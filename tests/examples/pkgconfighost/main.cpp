// A host program built with nothing but `pkg-config --cflags --libs sorvel`:
// it places a control, chooses the simulated mode and writes an output
// byte, which the control clamps. Exit status 0 when all of that worked.
#include <sorvel.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Sorvel control;
    control.simuliert();
    qint16 wert = 300;
    control.Ausgabe(wert);
    std::printf("Ausgabe wrote %d\n", int(wert));
    return wert == 255 ? 0 : 1;
}
