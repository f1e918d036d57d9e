// The numbered error and the form in which a person sees it.
#include "error.h"

namespace ferrolink {

Error::Error(int number, const std::string &text) : std::runtime_error(text), m_number(number) { }

std::string Error::describe() const
{
    return "Error " + std::to_string(m_number) + ": " + what();
}

} // namespace ferrolink
