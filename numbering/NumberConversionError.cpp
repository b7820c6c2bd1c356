#include "numbering/NumberConversionError.h"

namespace kestrel {

NumberConversionError::NumberConversionError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value"), m_text(text) {}

}  // namespace kestrel
