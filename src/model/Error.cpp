#include "model/Error.h"

namespace kolu {

Error::Error(QString description)
    : m_description(std::move(description))
    , m_utf8(m_description.toUtf8())
{
}

Error::~Error() = default;
TransportError::~TransportError() = default;
DecodingError::~DecodingError() = default;

} // namespace kolu
