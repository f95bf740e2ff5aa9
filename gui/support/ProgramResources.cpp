#include "gui/support/ProgramResources.h"

#include <QFile>
#include <QGuiApplication>

#include "gui/support/JpegImage.h"

// The resources live in a static library; naming their initialiser here
// links them into the program. It has to be called outside any namespace.
static void initProgramResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(vantrel);
        return true;
    }();
    (void)done;
}

namespace vantrel {

QString applicationId()
{
    return QStringLiteral(VANTREL_APP_ID);
}

QImage programPicture(const QString& fileName)
{
    initProgramResources();
    QFile file(QStringLiteral(":/pictures/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}

QIcon programIcon()
{
    initProgramResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/vantrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

void applyDesktopIdentity()
{
    QGuiApplication::setDesktopFileName(applicationId());
    QGuiApplication::setWindowIcon(programIcon());
}

}  // namespace vantrel
