// The review window's table: one row per pilot file, the verdict first (the
// mark, the file's name, the pilot's name, the check's findings and the load
// error), then the figures of vantrel-cli table, and the file's folder last.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/reports/PilotTable.h"
#include "gui/review/PilotTableLoader.h"

class PilotTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns as the window shows them.
    enum Column : int {
        kMarkColumn,
        kFileNameColumn,  // the file's name; its full path is the tooltip
        kPilotNameColumn,
        kCheckErrorsColumn,
        kTotalWarningColumn,
        kLoadErrorColumn,
        kOtherCopiesColumn,
        kRankColumn,
        kRatingColumn,
        kKalidorColumn,
        kCampaignMissionsColumn,
        kTodScoreColumn,
        kTodBonusColumn,
        kAzzScoreColumn,
        kAzzBonusColumn,
        kCampaignTotalColumn,
        kSimScoreColumn,
        kSimBonusColumn,
        kSimMissionsColumn,
        kFolderColumn,
        kColumnCount
    };
    // The columns that stay in place while the others scroll sideways.
    static constexpr int kFrozenColumns = kPilotNameColumn + 1;

    // The vantrel-cli table column a column shows; -1 for the mark, and the
    // file column for both the file's name and its folder.
    static int tableColumnOf(int column);
    // The column that shows a vantrel-cli table column (the file: its name).
    static int columnOfTable(std::size_t tableColumn);
    // The widest usual text of a column, which it is made wide enough for.
    static QString widthSample(int column);

    explicit PilotTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Numbers as numbers, ranks, ratings and Kalidor Crescent states in the
    // game's order, marks by weight, text without regard to letter case;
    // ties keep the order of loading. Column -1 is the order of loading.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // New rows go where the current sort puts them; a row for a file that is
    // in the table already replaces that file's row.
    void append(const ReviewBatch& rows);
    void clear();
    // Row `row` read again; it moves where the current sort puts it and
    // keeps its place in the one-row-per-file index.
    void replace(int row, const ReviewedPilot& pilot);
    // Removes these rows (any order).
    void removeRowsAt(std::vector<int> rows);

    const ReviewedPilot& pilot(int row) const { return rows_[static_cast<std::size_t>(row)].pilot; }
    vantrel::PilotMark mark(int row) const { return pilot(row).entry.mark(); }
    // The path the row was loaded from, as the file system names it.
    QString filePath(int row) const;
    // How many rows have the mark.
    // Whether the rows stand in the order of a column rather than of loading.
    bool isSorted() const { return sortColumn_ >= 0; }
    int count(vantrel::PilotMark mark) const { return counts_[static_cast<std::size_t>(mark)]; }

    // "52 pilots: 3 fail the check, 8 with the total warning only, 5 did not load"
    QString summary() const;

    // What the mark column says of a row, in words.
    QString markDescription(int row) const;

private:
    struct Row {
        ReviewedPilot pilot;
        std::array<QString, vantrel::kPilotTableColumns> text;
        QString fileName, folder;
        std::uint64_t serial = 0;  // place in the order of loading
    };
    static Row rowOf(const ReviewedPilot& pilot);
    // The value a column sorts a row by when it is a number; false when the
    // row has none there (a file that did not load).
    static bool sortNumber(const Row& row, int column, std::int64_t& value);
    static const QString& sortText(const Row& row, int column);
    bool lessThan(const Row& a, const Row& b, int column) const;
    // Sorts by the current column; the first `sortedRows` rows are in order already.
    void sortRows(std::size_t sortedRows = 0);
    void countRow(const Row& row, int step);
    void indexKeys();

    std::vector<Row> rows_;
    // Each row's file key, to its row.
    std::unordered_map<std::string, std::size_t> byKey_;
    std::uint64_t nextSerial_ = 0;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::array<int, 4> counts_{};
};
