// The list of the game's new pilot saves that the watcher offers: one row per
// pilot file (a newer save replaces the row of the older one), with its score
// entry, what changed since the last save seen and a check box; the checked
// entries go into the main log at one click. Not modal: saves gather while
// the player goes on, however many arrive at once.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

#include "core/reports/SaveOffer.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TNewSavesWindow : public QWidget {
    Q_OBJECT
public:
    enum Column { kEntryColumn, kChangesColumn, kFileColumn, kColumnCount };

    // `appendToLog` adds one entry at the end of the main log.
    TNewSavesWindow(std::function<void(const QString&)> appendToLog, QWidget* owner);

    // Lists the offer, in place of an older one of the same file. An entry
    // that is already the last line of the log is listed unchecked and says so.
    void offer(const vantrel::SaveOffer& offer, bool alreadyLastInLog);
    void clear();
    int offerCount() const;

    static QString title();
    // What the row says of an entry that is already the log's last line.
    static QString alreadyInLogNote();

signals:
    // The entry of `path` went into the log.
    void entryAdded(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddCheckedButtonClick();
    void updateState();
    QTreeWidgetItem* itemFor(const QString& path) const;

    std::function<void(const QString&)> appendToLog_;
    QLabel* HintLabel;
    QTreeWidget* SavesList;
    QLabel* StatusLabel;
    QPushButton* AddCheckedButton;
    QPushButton* CloseButton;
};
