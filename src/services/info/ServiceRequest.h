#pragma once

#include "platform/net/Http.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

namespace kolu {

// What the information services share for their requests to public web
// services.

// Answers larger than this are refused before decoding: every answer these
// services read is a few kilobytes.
inline constexpr qsizetype kMaxAnswerBytes = 1024 * 1024;

// Each request gives up after this long, as a browser's default would.
inline constexpr std::chrono::milliseconds kRequestTimeout = std::chrono::seconds(60);

// `base` with `path` and the query items in their order, each key and value
// fully percent-encoded (so "+", "&" and "=" inside a value reach the service
// as themselves). Nothing when the result is not a usable http(s) address.
std::optional<QUrl> serviceURL(const QUrl &base, const QString &path, const QList<QPair<QString, QString>> &queryItems);

// Parses an answer body as JSON. Throws DecodingError when the body is too
// large or not a JSON document.
QJsonValue parseAnswer(const QByteArray &body);

// The sentence of the decoding error thrown for a missing key or a value of
// the wrong form.
QString unreadableAnswerText(const QString &what);

} // namespace kolu
