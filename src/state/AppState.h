#pragma once

#include "model/Clock.h"
#include "model/LocalStore.h"
#include "model/PersistedFiles.h"
#include "model/UserDefaults.h"
#include "state/AppStateFields.h"

#include <QObject>

#include <functional>

namespace kolu {

// The one observable object every view reads: each published field, the
// settings behind them, and the actions the views call. A setter stores the
// value, emits changed(field), then runs the field's reaction, also when the
// value did not change. The constructor assigns directly, so no reaction runs
// while the object is being built.
class AppState : public QObject {
    Q_OBJECT
public:
#define KOLU_FIELD_NAME(name, setter, type) name,
    enum class Field { KOLU_APP_STATE_FIELDS(KOLU_FIELD_NAME) };
#undef KOLU_FIELD_NAME

    // `defaults` and `clock` must outlive the object. `dataLocation` stands in
    // for the user's data folder when given (tests).
    AppState(UserDefaults &defaults, Clock &clock, const QString &dataLocation = {}, QObject *parent = nullptr);
    ~AppState() override;

#define KOLU_FIELD_ACCESS(name, setter, type)                                                                      \
    const type &name() const { return m_##name; }                                                                 \
    void setter(type value);
    KOLU_APP_STATE_FIELDS(KOLU_FIELD_ACCESS)
#undef KOLU_FIELD_ACCESS

    // Set by the window layer; a callback that is not set is skipped.
    std::function<void(bool)> onExpandedChange;
    std::function<void(bool)> onDockRevealChange;
    std::function<void()> onChromeNeedsLayout;
    std::function<void()> onSelectedModuleChange;

    const LocalStore &store() const { return m_store; }
    const PersistedFiles &files() const { return m_files; }
    UserDefaults &defaults() const { return m_defaults; }
    Clock &clock() const { return m_clock; }

    // Rail modules and the panel.
    RailModuleOrder visibleRailModules() const;
    void setRailModule(RailModule module, bool visible);
    void moveRailModule(RailModule module, int toVisibleIndex);
    void openModule(RailModule module);
    void expandPanel();
    void hideToEdge();

Q_SIGNALS:
    void changed(kolu::AppState::Field field);

private:
    template<typename T>
    void assign(Field field, T &member, T value)
    {
        member = std::move(value);
        Q_EMIT changed(field);
        react(field);
    }

    void react(Field field);
    void callChromeNeedsLayout();
    void writeSetting(const char *key, const QJsonValue &value);
    void ensureSelectedModuleIsVisible();
    void deactivateModule(RailModule module);

    UserDefaults &m_defaults;
    Clock &m_clock;
    LocalStore m_store;
    PersistedFiles m_files;

#define KOLU_FIELD_MEMBER(name, setter, type) type m_##name;
    KOLU_APP_STATE_FIELDS(KOLU_FIELD_MEMBER)
#undef KOLU_FIELD_MEMBER
};

} // namespace kolu
