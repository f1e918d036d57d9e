#ifndef FERROLINK_ERROR_H
#define FERROLINK_ERROR_H

#include <stdexcept>
#include <string>

namespace ferrolink {

// A numbered failure, raised by the interface-library binding and by the
// checked conversions. Callers act on number(); what() carries the text.
class Error : public std::runtime_error
{
public:
    enum Number : int {
        Overflow = 6,            // a value does not fit the target type
        CannotLoadLibrary = 48,  // a file of that name exists but cannot be loaded
        FileNotFound = 53,       // no library file of that name was found
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
