#include "gui/mainwindow/MainUnit.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <memory>
#include <utility>

#include "core/mainlog/LogReader.h"
#include "core/mainlog/LogWriter.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsKeys.h"
#include "gui/mainwindow/MainLogEdit.h"
#include "gui/support/CorePath.h"
#include "gui/support/FormSupport.h"
#include "gui/support/ProgramSettings.h"
#include "gui/widgets/DroppedFiles.h"
#include "gui/widgets/FormBuilder.h"
#include "gui/widgets/GameFolderSideBar.h"

using vantrel::Prompts;
using vantrel::form::text;
namespace keys = vantrel::keys;
namespace defaults = vantrel::defaults;
namespace paths = vantrel::paths;

namespace {

// The "Save log" hint; the creation step adds the log file's name to it.
const QString kSaveButtonHint = QStringLiteral("Save the main log to: ");

std::string utf8(const QString& text)
{
    return text.toStdString();
}

QPushButton* panelButton(QWidget* panel, const char* name, const QString& caption, int top, const QString& hint)
{
    QPushButton* button = vantrel::build::button(panel, name, caption, QRect(5, top, 101, 31));
    button->setToolTip(hint);
    // Enter presses the focused button, as Space does.
    button->setAutoDefault(true);
    return button;
}

}  // namespace

