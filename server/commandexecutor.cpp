// The server's request table: one letter, one library call, one activity text.
#include "commandexecutor.h"

#include "error.h"
#include "interfacelibrary.h"
#include "protocol.h"

#include <QtGlobal>

namespace ferrolink {

namespace {

// A step whose failure is passed over: the server goes on with the next one.
template<typename Step> void ignoringErrors(Step &&step)
{
    try {
        step();
    } catch (const Error &) {
    }
}

// A read whose failure gives 0, so that the client's wait for the reply ends.
template<typename Read> int16_t readingOrZero(Read &&read)
{
    try {
        return read();
    } catch (const Error &) {
        return 0;
    }
}

} // namespace

CommandExecutor::CommandExecutor(InterfaceLibrary &library) : m_library(library) { }

CommandExecutor::Outcome CommandExecutor::execute(const Request &request)
{
    Outcome outcome;
    switch (request.letter) {
    case protocol::ReadDigital:
        outcome.reply = readingOrZero([&] { return m_library.DIN(); });
        outcome.activity = QT_TRANSLATE_NOOP("ferrolink::Halvex", "Lese... (D)");
        break;
    case protocol::WriteDigital:
        ignoringErrors([&] { m_library.DOUT(request.value); });
        outcome.activity = QT_TRANSLATE_NOOP("ferrolink::Halvex", "Schreibe... (D)");
        break;
    case protocol::ReadAnalog:
        outcome.reply = readingOrZero([&] { return m_library.AIN(request.value); });
        outcome.activity = QT_TRANSLATE_NOOP("ferrolink::Halvex", "Lese... (A)");
        break;
    case protocol::ChooseAnalogChannel:
        Ausgabekanal = request.value;
        outcome.activity = QT_TRANSLATE_NOOP("ferrolink::Halvex", "Analogkanal... (A)");
        break;
    case protocol::WriteAnalog:
        ignoringErrors([&] { m_library.AOUT(Ausgabekanal, request.value); });
        outcome.activity = QT_TRANSLATE_NOOP("ferrolink::Halvex", "Schreibe ... (A)");
        break;
    case protocol::Goodbye:
        outcome.goodbye = true;
        outcome.activity = QT_TRANSLATE_NOOP("ferrolink::Halvex", "Rücksetzen!");
        break;
    case protocol::Heartbeat:
        outcome.activity = QT_TRANSLATE_NOOP("ferrolink::Halvex", "Heartbeat");
        break;
    default:
        break;
    }
    return outcome;
}

} // namespace ferrolink
