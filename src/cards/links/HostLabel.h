#pragma once

#include <QString>

namespace kolu::linkcard {

// How a link's host is shown: as written when each of its labels keeps to
// one script (or to a combination one language writes together: Latin with
// Han and kana, with Han and Hangul, or with Han and Bopomofo); otherwise
// in the ASCII form the browser is given ("xn--…"), so that a look-alike
// such as "аpple.com" with a Cyrillic "а" does not pass for another site.
// An ASCII-encoded host that reads safely is shown decoded.
QString hostLabel(const QString &host);

// Whether some label of `host` mixes scripts in the way described above.
bool mixesScripts(const QString &host);

} // namespace kolu::linkcard
