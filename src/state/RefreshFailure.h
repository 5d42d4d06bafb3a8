#pragma once

#include <QString>

#include <exception>

namespace kolu {

// The one sentence the Today, Prayers and Wallpapers cards show when a
// refresh could not reach the network.
QString offlineSentence();

// The sentence a card's status line shows for a failed refresh: the offline
// sentence when the request never got an answer (no network, unknown host,
// time-out, a failed secure connection), whose platform words go to the log;
// otherwise the failure's own sentence.
QString refreshFailureSentence(std::exception_ptr failure);

} // namespace kolu
