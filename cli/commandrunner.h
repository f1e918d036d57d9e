// Carries out one command of ferrolink on a backend and prints its result.
#ifndef FERROLINK_COMMANDRUNNER_H
#define FERROLINK_COMMANDRUNNER_H

#include "exitstatus.h"
#include "invocation.h"

#include <QString>
#include <QTextStream>

#include <array>
#include <cstdint>

namespace ferrolink {

class Backend;

// Carries out one command on a backend and prints its result on `out`, one
// line per result, flushed at once so that a pipe sees each line as it comes.
// Clamps as the control does before a value goes out: digital and analog
// output values to 0..255, the analog output channel to 1..2.
class CommandRunner
{
public:
    // watch looks this often (milliseconds) at the inputs.
    static constexpr int WatchIntervalMilliseconds = 100;
    // test: the pause after each step, in seconds, as the control's Test.
    static constexpr float TestStepSeconds = 0.5f;

    CommandRunner(Backend &backend, const Invocation &invocation, QTextStream &out);

    // Throws Failure from the backend.
    ExitStatus run();

private:
    ExitStatus carryOut();
    void write();
    void read();
    void analog();
    void analogWrite();
    ExitStatus test();
    ExitStatus watch();

    // The inputs that watch shows: the input byte, analog inputs 1 and 2.
    std::array<int16_t, 3> inputs();
    bool outputGone() const;
    QString byte(int16_t value) const;
    void print(const QString &line);

    Backend &m_backend;
    const Invocation &m_invocation;
    QTextStream &m_out;
};

} // namespace ferrolink

#endif
