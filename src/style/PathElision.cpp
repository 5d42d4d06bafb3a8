#include "style/PathElision.h"

namespace kolu {

namespace {

constexpr QChar ellipsis(0x2026);

} // namespace

QString elidePathMiddle(const QString &path, qreal width, const TextWidth &measure)
{
    if (path.isEmpty() || measure(path) <= width)
        return path;
    // The last name, with the separator before it; a trailing "/" belongs to
    // the name it follows.
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == u'/')
        --end;
    const qsizetype slash = path.lastIndexOf(u'/', end - 1);
    const QString tail = slash > 0 ? path.mid(slash) : path;
    const QString shortest = QString(ellipsis) + tail;
    if (slash <= 0 || measure(shortest) > width) {
        // Not even the last name fits: it is cut in its middle, keeping
        // both of its ends.
        const QString name = slash >= 0 ? path.mid(slash + 1) : path;
        qsizetype keep = name.size() - 1;
        while (keep > 0) {
            const qsizetype front = (keep + 1) / 2;
            const QString cut = name.left(front) + ellipsis + name.right(keep - front);
            if (measure(cut) <= width)
                return cut;
            --keep;
        }
        return QString(ellipsis);
    }
    // As much of the start as fits in front of "…/name".
    qsizetype head = slash;
    while (head > 0) {
        const QString cut = path.left(head) + shortest;
        if (measure(cut) <= width)
            return cut;
        --head;
    }
    return shortest;
}

} // namespace kolu
