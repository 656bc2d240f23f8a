#include "shell/Pictures.h"

#include <QHash>

// The resources live in a static library: register them before the first use. Outside any
// namespace, as the registration macro requires.
static bool RegisterResources()
{
    Q_INIT_RESOURCE(qen);
    return true;
}

static void EnsureResources()
{
    static const bool registered = RegisterResources();
    Q_UNUSED(registered);
}

namespace {

QPixmap Load(const QString &path)
{
    EnsureResources();
    return QPixmap(path);
}

} // namespace

QPixmap LogoPicture()
{
    return Load(QStringLiteral(":/logo.png"));
}

QPixmap BannerPicture()
{
    return Load(QStringLiteral(":/banner.png"));
}

QPixmap DefaultDesktopPicture()
{
    return Load(QStringLiteral(":/desktop.jpg"));
}

QPixmap LargeImage(int index)
{
    if (index < 0 || index >= LargeImageCount) return {};
    static const QPixmap strip = Load(QStringLiteral(":/navicons.png"));
    return strip.copy(index * 32, 0, 32, 32);
}
