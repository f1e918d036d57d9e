// The one error type of Ferrolink's code and the numbers it carries.
#ifndef FERROLINK_ERROR_H
#define FERROLINK_ERROR_H

#include <stdexcept>
#include <string>

namespace ferrolink {

// A numbered failure: the one error type of Ferrolink's own code. Callers act
// on number(); what() carries the text; describe() is the one form in which a
// person sees it, "Error <number>: <text>", on stderr and in message boxes.
//
// The numbers an Error can carry:
//   6    Overflow: a value does not fit 16 bits (the protocol's conversions)
//   48   CannotLoadLibrary: the interface library's file exists but cannot be
//        loaded (not a library, wrong architecture, a missing dependency)
//   53   FileNotFound: no interface library of that name was found
//   453  EntryPointNotFound: the library lacks the function
//   any other: the system's errno value of a failed socket operation
//        (EADDRINUSE 98 when the port is taken, ...), with the system's text
// No other numbers are used; the control acts on 48 alone.
class Error : public std::runtime_error
{
public:
    enum Number : int {
        Overflow = 6, // a value does not fit the target type
        CannotLoadLibrary = 48, // a file of that name exists but cannot be loaded
        FileNotFound = 53, // no library file of that name was found
        EntryPointNotFound = 453 // the library lacks the function
    };

    Error(int number, const std::string &text);

    int number() const noexcept { return m_number; }

    // "Error <number>: <text>", the line shown to a person.
    std::string describe() const;

private:
    int m_number;
};

} // namespace ferrolink

#endif
