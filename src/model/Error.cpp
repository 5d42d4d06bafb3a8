#include "model/Error.h"

using namespace Qt::StringLiterals;

namespace kolu {

Error::Error(QString description)
    : m_description(std::move(description))
    , m_utf8(m_description.toUtf8())
{
}

Error::~Error() = default;
TransportError::~TransportError() = default;
DecodingError::~DecodingError() = default;

QString failureSentence(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const Error &error) {
        return error.description();
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
    }
    return u"Something went wrong."_s;
}

} // namespace kolu
