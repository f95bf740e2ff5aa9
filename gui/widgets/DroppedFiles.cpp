#include "gui/widgets/DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

namespace vantrel {

QStringList droppedPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

QString droppedPilotFile(const QMimeData* data)
{
    for (const QString& path : droppedPaths(data)) {
        if (path.endsWith(QStringLiteral(".plt"), Qt::CaseInsensitive))
            return path;
    }
    return {};
}

}  // namespace vantrel
