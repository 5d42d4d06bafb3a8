#include "settings/pages/SymbolTitle.h"

#include "settings/SettingsKit.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>

namespace kolu {

namespace {

class Symbol : public QWidget {
public:
    Symbol(const QString &symbol, qreal pointSize, PaletteRole role, QWidget *parent)
        : QWidget(parent)
        , m_symbol(symbol)
        , m_size(pointSize)
        , m_role(role)
    {
        const int side = qCeil(pointSize * 1.3);
        setFixedSize(side, side);
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        IconProvider::paint(painter, rect(), m_symbol, m_size, OrlixStyle::current().color(m_role), IconWeight::bold);
    }

private:
    QString m_symbol;
    qreal m_size;
    PaletteRole m_role;
};

} // namespace

SymbolTitle::SymbolTitle(const QString &symbol, const QString &title, qreal pointSize, PaletteRole role,
                         QWidget *parent)
    : QWidget(parent)
    , m_label(settingsText(title, OrlixFonts::system(pointSize, QFont::Bold), role, 1, this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(new Symbol(symbol, pointSize, role, this), 0, Qt::AlignVCenter);
    row->addWidget(m_label, 1, Qt::AlignVCenter);
}

} // namespace kolu