TForm1::TForm1(Prompts& prompts, Hooks hooks, vantrel::mainlog::LogFileAccess& logFiles, QWidget* parent)
      : QWidget(parent, Qt::Window), prompts_(prompts), hooks_(std::move(hooks)), logFiles_(logFiles)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(vantrel::kApplicationTitle));
    setFont(vantrel::formFont());
    setAcceptDrops(true);
    // 696 by 480 outside; the frame takes 8 by 27 of that.
    resize(688, 453);
    move(139, 138);
    createControls();
    keepButtonsVisible();

    OpenDialog1.filter = QStringLiteral("XWA Pilotfiles|*.plt|All files|*.*");
    SaveDialog1.filter.clear();

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createControls()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setFixedWidth(111);

    Memo1 = new MainLogEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setToolTip(QStringLiteral("The main log"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(true);
    // Files dropped on the log go to the window, not into the text.
    Memo1->setAcceptDrops(false);
    Memo1->viewport()->setAcceptDrops(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Memo1, 1);

    GetScoreButton = panelButton(Panel1, "GetScoreButton", QStringLiteral("Open pilotfile"), 10,
                                 QStringLiteral("Select a XWA .plt file to open"));
    ExitButton = panelButton(Panel1, "ExitButton", QStringLiteral("Exit"), 415, QStringLiteral("Exit Vantrel"));
    Button1 =
        panelButton(Panel1, "Button1", QStringLiteral("Settings"), 220, QStringLiteral("Open the settings window"));
    SaveButton = panelButton(Panel1, "SaveButton", QStringLiteral("Save log"), 50, kSaveButtonHint);
    ClearButton =
        panelButton(Panel1, "ClearButton", QStringLiteral("Clear text"), 130, QStringLiteral("Clear the text window"));
    AboutButton =
        panelButton(Panel1, "AboutButton", QStringLiteral("About"), 260, QStringLiteral("Info about this program"));
    SaveAsButton = panelButton(Panel1, "SaveAsButton", QStringLiteral("Save log as..."), 90,
                               QStringLiteral("Save the main log to a new file"));
    Button2 = panelButton(Panel1, "Button2", QStringLiteral("Save log and Exit"), 380,
                          QStringLiteral("Save the main log and exit the program."));
    // In the gap below "Clear text", so that every other button keeps its place.
    ReviewButton = panelButton(Panel1, "ReviewButton", QStringLiteral("Review pilots..."), 170,
                               QStringLiteral("Check many pilot files in one table"));

    QWidget* order[] = {Memo1,       GetScoreButton, SaveButton,  SaveAsButton, Button1,
                        AboutButton, ExitButton,     ClearButton, Button2,      ReviewButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(GetScoreButton, &QPushButton::clicked, this, &TForm1::GetScoreButtonClick);
    connect(SaveButton, &QPushButton::clicked, this, &TForm1::SaveButtonClick);
    connect(SaveAsButton, &QPushButton::clicked, this, &TForm1::SaveAsButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TForm1::ClearButtonClick);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(AboutButton, &QPushButton::clicked, this, &TForm1::AboutButtonClick);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ExitButton, &QPushButton::clicked, this, &TForm1::ExitButtonClick);
    connect(ReviewButton, &QPushButton::clicked, this, &TForm1::ReviewButtonClick);
}

void TForm1::keepButtonsVisible()
{
    // The buttons sit at fixed places in the panel: the window may not get so
    // small that the lowest one is cut off, nor lose the log beside them.
    int lowest = 0;
    for (const QPushButton* button : Panel1->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        lowest = std::max(lowest, button->geometry().bottom() + 1);
    constexpr int kMarginBelowButtons = 5;
    constexpr int kSmallestLogWidth = 120;
    setMinimumSize(Panel1->width() + kSmallestLogWidth, lowest + kMarginBelowButtons);
}

void TForm1::FormCreate()
{
    // 1. The caption carries the build date.
    setWindowTitle(QString::fromLatin1(vantrel::kApplicationTitle) + QStringLiteral(" (") +
                   QString::fromLatin1(vantrel::kBuildDate) + QLatin1Char(')'));

    // 2. The settings store.
    vantrel::openProgramSettings();

    // 3. LastDir exists after the first start. Each step below runs on its
    // own, so that a settings file that cannot be written does not keep the
    // log from loading.
    vantrel::runAction(this, prompts_, [] {
        vantrel::SettingsStore& settings = vantrel::programSettings();
        const std::string lastDir = settings.read(keys::LastDir, paths::currentDirectory());
        settings.write(keys::LastDir, lastDir);
    });

    // 4. The "Save log" hint names the log file, once.
    vantrel::runAction(this, prompts_, [this] {
        const std::string logFile = vantrel::programSettings().read(keys::LogFile, paths::defaultLogFile());
        SaveButton->setToolTip(kSaveButtonHint + text(logFile));
    });

    // 5. The main log, when its file exists.
    vantrel::runAction(this, prompts_, [this] {
        const std::string logFile = vantrel::programSettings().read(keys::LogFile, paths::defaultLogFile());
        if (!logFiles_.identity(logFile)) {
            knownLogs_.loaded(logFile, std::nullopt);
            return;
        }
        std::unique_ptr<vantrel::mainlog::LogPieces> log = logFiles_.openPieces(logFile);
        // Its text is not in the window, or not all of it: saving must not
        // replace it unasked.
        const auto failed = [this, logFile](const vantrel::mainlog::ReadResult& outcome) {
            knownLogs_.loadFailed(logFile, outcome.identity);
            prompts_.tell(this, Prompts::Kind::Error, vantrel::withFullStop(text(outcome.message())),
                          text(outcome.cause()));
        };
        if (!log->outcome().ok()) {
            failed(log->outcome());
            return;
        }
        knownLogs_.loaded(logFile, log->outcome().identity);
        connect(Memo1, &MainLogEdit::loadFailed, this, failed);
        Memo1->loadLog(std::move(log));
    });
}

void TForm1::openFromCommandLine(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return;
    vantrel::runAction(this, prompts_, [&] {
        vantrel::rereadProgramSettings();
        OpenDialog1.fileName = arguments.at(1);
        runOpenDialog();
    });
}

bool TForm1::isLogModified() const
{
    return Memo1->document()->isModified();
}

QString TForm1::lastLogLine() const
{
    for (QTextBlock block = Memo1->document()->lastBlock(); block.isValid(); block = block.previous())
        if (!block.text().isEmpty())
            return block.text();
    return QString();
}

void TForm1::appendLogLine(const QString& line)
{
    Memo1->appendLine(line);
}

QString TForm1::configuredLogFile()
{
    return text(vantrel::currentProgramSettings().read(keys::LogFile, paths::defaultLogFile()));
}

bool TForm1::writeLog(const QString& fileName)
{
    using Risk = vantrel::mainlog::KnownFiles::Risk;
    const std::string path = vantrel::corePath(fileName);
    const std::optional<vantrel::FileIdentity> now = logFiles_.identity(path);
    switch (knownLogs_.risk(path, now)) {
    case Risk::NotHeld:
        if (!prompts_.askYesNo(this, Prompts::Kind::Warning,
                               QStringLiteral("%1 is not the log this window holds. Replace it with the text of "
                                              "this window?")
                                   .arg(vantrel::shownPath(fileName)),
                               Prompts::Default::No))
            return false;
        break;
    case Risk::NotLoaded:
        if (!prompts_.askYesNo(this, Prompts::Kind::Warning,
                               QStringLiteral("The file %1 could not be loaded when the program started. Saving "
                                              "replaces all of it with the text of this window. Replace it?")
                                   .arg(vantrel::shownPath(fileName)),
                               Prompts::Default::No))
            return false;
        break;
    case Risk::Changed:
        if (!prompts_.askYesNo(this, Prompts::Kind::Warning,
                               QStringLiteral("The file %1 was changed by another program since it was loaded or "
                                              "saved here. Saving replaces it with the text of this window. "
                                              "Replace it?")
                                   .arg(vantrel::shownPath(fileName)),
                               Prompts::Default::No))
            return false;
        break;
    case Risk::None: break;
    }

    // Still the file the question was about, or the one that needed none.
    vantrel::mainlog::WriteOptions options;
    options.expected = now;
    const vantrel::mainlog::WriteResult written = logFiles_.write(path, utf8(Memo1->logText()), options);
    if (!written.ok()) {
        prompts_.tell(this, Prompts::Kind::Error, vantrel::withFullStop(text(written.message())),
                      text(written.cause()));
        return false;
    }
    knownLogs_.written(path, written.identity);
    return true;
}

TForm1::SaveOutcome TForm1::saveLogAs()
{
    SaveDialog1.fileName = configuredLogFile();
    const std::optional<QString> chosen = prompts_.chooseSaveFile(this, SaveDialog1);
    if (!chosen)
        return SaveOutcome::Cancelled;
    SaveDialog1.fileName = *chosen;
    if (!writeLog(*chosen))
        return SaveOutcome::Failed;
    Memo1->document()->setModified(false);
    return SaveOutcome::Written;
}

void TForm1::runOpenDialog()
{
    // Where the game keeps its pilots on this machine, looked up anew each
    // time: a game installed meanwhile shows up.
    OpenDialog1.sidebar = vantrel::gameFolderSideBar();
    const std::optional<QString> chosen = prompts_.chooseOpenFile(this, OpenDialog1);
    if (!chosen)
        return;
    OpenDialog1.fileName = *chosen;
    openChosenFile(*chosen);
}

void TForm1::openChosenFile(const QString& fileName)
{
    const QFileInfo chosen(fileName);
    if (chosen.exists() && !chosen.isDir()) {
        const std::optional<QString> entry = hooks_.showPilot(fileName);
        if (!entry)
            return;
        // However the dialog was closed, its entry goes into the log.
        appendLogLine(*entry);
    }
    vantrel::SettingsStore& settings = vantrel::currentProgramSettings();
    if (settings.read(keys::SaveFilename, defaults::SaveFilename) == "1") {
        settings.write(keys::LastDir, utf8(fileName));
        // The folder of the open dialog's start is watched too.
        hooks_.lastDirChanged();
    }
}

void TForm1::GetScoreButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        OpenDialog1.directory = text(vantrel::currentProgramSettings().read(keys::LastDir, paths::fallbackDirectory()));
        runOpenDialog();
    });
}

