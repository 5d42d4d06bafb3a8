#pragma once

#include "model/Enums.h"

#include <QSet>

#include <vector>

namespace kolu {

using RailModuleOrder = std::vector<RailModule>;
using RailModuleSet = QSet<RailModule>;

// The rules behind the rail's module list, as plain functions of their inputs.
namespace railmodules {

// The order without the hidden modules; never empty (falls back to the
// calendar alone).
RailModuleOrder visible(const RailModuleOrder &order, const RailModuleSet &hidden);

// The order after moving `module` to `visibleIndex` among the visible
// modules (clamped to the list); hidden modules follow the visible ones in
// their previous relative order. Unchanged when `module` is not visible.
RailModuleOrder moved(const RailModuleOrder &order, const RailModuleSet &hidden, RailModule module, int visibleIndex);

// The stored order: known names in their stored order (repeats kept), then
// every missing module in declaration order, with "today" first when the
// stored list did not name it.
RailModuleOrder orderFromStored(const QStringList &stored);

// The stored hidden set; one that would hide every module hides none.
RailModuleSet hiddenFromStored(const QStringList &stored);

QStringList rawValues(const RailModuleOrder &order);
// In a fixed order (declaration order), so equal sets store equal lists.
QStringList rawValues(const RailModuleSet &set);

} // namespace railmodules

} // namespace kolu
