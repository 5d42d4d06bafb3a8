#pragma once

#include <QString>
#include <QVBoxLayout>
#include <QWidget>

namespace kolu {

// The glass container of a module card: content stacked top to bottom
// (spacing 12, padding 14) on card glass with corner radius 16. The title
// and symbol are kept for the panel header and are not drawn here.
class ModuleCard : public QWidget {
    Q_OBJECT
public:
    ModuleCard(const QString &title, const QString &symbol, QWidget *parent = nullptr);

    const QString &title() const { return m_title; }
    const QString &symbol() const { return m_symbol; }

    // Where the card's content goes: add widgets or layouts to it.
    QVBoxLayout *contentLayout() const { return m_layout; }
    void addContent(QWidget *widget);

    static constexpr int kPadding = 14;
    static constexpr int kSpacing = 12;
    static constexpr qreal kCornerRadius = 16;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    QString m_symbol;
    QVBoxLayout *m_layout;
};

} // namespace kolu
