#pragma once

#include <QString>

namespace kolu {

// The folders the cards read, each chosen on the Desktop Apps page.
enum class CardFolder { calendar, todos, notes };

// What a card says of a folder the user chose that has gone or cannot be
// read: a title, and a sentence naming the folder, whose path is shown whole
// or cut in its middle so that its last name stays readable.
struct GoneFolderText {
    QString title;
    QString beforePath;
    QString path; // as the user knows it, "~" for the home folder
    QString afterPath;
};
GoneFolderText goneFolderText(CardFolder folder, const QString &path);

} // namespace kolu
