#include "style/SystemColorScheme.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString kService = u"org.freedesktop.portal.Desktop"_s;
const QString kPath = u"/org/freedesktop/portal/desktop"_s;
const QString kInterface = u"org.freedesktop.portal.Settings"_s;
const QString kGroup = u"org.freedesktop.appearance"_s;
const QString kKey = u"color-scheme"_s;

// Read wraps the value in one variant more than SettingChanged does (older
// portals); unwrap every layer and take an unsigned number.
std::optional<uint> schemeNumber(QVariant value)
{
    for (int depth = 0;
         depth < 4 && value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>(); ++depth)
        value = value.value<QDBusVariant>().variant();
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    bool ok = false;
    const uint number = value.toUInt(&ok);
    if (!ok || number > 2)
        return std::nullopt;
    return number;
}

} // namespace

SystemColorScheme::SystemColorScheme(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (qApp)
        qApp->installEventFilter(this);
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kInterface, u"SettingChanged"_s, this, SLOT(onSettingChanged(QDBusMessage)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, u"Read"_s);
    call << kGroup << kKey;
    // Asked without waiting: a slow or missing portal must not hold up start-up.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            setPortalValue(schemeNumber(reply.arguments().constFirst()));
    });
}

ColorScheme SystemColorScheme::scheme() const
{
    if (m_portalValue == 1u)
        return ColorScheme::dark;
    if (m_portalValue == 2u)
        return ColorScheme::light;
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightnessF() < 0.5 ? ColorScheme::dark : ColorScheme::light;
}

bool SystemColorScheme::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && m_portalValue.value_or(0) == 0)
        Q_EMIT changed();
    return QObject::eventFilter(watched, event);
}

void SystemColorScheme::onSettingChanged(const QDBusMessage &message)
{
    const QVariantList args = message.arguments();
    if (args.size() == 3 && args.at(0).toString() == kGroup && args.at(1).toString() == kKey)
        setPortalValue(schemeNumber(args.at(2)));
}

void SystemColorScheme::setPortalValue(std::optional<uint> value)
{
    if (!value || value == m_portalValue)
        return;
    const ColorScheme before = scheme();
    m_portalValue = value;
    if (scheme() != before)
        Q_EMIT changed();
}

} // namespace kolu
