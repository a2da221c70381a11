#include "platform/qt/QtDesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace parlino {

void QtDesktopShell::Open(const QString& target)
{
    const QUrl url(target);
    QDesktopServices::openUrl(url.scheme().size() > 1 ? url : QUrl::fromLocalFile(target));
}

} // namespace parlino
