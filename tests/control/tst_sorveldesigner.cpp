// The Qt Designer plugin, loaded as Designer loads it: what it offers in the
// widget box and what a form being designed shows of the control.
#include "sorvel.h"
#include "sorvelusage.h"

#include <QLabel>
#include <QPluginLoader>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

class TestSorvelDesigner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void offersTheControlInItsGroup();
    void formShowsThePicture();
    void cleanupTestCase();

private:
    QPluginLoader m_loader { QStringLiteral(SORVEL_DESIGNER_PLUGIN) };
    QDesignerCustomWidgetInterface *m_plugin = nullptr;
};

void TestSorvelDesigner::initTestCase()
{
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    m_plugin = qobject_cast<QDesignerCustomWidgetInterface *>(m_loader.instance());
    QVERIFY(m_plugin);
}

void TestSorvelDesigner::offersTheControlInItsGroup()
{
    QCOMPARE(m_plugin->name(), QStringLiteral("Sorvel"));
    QCOMPARE(m_plugin->group(), QStringLiteral("Ferrolink"));
    QCOMPARE(m_plugin->includeFile(), QStringLiteral("sorvel.h"));
    QCOMPARE(m_plugin->toolTip(), QString::fromUtf8(ferrolink::SorvelUsage));
    QVERIFY(m_plugin->toolTip().contains(QStringLiteral("Bin\u00e4rwert")));
    QVERIFY(!m_plugin->isContainer());
    QCOMPARE(m_plugin->icon().availableSizes(), QList<QSize>({ QSize(16, 15) }));

    QXmlStreamReader xml(m_plugin->domXml());
    while (!xml.atEnd() && !(xml.isStartElement() && xml.name() == QLatin1String("widget")))
        xml.readNext();
    QCOMPARE(xml.attributes().value(QLatin1String("class")).toString(), QStringLiteral("Sorvel"));
}

void TestSorvelDesigner::formShowsThePicture()
{
    QWidget form;
    form.resize(200, 100);
    QWidget *widget = m_plugin->createWidget(&form);
    auto *control = qobject_cast<Sorvel *>(widget);
    QVERIFY(control);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(control->isVisible());
    QCOMPARE(control->size(), QSize(34, 34));

    auto *picture = control->findChild<QLabel *>(QStringLiteral("Picture1"));
    QVERIFY(picture);
    QCOMPARE(picture->geometry(), QRect(0, 0, 33, 33));
    QCOMPARE(picture->pixmap().size(), QSize(16, 16));
    QCOMPARE(picture->toolTip(), QString::fromUtf8(ferrolink::SorvelUsage));
    QVERIFY(picture->isVisible());
}

void TestSorvelDesigner::cleanupTestCase()
{
    m_plugin = nullptr;
}

QTEST_MAIN(TestSorvelDesigner)
#include "tst_sorveldesigner.moc"
