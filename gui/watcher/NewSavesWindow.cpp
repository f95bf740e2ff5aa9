#include "gui/watcher/NewSavesWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/support/FormSupport.h"
#include "gui/widgets/FormBuilder.h"
#include "gui/support/CorePath.h"

namespace {

// Where each row keeps its file's path and its entry.
constexpr int kPathRole = Qt::UserRole;
constexpr int kEntryRole = Qt::UserRole + 1;

QString fromLocal(const std::string& path)
{
    return vantrel::fromCorePath(path);
}

}  // namespace

TNewSavesWindow::TNewSavesWindow(std::function<void(const QString&)> appendToLog, QWidget* owner)
      : QWidget(owner, Qt::Window), appendToLog_(std::move(appendToLog))
{
    setObjectName(QStringLiteral("NewSavesWindow"));
    setWindowTitle(title());
    setFont(vantrel::formFont());
    // It comes up while the player may be in the game: it takes no focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(760, 320);

    HintLabel = vantrel::build::label(this, "HintLabel",
                                      QStringLiteral("The game saved these pilots. Check the entries to add to the "
                                                     "main log; a newer save of a pilot replaces its row."),
                                      QRect());
    HintLabel->setWordWrap(true);
    SavesList = new QTreeWidget(this);
    SavesList->setObjectName(QStringLiteral("SavesList"));
    SavesList->setRootIsDecorated(false);
    SavesList->setUniformRowHeights(true);
    SavesList->setHeaderLabels({QStringLiteral("Entry"), QStringLiteral("What changed"), QStringLiteral("File")});
    SavesList->header()->setStretchLastSection(true);
    SavesList->setColumnWidth(kEntryColumn, 330);
    SavesList->setColumnWidth(kChangesColumn, 260);
    StatusLabel = vantrel::build::label(this, "StatusLabel", QString(), QRect());
    AddCheckedButton =
        vantrel::build::button(this, "AddCheckedButton", QStringLiteral("Add checked entries to the log"), QRect());
    AddCheckedButton->setToolTip(QStringLiteral("Add the checked entries to the main log, in the order listed"));
    CloseButton = vantrel::build::button(this, "CloseButton", QStringLiteral("Close"), QRect());
    CloseButton->setToolTip(QStringLiteral("Close the list; the saves stay listed"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(StatusLabel, 1);
    buttons->addWidget(AddCheckedButton);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HintLabel);
    layout->addWidget(SavesList, 1);
    layout->addLayout(buttons);

    connect(AddCheckedButton, &QPushButton::clicked, this, &TNewSavesWindow::AddCheckedButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(SavesList, &QTreeWidget::itemChanged, this, &TNewSavesWindow::updateState);
    updateState();
}

QString TNewSavesWindow::title()
{
    return QStringLiteral("New pilot saves");
}

QString TNewSavesWindow::alreadyInLogNote()
{
    return QStringLiteral("already the last line of the log");
}

int TNewSavesWindow::offerCount() const
{
    return SavesList->topLevelItemCount();
}

QTreeWidgetItem* TNewSavesWindow::itemFor(const QString& path) const
{
    for (int k = 0; k < SavesList->topLevelItemCount(); ++k)
        if (QTreeWidgetItem* item = SavesList->topLevelItem(k); item->data(kEntryColumn, kPathRole).toString() == path)
            return item;
    return nullptr;
}

void TNewSavesWindow::offer(const vantrel::SaveOffer& offer, bool alreadyLastInLog)
{
    const QString path = fromLocal(offer.path);
    const QString entry = QString::fromStdString(offer.entry);
    QStringList changes;
    if (offer.firstSeen)
        changes << QStringLiteral("no earlier save of this file was seen");
    for (const std::string& change : offer.changes)
        changes << QString::fromStdString(change);
    if (alreadyLastInLog)
        changes.prepend(alreadyInLogNote());

    QTreeWidgetItem* item = itemFor(path);
    if (!item) {
        item = new QTreeWidgetItem(SavesList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
    const QSignalBlocker quiet(SavesList);
    item->setData(kEntryColumn, kPathRole, path);
    item->setData(kEntryColumn, kEntryRole, entry);
    item->setText(kEntryColumn, entry);
    item->setCheckState(kEntryColumn, alreadyLastInLog ? Qt::Unchecked : Qt::Checked);
    item->setText(kChangesColumn, changes.join(QStringLiteral("; ")));
    item->setToolTip(kChangesColumn, changes.join(QLatin1Char('\n')));
    item->setText(kFileColumn, QFileInfo(path).fileName());
    item->setToolTip(kFileColumn, path);
    updateState();
}

void TNewSavesWindow::clear()
{
    SavesList->clear();
    updateState();
}

void TNewSavesWindow::AddCheckedButtonClick()
{
    int added = 0;
    for (int k = 0; k < SavesList->topLevelItemCount();) {
        QTreeWidgetItem* item = SavesList->topLevelItem(k);
        if (item->checkState(kEntryColumn) != Qt::Checked) {
            ++k;
            continue;
        }
        const QString path = item->data(kEntryColumn, kPathRole).toString();
        if (appendToLog_)
            appendToLog_(item->data(kEntryColumn, kEntryRole).toString());
        delete SavesList->takeTopLevelItem(k);
        ++added;
        emit entryAdded(path);
    }
    updateState();
    StatusLabel->setText(QStringLiteral("%1 %2 added to the main log")
                             .arg(added)
                             .arg(added == 1 ? QStringLiteral("entry") : QStringLiteral("entries")));
}

void TNewSavesWindow::updateState()
{
    bool anyChecked = false;
    for (int k = 0; k < SavesList->topLevelItemCount() && !anyChecked; ++k)
        anyChecked = SavesList->topLevelItem(k)->checkState(kEntryColumn) == Qt::Checked;
    AddCheckedButton->setEnabled(anyChecked);
}

void TNewSavesWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        vantrel::placeWindow(*this);
}
