#include "cards/prayers/PrayerWidgets.h"

#include "cards/prayers/PrayerRules.h"
#include "style/ContinuousCorners.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/Opacity.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/OrlixSwitch.h"
#include "style/widgets/OrlixTextField.h"
#include "style/widgets/StyledWidget.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

void paintRoundedPanel(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill, const QColor &stroke)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = continuousRoundedRect(rect.adjusted(0.4, 0.4, -0.4, -0.4), radius);
    painter.fillPath(path, fill);
    painter.setPen(QPen(stroke, 0.8));
    painter.drawPath(path);
}

QColor prayersTint()
{
    return OrlixStyle::current().tint(RailModule::prayers);
}

// The chevron that opens the choices; its whole frame takes clicks. The
// menu belongs to the whole field: the field opens it under itself.
class ChevronButton : public QToolButton {
public:
    ChevronButton(PrayerLocationField *field)
        : QToolButton(field)
        , m_field(field)
    {
        setFixedSize(22, 24);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        repaintOnStyleChange(this);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton) {
            QToolButton::mousePressEvent(event);
            return;
        }
        m_field->openMenu();
        event->accept();
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QColor color = OrlixStyle::current().secondaryText();
        if (!isEnabled())
            color = withAlpha(color, 0.4);
        IconProvider::paint(painter, rect(), u"chevron.down"_s, 10, color, IconWeight::bold);
    }

private:
    PrayerLocationField *m_field;
};

} // namespace

PrayerLocationField::PrayerLocationField(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_edit(new OrlixTextField(this))
    , m_menuButton(new ChevronButton(this))
{
    m_edit->setBare(true);
    m_edit->setPlaceholderText(title);
    m_edit->setFont(OrlixFonts::system(13, QFont::DemiBold));
    m_edit->setAccessibleName(title);
    m_menuButton->setAccessibleName(title + u" presets"_s);
    // Owned by the field it opens under, so it is kept on the card's panel
    // against the field.
    auto *menu = new QMenu(this);
    m_menuButton->setMenu(menu);
    m_menuButton->setEnabled(false);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 8, 5, 8);
    row->setSpacing(4);
    row->addWidget(m_edit, 1);
    row->addWidget(m_menuButton);

    repaintOnStyleChange(this);
    connect(m_edit, &QLineEdit::textEdited, this, &PrayerLocationField::textEdited);
    m_edit->installEventFilter(this);
}

bool PrayerLocationField::eventFilter(QObject *watched, QEvent *event)
{
    // A field at rest shows the beginning of its text, not its scrolled end.
    if (watched == m_edit && event->type() == QEvent::FocusOut)
        m_edit->setCursorPosition(0);
    return QWidget::eventFilter(watched, event);
}

QString PrayerLocationField::text() const
{
    return m_edit->text();
}

void PrayerLocationField::setText(const QString &text)
{
    if (m_edit->text() == text)
        return;
    m_edit->setText(text);
    // Set from outside: the start shows uncut; while typing the cursor stays.
    if (!m_edit->hasFocus())
        m_edit->setCursorPosition(0);
}

void PrayerLocationField::setOptions(const QStringList &options)
{
    if (options == m_options)
        return;
    m_options = options;
    QMenu *menu = m_menuButton->menu();
    menu->clear();
    for (const QString &option : options)
        connect(menu->addAction(option), &QAction::triggered, this, [this, option] { choose(option); });
    m_menuButton->setEnabled(!options.isEmpty());
}

void PrayerLocationField::openMenu()
{
    QMenu *menu = m_menuButton->menu();
    if (!m_menuButton->isEnabled() || menu->actions().isEmpty())
        return;
    // Under the field's leading edge and never narrower than the field; it
    // stays on the card's panel, above the field where below is short.
    menu->setMinimumWidth(width());
    menu->popup(mapToGlobal(QPoint(0, height() + 2)));
}

void PrayerLocationField::choose(const QString &option)
{
    Q_EMIT optionChosen(option);
    setText(option);
}

void PrayerLocationField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const OrlixStyle &style = OrlixStyle::current();
    paintRoundedPanel(painter, rect(), 9, style.innerShade(), withAlpha(style.hairline(), 0.45));
}

PrayerTimeRow::PrayerTimeRow(QWidget *parent)
    : QWidget(parent)
    , m_name(new ElidedLabel({}, this))
    , m_time(new ElidedLabel({}, this))
    , m_switch(new OrlixSwitch(this))
{
    m_name->setFont(OrlixFonts::system(13, QFont::Bold));
    m_time->setFont(OrlixFonts::monospacedDigits(11, QFont::DemiBold));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->setContentsMargins(0, 0, 0, 0);
    texts->addWidget(m_name);
    texts->addWidget(m_time);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10 + 24 + 10, 8, 10, 8);
    row->setSpacing(10);
    row->addLayout(texts, 1);
    row->addWidget(m_switch, 0, Qt::AlignVCenter);

    connect(m_switch, &QAbstractButton::clicked, this,
            [this](bool checked) { Q_EMIT notificationToggled(checked, m_prayer); });
    onStyleChange(this, &PrayerTimeRow::applyColors);
    applyColors();
}

void PrayerTimeRow::setPrayer(const PrayerTime &prayer, bool isNext, bool notificationEnabled)
{
    const bool same = prayer == m_prayer && isNext == m_isNext && m_switch->isChecked() == notificationEnabled
                      && !m_name->text().isEmpty();
    if (same)
        return;
    m_prayer = prayer;
    m_isNext = isNext;
    setObjectName(u"prayerRow_"_s + prayer.id());
    m_switch->setObjectName(u"prayerSwitch_"_s + prayer.id());
    m_name->setText(displayName(prayer.name));
    m_time->setText(prayers::timeText(prayer.date));
    m_switch->setChecked(notificationEnabled);
    m_switch->setEnabled(prayer.name != PrayerName::sunrise);
    m_switch->setAccessibleName(displayName(prayer.name) + u" notification"_s);
    applyColors();
}

QSize PrayerTimeRow::sizeHint() const
{
    return {240, 8 + qMax(24, m_name->sizeHint().height() + 1 + m_time->sizeHint().height()) + 8};
}

void PrayerTimeRow::applyColors()
{
    const OrlixStyle &style = OrlixStyle::current();
    m_name->setColor(style.text());
    m_time->setColor(m_isNext ? style.readable(prayersTint()) : style.secondaryText());
    m_switch->setTint(prayersTint());
    update();
}

void PrayerTimeRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const OrlixStyle &style = OrlixStyle::current();
    const QColor tint = prayersTint();
    paintRoundedPanel(painter, rect(), 12, m_isNext ? withAlpha(tint, 0.12) : withAlpha(style.surface(), 0.36),
                      m_isNext ? withAlpha(tint, 0.28) : withAlpha(style.hairline(), 0.24));
    const QRectF icon(10, (height() - 24) / 2.0, 24, 24);
    painter.fillPath(continuousRoundedRect(icon, 7), withAlpha(tint, m_isNext ? 0.18 : 0.08));
    IconProvider::paint(
        painter, icon, m_isNext ? u"moon.stars.fill"_s : u"moon.stars"_s, 14,
        style.symbolInk(m_isNext ? tint : style.secondaryText(), withAlpha(tint, m_isNext ? 0.18 : 0.08)),
        IconWeight::bold);
}

} // namespace kolu
