#include "gui/settings/SettingsDlg.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text/WholeNumber.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsTable.h"
#include "gui/support/FormSupport.h"
#include "gui/support/ProgramSettings.h"
#include "gui/widgets/FormBuilder.h"

using vantrel::form::text;
namespace keys = vantrel::keys;
namespace paths = vantrel::paths;
namespace build = vantrel::build;

namespace {

// The check box whose two events keep "Detailed error report" in step: the
// focus moving to it from another control, and a mouse button released over
// it once the click has toggled it.
class CheatBox final : public QCheckBox {
public:
    CheatBox(const QString& caption, QWidget* parent, std::function<void()> onEnter, std::function<void()> onMouseUp)
          : QCheckBox(caption, parent), onEnter_(std::move(onEnter)), onMouseUp_(std::move(onMouseUp))
    {}

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QCheckBox::focusInEvent(event);
        // Focus coming back with its window (after a message box, from another
        // program) is no move to this control.
        if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
            onEnter_();
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QCheckBox::mouseReleaseEvent(event);
        if (rect().contains(event->position().toPoint()))
            onMouseUp_();
    }

private:
    std::function<void()> onEnter_;
    std::function<void()> onMouseUp_;
};

// The dialog's picture: a cog wheel.
QPixmap settingsIcon()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(16, 16);

    QPainterPath wheel;
    wheel.addEllipse(QPointF(0, 0), 10.5, 10.5);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QPainterPath cog;
        cog.addRoundedRect(QRectF(-3, -15, 6, 8), 1, 1);
        wheel = wheel.united(QTransform().rotate(tooth * 45.0).map(cog));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 4.5, 4.5);
    wheel = wheel.subtracted(hole);

    painter.setPen(QPen(QColor(0x40, 0x40, 0x48), 1.2));
    painter.setBrush(QColor(0x9a, 0xa4, 0xb4));
    painter.drawPath(wheel);
    return picture;
}

// The item a stored choice selects: 0 to the last item as stored, a larger
// number the last item, a negative number none.
int itemForStoredChoice(int stored, int count)
{
    if (stored < 0)
        return -1;
    return std::min(stored, count - 1);
}

const vantrel::SettingDefault& settingFor(std::string_view key)
{
    for (const vantrel::SettingDefault& setting : vantrel::kSettingDefaults) {
        if (setting.key == key)
            return setting;
    }
    throw std::logic_error("no row of the settings table holds " + std::string(key));
}

}  // namespace

