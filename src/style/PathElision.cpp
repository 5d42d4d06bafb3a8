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
        // Not even "…/name" fits: the whole path is cut in its middle, so
        // that its start (with any mark before it) and the end of its last
        // name stay; never inside a character made of two units.
        qsizetype keep = path.size() - 1;
        while (keep > 0) {
            qsizetype front = (keep + 1) / 2;
            qsizetype back = keep - front;
            if (front > 0 && path.at(front - 1).isHighSurrogate())
                --front;
            if (back > 0 && path.at(path.size() - back).isLowSurrogate())
                --back;
            const QString cut = path.left(front) + ellipsis + path.right(back);
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
