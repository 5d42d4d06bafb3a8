#include "state/RailModules.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;
using M = RailModule;

namespace {
const RailModuleOrder kDefault{M::today, M::calendar, M::prayers, M::notes,      M::focus,
                               M::links, M::fileTray, M::wallpapers, M::reminders, M::nowPlaying};
}

TEST(RailModuleOrder, StoredOrderKeepsKnownNamesThenAppendsTheRest)
{
    EXPECT_EQ(railmodules::orderFromStored({}), kDefault);
    EXPECT_EQ(railmodules::orderFromStored({u"notes"_s, u"weather"_s, u"calendar"_s}),
              (RailModuleOrder{M::today, M::notes, M::calendar, M::prayers, M::focus, M::links, M::fileTray,
                               M::wallpapers, M::reminders, M::nowPlaying}));
    // Repeats stay as stored; names are case-sensitive.
    const RailModuleOrder repeated = railmodules::orderFromStored({u"today"_s, u"links"_s, u"links"_s, u"Notes"_s});
    EXPECT_EQ(repeated.size(), 11u);
    EXPECT_EQ(repeated[1], M::links);
    EXPECT_EQ(repeated[2], M::links);
}

TEST(RailModuleOrder, EveryModuleHiddenHidesNoneAndVisibleIsNeverEmpty)
{
    QStringList all;
    RailModuleSet everything;
    for (RailModule module : allCases<RailModule>()) {
        all.append(rawValue(module));
        everything.insert(module);
    }
    EXPECT_TRUE(railmodules::hiddenFromStored(all).isEmpty());
    all.removeLast();
    EXPECT_EQ(railmodules::hiddenFromStored(all).size(), 9);
    EXPECT_EQ(railmodules::hiddenFromStored({u"links"_s, u"bogus"_s}), RailModuleSet{M::links});
    EXPECT_EQ(railmodules::visible(kDefault, everything), RailModuleOrder{M::calendar});
}

TEST(RailModuleOrder, MovingClampsTheIndexAndPutsHiddenModulesLast)
{
    const RailModuleSet hidden{M::calendar, M::links};
    const RailModuleOrder first = railmodules::moved(kDefault, hidden, M::reminders, -3);
    EXPECT_EQ(first, (RailModuleOrder{M::reminders, M::today, M::prayers, M::notes, M::focus, M::fileTray,
                                      M::wallpapers, M::nowPlaying, M::calendar, M::links}));
    const RailModuleOrder last = railmodules::moved(kDefault, hidden, M::today, 99);
    EXPECT_EQ(last, (RailModuleOrder{M::prayers, M::notes, M::focus, M::fileTray, M::wallpapers, M::reminders,
                                     M::nowPlaying, M::today, M::calendar, M::links}));
    EXPECT_EQ(railmodules::moved(kDefault, hidden, M::links, 0), kDefault) << "a hidden module does not move";
}
