#pragma once

#include "style/Palette.h"
#include "style/widgets/OrlixButton.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;
class QVBoxLayout;

namespace kolu {

class ElidedLabel;

// The pieces every settings page is assembled from. Each follows the style:
// a change of theme, appearance or hero colour repaints it.

// A text in a palette role that follows style changes; `maximumLines` 0
// means as many lines as the text needs.
ElidedLabel *settingsText(const QString &text, const QFont &font, PaletteRole role, int maximumLines,
                          QWidget *parent = nullptr);

// A rounded rectangle's outline: `color` at `opacity`, 0.8 pt wide,
// centred on the edge.
void paintSettingsCardOutline(QPainter &painter, const QRectF &rect, qreal cornerRadius, const QColor &color,
                              qreal opacity);

// A titled group: the title, then the content, 10 pt apart.
class SettingsGroup : public QWidget {
    Q_OBJECT
public:
    SettingsGroup(const QString &title, QWidget *content, QWidget *parent = nullptr);
    ElidedLabel *titleLabel() const { return m_title; }

private:
    ElidedLabel *m_title;
};

// The glass card a sectioned page draws its content in; the wide one holds
// the tabs page's grid.
class SettingsSectionCard : public QWidget {
    Q_OBJECT
public:
    enum class Variant { standard, wide };
    explicit SettingsSectionCard(Variant variant = Variant::standard, QWidget *parent = nullptr);
    Variant variant() const { return m_variant; }
    QVBoxLayout *contentLayout() const { return m_layout; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Variant m_variant;
    QVBoxLayout *m_layout;
};

// A quiet raised card whose content is centred (General, Updates, Profile).
class SettingsInfoCard : public QWidget {
    Q_OBJECT
public:
    explicit SettingsInfoCard(QWidget *parent = nullptr);
    QVBoxLayout *contentLayout() const { return m_layout; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *m_layout;
};

// A 1 pt rule between rows, starting under a line's text column.
class SettingsDivider : public QWidget {
    Q_OBJECT
public:
    explicit SettingsDivider(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A symbol on a rounded square tinted with its colour.
class SettingsSymbolBadge : public QWidget {
    Q_OBJECT
public:
    SettingsSymbolBadge(const QString &symbol, const QColor &tint, int side, qreal symbolSize, bool bold,
                        QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    QColor m_tint;
    qreal m_symbolSize;
    bool m_bold;
};

// The three rows: a plain line, a status row on a raised card, and a
// permission row with a request button and a settings gear.
class SettingsRow : public QWidget {
    Q_OBJECT
public:
    enum class Kind { line, status, permission };

    ElidedLabel *titleLabel() const { return m_title; }
    ElidedLabel *detailLabel() const { return m_detail; }
    OrlixButton *requestButton() const { return m_request; }
    OrlixButton *settingsButton() const { return m_settings; }
    Kind kind() const { return m_kind; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SettingsRow(Kind kind, const QString &title, const QString &detail, const QString &symbol, const QColor &tint,
                QWidget *parent);

    friend SettingsRow *settingLine(const QString &, const QString &, const QString &, const QColor &, QWidget *);
    friend SettingsRow *settingsStatusRow(const QString &, const QString &, const QString &, const QColor &, QWidget *);
    friend SettingsRow *permissionActionRow(const QString &, const QString &, const QString &, const QColor &,
                                            const QString &, std::function<void()>, std::function<void()>, QWidget *);

    Kind m_kind;
    ElidedLabel *m_title;
    ElidedLabel *m_detail;
    OrlixButton *m_request = nullptr;
    OrlixButton *m_settings = nullptr;
};

SettingsRow *settingLine(const QString &title, const QString &detail, const QString &symbol, const QColor &tint,
                         QWidget *parent = nullptr);
SettingsRow *settingsStatusRow(const QString &title, const QString &detail, const QString &symbol, const QColor &tint,
                               QWidget *parent = nullptr);
// `settingsAction` opens the Kolu settings page where the access is set up.
SettingsRow *permissionActionRow(const QString &title, const QString &detail, const QString &symbol, const QColor &tint,
                                 const QString &requestTitle, std::function<void()> requestAction,
                                 std::function<void()> settingsAction, QWidget *parent = nullptr);

// The heading of a control row: the labelled title (13 pt bold) and, when
// given, a caption under it (12 pt semibold, secondary text).
QWidget *settingsRowHeading(const QString &title, const QString &symbol, const QString &caption,
                            QWidget *parent = nullptr);

// A page's body: it asks for as much width as the content column gives.
class SettingsPageWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    QSize sizeHint() const override;
};

// Lets a card's row take the card's full width (the cards centre what
// does not ask for more).
QWidget *fullWidth(QWidget *widget);

// A button of the settings pages: label, symbol and object name.
OrlixButton *settingsPageButton(OrlixButton::Kind kind, const QString &text, const QString &symbol,
                                const QString &objectName, QWidget *parent = nullptr);

// The header row of a page's card: the title with its symbol at 15 pt bold,
// and on the right a quiet 12 pt bold text, returned through `trailing`.
QWidget *settingsCardHeader(const QString &title, const QString &symbol, const QString &trailingText,
                            ElidedLabel **trailing, QWidget *parent = nullptr);

// The page body: the group title over a standard section card whose content
// layout the page fills (leading, 12 pt apart).
QWidget *settingsSectionPage(const QString &groupTitle, SettingsSectionCard **card, QWidget *parent = nullptr);

} // namespace kolu
