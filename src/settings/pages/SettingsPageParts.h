#pragma once

#include "style/Palette.h"
#include "style/widgets/OrlixButton.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace kolu {

class ElidedLabel;
class SettingsSectionCard;

// A symbol followed by a text on one line, the symbol in the text's colour.
// The colour is a palette role that follows the style, unless a fixed colour
// is set.
class SettingsSymbolLabel : public QWidget {
    Q_OBJECT
public:
    SettingsSymbolLabel(const QString &text, const QString &symbol, const QFont &font, PaletteRole role,
                        int maximumLines = 1, QWidget *parent = nullptr);
    QString text() const;
    void setText(const QString &text);
    // An invalid colour goes back to the palette role.
    void setColor(const QColor &color);
    QColor color() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyColor();
    int symbolExtent() const;

    QString m_symbol;
    QFont m_font;
    PaletteRole m_role;
    QColor m_fixed;
    ElidedLabel *m_label;
};

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
