// The interface-library binding: which library it loads, how arguments and
// results cross it, and the numbers of its failures.
#include "calllog.h"
#include "error.h"
#include "interfacelibrary.h"

#include <QTest>

using namespace ferrolink;

namespace {

QString fake(const char *variant)
{
    return qEnvironmentVariable("FERROLINK_FAKES_DIR") + u'/' + QLatin1String(variant)
        + QStringLiteral("/librsapi.so");
}

// The number of the error `call` raises, or 0 when it raises none.
template<typename Call> int errorNumber(Call call, std::string *text = nullptr)
{
    try {
        call();
    } catch (const Error &error) {
        if (text)
            *text = error.what();
        return error.number();
    }
    return 0;
}

} // namespace

class TestInterfaceLibrary : public QObject
{
    Q_OBJECT

private slots:
    void init() { log.clear(); }
    void loadsTheLibraryFoundOnTheSearchPath();
    void passesSixteenBitValuesBothWays();
    void numbersEachKindOfBindingFailure();
    void aMissingFunctionLeavesTheOthersWorking();

private:
    CallLog log;
};

void TestInterfaceLibrary::loadsTheLibraryFoundOnTheSearchPath()
{
    // LD_LIBRARY_PATH names the recording fake, ahead of the simulator.
    InterfaceLibrary library;
    library.FINDHARD(0);
    library.INITSIOS(1);
    library.CLOSECOM();
    QCOMPARE(log.lines(), QStringList({ "FINDHARD 0", "INITSIOS 1", "CLOSECOM" }));
}

void TestInterfaceLibrary::passesSixteenBitValuesBothWays()
{
    InterfaceLibrary library;
    qputenv("FAKE_RSAPI_DIN", "-2");
    QCOMPARE(library.DIN(), int16_t(-2));
    qputenv("FAKE_RSAPI_DIN", "165");
    QCOMPARE(library.DIN(), int16_t(165));
    library.DOUT(-1);
    library.DOUT(32767);
    library.AOUT(-32768, 300);
    QCOMPARE(library.AIN(-3), int16_t(997));
    QCOMPARE(log.lines(),
             QStringList({ "DIN", "DIN", "DOUT -1", "DOUT 32767", "AOUT -32768 300", "AIN -3" }));
}

void TestInterfaceLibrary::numbersEachKindOfBindingFailure()
{
    std::string text;

    InterfaceLibrary notALibrary(fake("garbage").toStdString());
    QCOMPARE(errorNumber([&] { notALibrary.DOUT(1); }, &text), int(Error::CannotLoadLibrary));
    QVERIFY2(text.find("librsapi.so") != std::string::npos, text.c_str());

    InterfaceLibrary missingFile("libferrolink-no-such-library.so");
    QCOMPARE(errorNumber([&] { missingFile.DIN(); }, &text), int(Error::FileNotFound));
    QVERIFY2(text.find("libferrolink-no-such-library.so") != std::string::npos, text.c_str());

    InterfaceLibrary missingPath(fake("no-such-folder").toStdString());
    QCOMPARE(errorNumber([&] { missingPath.DIN(); }), int(Error::FileNotFound));

    // A failure is not remembered: each call tries again, and fails again.
    QCOMPARE(errorNumber([&] { notALibrary.DIN(); }), int(Error::CannotLoadLibrary));
    QVERIFY(log.lines().isEmpty());
}

void TestInterfaceLibrary::aMissingFunctionLeavesTheOthersWorking()
{
    InterfaceLibrary library(fake("nodin").toStdString());
    std::string text;
    QCOMPARE(errorNumber([&] { library.DIN(); }, &text), int(Error::EntryPointNotFound));
    QVERIFY2(text.find("DIN") != std::string::npos, text.c_str());
    QCOMPARE(errorNumber([&] { library.DOUT(7); }), 0);
    QCOMPARE(errorNumber([&] { library.DIN(); }), int(Error::EntryPointNotFound));
    QCOMPARE(library.AIN(2), int16_t(1002));
    QCOMPARE(log.lines(), QStringList({ "DOUT 7", "AIN 2" }));
}

QTEST_GUILESS_MAIN(TestInterfaceLibrary)
#include "tst_interfacelibrary.moc"
