#pragma once

#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

#include <vector>

class QVBoxLayout;

namespace kolu {

class ElidedLabel;
class EmptyState;
class OrlixButton;
class PrayerLocationField;
class PrayerTimeRow;
class SmallSpinner;

// The prayers module: the next prayer with its countdown, the city and
// country the times are fetched for, and today's times with their
// notification switches. The two location texts are the card's own until
// "Set" stores them; everything else is read from the state.
class PrayersCard : public ModuleCard {
    Q_OBJECT
public:
    explicit PrayersCard(AppState &state, QWidget *parent = nullptr);

    PrayerLocationField *cityField() const { return m_city; }
    PrayerLocationField *countryField() const { return m_country; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildHeaderSection(QVBoxLayout *stack);
    void buildLocationSection(QVBoxLayout *stack);
    void buildTimesSection(QVBoxLayout *stack);
    void connectControls();
    void onStateChanged(AppState::Field field);
    void updateHeader();
    void updateLocationStatus();
    void updateSetButton();
    void updateList();
    void updateRefreshButton();
    void chooseCountry(const QString &chosen);
    void setLocation();

    AppState &m_state;
    ElidedLabel *m_nextCaption;
    ElidedLabel *m_nextName;
    ElidedLabel *m_nextSubtitle;
    OrlixButton *m_refresh;
    SmallSpinner *m_spinner;
    PrayerLocationField *m_city;
    PrayerLocationField *m_country;
    ElidedLabel *m_status;
    OrlixButton *m_set;
    ElidedLabel *m_todayTitle;
    ElidedLabel *m_listCity;
    QWidget *m_rows;
    QVBoxLayout *m_rowsLayout;
    std::vector<PrayerTimeRow *> m_rowWidgets;
    EmptyState *m_empty;
};

} // namespace kolu
