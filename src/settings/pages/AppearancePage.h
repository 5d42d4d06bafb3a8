#pragma once

#include "settings/SettingsKit.h"

#include "style/Theme.h"

#include <QAbstractButton>
#include <QColor>
#include <QWidget>

#include <vector>

namespace kolu {

class ColorWell;
class ElidedLabel;
class SegmentedPicker;
class SymbolView;
class SettingsView;
class SettingsViewSettings;

// A theme's preview colours, left to right; heroLight's carry `hero`.
std::vector<QColor> themeSwatchColors(OrlixTheme theme, const QColor &hero);

// A theme's title and detail line.
QString themeTitle(OrlixTheme theme);
QString themeDetail(OrlixTheme theme);

// The overlapping swatch circles of a theme, 48 pt wide.
class ThemeSwatches : public QWidget {
    Q_OBJECT
public:
    explicit ThemeSwatches(OrlixTheme theme, QWidget *parent = nullptr);
    // The colours as drawn now (the hero colour is read from the style).
    std::vector<QColor> colors() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OrlixTheme m_theme;
};

// One theme's row: swatches, title and detail, the selection mark.
class ThemeRow : public QAbstractButton {
    Q_OBJECT
public:
    ThemeRow(OrlixTheme theme, QWidget *parent = nullptr);
    OrlixTheme theme() const { return m_theme; }
    ThemeSwatches *swatches() const { return m_swatches; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OrlixTheme m_theme;
    bool m_selected = false;
    ThemeSwatches *m_swatches;
    SymbolView *m_mark;
};

// The Appearance page: the appearance mode, the four themes and, under
// Hero Light, the hero colour. It writes the three look settings through
// the window's view settings and nothing else.
class SettingsAppearancePage : public SettingsPageWidget {
    Q_OBJECT
public:
    SettingsAppearancePage(SettingsView &view, QWidget *parent = nullptr);

private:
    void sync();

    SettingsViewSettings &m_settings;
    ElidedLabel *m_modeTitle;
    SegmentedPicker *m_mode;
    ElidedLabel *m_themeTitle;
    std::vector<ThemeRow *> m_rows;
    QWidget *m_heroRow;
    ColorWell *m_well;
};

} // namespace kolu
