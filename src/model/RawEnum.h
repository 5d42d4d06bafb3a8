#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <type_traits>

namespace kolu {

// Enumerations whose cases have string raw values specialise EnumNames with
// the case names in declaration order; the enumerators must be 0, 1, 2, ...
template<typename E>
struct EnumNames;

template<typename E>
concept RawValueEnum = std::is_enum_v<E> && requires
{
    EnumNames<E>::names;
};

template<RawValueEnum E>
constexpr std::size_t caseCount()
{
    return EnumNames<E>::names.size();
}

// The raw value of a case: its name, spelled as declared.
template<RawValueEnum E>
QString rawValue(E value)
{
    const auto index = static_cast<std::size_t>(value);
    const auto &names = EnumNames<E>::names;
    if (index >= names.size())
        return {}; // not a case of E: no raw value
    return QString::fromLatin1(names[index].data(), static_cast<qsizetype>(names[index].size()));
}

// The case whose raw value is exactly `raw`, or nothing.
template<RawValueEnum E>
std::optional<E> fromRawValue(QStringView raw)
{
    const auto &names = EnumNames<E>::names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (raw == QLatin1StringView(names[i].data(), static_cast<qsizetype>(names[i].size())))
            return static_cast<E>(i);
    }
    return std::nullopt;
}

// Every case, in declaration order.
template<RawValueEnum E>
constexpr std::array<E, caseCount<E>()> allCases()
{
    std::array<E, caseCount<E>()> cases{};
    for (std::size_t i = 0; i < cases.size(); ++i)
        cases[i] = static_cast<E>(i);
    return cases;
}

template<RawValueEnum E>
size_t qHash(E value, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<std::underlying_type_t<E>>(value), seed);
}

} // namespace kolu
