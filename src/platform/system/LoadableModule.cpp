#include "platform/system/LoadableModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>

#include <cstdio>

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

QMutex extraFoldersMutex;
QStringList extraFolders;

QStringList candidates(const QString &fileName)
{
    const QString programFolder = QFileInfo(u"/proc/self/exe"_s).canonicalPath();
    QStringList paths;
    if (!programFolder.isEmpty()) {
        paths << programFolder + u'/' + fileName;
        paths << QDir::cleanPath(programFolder + u"/../lib/kolu/"_s + fileName);
    }
    const QMutexLocker lock(&extraFoldersMutex);
    for (const QString &folder : std::as_const(extraFolders))
        paths << folder + u'/' + fileName;
    return paths;
}

} // namespace

void addModuleFolder(const QString &folder)
{
    const QMutexLocker lock(&extraFoldersMutex);
    extraFolders << folder;
}

void *openModule(const char *fileName, QByteArray &error)
{
    void *handle = nullptr;
    error.clear();
    for (const QString &path : candidates(QString::fromLatin1(fileName))) {
        if (!QFileInfo::exists(path))
            continue;
        if ((handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL)))
            return handle;
        if (error.isEmpty())
            error = dlerror(); // the first one found says best why it failed
    }
    if ((handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL)))
        return handle;
    if (error.isEmpty())
        error = dlerror();
    return nullptr;
}

void *moduleSymbol(const char *fileName, const char *symbol, const char *lost)
{
    QByteArray error;
    void *handle = openModule(fileName, error);
    if (handle == nullptr) {
        std::fprintf(stderr, "Kolu: %s, %s could not be loaded: %s\n", lost, fileName, error.constData());
        return nullptr;
    }
    void *found = dlsym(handle, symbol);
    if (found == nullptr)
        reportForeignModule(fileName, lost);
    return found;
}

void reportForeignModule(const char *fileName, const char *lost)
{
    std::fprintf(stderr, "Kolu: %s, %s is from another build\n", lost, fileName);
}

} // namespace kolu
