#include "gui/pilotview/TextWindowSink.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

#include "core/pilot/Vocabulary.h"

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The table headings open like the craft type rows.
constexpr std::string_view kHeadingStart = "Shiptype:";

}  // namespace

TextWindowSink::TextWindowSink(QTextEdit* window) : window_(window)
{
    const QFontMetricsF metrics(window->font());
    // Regular stops wide enough for a count or a heading word between two tabs.
    distance_ = std::ceil(std::max(metrics.horizontalAdvance(QStringLiteral(":000000")),
                                   metrics.horizontalAdvance(QStringLiteral("AssitsA: "))));
    qreal widestName = metrics.horizontalAdvance(fromUtf8(kHeadingStart));
    for (std::string_view label : vantrel::vocabulary::craftTypeLabels())
        widestName = std::max(widestName, metrics.horizontalAdvance(fromUtf8(label.substr(0, label.find('\t')))));
    column_ = (std::floor(widestName / distance_) + 1) * distance_;
    window->setTabStopDistance(distance_);
}

QList<QTextOption::Tab> TextWindowSink::tabsFor(const QString& line) const
{
    const qsizetype firstTab = line.indexOf(QLatin1Char('\t'));
    if (firstTab <= 0)
        return {};
    const qreal nameWidth = QFontMetricsF(window_->font()).horizontalAdvance(line.left(firstTab));
    if (nameWidth >= column_)
        return {};
    qsizetype run = 0;
    while (firstTab + run < line.size() && line.at(firstTab + run) == QLatin1Char('\t'))
        ++run;
    const qsizetype laterTabs = line.count(QLatin1Char('\t')) - run;

    QList<QTextOption::Tab> tabs;
    for (qsizetype i = 1; i < run; ++i)
        tabs << QTextOption::Tab(nameWidth + (column_ - nameWidth) * static_cast<qreal>(i) / static_cast<qreal>(run),
                                 QTextOption::LeftTab);
    tabs << QTextOption::Tab(column_, QTextOption::LeftTab);
    for (qsizetype i = 1; i <= laterTabs; ++i)
        tabs << QTextOption::Tab(column_ + distance_ * static_cast<qreal>(i), QTextOption::LeftTab);
    return tabs;
}

void TextWindowSink::addLine(std::string_view line)
{
    if (anyPending_)
        pending_ += QLatin1Char('\n');
    pending_ += fromUtf8(line);
    anyPending_ = true;
}

void TextWindowSink::clear()
{
    pending_.clear();
    anyPending_ = false;
    window_->clear();
}

void TextWindowSink::flush()
{
    if (!anyPending_)
        return;
    QTextDocument* document = window_->document();
    QTextCursor end(document);
    end.beginEditBlock();
    end.movePosition(QTextCursor::End);
    // A line always starts a line of its own, even after text the user typed;
    // an empty last line (an empty window, or typed text ending in a line
    // break) takes the first line as it is.
    const bool lastLineTaken = !document->lastBlock().text().isEmpty();
    if (lastLineTaken)
        pending_.prepend(QLatin1Char('\n'));
    const int firstNewBlock = end.blockNumber() + (lastLineTaken ? 1 : 0);
    end.insertText(pending_);
    pending_.clear();
    anyPending_ = false;

    for (QTextBlock block = document->findBlockByNumber(firstNewBlock); block.isValid(); block = block.next()) {
        const QList<QTextOption::Tab> tabs = tabsFor(block.text());
        if (tabs.isEmpty() && block.blockFormat().tabPositions().isEmpty())
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTabPositions(tabs);
        QTextCursor(block).setBlockFormat(format);
    }
    end.endEditBlock();
}
