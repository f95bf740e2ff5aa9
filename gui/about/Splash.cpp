#include "gui/about/Splash.h"

#include <QLabel>

#include "gui/support/FormSupport.h"
#include "gui/support/ProgramResources.h"
#include "gui/widgets/FormBuilder.h"

TSplashForm::TSplashForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFont(vantrel::formFont());
    setFixedSize(150, 150);
    move(392, 266);

    Image1 = vantrel::build::picture(this, "Image1", QRect(0, 0, 150, 150),
                                     vantrel::programPicture(QStringLiteral("splash.jpg")));

    // Drawn over the picture, with no background of its own.
    Label1 = vantrel::build::overlayText(this, "Label1", QStringLiteral("Loading..."), Qt::black);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(0, 130, 151, 13);
}
