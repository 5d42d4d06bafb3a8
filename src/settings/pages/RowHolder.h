#pragma once

#include <QLayout>
#include <QWidget>

namespace kolu {

// A row's layout in a widget of its own, so that wrapping labels in it get
// the height their width needs.
inline QWidget *rowHolder(QLayout *layout, QWidget *parent)
{
    auto *holder = new QWidget(parent);
    // Margins left unset would take the style's; keep what the row set.
    layout->setContentsMargins(layout->contentsMargins());
    holder->setLayout(layout);
    return holder;
}

} // namespace kolu
