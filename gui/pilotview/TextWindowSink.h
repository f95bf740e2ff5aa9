// A text sink that appends whole lines at the end of a text window.
//
// Lines are gathered and written in one edit when a report step is done, so
// a long report costs one layout pass instead of one per line.
//
// The report's tables put a craft type's name, one to three tabs and then
// the counts on a line ("Xwing\t\t\t:12\t3"); the number of tabs was chosen
// for one particular font. So that the counts start in one column in any
// font, each written line that opens with a name and a run of tabs gets tab
// stops of its own: its run of tabs ends at the table column, and later tabs
// fall on the window's regular stops from there.
#pragma once

#include <QList>
#include <QString>
#include <QTextOption>

#include "core/reports/TextSink.h"

class QFont;
class QTextEdit;

class TextWindowSink final : public vantrel::TextSink {
public:
    // Sets the window's regular tab stop distance for its font.
    explicit TextWindowSink(QTextEdit* window);

    void addLine(std::string_view line) override;
    // Empties the text window (and drops lines not yet written).
    void clear() override;
    // Writes the gathered lines below what the text window holds.
    void flush();

    // The tab stops for one line; empty when the regular stops serve.
    QList<QTextOption::Tab> tabsFor(const QString& line) const;

private:
    QTextEdit* window_;
    QString pending_;
    bool anyPending_ = false;
    qreal distance_ = 0;
    qreal column_ = 0;
};
