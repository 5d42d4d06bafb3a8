#pragma once

#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

namespace kolu {

class ElidedLabel;
class OrlixButton;
class StatusPill;
class WallpaperPreview;

// The wallpapers module: a preview of the shown wallpaper, stepping back
// and forth through the library, reloading it, choosing a folder of one's
// own, and setting the shown picture as the desktop picture. Everything it
// shows belongs to the state, which does the loading and setting.
class WallpapersCard : public ModuleCard {
    Q_OBJECT
public:
    static constexpr int defaultPreviewHeight = 214;
    static constexpr qreal defaultPreviewCornerRadius = 18;

    explicit WallpapersCard(AppState &state, QWidget *parent = nullptr, int previewHeight = defaultPreviewHeight,
                            qreal previewCornerRadius = defaultPreviewCornerRadius);

    WallpaperPreview *preview() const { return m_preview; }

protected:
    // Each time the card is shown it loads the library when nothing is shown.
    void showEvent(QShowEvent *event) override;

private:
    void onStateChanged(AppState::Field field);
    void refreshContent();
    void applyColors();

    AppState &m_state;
    WallpaperPreview *m_preview;
    OrlixButton *m_previous;
    OrlixButton *m_refresh;
    OrlixButton *m_next;
    OrlixButton *m_folder;
    OrlixButton *m_apply;
    StatusPill *m_pill;
    ElidedLabel *m_title;
    ElidedLabel *m_status;
};

} // namespace kolu
