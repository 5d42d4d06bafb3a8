#pragma once

#include <QProxyStyle>

#include <functional>

namespace kolu {

// The style of pop-up menus (and of combo-box pop-up frames): a panel in the
// menu colours with a thin border, rounded where `roundedCorners` says the
// widget may show see-through corners; rows inset from the panel's edge
// with a rounded accent highlight under the pointer; a check column only
// where a checkable row has no symbol of its own (a row's symbol shows the
// choice itself); mask icons tinted with the row's text colour; shortcuts
// right-aligned in the secondary colour; one-pixel separators in the
// theme's line colour. Everything else is the application's style.
// Colours are read from OrlixStyle::current() at paint time.
class MenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr qreal kRadius = 10;
    static constexpr int kMargin = 5; // between the panel's edge and the rows
    static constexpr int kRowHeight = 24;
    static constexpr int kSeparatorHeight = 9;

    explicit MenuStyle(std::function<bool(const QWidget *)> roundedCorners);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                           const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

private:
    std::function<bool(const QWidget *)> m_roundedCorners;
};

} // namespace kolu
