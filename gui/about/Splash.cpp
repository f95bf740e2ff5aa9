#include "gui/about/Splash.h"

#include <QLabel>
#include <QPixmap>

#include "gui/support/FormSupport.h"
#include "gui/support/ProgramResources.h"

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFont(vantrel::formFont());
    setFixedSize(150, 150);
    move(392, 266);

    // The emblem at its own size from the top-left corner; one that does not
    // decode leaves the window empty.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 150, 150);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (const QImage picture = vantrel::programPicture(QStringLiteral("splash.jpg")); !picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(picture));

    // Drawn over the picture, with no background of its own.
    Label1 = new QLabel(QStringLiteral("Loading..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(0, 130, 151, 13);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(palette);
}
