#include "gui/about/About.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "gui/support/FormSupport.h"
#include "gui/support/ProgramResources.h"
#include "gui/widgets/FormBuilder.h"

namespace {

// A label that sizes itself to its text, from its left and top.
void placeAutoSized(QLabel* label, int left, int top)
{
    label->move(left, top);
    label->resize(label->sizeHint());
}

}  // namespace

TAboutBox::TAboutBox(vantrel::Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts)
{
    namespace credits = vantrel::credits;
    namespace build = vantrel::build;
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(vantrel::formFont());
    setFixedSize(400, 399);

    OKButton = build::button(this, "OKButton", QStringLiteral("OK"), QRect(175, 343, 65, 28));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    Image1 =
        build::picture(this, "Image1", QRect(0, 0, 406, 406), vantrel::programPicture(QStringLiteral("about.jpg")));

    // The labels have no background of their own: they are drawn over the picture.
    Comments = build::overlayText(this, "Comments", QString(), Qt::black);
    Comments->setGeometry(3, 380, 288, 16);
    Comments->setWordWrap(true);

    MailLabel1 =
        build::link(this, "MailLabel1", QString::fromLatin1(credits::kAuthorMail), [this] { MailLabel1Click(); });
    MailLabel1->setAlignment(Qt::AlignCenter);
    placeAutoSized(MailLabel1, 10, 345);

    CreditLabel = build::overlayText(this, "CreditLabel", QStringLiteral("Programmed by:"), Qt::black);
    CreditLabel->setAlignment(Qt::AlignCenter);
    placeAutoSized(CreditLabel, 8, 330);

    ClubLabel = build::link(this, "ClubLabel", QString::fromLatin1(credits::kClubName) + QStringLiteral(" rocks!"),
                            [this] { ClubLabelClick(); });
    ClubLabel->setGeometry(10, 300, 111, 16);
    ClubLabel->setAlignment(Qt::AlignCenter);
    ClubLabel->setWordWrap(true);

    Version = build::overlayText(this, "Version", QStringLiteral("Build"), Qt::black);
    Version->setGeometry(5, 315, 121, 13);
    Version->setAlignment(Qt::AlignCenter);

    Label1 = build::overlayText(this, "Label1", QStringLiteral("Vantrel"), QColor(0xc0, 0xc0, 0xc0));
    QFont title(QStringLiteral("Liberation Serif"));
    title.setFamilies(
        {QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif")});
    title.setStyleHint(QFont::Serif);
    title.setPixelSize(24);  // 18 pt at 96 dots per inch
    title.setBold(true);
    Label1->setFont(title);
    Label1->setGeometry(55, 140, 291, 52);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);

    AuthorLabel =
        build::link(this, "AuthorLabel", QString::fromLatin1(credits::kAuthorName), [this] { AuthorLabelClick(); });
    AuthorLabel->setAlignment(Qt::AlignCenter);
    placeAutoSized(AuthorLabel, 88, 330);

    // The picture lies under everything; the button is above the labels.
    Image1->lower();
    OKButton->raise();
    OKButton->setFocus();
}

void TAboutBox::FormShow()
{
    Version->setText(QStringLiteral("Build ") + QString::fromLatin1(vantrel::kBuildDate));
}

void TAboutBox::MailLabel1Click()
{
    prompts_.openUrl(QStringLiteral("mailto:") + QString::fromLatin1(vantrel::credits::kAuthorMail));
}

void TAboutBox::AuthorLabelClick()
{
    prompts_.openUrl(QString::fromLatin1(vantrel::credits::kAuthorPage));
}

void TAboutBox::ClubLabelClick()
{
    prompts_.openUrl(QString::fromLatin1(vantrel::credits::kClubPage));
}

void TAboutBox::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        vantrel::placeWindow(*this);
        FormShow();
    }
    QDialog::showEvent(event);
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
