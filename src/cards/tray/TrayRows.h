#pragma once

#include "model/Records.h"

#include <QWidget>

class QAbstractButton;

namespace kolu {

class AppState;
class ClipboardItemIcon;
class ElidedLabel;
class FileTrayDragSource;
class FileTrayIcon;
class RailIconButton;

// One held file: the selection mark, its picture, name and type on a card
// that a click selects and a drag carries out; the remove button beside it,
// outside the drag layer.
class FileTrayRow : public QWidget {
    Q_OBJECT
public:
    FileTrayRow(AppState &state, FileTrayItem item, QWidget *parent = nullptr);

    const FileTrayItem &item() const { return m_item; }
    bool isSelected() const;
    FileTrayDragSource *dragSource() const { return m_dragSource; }
    // Repaints the mark and card after the selection changed.
    void selectionChanged();
    // A held file that was deleted or moved away says so in place of its
    // type (and is left out of drags by the state).
    bool isMissing() const { return m_missing; }
    void setMissing(bool missing);

private:
    AppState &m_state;
    FileTrayItem m_item;
    bool m_missing = false;
    QWidget *m_card;
    FileTrayDragSource *m_dragSource;
};

// One clipboard entry: its icon, title and detail (pressing them opens the
// entry), and the Copy and Delete buttons.
class ClipboardRow : public QWidget {
    Q_OBJECT
public:
    ClipboardRow(AppState &state, ClipboardItem item, QWidget *parent = nullptr);

    const ClipboardItem &item() const { return m_item; }
    ClipboardItemIcon *icon() const { return m_icon; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    AppState &m_state;
    ClipboardItem m_item;
    ClipboardItemIcon *m_icon;
};

} // namespace kolu
