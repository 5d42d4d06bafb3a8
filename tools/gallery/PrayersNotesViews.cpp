#include "PrayersNotesViews.h"

#include "DetailPanelView.h"
#include "GalleryState.h"
#include "KitViews.h"
#include "ManualClock.h"

#include "cards/StatusTintColor.h"
#include "cards/notes/NotesCard.h"
#include "cards/notes/NotesWidgets.h"
#include "cards/prayers/PrayersCard.h"
#include "services/info/PrayerTimesService.h"
#include "services/notes/NotesService.h"
#include "state/AppState.h"
#include "style/widgets/OrlixTextField.h"
#include "state/RefreshFailure.h"

#include <QAbstractButton>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

PrayerDay prayerDay(const QString &city, bool withTimes)
{
    const QDateTime now = clock().now();
    PrayerDay day{PrayerTimesService::dayID(now), city, u"Saudi Arabia"_s, 4, now, {}};
    if (!withTimes)
        return day;
    const int offsets[] = {-5 * 3600, -3 * 3600, 45 * 60, 4 * 3600, 7 * 3600, 9 * 3600};
    int i = 0;
    for (PrayerName name : {PrayerName::fajr, PrayerName::sunrise, PrayerName::dhuhr, PrayerName::asr,
                            PrayerName::maghrib, PrayerName::isha})
        day.times.push_back({name, now.addSecs(offsets[i++]), name != PrayerName::sunrise});
    return day;
}

// A finished state for the card: nothing left for it to fetch.
QWidget *prayersCard(const QString &city, bool withTimes, bool loading, const QString &status, StatusTint tint)
{
    AppState &s = state();
    s.setPrayerSettings({city, u"Saudi Arabia"_s, 4});
    s.setPrayerDay(prayerDay(city, withTimes));
    s.setIsLoadingPrayers(loading);
    s.setPrayerStatus({status, tint});
    if (loading)
        s.setPrayerDay(std::nullopt);
    return inDetailPanel(RailModule::prayers);
}

std::vector<AppleNoteItem> sampleNotes(bool longTitles)
{
    const QString titles[] = {
        u"Groceries"_s,
        longTitles ? u"Quarterly planning notes for the design review with every open question listed"_s
                   : u"Meeting notes"_s,
        u"Reading list"_s,
        longTitles ? QString(u"Supercalifragilisticexpialidocious"_s.repeated(3)) : u"Ideas"_s,
        u"Travel"_s,
        u"Recipes"_s,
    };
    // Listed as the note store lists them, then dated and ordered by the
    // program's own path: the newest this morning, the others a day apart.
    std::vector<NoteStoreNote> listed;
    int i = 0;
    for (const QString &title : titles) {
        listed.push_back({u"Notes:note-%1.md"_s.arg(i), title, clock().now().addSecs(-3600 - i * 86400)});
        ++i;
    }
    return NotesService::recentNotes(listed, int(listed.size()));
}

QWidget *notesCard(std::vector<AppleNoteItem> notes, bool loading, bool composer, const QString &composerStatus)
{
    AppState &s = state();
    s.setAppleNotes(std::move(notes));
    s.setIsLoadingAppleNotes(loading);
    s.setAppleNoteFolders({{u"Notes:Work"_s, u"Work"_s, u"Notes"_s}, {u"Notes:Home"_s, u"Home"_s, u"Notes"_s}});
    s.setSelectedAppleNoteFolderID(u"Notes:Work"_s);
    // Marked loading while the composer opens, so it asks for nothing.
    s.setIsLoadingAppleNoteFolders(true);
    QWidget *panel = inDetailPanel(RailModule::notes, [&](QWidget *built) {
        auto *card = static_cast<NotesCard *>(built);
        if (composer) {
            card->findChild<QAbstractButton *>(u"notesComposerToggle"_s)->click();
            card->composer()->titleField()->setText(u"Weekend plans"_s);
            // Unsaved: a paragraph of each direction, each from its own edge.
            if (composerStatus.isEmpty())
                card->composer()->bodyEditor()->setPlainText(
                    u"Bring the tent.\n\u0644\u0627 \u062A\u0646\u0633\u064E \u0627\u0644\u062E\u064A\u0645\u0629."_s);
            if (!composerStatus.isEmpty())
                card->composer()->setStatus(composerStatus, statusTintColor(StatusTint::orange, {}));
        }
    });
    s.setIsLoadingAppleNoteFolders(false);
    return panel;
}

} // namespace

std::vector<View> prayersNotesViews()
{
    return {
        {"prayers-full",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return prayersCard(u"Makkah"_s, true, false, {}, StatusTint::secondary); }},
        {"prayers-loading",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) {
             return prayersCard(u"Makkah"_s, false, true, u"Refreshing..."_s, StatusTint::secondary);
         }},
        {"prayers-error-long",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) {
             return prayersCard(u"Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch"_s, false, false,
                                u"Prayer times are unavailable for this city right now."_s, StatusTint::orange);
         }},
        {"notes-full",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return notesCard(sampleNotes(false), false, false, {}); }},
        {"notes-long",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return notesCard(sampleNotes(true), true, false, {}); }},
        {"notes-loading",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return notesCard({}, true, false, {}); }},
        {"notes-empty-composer",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return notesCard({}, false, true, u"Write a note first."_s); }},
        {"notes-saved-composer",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return notesCard(sampleNotes(false), false, true, u"Saved in Notes."_s); }},
        {"notes-composer-two-directions",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return notesCard(sampleNotes(false), false, true, {}); }},
        {"notes-odd-tiles",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) {
             auto notes = sampleNotes(false);
             notes.resize(3);
             return notesCard(notes, false, false, {});
         }},
        {"prayers-offline",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return prayersCard(u"Makkah"_s, false, false, offlineSentence(), StatusTint::orange); }},
        {"prayers-updated",
         {kDetailPanelWidth, kDetailPanelHeight},
         false,
         [](const Context &) { return prayersCard(u"Makkah"_s, true, false, u"Updated"_s, StatusTint::green); }},
    };
}

} // namespace kolu::gallery
