#include "settings/pages/CustomRadioStationEditor.h"

#include "model/Error.h"
#include "services/media/QuranAudioManager.h"
#include "settings/SettingsKit.h"
#include "settings/SettingsView.h"
#include "settings/pages/RowHolder.h"
#include "state/AppState.h"
#include "style/Fonts.h"
#include "style/OrlixStyle.h"
#include "style/widgets/SymbolLabel.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixButton.h"
#include "style/widgets/OrlixTextField.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QColor kSuccessGreen(52, 168, 83);
const QColor kFailureRed(230, 72, 62);

} // namespace

CustomRadioStationEditor::CustomRadioStationEditor(SettingsView &view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
    , m_badge(settingsText(QString(), OrlixFonts::system(11, QFont::Bold), PaletteRole::secondaryText, 1, this))
    , m_name(new OrlixTextField(this))
    , m_url(new OrlixTextField(this))
    , m_save(new OrlixButton(OrlixButton::Kind::secondary, QString(), this))
    , m_remove(new OrlixButton(OrlixButton::Kind::secondary, tr("Remove"), this))
    , m_message(new ElidedLabel(QString(), this))
{
    setObjectName(u"customRadioStationEditor"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(10);

    auto *header = new QHBoxLayout;
    header->setSpacing(10);
    header->addWidget(new SymbolLabel(tr("Custom Radio Station"), u"dot.radiowaves.left.and.right"_s,
                                      OrlixFonts::system(13, QFont::Bold), PaletteRole::text,
                                      SymbolLabel::Fit::wideLine, this),
                      1);
    m_badge->setObjectName(u"customRadioBadge"_s);
    header->addWidget(m_badge, 0, Qt::AlignVCenter);
    layout->addWidget(rowHolder(header, nullptr));

    auto *hint = settingsText(tr("Add one live station to the radio list. Use its direct HTTPS stream link."),
                              OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0, this);
    hint->setObjectName(u"customRadioHint"_s);
    layout->addWidget(hint);

    m_name->setObjectName(u"customRadioName"_s);
    m_name->setPlaceholderText(tr("Station name"));
    m_url->setObjectName(u"customRadioStreamURL"_s);
    m_url->setPlaceholderText(u"https://radio.example.com/live/stream.m3u8"_s);
    layout->addWidget(m_name);
    layout->addWidget(m_url);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    m_save->setObjectName(u"customRadioSave"_s);
    m_remove->setObjectName(u"customRadioRemove"_s);
    m_remove->setSymbol(u"trash"_s);
    buttons->addWidget(m_save);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    layout->addWidget(rowHolder(buttons, nullptr));

    m_message->setObjectName(u"customRadioMessage"_s);
    m_message->setFont(OrlixFonts::system(12, QFont::DemiBold));
    m_message->setMaximumLines(3);
    layout->addWidget(m_message);

    SettingsFormEntries &entries = m_view.formEntries();
    m_name->setText(entries.customRadioName);
    m_url->setText(entries.customRadioStreamURL);
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_view.formEntries().customRadioName = text;
        refresh();
    });
    connect(m_url, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_view.formEntries().customRadioStreamURL = text;
        refresh();
    });
    // Return in the address saves even when the name is blank, so the
    // manager's own sentence says what is missing.
    connect(m_url, &QLineEdit::returnPressed, this, &CustomRadioStationEditor::save);
    connect(m_save, &OrlixButton::clicked, this, &CustomRadioStationEditor::save);
    connect(m_remove, &OrlixButton::clicked, this, &CustomRadioStationEditor::remove);
    connect(&m_view.state().quranAudioManager(), &QuranAudioManager::customStationChanged, this,
            &CustomRadioStationEditor::refresh);
    refresh();
}

bool CustomRadioStationEditor::isFormComplete() const
{
    const SettingsFormEntries &entries = m_view.formEntries();
    return !entries.customRadioName.trimmed().isEmpty() && !entries.customRadioStreamURL.trimmed().isEmpty();
}

void CustomRadioStationEditor::save()
{
    SettingsFormEntries &entries = m_view.formEntries();
    try {
        m_view.state().quranAudioManager().saveCustomStation(entries.customRadioName, entries.customRadioStreamURL);
        m_view.loadCustomRadioDraft();
        entries.customRadioMessageIsError = false;
        entries.customRadioMessage = tr("Custom station saved.");
    } catch (const Error &error) {
        entries.customRadioMessageIsError = true;
        entries.customRadioMessage = error.description();
    }
    refresh();
}

void CustomRadioStationEditor::remove()
{
    m_view.state().quranAudioManager().removeCustomStation();
    SettingsFormEntries &entries = m_view.formEntries();
    entries.customRadioName.clear();
    entries.customRadioStreamURL.clear();
    entries.customRadioMessageIsError = false;
    entries.customRadioMessage = tr("Custom station removed.");
    refresh();
}

void CustomRadioStationEditor::refresh()
{
    const SettingsFormEntries &entries = m_view.formEntries();
    const bool saved = m_view.state().quranAudioManager().customStation().has_value();
    m_badge->setText(saved ? tr("1 of 1") : tr("Optional"));
    m_save->setText(saved ? tr("Update Station") : tr("Add Station"));
    m_save->setSymbol(saved ? u"checkmark"_s : u"plus"_s);
    m_save->setEnabled(isFormComplete());
    m_remove->setVisible(saved);
    // Only what the program wrote goes back, so typing keeps its cursor.
    if (m_name->text() != entries.customRadioName)
        m_name->setText(entries.customRadioName);
    if (m_url->text() != entries.customRadioStreamURL)
        m_url->setText(entries.customRadioStreamURL);
    m_message->setText(entries.customRadioMessage);
    m_message->setColor(
        OrlixStyle::current().readable(entries.customRadioMessageIsError ? kFailureRed : kSuccessGreen));
    m_message->setVisible(!entries.customRadioMessage.isEmpty());
}

} // namespace kolu
