// The networks of --allow: what is taken as an address or a network, what is
// refused as a typing error, and which peers each lets in.
#include "allowlist.h"

#include <QTest>

using ferrolink::AllowList;

class TestAllowList : public QObject
{
    Q_OBJECT

private slots:
    void takesAddressesAndNetworks_data();
    void takesAddressesAndNetworks();
    void refusesWhatIsNoAddressOrNetwork_data();
    void refusesWhatIsNoAddressOrNetwork();
    void allowsThePeersOfItsNetworks_data();
    void allowsThePeersOfItsNetworks();
};

void TestAllowList::takesAddressesAndNetworks_data()
{
    QTest::addColumn<QString>("network");
    for (const char *network : { "192.168.0.7", "192.168.0.0/24", "192.168.0.0/255.255.255.0",
                                 "0.0.0.0/0", "::1", "fd00::/8", "::ffff:10.0.0.0/104" })
        QTest::newRow(network) << QString::fromLatin1(network);
}

void TestAllowList::takesAddressesAndNetworks()
{
    QFETCH(QString, network);
    AllowList list;
    QString error;
    QVERIFY2(list.add(network, &error), qPrintable(error));
    QVERIFY(!list.isEmpty());
}

void TestAllowList::refusesWhatIsNoAddressOrNetwork_data()
{
    QTest::addColumn<QString>("network");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << ""
                           << "not an address";
    QTest::newRow("host name") << "localhost"
                               << "not an address";
    QTest::newRow("prefix too long") << "10.0.0.0/33"
                                     << "not an address";
    QTest::newRow("no prefix after the slash") << "10.0.0.0/"
                                               << "not an address";
    QTest::newRow("one part") << "10"
                              << "four parts";
    QTest::newRow("three parts") << "192.168.1"
                                 << "four parts";
    QTest::newRow("three parts with a prefix") << "192.168.1/24"
                                               << "four parts";
    QTest::newRow("IPv4 host bits") << "192.168.0.7/24"
                                    << "the network is 192.168.0.0/24";
    QTest::newRow("IPv6 host bits") << "::1/64"
                                    << "the network is ::/64";
}

void TestAllowList::refusesWhatIsNoAddressOrNetwork()
{
    QFETCH(QString, network);
    QFETCH(QString, reason);
    AllowList list;
    QString error;
    QVERIFY(!list.add(network, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(list.isEmpty());
}

void TestAllowList::allowsThePeersOfItsNetworks_data()
{
    QTest::addColumn<QStringList>("networks");
    QTest::addColumn<QString>("peer");
    QTest::addColumn<bool>("allowed");
    const QStringList lan = { "192.168.0.0/24", "10.1.2.3" };
    QTest::newRow("in the network") << lan << "192.168.0.200" << true;
    QTest::newRow("the one address") << lan << "10.1.2.3" << true;
    QTest::newRow("next to the address") << lan << "10.1.2.4" << false;
    QTest::newRow("next to the network") << lan << "192.168.1.1" << false;
    QTest::newRow("IPv4-mapped in the network") << lan << "::ffff:192.168.0.9" << true;
    QTest::newRow("IPv4-mapped outside") << lan << "::ffff:192.168.1.9" << false;
    QTest::newRow("IPv6 loopback is not 127.0.0.1")
        << QStringList { "127.0.0.1" } << "::1" << false;
    QTest::newRow("IPv6 loopback") << QStringList { "::1" } << "::1" << true;
    QTest::newRow("IPv6 network") << QStringList { "fd00::/8" } << "fd12::5" << true;
    QTest::newRow("IPv6 outside") << QStringList { "fd00::/8" } << "fe80::5" << false;
    QTest::newRow("mapped network, IPv4 peer")
        << QStringList { "::ffff:10.0.0.0/104" } << "10.9.8.7" << true;
    QTest::newRow("mapped network, mapped peer")
        << QStringList { "::ffff:10.0.0.0/104" } << "::ffff:10.9.8.7" << true;
    QTest::newRow("mapped network, other peer")
        << QStringList { "::ffff:10.0.0.0/104" } << "11.0.0.1" << false;
    QTest::newRow("peer not known") << lan << "" << false;
    QTest::newRow("empty list, IPv4-mapped") << QStringList() << "::ffff:10.0.0.1" << true;
    QTest::newRow("empty list, IPv6") << QStringList() << "fe80::1" << true;
}

void TestAllowList::allowsThePeersOfItsNetworks()
{
    QFETCH(QStringList, networks);
    QFETCH(QString, peer);
    QFETCH(bool, allowed);
    AllowList list;
    for (const QString &network : networks)
        QVERIFY(list.add(network));
    QCOMPARE(list.isEmpty(), networks.isEmpty());
    QCOMPARE(list.allows(QHostAddress(peer)), allowed);
}

QTEST_APPLESS_MAIN(TestAllowList)
#include "tst_allowlist.moc"
