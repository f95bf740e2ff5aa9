#include "gui/FormSupport.h"

#include "core/text/TextRules.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QStyle>
#include <QStyleFactory>

namespace vantrel {

namespace {

QFont sansSerif(int pixelSize)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace

QFont formFont()
{
    // The x-height of the 8 point dialog font at 96 dots per inch, and narrow
    // enough that the longest texts fit the boxes they were laid out for.
    return sansSerif(10);
}

QFont smallTextFont()
{
    // 7 pt at 96 dots per inch.
    return sansSerif(9);
}

void applyProgramStyle()
{
    if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) == 0)
        return;
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
}

int execModal(QDialog& dialog)
{
    return dialog.exec();
}

QString withFullStop(const QString& text)
{
    return QString::fromStdString(text::withFullStop(text.toStdString()));
}

}  // namespace vantrel

void vantrel::centreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // move() places the frame, so the frame is what gets centred.
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}
