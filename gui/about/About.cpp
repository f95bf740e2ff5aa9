#include "gui/about/About.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

#include <functional>

#include "gui/support/FormSupport.h"
#include "gui/support/ProgramResources.h"

namespace {

// A label that runs an action when clicked: pressed and released with the
// left button over it.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressed_ = event->button() == Qt::LeftButton;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        pressed_ = false;
        event->accept();
        if (click)
            onClick_();
    }

private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A label that sizes itself to its text, from its left and top.
void placeAutoSized(QLabel* label, int left, int top)
{
    label->move(left, top);
    label->resize(label->sizeHint());
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    setTextColour(label, Qt::black);
    return label;
}

QLabel* makeLink(QWidget* parent, const char* name, const QString& text, std::function<void()> onClick)
{
    auto* label = new LinkLabel(text, parent, std::move(onClick));
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    setTextColour(label, QColor(0x00, 0x00, 0xff));
    return label;
}

}  // namespace

TAboutBox::TAboutBox(vantrel::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
    namespace credits = vantrel::credits;
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(vantrel::formFont());
    setFixedSize(400, 399);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(175, 343, 65, 28);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    // The picture at its own size from the top-left corner; one that does
    // not decode leaves the area empty.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 406, 406);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (const QImage picture = vantrel::programPicture(QStringLiteral("about.jpg")); !picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(picture));

    // The labels have no background of their own: they are drawn over the picture.
    Comments = makeLabel(this, "Comments", QString());
    Comments->setGeometry(3, 380, 288, 16);
    Comments->setWordWrap(true);

    MailLabel1 = makeLink(this, "MailLabel1", QString::fromLatin1(credits::kAuthorMail), [this] { MailLabel1Click(); });
    MailLabel1->setAlignment(Qt::AlignCenter);
    placeAutoSized(MailLabel1, 10, 345);

    CreditLabel = makeLabel(this, "CreditLabel", QStringLiteral("Programmed by:"));
    CreditLabel->setAlignment(Qt::AlignCenter);
    placeAutoSized(CreditLabel, 8, 330);

    ClubLabel = makeLink(this, "ClubLabel", QString::fromLatin1(credits::kClubName) + QStringLiteral(" rocks!"),
                         [this] { ClubLabelClick(); });
    ClubLabel->setGeometry(10, 300, 111, 16);
    ClubLabel->setAlignment(Qt::AlignCenter);
    ClubLabel->setWordWrap(true);

    Version = makeLabel(this, "Version", QStringLiteral("Build"));
    Version->setGeometry(5, 315, 121, 13);
    Version->setAlignment(Qt::AlignCenter);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Vantrel"));
    QFont title(QStringLiteral("Liberation Serif"));
    title.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif")});
    title.setStyleHint(QFont::Serif);
    title.setPixelSize(24);  // 18 pt at 96 dots per inch
    title.setBold(true);
    Label1->setFont(title);
    setTextColour(Label1, QColor(0xc0, 0xc0, 0xc0));
    Label1->setGeometry(55, 140, 291, 52);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);

    AuthorLabel = makeLink(this, "AuthorLabel", QString::fromLatin1(credits::kAuthorName), [this] { AuthorLabelClick(); });
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
        vantrel::centreOnScreen(*this);
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
