#pragma once

#include <QWidget>

class QAbstractButton;
class QVBoxLayout;

namespace kolu {

class AppState;
class ElidedLabel;
class OrlixButton;

// The radio on glass: the shown station's names, a row per station, the play
// button, the status line and the station's attribution.
class QuranPlayerCard : public QWidget {
    Q_OBJECT
public:
    explicit QuranPlayerCard(AppState &state, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void rebuildStations();
    void showSelection();

    AppState &m_state;
    ElidedLabel *m_titleArabic;
    ElidedLabel *m_titleEnglish;
    ElidedLabel *m_caption;
    QWidget *m_badge;
    QVBoxLayout *m_stationList;
    QList<QAbstractButton *> m_stationRows;
    OrlixButton *m_play;
    ElidedLabel *m_status;
    ElidedLabel *m_attribution;
};

// The "Quran Radio" section: the radio card.
class QuranRecitationSection : public QWidget {
    Q_OBJECT
public:
    explicit QuranRecitationSection(AppState &state, QWidget *parent = nullptr);

    QuranPlayerCard *playerCard() const { return m_card; }

private:
    QuranPlayerCard *m_card;
};

} // namespace kolu
