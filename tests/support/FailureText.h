#pragma once

#include <QString>

#include <exception>

namespace kolu::test {

// The description of the E that `action` throws. Anything else gives a text
// no expected sentence matches, so a comparison with one fails clearly.
template<typename E, typename Action>
QString failureText(Action &&action)
{
    try {
        action();
    } catch (const E &error) {
        return error.description();
    } catch (const std::exception &other) {
        return QString(QStringLiteral("unexpected: ") + QString::fromUtf8(other.what()));
    }
    return QStringLiteral("no failure");
}

// True when `action` throws an E (a decoder's own sentence is not pinned).
template<typename E, typename Action>
bool failsWith(Action &&action)
{
    const QString text = failureText<E>(action);
    return !text.startsWith(QStringLiteral("unexpected: ")) && text != QStringLiteral("no failure");
}

} // namespace kolu::test
