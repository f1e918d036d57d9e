// Replays the inputs kept for the fuzz target through its invariant checks:
// the seeds, every input that ever broke an invariant, and a fixed sweep of
// pseudo-random ones. A broken invariant aborts with the text it broke on.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

int replay(const QByteArray &input)
{
    return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()),
                                  size_t(input.size()));
}

} // namespace

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheInvariantsOnEverySavedInput_data();
    void keepsTheInvariantsOnEverySavedInput();
    void keepsTheInvariantsOnASweepOfRandomInputs();
};

void TestFuzzRegressions::keepsTheInvariantsOnEverySavedInput_data()
{
    QTest::addColumn<QString>("path");

    const QDir inputs(QStringLiteral(FERROLINK_FUZZ_INPUTS));
    int count = 0;
    for (const QString &folder : { QStringLiteral("corpus"), QStringLiteral("regressions") }) {
        const QDir dir(inputs.filePath(folder));
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            if (name.endsWith(QLatin1String(".md")))
                continue;
            QTest::newRow(qPrintable(folder + u'/' + name)) << dir.filePath(name);
            ++count;
        }
    }
    QVERIFY2(count > 0, "no saved inputs found");
}

void TestFuzzRegressions::keepsTheInvariantsOnEverySavedInput()
{
    QFETCH(QString, path);

    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QCOMPARE(replay(file.readAll()), 0);
}

void TestFuzzRegressions::keepsTheInvariantsOnASweepOfRandomInputs()
{
    // Digits, signs, points, blanks and letters, so that numbers of every
    // shape and both modes of the target come up.
    static const char Alphabet[] = "0123456789012345+-. \t\nSRABCIKx\x01";
    QRandomGenerator random(2001);
    for (int round = 0; round < 3000; ++round) {
        QByteArray input(random.bounded(1, 300), '\0');
        input[0] = char(random.bounded(256));
        for (qsizetype i = 1; i < input.size(); ++i) {
            input[i] = random.bounded(4) == 0 ? char(random.bounded(256))
                                              : Alphabet[random.bounded(int(sizeof Alphabet) - 1)];
        }
        QCOMPARE(replay(input), 0);
    }
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
