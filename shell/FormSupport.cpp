#include "shell/FormSupport.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QProxyStyle>
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

// Fusion, with drop-down boxes that open as a list below the box, as high
// as their largest number of visible rows, rather than as a menu over the
// box that the longest lists fill the screen height with.
class ProgramStyle final : public QProxyStyle {
public:
    explicit ProgramStyle(QStyle* fusion) : QProxyStyle(fusion) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

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
    if (dynamic_cast<ProgramStyle*>(QApplication::style()))
        return;
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(new ProgramStyle(fusion));
}

int execModal(QDialog& dialog)
{
    return dialog.exec();
}

QString withFullStop(const QString& text)
{
    if (text.endsWith(QLatin1Char('.')))
        return text;
    return text + QLatin1Char('.');
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
