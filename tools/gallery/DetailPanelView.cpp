#include "DetailPanelView.h"

#include "GalleryState.h"

#include "shell/rail/expanded/ModuleDetailPanel.h"

namespace kolu::gallery {

QWidget *inDetailPanel(RailModule module, const std::function<void(QWidget *card)> &setup)
{
    auto *panel = new ModuleDetailPanel(state(), module);
    panel->setFixedSize(kDetailPanelWidth, kDetailPanelHeight);
    if (setup && panel->card())
        setup(panel->card());
    return panel;
}

} // namespace kolu::gallery
