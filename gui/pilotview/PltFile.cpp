#include "gui/pilotview/PltFile.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QTextEdit>
#include <QValidator>

#include <utility>

#include "core/app/DetailsEdit.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotReport.h"
#include "core/pilot/PilotSave.h"
#include "core/reports/MissionListings.h"
#include "core/reports/ReportDate.h"
#include "gui/pilotview/TextWindowSink.h"
#include "core/pilot/Vocabulary.h"
#include "gui/pilotview/WholeNumberField.h"
#include "core/text/Windows1252.h"
#include "gui/support/ProgramSettings.h"
#include "gui/widgets/FormBuilder.h"
#include "gui/support/CorePath.h"

using vantrel::Prompts;

namespace {

// The pilot's name as the game stores it: at most 12 typed characters, each
// one the game's code page can hold.
class PilotNameValidator final : public QValidator {
public:
    using QValidator::QValidator;
    static constexpr auto kMaxTyped = static_cast<qsizetype>(vantrel::kMaxTypedNameLength);

    State validate(QString& input, int&) const override
    {
        if (input.size() > kMaxTyped)
            return Invalid;
        const std::string text = input.toStdString();
        if (vantrel::hasControlCharacter(text) || !vantrel::cp1252::canEncode(text))
            return Invalid;
        return Acceptable;
    }
};

// Text the program puts into a field is taken as it is, past the limit of
// what may be typed (a file may hold a 13-character name); typing then may
// shorten it but never lengthen it.
void setTextUnchecked(QLineEdit* edit, const QString& text)
{
    const QValidator* validator = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(text);
    edit->setValidator(validator);
}

// Drop-down rows of a fixed height, for the long active-mission list.
class FixedRowDelegate final : public QStyledItemDelegate {
public:
    FixedRowDelegate(int rowHeight, QObject* parent) : QStyledItemDelegate(parent), rowHeight_(rowHeight) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(rowHeight_);
        return size;
    }

private:
    int rowHeight_;
};

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                        const QString& hint = {})
{
    QPushButton* button = vantrel::build::button(parent, name, caption, geometry);
    button->setAutoDefault(false);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}

QComboBox* makeBox(QWidget* parent, const char* name, const QString& placeholder, const QRect& geometry,
                   std::span<const std::string_view> rows, const QString& hint = {})
{
    QStringList items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (std::string_view row : rows)
        items << QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size()));
    QComboBox* box = vantrel::build::comboBox(parent, name, placeholder, geometry, items);
    if (!hint.isEmpty())
        box->setToolTip(hint);
    return box;
}

// The long drop-down lists open this many rows high, with a scroll bar; the
// short ones show all their rows.
constexpr int kLongListRows = 20;

// A box's selected text, when the box cuts it off; empty when it fits.
QString cutOffText(const QComboBox& box)
{
    const QString shown = box.currentText();
    if (box.currentIndex() < 0 || shown.isEmpty())
        return {};
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = box.isEditable();
    option.currentText = shown;
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box);
    // The label is drawn a pixel in from either side of the edit field.
    return box.fontMetrics().horizontalAdvance(shown) > field.width() - 2 ? shown : QString();
}

// The widgets whose text the report writes keep the lines of a report step
// together: whatever way the step ends, the gathered lines reach the window.
struct FlushOnExit {
    TextWindowSink& sink;
    ~FlushOnExit() { sink.flush(); }
};

}  // namespace

TPltFileView::TPltFileView(Prompts& prompts, std::function<void()> showSettings, QWidget* parent,
                           vantrel::FileAccess& files, vantrel::DateSource today)
      : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
        prompts_(prompts),
        showSettings_(std::move(showSettings)),
        files_(files),
        today_(std::move(today))
{
    setObjectName(QStringLiteral("PltFileView"));
    setWindowTitle(QStringLiteral("Dialog"));
    setFont(vantrel::formFont());
    setFixedSize(667, 307);
    setSizeGripEnabled(false);
    createControls();
    sink_ = std::make_unique<TextWindowSink>(Memo1);
}

TPltFileView::~TPltFileView() = default;

