#include "settings/pages/ReleaseNotesCard.h"

#include "settings/SettingsLogo.h"
#include "settings/pages/RowHolder.h"
#include "style/Fonts.h"
#include "style/IconProvider.h"
#include "style/OrlixStyle.h"
#include "style/widgets/ElidedLabel.h"
#include "style/widgets/StyledWidget.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

// The accent checkmark in front of a note, 11 pt bold, 2 pt below the top.
class NoteMark : public QWidget {
public:
    explicit NoteMark(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(14, 16);
        repaintOnStyleChange(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        IconProvider::paint(painter, QRectF(0, 2, 14, 14), u"checkmark.circle.fill"_s, 11,
                            OrlixStyle::current().readable(themeAccentColor(), kLargeInkContrast), IconWeight::bold);
    }
};

} // namespace

ReleaseNotesCard::ReleaseNotesCard(const QString &version, const QString &label, const QStringList &notes,
                                   QWidget *parent)
    : SettingsInfoCard(parent)
{
    setObjectName(u"releaseNotesCard"_s);
    QVBoxLayout *content = contentLayout();
    content->setAlignment(Qt::Alignment());

    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 8);
    auto *versionText = settingsText(version, OrlixFonts::system(15, QFont::Bold), PaletteRole::text, 1, this);
    versionText->setObjectName(u"releaseNotesVersion"_s);
    auto *labelText = new ElidedLabel(label, this);
    labelText->setObjectName(u"releaseNotesLabel"_s);
    labelText->setFont(OrlixFonts::system(10, QFont::Bold));
    labelText->setColor(OrlixStyle::current().readable(themeAccentColor()));
    onStyleChange(labelText, [labelText] { labelText->setColor(OrlixStyle::current().readable(themeAccentColor())); });
    header->addWidget(versionText, 1, Qt::AlignBaseline);
    header->addWidget(labelText, 0, Qt::AlignBaseline);
    content->addWidget(rowHolder(header, nullptr));
    content->addWidget(new SettingsDivider(this));

    auto *list = new QVBoxLayout;
    list->setContentsMargins(0, 13, 0, 5);
    list->setSpacing(9);
    for (const QString &note : notes) {
        auto *row = new QHBoxLayout;
        row->setSpacing(9);
        row->addWidget(new NoteMark(this), 0, Qt::AlignTop);
        auto *text = settingsText(note, OrlixFonts::system(12, QFont::DemiBold), PaletteRole::secondaryText, 0, this);
        text->setObjectName(u"releaseNote"_s);
        row->addWidget(text, 1, Qt::AlignTop);
        list->addWidget(rowHolder(row, nullptr));
    }
    content->addWidget(rowHolder(list, nullptr));
}

} // namespace kolu
