#pragma once

#include <QList>
#include <QString>

namespace kolu {

// One ambient loop: its title, its symbol name and its file in the sound folder.
struct SoundscapeTrack {
    QString id;
    QString title;
    QString symbol;
    QString filename;

    friend bool operator==(const SoundscapeTrack &, const SoundscapeTrack &) = default;
};

// A named preset: the tracks it plays and at which volumes.
struct SoundscapeMix {
    struct Item {
        QString trackID;
        double volume = 0.0; // 0...1

        friend bool operator==(const Item &, const Item &) = default;
    };

    QString id;
    QString title;
    QString symbol;
    QList<Item> items;

    friend bool operator==(const SoundscapeMix &, const SoundscapeMix &) = default;
};

} // namespace kolu
