// The about box: the program's title over its picture, its build, and links
// to its author and the author's club.
#pragma once

#include <QDialog>

#include "gui/support/Prompts.h"

class QLabel;
class QPushButton;

namespace vantrel::credits {

// Who wrote the program, and where the about box's links lead.
inline constexpr const char* kAuthorName = "Mira Solen";
inline constexpr const char* kAuthorMail = "mira.solen@vantrel.invalid";
inline constexpr const char* kAuthorPage = "https://vantrel.github.io/mira-solen/";
inline constexpr const char* kClubName = "Kestrel Wing";
inline constexpr const char* kClubPage = "https://vantrel.github.io/kestrel-wing/";

}  // namespace vantrel::credits

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(vantrel::Prompts& prompts, QWidget* parent = nullptr);

protected:
    // Each showing centres the box on the screen and runs FormShow.
    void showEvent(QShowEvent* event) override;
    // Escape leaves the box open; OK, Enter and the title bar close it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Handlers.
    void FormShow();
    void MailLabel1Click();
    void AuthorLabelClick();
    void ClubLabelClick();

    vantrel::Prompts& prompts_;

    QPushButton* OKButton;
    QLabel* Image1;
    QLabel* Comments;
    QLabel* MailLabel1;
    QLabel* CreditLabel;
    QLabel* ClubLabel;
    QLabel* Version;
    QLabel* Label1;
    QLabel* AuthorLabel;
};
