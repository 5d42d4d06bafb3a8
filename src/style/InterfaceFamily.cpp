#include "style/InterfaceFamily.h"

#include <QFont>
#include <QGuiApplication>
#include <QtConcurrent/QtConcurrentRun>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace kolu {

namespace {

struct PatternFree {
    void operator()(FcPattern *pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternFree>;

} // namespace

QString fontFamilyFor(const QString &family, const QByteArray &language)
{
    const Pattern request(FcPatternCreate());
    if (!request)
        return {};
    const QByteArray name = family.toUtf8();
    FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcPatternAddString(request.get(), FC_LANG, reinterpret_cast<const FcChar8 *>(language.constData()));
    FcConfigSubstitute(nullptr, request.get(), FcMatchPattern);
    FcDefaultSubstitute(request.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, request.get(), &result));
    FcChar8 *matched = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &matched) != FcResultMatch || !matched)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(matched));
}

namespace {

void useInterfaceFamily(const QString &family)
{
    QFont font = QGuiApplication::font();
    if (family.isEmpty() || family == font.family())
        return;
    font.setFamily(family);
    QGuiApplication::setFont(font);
}

} // namespace

void settleInterfaceFamily()
{
    useInterfaceFamily(fontFamilyFor(QGuiApplication::font().family(), QByteArrayLiteral("en")));
}

QFuture<QString> lookUpInterfaceFamily()
{
    // fontconfig may be used from any thread; the application font is read
    // here, on the main thread.
    return QtConcurrent::run(&fontFamilyFor, QGuiApplication::font().family(), QByteArrayLiteral("en"));
}

void settleInterfaceFamily(QFuture<QString> lookUp)
{
    // Rarely still running: it started well before.
    useInterfaceFamily(lookUp.result());
}

} // namespace kolu
