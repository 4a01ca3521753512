#include "engine/data_folder.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <shlobj.h>
#include <windows.h>
#ifdef Q_CC_MSVC
#pragma comment(lib, "shell32.lib")
#endif
#endif

namespace dovrelle {

namespace {

const char16_t kFolderName[] = u"Korvane Database Software";

#ifdef Q_OS_WIN
QString userDataBase()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return QString::fromWCharArray(path) + u'\\';
}
#else
QString userDataBase()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // Only an absolute path counts; anything else falls back to the default.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    if (!base.endsWith(u'/'))
        base += u'/';
    return base;
}
#endif

}  // namespace

QString dataFolder()
{
    return userDataBase() + QString::fromUtf16(kFolderName) + QDir::separator();
}

bool ensureDataFolder()
{
    return QDir().mkpath(dataFolder());
}

}  // namespace dovrelle
