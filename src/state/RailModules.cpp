#include "state/RailModules.h"

#include <algorithm>

namespace kolu::railmodules {

RailModuleOrder visible(const RailModuleOrder &order, const RailModuleSet &hidden)
{
    RailModuleOrder result;
    std::copy_if(order.begin(), order.end(), std::back_inserter(result),
                 [&](RailModule module) { return !hidden.contains(module); });
    if (result.empty())
        result.push_back(RailModule::calendar);
    return result;
}

RailModuleOrder moved(const RailModuleOrder &order, const RailModuleSet &hidden, RailModule module, int visibleIndex)
{
    RailModuleOrder shown = visible(order, hidden);
    const auto at = std::find(shown.begin(), shown.end(), module);
    if (at == shown.end())
        return order;
    shown.erase(at);
    const int index = std::clamp(visibleIndex, 0, static_cast<int>(shown.size()));
    shown.insert(shown.begin() + index, module);

    RailModuleOrder result = shown;
    for (RailModule candidate : order) {
        if (hidden.contains(candidate) && std::find(result.begin(), result.end(), candidate) == result.end())
            result.push_back(candidate);
    }
    return result;
}

RailModuleOrder orderFromStored(const QStringList &stored)
{
    RailModuleOrder result;
    for (const QString &name : stored) {
        if (const auto module = fromRawValue<RailModule>(name))
            result.push_back(*module);
    }
    const bool namedToday = std::find(result.begin(), result.end(), RailModule::today) != result.end();
    for (RailModule module : allCases<RailModule>()) {
        if (std::find(result.begin(), result.end(), module) == result.end())
            result.push_back(module);
    }
    if (!namedToday) {
        result.erase(std::find(result.begin(), result.end(), RailModule::today));
        result.insert(result.begin(), RailModule::today);
    }
    return result;
}

RailModuleSet hiddenFromStored(const QStringList &stored)
{
    RailModuleSet result;
    for (const QString &name : stored) {
        if (const auto module = fromRawValue<RailModule>(name))
            result.insert(*module);
    }
    if (result.size() == static_cast<qsizetype>(caseCount<RailModule>()))
        return {};
    return result;
}

QStringList rawValues(const RailModuleOrder &order)
{
    QStringList names;
    for (RailModule module : order)
        names.append(rawValue(module));
    return names;
}

QStringList rawValues(const RailModuleSet &set)
{
    QStringList names;
    for (RailModule module : allCases<RailModule>()) {
        if (set.contains(module))
            names.append(rawValue(module));
    }
    return names;
}

} // namespace kolu::railmodules