void TForm1::SaveButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        if (writeLog(configuredLogFile()))
            Memo1->document()->setModified(false);
    });
}

void TForm1::SaveAsButtonClick()
{
    vantrel::runAction(this, prompts_, [this] { saveLogAs(); });
}

void TForm1::ClearButtonClick()
{
    if (prompts_.askYesNo(this, Prompts::Kind::Confirmation, QStringLiteral("Clear text window?")))
        Memo1->clearLog();
    Memo1->document()->setModified(true);
}

void TForm1::Button1Click()
{
    vantrel::runAction(this, prompts_, [this] {
        vantrel::rereadProgramSettings();
        hooks_.showSettings();
    });
}

void TForm1::AboutButtonClick()
{
    vantrel::runAction(this, prompts_, [this] {
        vantrel::rereadProgramSettings();
        hooks_.showAbout();
    });
}

void TForm1::Button2Click()
{
    bool written = false;
    vantrel::runAction(this, prompts_, [&] {
        written = writeLog(configuredLogFile());
        if (written)
            Memo1->document()->setModified(false);
    });
    if (written)
        close();
}

void TForm1::ExitButtonClick()
{
    close();
}

void TForm1::ReviewButtonClick()
{
    hooks_.showReview();
}

void TForm1::FormShow()
{
    hooks_.closeSplash();
}

bool TForm1::FormClose()
{
    bool mayClose = true;
    const bool completed = vantrel::runAction(this, prompts_, [&] {
        SaveDialog1.fileName = configuredLogFile();
        if (!isLogModified())
            return;
        if (prompts_.askYesNo(this, Prompts::Kind::Information,
                              QStringLiteral("Changes made to the log. Do you want to save changes?"))) {
            if (const std::optional<QString> chosen = prompts_.chooseSaveFile(this, SaveDialog1)) {
                SaveDialog1.fileName = *chosen;
                mayClose = writeLog(*chosen);
                return;
            }
        }
        if (prompts_.askYesNo(this, Prompts::Kind::Warning, QStringLiteral("Cancel save. Are you sure?")))
            return;
        // A write that fails keeps the program open, so no log text is lost.
        mayClose = saveLogAs() != SaveOutcome::Failed;
    });
    return completed && mayClose;
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        vantrel::placeWindow(*this);
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!vantrel::droppedPilotFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString fileName = vantrel::droppedPilotFile(event->mimeData());
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    // The open flow shows modal windows; it runs once the drop is over.
    QMetaObject::invokeMethod(
        this, [this, fileName] { openNamedFile(fileName); }, Qt::QueuedConnection);
}

void TForm1::openNamedFile(const QString& fileName)
{
    vantrel::runAction(this, prompts_, [&] {
        vantrel::rereadProgramSettings();
        OpenDialog1.fileName = fileName;
        openChosenFile(fileName);
    });
}
