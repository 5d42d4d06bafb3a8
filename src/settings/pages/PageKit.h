#pragma once

#include "style/IconProvider.h"
#include "style/Palette.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>

namespace kolu {

class ElidedLabel;

// A symbol drawn centred in a fixed-width frame; its colour is asked for on
// every paint, so it follows the theme and the hero colour.
class SettingsSymbol : public QWidget {
    Q_OBJECT
public:
    using ColorSource = std::function<QColor()>;
    SettingsSymbol(const QString &symbol, qreal pointSize, IconWeight weight, ColorSource color, int frameWidth,
                   QWidget *parent = nullptr);

    const QString &symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    QColor currentColor() const { return m_color(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    qreal m_pointSize;
    IconWeight m_weight;
    ColorSource m_color;
    int m_frameWidth;
};

// A colour source for a palette role of the current style.
SettingsSymbol::ColorSource styleColor(PaletteRole role);

// A label made of a symbol and a title, 6 pt apart, in the title's font and
// the text colour.
QWidget *settingsSymbolLabel(const QString &title, const QString &symbol, const QFont &font, QWidget *parent = nullptr);

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

} // namespace kolu
