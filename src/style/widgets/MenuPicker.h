#pragma once

#include <QStringList>
#include <QToolButton>

namespace kolu {

// A compact picker: the chosen item's title and a chevron on a raised
// rounded rectangle; a click opens a menu of all items, the chosen one
// checked, never narrower than the picker. The menu's actions are named "menuPickerItem<index>".
class MenuPicker : public QToolButton {
    Q_OBJECT
public:
    explicit MenuPicker(const QStringList &items = {}, QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    const QStringList &items() const { return m_items; }
    int currentIndex() const { return m_current; }
    // Chooses without emitting activated().
    void setCurrentIndex(int index);

    QSize sizeHint() const override;

Q_SIGNALS:
    // The user chose `index` from the menu.
    void activated(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuildMenu();

    QStringList m_items;
    int m_current = -1;
};

} // namespace kolu