void TPltFileView::createControls()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(0, 0, 316, 196);

    // "Pilot Details:", docked at the panel's left.
    GroupBox2 = vantrel::build::groupBox(Panel1, "GroupBox2", QStringLiteral("Pilot Details:"), QRect(1, 1, 195, 194));

    Label1 = new QLabel(QStringLiteral("Pilot name:"), GroupBox2);
    Label1->setObjectName(QStringLiteral("Label1"));
    vantrel::build::placeLabel(Label1, QRect(8, 16, 52, 13));

    PilotNameEdit = new QLineEdit(QStringLiteral("John Doe"), GroupBox2);
    PilotNameEdit->setObjectName(QStringLiteral("PilotNameEdit"));
    PilotNameEdit->setGeometry(64, 13, 127, 21);
    PilotNameEdit->setValidator(new PilotNameValidator(PilotNameEdit));

    using namespace vantrel::vocabulary;
    ActiveMissionBox = makeBox(GroupBox2, "ActiveMissionBox", QStringLiteral("ActiveMissionBox"),
                               QRect(10, 40, 180, 20), missionTitles());
    ActiveMissionBox->setItemDelegate(new FixedRowDelegate(12, ActiveMissionBox));
    ActiveMissionBox->view()->setFont(vantrel::smallTextFont());
    ActiveMissionBox->setMaxVisibleItems(kLongListRows);
    // The list is as wide as its longest title, which the box may cut off.
    QAbstractItemView* missionList = ActiveMissionBox->view();
    missionList->setMinimumWidth(missionList->sizeHintForColumn(0) +
                                 missionList->verticalScrollBar()->sizeHint().width() +
                                 2 * missionList->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4);
    // A mission title the box cuts off is shown whole as its hint.
    connect(ActiveMissionBox, &QComboBox::currentIndexChanged, this,
            [this] { ActiveMissionBox->setToolTip(cutOffText(*ActiveMissionBox)); });
    RankBox = makeBox(GroupBox2, "RankBox", QStringLiteral("Rank"), QRect(10, 67, 180, 21), rankNames(),
                      QStringLiteral("Change the rank"));
    RankBox->setMaxVisibleItems(static_cast<int>(rankNames().size()));
    RatingBox = makeBox(GroupBox2, "RatingBox", QStringLiteral("Rating"), QRect(10, 92, 180, 21), ratingNames(),
                        QStringLiteral("Change the rating"));
    RatingBox->setMaxVisibleItems(kLongListRows);
    KalidorBox = makeBox(GroupBox2, "KalidorBox", QStringLiteral("Kalidor Crescent status"), QRect(10, 117, 180, 21),
                         kalidorStates(), QStringLiteral("Change the status of the Kalidor Crescent"));
    KalidorBox->setMaxVisibleItems(static_cast<int>(kalidorStates().size()));

    Button2 = makeButton(GroupBox2, "Button2", QStringLiteral("Save"), QRect(60, 155, 75, 25),
                         QStringLiteral("Saves the pilot details above the the .plt file"));

    ShipTypes = new QListWidget(GroupBox2);
    ShipTypes->setObjectName(QStringLiteral("ShipTypes"));
    ShipTypes->setGeometry(5, 145, 51, 42);
    for (std::string_view label : craftTypeLabels())
        ShipTypes->addItem(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    ShipTypes->setVisible(false);

    // "Detailed output: ", right of the pilot details.
    GroupBox1 =
        vantrel::build::groupBox(Panel1, "GroupBox1", QStringLiteral("Detailed output: "), QRect(196, 1, 118, 194));

    Label2 = new QLabel(QStringLiteral("From:         To:"), GroupBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    vantrel::build::placeLabel(Label2, QRect(10, 15, 69, 13));

    TXTList = makeButton(GroupBox1, "TXTList", QStringLiteral("Get Mission Scores"), QRect(5, 80, 106, 25),
                         QStringLiteral("Shows the mission details in the text window"));

    GetFromEdit = new WholeNumberField(GroupBox1);
    GetFromEdit->setObjectName(QStringLiteral("GetFromEdit"));
    GetFromEdit->setGeometry(10, 30, 46, 22);
    GetToEdit = new WholeNumberField(GroupBox1);
    GetToEdit->setObjectName(QStringLiteral("GetToEdit"));
    GetToEdit->setGeometry(60, 30, 46, 22);

    SetLastButton = makeButton(GroupBox1, "SetLastButton", QStringLiteral("End #"), QRect(60, 55, 45, 21),
                               QStringLiteral("Set \"To:\" to the last mission this pilot has completed"));
    ZeroButton = makeButton(GroupBox1, "ZeroButton", QStringLiteral("Zero"), QRect(10, 55, 45, 21),
                            QStringLiteral("Set \"From:\" to 0"));
    Button3 = makeButton(GroupBox1, "Button3", QStringLiteral("Clear text"), QRect(55, 165, 60, 25),
                         QStringLiteral("Clears the textwindow"));
    Button4 = makeButton(GroupBox1, "Button4", QStringLiteral("Settings"), QRect(5, 165, 51, 25),
                         QStringLiteral("Open the settings window"));
    GetAllButton = makeButton(GroupBox1, "GetAllButton", QStringLiteral("Get everything"), QRect(5, 120, 106, 25));

    // "Save score to log:", below the panel.
    GroupBox3 =
        vantrel::build::groupBox(this, "GroupBox3", QStringLiteral("Save score to log:"), QRect(0, 195, 316, 111));

    ExportEdit = new QLineEdit(GroupBox3);
    ExportEdit->setObjectName(QStringLiteral("ExportEdit"));
    ExportEdit->setGeometry(5, 20, 301, 21);
    ExportEdit->setToolTip(QStringLiteral("This text will be exported to the log."));

    Button1 = makeButton(GroupBox3, "Button1", QStringLiteral("Export and close"), QRect(70, 50, 166, 46),
                         QStringLiteral("Exports the above text to the mainlog and closes this window"));

    // The text window on the right.
    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(315, 0, 351, 306);
    Memo1->setToolTip(QStringLiteral("This is the text window."));
    Memo1->setFont(vantrel::smallTextFont());
    Memo1->setAcceptRichText(false);
    Memo1->setLineWrapMode(QTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(false);

    // Tab order: the text window, the export group, then the panel's groups.
    QWidget* order[] = {Memo1,         Button1, ExportEdit,  KalidorBox,  RatingBox, RankBox,       ActiveMissionBox,
                        PilotNameEdit, Button2, TXTList,     GetFromEdit, GetToEdit, SetLastButton, ZeroButton,
                        Button3,       Button4, GetAllButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(Button1, &QPushButton::clicked, this, &TPltFileView::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPltFileView::Button2Click);
    connect(TXTList, &QPushButton::clicked, this, &TPltFileView::TXTListClick);
    connect(SetLastButton, &QPushButton::clicked, this, &TPltFileView::SetLastButtonClick);
    connect(ZeroButton, &QPushButton::clicked, this, &TPltFileView::ZeroButtonClick);
    connect(Button3, &QPushButton::clicked, this, &TPltFileView::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TPltFileView::Button4Click);
    connect(GetAllButton, &QPushButton::clicked, this, &TPltFileView::GetAllButtonClick);
}

void TPltFileView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    vantrel::placeWindow(*this);
    // The dialog opens with the text window, first in the tab order, taking
    // the keys: nothing typed by chance lands in a field that Save writes.
    Memo1->setFocus(Qt::OtherFocusReason);
}

vantrel::MissionRange TPltFileView::rangeFromFields() const
{
    vantrel::MissionRange range;
    range.from.text = GetFromEdit->text().toStdString();
    range.to.text = GetToEdit->text().toStdString();
    return range;
}

void TPltFileView::rangeToFields(const vantrel::MissionRange& range)
{
    GetFromEdit->setText(QString::fromStdString(range.from.text));
    GetToEdit->setText(QString::fromStdString(range.to.text));
}

std::uint16_t TPltFileView::ReadMission(const QString& FileName)
{
    setWindowTitle(vantrel::shownPath(FileName));
    fileName_ = FileName;
    vantrel::app::loadForViewing(pilot_, vantrel::corePath(FileName), files_);
    const vantrel::LoadResult& result = pilot_.load;
    known_.identity = result.identity;
    known_.record = pilot_.record;
    // The boxes keep their texts; the first tells the file and why it could not be opened.
    QString cause = result.cause.empty()
                        ? QString()
                        : vantrel::shownPath(FileName) + QStringLiteral(": ") + QString::fromStdString(result.cause);
    for (const std::string& message : result.messages)
        prompts_.tell(this, Prompts::Kind::Error, QString::fromStdString(message), std::exchange(cause, QString()));
    if (!result.ok()) {
        if (isVisible())
            close();
        return result.LoadErrorCount;
    }

    setTextUnchecked(PilotNameEdit, QString::fromStdString(result.pilotNameText));
    RankBox->setCurrentIndex(result.rankIndex);
    RatingBox->setCurrentIndex(result.ratingIndex);
    KalidorBox->setCurrentIndex(result.kalidorIndex);
    ActiveMissionBox->setCurrentIndex(result.activeMissionIndex);
    GetToEdit->setValue(result.getTo);

    BuildPilotReport(true);
    // Each pilot starts in the text window, whichever control had the focus
    // before the load.
    Memo1->setFocus(Qt::OtherFocusReason);
    return 0;
}

QString TPltFileView::exportEntry() const
{
    return ExportEdit->text();
}

void TPltFileView::BuildPilotReport(bool withMissionListing)
{
    vantrel::MissionRange range = rangeFromFields();
    std::string entry;
    {
        FlushOnExit flushed{*sink_};
        entry = vantrel::BuildPilotReport(*sink_, vantrel::programSettings(), pilot_.record, range, withMissionListing,
                                          today_);
    }
    rangeToFields(range);
    ExportEdit->setText(QString::fromStdString(entry));
    ExportEdit->setCursorPosition(0);
    Memo1->moveCursor(QTextCursor::Start);
}

void TPltFileView::RipScore()
{
    vantrel::MissionRange range = rangeFromFields();
    {
        FlushOnExit flushed{*sink_};
        vantrel::RipScore(*sink_, vantrel::programSettings(), pilot_.record, range);
    }
    rangeToFields(range);
    Memo1->moveCursor(QTextCursor::End);
    Memo1->ensureCursorVisible();
}

void TPltFileView::Button1Click()
{
    close();
}

void TPltFileView::Button2Click()
{
    const QString fileName = fileName_;
    vantrel::app::DetailsRequest request;
    request.name = vantrel::app::nameChange(pilot_.record, PilotNameEdit->text().toStdString());
    const auto row = [](const QComboBox* box) {
        return box->currentIndex() >= 0 ? std::optional<std::int64_t>(box->currentIndex()) : std::nullopt;
    };
    request.rank = row(RankBox);
    request.rating = row(RatingBox);
    request.kalidor = row(KalidorBox);
    request.activeMission = row(ActiveMissionBox);
    // A refused edit is told before anything is asked.
    if (const auto refused = vantrel::app::checkDetails(request, pilot_.record)) {
        prompts_.tell(this, Prompts::Kind::Error, QString::fromStdString(refused->text));
        return;
    }
    if (!prompts_.askYesNo(this, Prompts::Kind::Information,
                           QString::fromStdString(vantrel::saveQuestion(vantrel::corePath(fileName)))))
        return;
    known_.writeOverChanged = [&] {
        return prompts_.askYesNo(
            this, Prompts::Kind::Warning,
            QString::fromStdString(vantrel::changedSinceOpenedQuestion(vantrel::corePath(fileName))),
            Prompts::Default::No);
    };
    const vantrel::OwnSaves ownSaves;  // so that the watcher does not offer this save as the game's
    const vantrel::app::EditOutcome outcome = vantrel::app::saveDetails(
        vantrel::corePath(fileName), pilot_.record, request, files_, backups_.beforeFirstWrite(), &known_, &ownSaves);
    known_.writeOverChanged = nullptr;
    if (!outcome.saved || outcome.saved->declined)
        return;
    const vantrel::SaveResult& saved = *outcome.saved;
    QString message = QString::fromStdString(saved.message());
    if (saved.ok() && !saved.backupFile.empty())
        message += QStringLiteral("\nA copy of the file as it was is kept in ") +
                   vantrel::fromCorePath(saved.backupFile) + QLatin1Char('.');
    if (saved.ok() && !saved.ownSave.ok())
        prompts_.tell(this, Prompts::Kind::Warning,
                      message + QLatin1Char('\n') + QString::fromStdString(saved.ownSave.message()),
                      QString::fromStdString(saved.ownSave.cause()));
    else if (saved.ok())
        prompts_.tell(this, Prompts::Kind::Information, message);
    else
        prompts_.tell(this, Prompts::Kind::Error, message, QString::fromStdString(saved.cause()));
}

void TPltFileView::TXTListClick()
{
    vantrel::runAction(this, prompts_, [this] {
        vantrel::rereadProgramSettings();
        RipScore();
    });
}

void TPltFileView::SetLastButtonClick()
{
    GetToEdit->setValue(pilot_.record.CampaignMissionCount);
}

void TPltFileView::ZeroButtonClick()
{
    GetFromEdit->setValue(0);
}

void TPltFileView::Button3Click()
{
    if (prompts_.askYesNo(this, Prompts::Kind::Information, QStringLiteral("Clear text?")))
        sink_->clear();
}

void TPltFileView::Button4Click()
{
    vantrel::runAction(this, prompts_, [this] {
        vantrel::rereadProgramSettings();
        showSettings_();
    });
}

void TPltFileView::GetAllButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        vantrel::rereadProgramSettings();
        BuildPilotReport(true);
    });
}
