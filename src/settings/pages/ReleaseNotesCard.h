#pragma once

#include "settings/SettingsKit.h"

#include <QStringList>

namespace kolu {

// One release of the version history, drawn like an info card: the version
// and its label, a rule, then each note behind an accent checkmark, wrapped
// onto as many lines as it needs.
class ReleaseNotesCard : public SettingsInfoCard {
    Q_OBJECT
public:
    ReleaseNotesCard(const QString &version, const QString &label, const QStringList &notes, QWidget *parent = nullptr);
};

} // namespace kolu