TSettingsDlg::TSettingsDlg(vantrel::Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts)
{
    setObjectName(QStringLiteral("SettingsDlg"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(vantrel::formFont());
    // The form's 379 pixels, and a row below them for the watch option.
    setFixedSize(429, 403);
    setSizeGripEnabled(false);
    createControls();
    // The check boxes and radio groups start as their defaults; the two
    // fields keep their design texts.
    for (const vantrel::SettingDefault& setting : vantrel::kSettingDefaults) {
        if (setting.form != vantrel::SettingForm::Path)
            putValue(setting.key, setting.value());
    }
}

void TSettingsDlg::createControls()
{
    OKBtn = build::button(this, "OKBtn", QStringLiteral("OK"), QRect(350, 318, 75, 25));
    OKBtn->setDefault(true);
    CancelBtn = build::button(this, "CancelBtn", QStringLiteral("Cancel"), QRect(350, 348, 75, 25));

    DirEdit = build::field(this, "DirEdit", text(paths::fallbackDirectory()), QRect(85, 5, 341, 21));
    Label1 = build::label(this, "Label1", QStringLiteral("Initial .plt file dir.:"), QRect(5, 10, 77, 13));
    SaveFileNameCheckBox = build::checkBox(this, "SaveFileNameCheckBox", QStringLiteral("Save last used filename."),
                                           QRect(85, 30, 191, 17));

    GroupBox1 = build::groupBox(this, "GroupBox1", QStringLiteral("Mission details view"), QRect(5, 225, 331, 151));
    ShowZeroCheckBox =
        build::checkBox(GroupBox1, "ShowZeroCheckBox", QStringLiteral("Show missions with no recorded score/time."),
                        QRect(10, 95, 311, 17));
    ShowTotalCheckBox = build::checkBox(GroupBox1, "ShowTotalCheckBox", QStringLiteral("Show total mission score."),
                                        QRect(175, 45, 146, 17));
    ShowScoreCheckBox =
        build::checkBox(GroupBox1, "ShowScoreCheckBox", QStringLiteral("Show mission score."), QRect(10, 20, 121, 17));
    ShowTimeCheckBox =
        build::checkBox(GroupBox1, "ShowTimeCheckBox", QStringLiteral("Show mission time."), QRect(175, 20, 141, 17));
    ShowBonusCheckBox = build::checkBox(GroupBox1, "ShowBonusCheckBox", QStringLiteral("Show mission bonus score."),
                                        QRect(10, 45, 156, 17));
    CheatCheckBox = new CheatBox(
        QStringLiteral("Perform error/cheat check."), GroupBox1, [this] { CheatCheckBoxEnter(); },
        [this] { CheatCheckBoxMouseUp(); });
    CheatCheckBox->setObjectName(QStringLiteral("CheatCheckBox"));
    CheatCheckBox->setGeometry(10, 70, 161, 17);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(370, 240, 32, 32);
    Image1->setPixmap(settingsIcon());

    Default1 = build::button(this, "Default1", QStringLiteral("Default"), QRect(350, 288, 75, 25));
    DetaildErrorsCheckBox = build::checkBox(GroupBox1, "DetaildErrorsCheckBox", QStringLiteral("Detailed error report"),
                                            QRect(175, 70, 136, 17));

    GroupBox2 =
        build::groupBox(this, "GroupBox2", QStringLiteral("Main log score import format"), QRect(5, 50, 421, 171));
    IncludeDateCheckBox =
        build::checkBox(GroupBox2, "IncludeDateCheckBox", QStringLiteral("Include Date"), QRect(10, 140, 91, 17));
    NameSourceGroup = new RadioGroup(QStringLiteral("Pilotname source"),
                                     {QStringLiteral("Name in .plt file"), QStringLiteral("Full file name"),
                                      QStringLiteral("Truncate filename at first space or underscore")},
                                     QRect(5, 16, 251, 110), GroupBox2);
    NameSourceGroup->setObjectName(QStringLiteral("NameSourceGroup"));
    ScoreFormatGroup = new RadioGroup(
        QStringLiteral("Score format"),
        {QStringLiteral("Total Score"), QStringLiteral("Total (Score + Bonus)"), QStringLiteral("Score + Bonus")},
        QRect(260, 15, 155, 111), GroupBox2);
    ScoreFormatGroup->setObjectName(QStringLiteral("ScoreFormatGroup"));
    LogFileEdit = build::field(GroupBox2, "LogFileEdit", QStringLiteral("MainLog.txt"), QRect(155, 135, 226, 21));
    Label2 = build::label(GroupBox2, "Label2", QStringLiteral("Log file:"), QRect(115, 140, 37, 13));
    LogFileButton = build::button(GroupBox2, "LogFileButton", QStringLiteral("..."), QRect(385, 135, 25, 21));

    SaveDialog1.title = QStringLiteral("Log file");
    SaveDialog1.fileName = QStringLiteral("MainLog.txt");
    SaveDialog1.filter = QStringLiteral("Textfile|*.txt|All files|*.*");

    MegaDetailsCheckBox = build::checkBox(GroupBox1, "MegaDetailsCheckBox",
                                          QStringLiteral("\"Show-me-all-you-got\" mode"), QRect(10, 120, 311, 17));

    WatchFoldersCheckBox = build::checkBox(
        this, "WatchFoldersCheckBox", QStringLiteral("Watch the game's pilot folders and the initial .plt file dir."),
        QRect(15, 382, 410, 17));

    // Tab order: each setting's control at its place in the settings table,
    // between the dialog's own buttons. A radio group is one stop, at its
    // selected item (RadioGroup).
    std::vector<std::pair<int, QWidget*>> stops = {{0, OKBtn}, {1, CancelBtn}, {12, Default1}, {17, LogFileButton}};
    for (const vantrel::SettingDefault& setting : vantrel::kSettingDefaults)
        stops.emplace_back(setting.tabPlace, settingControl(setting));
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<QWidget*> order;
    for (const auto& [place, control] : stops) {
        if (auto* group = qobject_cast<RadioGroup*>(control)) {
            for (int i = 0; i < group->count(); ++i)
                order.push_back(group->item(i));
        } else {
            order.push_back(control);
        }
    }
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(OKBtn, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(Default1, &QPushButton::clicked, this, &TSettingsDlg::Default1Click);
    connect(LogFileButton, &QPushButton::clicked, this, &TSettingsDlg::LogFileButtonClick);
}

void TSettingsDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    vantrel::placeWindow(*this);
    FormActivate();
}

void TSettingsDlg::FormActivate()
{
    // A failure (a choice that is no number, a refused write) ends the filling
    // where it happens; the controls not reached keep what they showed.
    vantrel::runAction(this, prompts_, [this] {
        const std::string currentDir = paths::currentDirectory();
        vantrel::SettingsStore& settings = vantrel::openProgramSettings();

        const std::string lastDir = settings.read(keys::LastDir, currentDir);
        settings.write(keys::LastDir, lastDir);
        DirEdit->setText(text(settings.read(keys::LastDir, lastDir)));
        // The other keys in the table's order, each with its default.
        for (const vantrel::SettingDefault& setting : vantrel::kSettingDefaults) {
            if (setting.key != keys::LastDir)
                putValue(setting.key, settings.read(setting.key, setting.value()));
        }

        CheatCheckBoxEnter();
    });
}

void TSettingsDlg::OKBtnClick()
{
    // The fields are stored as they stand, whether or not the places exist.
    // A refused write ends the step: the keys after it keep their old values.
    vantrel::runAction(this, prompts_, [this] {
        vantrel::SettingsStore& settings = vantrel::programSettings();
        for (const vantrel::SettingDefault& setting : vantrel::kSettingDefaults)
            settings.write(setting.key, storedValue(setting.key));
    });
    emit settingsStored();
}

void TSettingsDlg::Default1Click()
{
    for (const vantrel::SettingDefault& setting : vantrel::kSettingDefaults)
        putValue(setting.key, setting.value());
    CheatCheckBoxEnter();
}

QWidget* TSettingsDlg::settingControl(const vantrel::SettingDefault& setting) const
{
    const QString name = QString::fromLatin1(setting.control.data(), static_cast<qsizetype>(setting.control.size()));
    QWidget* control = nullptr;
    switch (setting.form) {
    case vantrel::SettingForm::Path: control = findChild<QLineEdit*>(name); break;
    case vantrel::SettingForm::Flag: control = findChild<QCheckBox*>(name); break;
    case vantrel::SettingForm::Choice: control = findChild<RadioGroup*>(name); break;
    }
    if (!control)
        throw std::logic_error("the settings dialog has no control " + std::string(setting.control) +
                               " of the kind the setting " + std::string(setting.key) + " needs");
    return control;
}

void TSettingsDlg::putValue(std::string_view key, const std::string& value)
{
    const vantrel::SettingDefault& setting = settingFor(key);
    QWidget* control = settingControl(setting);
    switch (setting.form) {
    case vantrel::SettingForm::Path: static_cast<QLineEdit*>(control)->setText(text(value)); break;
    case vantrel::SettingForm::Flag:
        // A flag is on only when its text is exactly "1".
        static_cast<QCheckBox*>(control)->setChecked(value == "1");
        break;
    case vantrel::SettingForm::Choice: {
        auto* group = static_cast<RadioGroup*>(control);
        group->setItemIndex(itemForStoredChoice(vantrel::toWholeNumber(value), group->count()));
        break;
    }
    }
}

std::string TSettingsDlg::storedValue(std::string_view key) const
{
    const vantrel::SettingDefault& setting = settingFor(key);
    QWidget* control = settingControl(setting);
    switch (setting.form) {
    case vantrel::SettingForm::Path: return static_cast<QLineEdit*>(control)->text().toStdString();
    case vantrel::SettingForm::Flag: return static_cast<QCheckBox*>(control)->isChecked() ? "1" : "0";
    case vantrel::SettingForm::Choice: break;
    }
    return std::to_string(static_cast<RadioGroup*>(control)->itemIndex());
}

void TSettingsDlg::CheatCheckBoxEnter()
{
    // Only whether the box can be used follows the check; its mark stays, and
    // OK stores it either way.
    DetaildErrorsCheckBox->setEnabled(CheatCheckBox->isChecked());
    DetaildErrorsCheckBox->update();
}

void TSettingsDlg::CheatCheckBoxMouseUp()
{
    CheatCheckBoxEnter();
}

void TSettingsDlg::LogFileButtonClick()
{
    SaveDialog1.fileName = LogFileEdit->text();
    if (const std::optional<QString> chosen = prompts_.chooseSaveFile(this, SaveDialog1)) {
        SaveDialog1.fileName = *chosen;
        LogFileEdit->setText(*chosen);
    }
}
