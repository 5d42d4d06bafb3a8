#include "platform/net/Http.h"

using namespace Qt::StringLiterals;

namespace kolu {

AnswerTooLarge::AnswerTooLarge()
    : DecodingError(u"The answer is too large."_s)
{
}

AnswerTooLarge::~AnswerTooLarge() = default;

HttpStatusError::HttpStatusError(int status)
    : TransportError(u"The server answered with status %1."_s.arg(status))
{
}

HttpStatusError::~HttpStatusError() = default;

RequestCancelled::RequestCancelled()
    : TransportError(u"The request was cancelled."_s)
{
}

RequestCancelled::~RequestCancelled() = default;

Network::~Network() = default;

} // namespace kolu
