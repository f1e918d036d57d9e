// A host that knows the control only from <sorvel.h>.
//   host local   drives the interface on this PC
//   host net     drives a server on 127.0.0.1
// and prints what each operation left or returned, on one line.
#include <sorvel.h>

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool network = argc > 1 && std::strcmp(argv[1], "net") == 0;

    QWidget form;
    auto *control = new Sorvel(&form);
    form.show();

    if (network)
        control->IP(QStringLiteral("127.0.0.1"));
    else
        control->lokalstart();

    qint16 output = 300;
    control->Ausgabe(output);
    const qint16 input = control->Eingabe();
    qint16 channel = network ? -1 : 1;
    const qint16 analog = control->Analogwert(channel);
    qint16 number = 5;
    control->Analogkanal(number);
    qint16 level = 77;
    control->Analogsend(level);
    if (network)
        control->lokalstart();

    std::printf("%d %d %d %d %d %d\n", output, input, analog, number, level,
                control->isVisible() ? 1 : 0);
    return 0;
}
