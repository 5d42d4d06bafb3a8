#pragma once

#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

#include <QString>
#include <QWidget>

#include <vector>

class QAbstractButton;
class QFileSystemWatcher;
class QVBoxLayout;

namespace kolu {

class ClipboardRow;
class ElidedLabel;
class EmptyState;
class FileTrayDropZone;
class FileTrayRow;
class OrlixButton;

// The heading of a tray section: a tinted symbol tile, the title above a
// small subtitle, and the section's button at the trailing end.
class TraySectionHeader : public QWidget {
    Q_OBJECT
public:
    TraySectionHeader(const QString &title, const QString &symbol, QWidget *action, QWidget *parent = nullptr);

    void setSubtitle(const QString &subtitle);
    ElidedLabel *subtitleLabel() const { return m_subtitle; }

private:
    ElidedLabel *m_title;
    ElidedLabel *m_subtitle;
};

// The tray module: files dropped here are held (by reference) to be
// selected, shared or dragged back out; below them the newest clipboard
// captures. The whole card takes file drops, always as a copy.
class FileTrayCard : public ModuleCard {
    Q_OBJECT
public:
    explicit FileTrayCard(AppState &state, QWidget *parent = nullptr);

    bool isDropTarget() const { return m_isDropTarget; }
    FileTrayDropZone *dropZone() const { return m_dropZone; }
    const std::vector<FileTrayRow *> &fileRows() const { return m_fileRows; }
    const std::vector<ClipboardRow *> &clipboardRows() const { return m_clipboardRows; }

    // Whether `data` offers what the tray takes: at least one file address.
    static bool offersFiles(const QMimeData *data);

protected:
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void onStateChanged(AppState::Field field);
    void setDropTarget(bool targeted);
    void updateFiles();
    void updateSelection();
    void heldFileChanged(const QString &path);
    void updateShareStatus();
    void updateClipboard();
    void clearAll();

    AppState &m_state;
    bool m_isDropTarget = false;
    bool m_filesDirty = false;
    FileTrayDropZone *m_dropZone;
    OrlixButton *m_share;
    TraySectionHeader *m_filesHeader;
    QAbstractButton *m_clearAll;
    QWidget *m_fileList;
    QVBoxLayout *m_fileLayout;
    EmptyState *m_filesEmpty;
    ElidedLabel *m_status;
    TraySectionHeader *m_clipboardHeader;
    QAbstractButton *m_clearClipboard;
    QWidget *m_clipboardList;
    QVBoxLayout *m_clipboardLayout;
    EmptyState *m_clipboardEmpty;
    // Tells when a held file is deleted or moved away.
    QFileSystemWatcher *m_heldFiles;
    std::vector<FileTrayRow *> m_fileRows;
    std::vector<ClipboardRow *> m_clipboardRows;
};

} // namespace kolu
