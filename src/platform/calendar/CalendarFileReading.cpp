#include "platform/calendar/CalendarFileReading.h"

#include "model/AtomicFile.h"
#include "platform/calendar/CalendarFolders.h"

#include <QFile>
#include <QFileInfo>

namespace kolu {

namespace {

// Octets per physical line, as calendar clients fold them.
constexpr qsizetype kFoldWidth = 75;
// A value longer than this in a file too large to read whole is cut here.
constexpr qsizetype kLongValueCut = 256 * 1024;
// Larger files are not even read in pieces.
constexpr qint64 kMaxReducedFileSize = 1024LL * 1024 * 1024;

// Whether a content line's name and parameters say it holds binary data.
bool isBinaryValue(const QByteArray &line, qsizetype colon)
{
    const QByteArray head = line.left(colon).toUpper();
    return head.startsWith("ATTACH") || head.contains(";ENCODING=BASE64") || head.contains(";VALUE=BINARY");
}

// The position of the colon that ends a line's name and parameters (colons
// inside quoted parameter values do not count), or -1.
qsizetype valueStart(const QByteArray &line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

// `line` cut to at most `size` bytes without splitting a UTF-8 sequence or
// an escape.
QByteArray cutLine(const QByteArray &line, qsizetype size)
{
    qsizetype end = std::min(size, line.size());
    while (end > 0 && end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
        --end;
    qsizetype backslashes = 0;
    while (backslashes < end && line[end - 1 - backslashes] == '\\')
        ++backslashes;
    if (backslashes % 2 == 1)
        --end;
    return line.left(end);
}

// Whether the physical line at `at` goes on the one before it (folding).
bool continuesLine(const QByteArray &bytes, qsizetype at)
{
    return at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t');
}

// Where the content line that begins at `at` ends: past the line end of its
// last folded continuation.
qsizetype contentLineEnd(const QByteArray &bytes, qsizetype at)
{
    for (;;) {
        const qsizetype newline = bytes.indexOf('\n', at);
        if (newline < 0)
            return bytes.size();
        at = newline + 1;
        if (!continuesLine(bytes, at))
            return at;
    }
}

// Reads the unfolded content line at `start` character by character.
class UnfoldedLine {
public:
    UnfoldedLine(const QByteArray &bytes, qsizetype start)
        : m_bytes(bytes)
        , m_at(start)
    {
    }

    // The next character, or -1 at the end of the line.
    int next()
    {
        for (;;) {
            if (m_at >= m_bytes.size())
                return -1;
            const char c = m_bytes[m_at];
            const bool lineEnd = c == '\n' || (c == '\r' && m_at + 1 < m_bytes.size() && m_bytes[m_at + 1] == '\n');
            if (!lineEnd) {
                ++m_at;
                return static_cast<unsigned char>(c);
            }
            const qsizetype newline = c == '\r' ? m_at + 1 : m_at;
            if (!continuesLine(m_bytes, newline + 1))
                return -1;
            m_at = newline + 2; // past the blank that folds the line
        }
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_at;
};

// How many parameters the parser reads from the content line at `start`,
// counted as it splits the line: any character right after a backslash is
// taken as it is (even a second backslash, which still does the same to the
// character after it), a double quote otherwise opens or closes a quoted
// stretch, and the first semicolon or colon outside one ends the name or a
// parameter; a colon ends the last.
// Some versions of the parser also take the first character after each
// split as it is, which changes where quotes fall: `blindAfterSplit` counts
// as those do. A TZID parameter that ends at a colon sends the parser on
// into the value, where every semicolon may begin one more. Counting stops
// past the bound.
int parametersAsSplit(const QByteArray &bytes, qsizetype start, bool blindAfterSplit)
{
    UnfoldedLine line(bytes, start);
    int parameters = 0;
    bool inParameters = false; // past the name
    bool quoted = false;
    bool escaped = false;
    bool blind = blindAfterSplit;
    QByteArray name; // of the parameter being read, up to its '='
    bool named = false;
    for (int c = line.next(); c >= 0 && parameters <= kMaxParametersPerLine; c = line.next()) {
        const bool literal = escaped || blind;
        escaped = c == '\\';
        blind = false;
        if (inParameters && !named) {
            if (c == '=')
                named = true;
            else if (name.size() < 16)
                name += char(c);
        }
        if (literal)
            continue;
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == ';') {
            if (inParameters)
                ++parameters;
            inParameters = true;
            blind = blindAfterSplit;
            name.clear();
            named = false;
        } else if (c == ':') {
            if (!inParameters)
                return 0;
            ++parameters;
            if (!name.trimmed().toUpper().contains("TZID"))
                return parameters;
            // There quotes are not followed: each semicolon not right after
            // a backslash counts.
            for (int v = line.next(), before = c; v >= 0 && parameters <= kMaxParametersPerLine;
                 before = v, v = line.next()) {
                if (v == ';' && before != '\\')
                    ++parameters;
            }
            return parameters;
        }
    }
    return parameters;
}

// How many parameters the content line at `start` carries as the parser
// reads it, whichever way it splits; counting stops past the bound.
int parametersAt(const QByteArray &bytes, qsizetype start)
{
    return std::max(parametersAsSplit(bytes, start, false), parametersAsSplit(bytes, start, true));
}

// The name of the content line at `start`, as far as the log needs it.
QString lineNameAt(const QByteArray &bytes, qsizetype start)
{
    constexpr qsizetype kNameShown = 64;
    qsizetype end = start;
    while (end < bytes.size() && end - start < kNameShown && !QByteArrayView(";:\r\n").contains(bytes[end]))
        ++end;
    return QString::fromUtf8(bytes.sliced(start, end - start));
}

// Reads a file piece by piece into its logical (unfolded) lines, cutting or
// leaving out very long ones, without ever holding much more than the result.
class ReducingReader {
public:
    bool read(QFile &file, const std::stop_token &stop)
    {
        char buffer[64 * 1024];
        for (;;) {
            if (stop.stop_requested())
                return false;
            const qint64 got = file.read(buffer, sizeof buffer);
            if (got < 0)
                return false;
            if (got == 0)
                break;
            take(buffer, got);
            if (m_result.size() > kMaxCalendarItemFileSize)
                return false;
        }
        finishLine();
        return m_result.size() <= kMaxCalendarItemFileSize;
    }

    QByteArray result() const { return m_result; }
    // Why the first line left out whole was, when one was.
    QString leftOut() const { return m_leftOut; }

private:
    void take(const char *data, qint64 size)
    {
        qint64 at = 0;
        while (at < size) {
            if (m_atLineStart) {
                m_atLineStart = false;
                if (data[at] == ' ' || data[at] == '\t') {
                    // A folded line goes on: its line end was not part of the value.
                    if (m_line.endsWith('\r'))
                        m_line.chop(1);
                    ++at;
                    continue;
                }
                finishLine();
            }
            const char *newline = static_cast<const char *>(memchr(data + at, '\n', size_t(size - at)));
            const qint64 end = newline ? newline - data : size;
            append(data + at, end - at);
            at = end;
            if (newline) {
                m_atLineStart = true;
                ++at;
            }
        }
    }

    void append(const char *data, qint64 size)
    {
        const qint64 room = kLongValueCut + 1 - m_line.size();
        if (size > room) {
            m_long = true;
            size = std::max<qint64>(room, 0);
        }
        m_line.append(data, size);
    }

    void finishLine()
    {
        if (m_line.endsWith('\r'))
            m_line.chop(1);
        if (m_long) {
            const qsizetype colon = valueStart(m_line);
            // A binary value is of no use cut; a line whose name and
            // parameters alone are that long is damage, and is named.
            if (colon < 0 && m_leftOut.isEmpty())
                m_leftOut = QStringLiteral("its line of %1 has a name and parameters longer than %2 KB")
                                .arg(lineNameAt(m_line, 0))
                                .arg(kLongValueCut / 1024);
            if (colon < 0 || isBinaryValue(m_line, colon))
                m_line.clear();
            else
                m_line = cutLine(m_line, kLongValueCut);
        }
        if (!m_line.isEmpty())
            m_result += foldLongLines(m_line) + "\r\n";
        m_line.clear();
        m_long = false;
    }

    QByteArray m_result;
    QByteArray m_line;
    QString m_leftOut;
    bool m_long = false;
    bool m_atLineStart = false;
};

} // namespace

QByteArray foldLongLines(const QByteArray &bytes)
{
    QByteArray result;
    qsizetype copied = 0; // bytes of `bytes` already in `result`
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype next = newline < 0 ? bytes.size() : newline + 1;
        qsizetype end = newline < 0 ? bytes.size() : newline;
        const bool crlf = end > start && bytes[end - 1] == '\r';
        if (crlf)
            --end;
        if (end - start > kFoldWidth) {
            if (result.isEmpty())
                result.reserve(bytes.size() + (bytes.size() / (kFoldWidth - 1)) * 3);
            result.append(bytes.constData() + copied, start - copied);
            const char *lineEnd = crlf ? "\r\n " : "\n ";
            result.append(bytes.constData() + start, kFoldWidth);
            for (qsizetype at = start + kFoldWidth; at < end; at += kFoldWidth - 1) {
                result.append(lineEnd);
                result.append(bytes.constData() + at, std::min(kFoldWidth - 1, end - at));
            }
            copied = end;
        }
        start = next;
    }
    if (copied == 0)
        return bytes;
    result.append(bytes.constData() + copied, bytes.size() - copied);
    return result;
}

QByteArray withinLineBounds(const QByteArray &bytes, QString *leftOut)
{
    QByteArray result;
    qsizetype copied = 0;
    bool told = leftOut == nullptr;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = contentLineEnd(bytes, start);
        if (parametersAt(bytes, start) > kMaxParametersPerLine) {
            if (!told) {
                *leftOut = QStringLiteral("its line of %1 holds more than %2 parameters")
                               .arg(lineNameAt(bytes, start))
                               .arg(kMaxParametersPerLine);
                told = true;
            }
            if (result.isEmpty())
                result.reserve(bytes.size());
            result.append(bytes.constData() + copied, start - copied);
            copied = end;
        }
        start = end;
    }
    if (copied == 0)
        return bytes;
    result.append(bytes.constData() + copied, bytes.size() - copied);
    return result;
}

QByteArray withoutZoneDefinitions(const QByteArray &bytes, const std::function<bool(const QByteArray &)> &drop)
{
    QByteArray result;
    qsizetype copied = 0;
    for (qsizetype begin = bytes.indexOf("BEGIN:VTIMEZONE"); begin >= 0;
         begin = bytes.indexOf("BEGIN:VTIMEZONE", begin + 1)) {
        if (begin > 0 && bytes[begin - 1] != '\n')
            continue;
        const qsizetype end = bytes.indexOf("\nEND:VTIMEZONE", begin);
        if (end < 0)
            break;
        const qsizetype lineEnd = bytes.indexOf('\n', end + 1);
        const qsizetype next = lineEnd < 0 ? bytes.size() : lineEnd + 1;
        const qsizetype id = bytes.indexOf("\nTZID:", begin);
        if (id < 0 || id > end)
            continue;
        const qsizetype idEnd = bytes.indexOf('\n', id + 1);
        // A folded TZID is left to the parser.
        if (idEnd + 1 < bytes.size() && (bytes[idEnd + 1] == ' ' || bytes[idEnd + 1] == '\t'))
            continue;
        if (!drop(bytes.sliced(id + 6, idEnd - id - 6).trimmed()))
            continue;
        result.append(bytes.constData() + copied, begin - copied);
        copied = next;
        begin = next - 1;
    }
    if (copied == 0)
        return bytes;
    result.append(bytes.constData() + copied, bytes.size() - copied);
    return result;
}

std::vector<QByteArray> calendarPieces(const QByteArray &bytes, qsizetype itemsPerPiece)
{
    QByteArray head;  // the calendar's own properties
    QByteArray zones; // its zone definitions
    std::vector<std::pair<qsizetype, qsizetype>> items;
    int depth = 0;
    bool ended = false;
    qsizetype blockStart = 0;
    bool blockIsZone = false;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype newline = bytes.indexOf('\n', at);
        const qsizetype next = newline < 0 ? bytes.size() : newline + 1;
        const QByteArray line = bytes.sliced(at, next - at);
        const auto keep = [&line](QByteArray &into) { into += line.endsWith('\n') ? line : line + "\r\n"; };
        const bool continued = line.startsWith(' ') || line.startsWith('\t');
        const QByteArray name = continued ? QByteArray() : line.trimmed().toUpper();
        if (name.startsWith("BEGIN:")) {
            ++depth;
            if (ended || (depth == 1 && name != "BEGIN:VCALENDAR"))
                return {};
            if (depth == 2) {
                blockStart = at;
                blockIsZone = name == "BEGIN:VTIMEZONE";
            }
            if (depth >= 2 && blockIsZone)
                keep(zones);
        } else if (name.startsWith("END:")) {
            if (depth >= 2 && blockIsZone)
                keep(zones);
            else if (depth == 2)
                items.emplace_back(blockStart, next);
            ended = --depth == 0;
            if (depth < 0)
                return {};
        } else if (depth == 1) {
            keep(head);
        } else if (depth >= 2 && blockIsZone) {
            keep(zones);
        } else if (depth == 0 && !line.trimmed().isEmpty()) {
            return {};
        }
        at = next;
    }
    if (!ended || qsizetype(items.size()) <= itemsPerPiece)
        return {};
    std::vector<QByteArray> pieces;
    for (size_t first = 0; first < items.size(); first += size_t(itemsPerPiece)) {
        const size_t last = std::min(items.size(), first + size_t(itemsPerPiece)) - 1;
        pieces.push_back("BEGIN:VCALENDAR\r\n" + head + zones
                         + bytes.sliced(items[first].first, items[last].second - items[first].first)
                         + "\r\nEND:VCALENDAR\r\n");
    }
    return pieces;
}

std::optional<QByteArray> readCalendarItemFile(const QString &path, const std::stop_token &stop, QString *leftOut)
{
    if (auto whole = readWholeFile(path, kMaxCalendarItemFileSize))
        return whole;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= kMaxCalendarItemFileSize || info.size() > kMaxReducedFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    ReducingReader reader;
    if (!reader.read(file, stop))
        return std::nullopt;
    if (leftOut)
        *leftOut = reader.leftOut();
    return reader.result();
}

} // namespace kolu
