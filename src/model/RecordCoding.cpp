#include "model/RecordCoding.h"

namespace kolu::json {

QJsonObject encode(const FlagMap &flags)
{
    QJsonObject object;
    for (const auto &[key, enabled] : flags)
        object.insert(key, enabled);
    return object;
}

template<>
std::optional<FlagMap> decode<FlagMap>(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    FlagMap flags;
    const QJsonObject object = value.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it->isBool())
            return std::nullopt;
        flags.emplace(it.key(), it->toBool());
    }
    return flags;
}

} // namespace kolu::json
