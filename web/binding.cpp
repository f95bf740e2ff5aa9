// The page's view of the core: every text the page shows or gives for
// download comes from here, built by the same core functions vantrel-cli
// uses. This file only passes bytes and texts between the two.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/DetailsEdit.h"
#include "core/app/PilotViewing.h"
#include "core/app/SquadronTable.h"
#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/mainlog/LogText.h"
#include "core/pilot/MemoryFileAccess.h"
#include "core/pilot/PilotLayout.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotSave.h"
#include "core/pilot/Vocabulary.h"
#include "core/reports/MissionListings.h"
#include "core/reports/PilotDiff.h"
#include "core/reports/PilotReport.h"
#include "core/reports/PilotTable.h"
#include "core/reports/ReviewTexts.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"
#include "core/platform/PilotFileSearch.h"
#include "core/text/SafeText.h"
#include "core/text/WholeNumber.h"

using emscripten::val;

namespace {

using namespace vantrel;

// Texts as vantrel-cli prints them, so that the page shows and gives the
// same: no terminal control a pilot or file name carries (text::terminalSafe).
std::string printed(std::string_view text, text::Layout layout = text::Layout::Lines)
{
    return text::terminalSafe(text, layout);
}

// Collects report lines as the text vantrel-cli prints: each line ended by LF.
class TextCollector final : public TextSink {
public:
    void addLine(std::string_view line) override
    {
        text += printed(line, text::Layout::Line);
        text += '\n';
    }
    void clear() override { text.clear(); }
    std::string text;
};

// One opened file: what its load gave.
struct OpenedPilot {
    app::PilotView view;
    PilotTableEntry table;
};

std::vector<std::unique_ptr<OpenedPilot>> pilots;
SettingsStore settings = SettingsStore::fromText({});

std::string bytesOf(const val& array)
{
    return array.as<std::string>();
}

val byteArray(const std::string& bytes)
{
    return val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())))
        .call<val>("slice");
}

val stringArray(const auto& texts)
{
    val array = val::array();
    for (const auto& text : texts)
        array.call<void>("push", std::string(text));
    return array;
}

std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(printed(line, text::Layout::Line)).append("\n");
    return text;
}

OpenedPilot* pilot(int id)
{
    return id >= 0 && static_cast<std::size_t>(id) < pilots.size() ? pilots[static_cast<std::size_t>(id)].get()
                                                                   : nullptr;
}

// The next file's bytes: the page copies them straight into this room
// (receiveBytes gives its address), and openReceived lends them to the
// loader, so a file's bytes are copied once on their way into the core. The
// room is kept for the next file while it is a pilot file's size, so that
// opening many files neither allocates nor clears it for each.
std::string received;

std::uintptr_t receiveBytes(std::size_t size)
{
    received.resize(size);
    return reinterpret_cast<std::uintptr_t>(received.data());
}

// Loads the file of this name from `files` as the next opened file; returns
// its id.
int addOpened(const std::string& name, FileAccess& files)
{
    auto opened = std::make_unique<OpenedPilot>();
    app::loadForViewing(opened->view, name, files);
    opened->table = pilotTableEntry(name, opened->view.record, opened->view.load);
    pilots.push_back(std::move(opened));
    return static_cast<int>(pilots.size()) - 1;
}

// Loads the received bytes as the file of this name; returns its id.
int openReceived(const std::string& name)
{
    MemoryFileAccess files;
    files.put(name, std::move(received));
    const int id = addOpened(name, files);
    received = files.take(name);
    if (received.size() != static_cast<std::size_t>(layout::kPilotFileSize))
        received = std::string();
    return id;
}

// A file that could not be read: its load fails as for a file that is not there.
int openUnreadable(const std::string& name)
{
    MemoryFileAccess none;
    return addOpened(name, none);
}

void closeAll()
{
    pilots.clear();
}

// The load's message texts, one per line, as vantrel-cli prints them.
std::string loadErrors(int id)
{
    const OpenedPilot* p = pilot(id);
    return p && !p->view.loaded() ? joinedLines(p->view.errorLines()) : std::string();
}

bool loaded(int id)
{
    const OpenedPilot* p = pilot(id);
    return p && p->view.loaded();
}

// The settings file's text; applies at once to every later text.
void setSettingsText(const std::string& text)
{
    settings = SettingsStore::fromText(text);
}

std::string settingsText()
{
    return settings.text();
}

std::string readSetting(const std::string& key, const std::string& fallback)
{
    return settings.read(key, fallback);
}

// Writes one key as the settings dialog would; returns the new text.
std::string writeSetting(const std::string& key, const std::string& value)
{
    settings.write(key, value);
    return settings.text();
}

// The pilot view after a load with From set to `from`: {report, entry, error}.
// `error` is what vantrel-cli report prints on stderr when a setting is no
// whole number (the report then stops after the lines so far).
val report(int id, int from)
{
    val result = val::object();
    OpenedPilot* p = pilot(id);
    if (!p || !p->view.loaded())
        return result;
    app::PilotView& view = p->view;
    TextCollector out;
    view.range = {};
    view.range.from.set(from);
    view.range.to.set(view.load.getTo);
    if (app::reportForViewing(view, settings, out))
        result.set("entry", view.entry);
    else
        result.set("error", printed(view.settingError, text::Layout::Line));
    result.set("report", out.text);
    return result;
}

// The mission listing over From..To, as vantrel-cli missions prints it.
val missions(int id, int from, int to, bool toGiven)
{
    val result = val::object();
    OpenedPilot* p = pilot(id);
    if (!p || !p->view.loaded())
        return result;
    // The listing runs on a copy, after the load's report, as the pilot view's.
    app::PilotView view = p->view;
    view.range = {};
    view.range.to.set(view.load.getTo);
    DiscardLines loadReport;
    if (!app::reportForViewing(view, settings, loadReport)) {
        result.set("error", printed(view.settingError, text::Layout::Line));
        return result;
    }
    view.range.from.set(from);
    if (toGiven)
        view.range.to.set(to);
    TextCollector out;
    RipScore(out, settings, view.record, view.range);
    result.set("text", out.text);
    return result;
}

// The table's columns, in the order of a row's cells: {key, header, number
// (whether a loaded file's cell is a whole number), width (the widest usual
// cell)}.
val tableColumns()
{
    val columns = val::array();
    for (const PilotTableColumnInfo& info : pilotTableColumns()) {
        val column = val::object();
        column.set("key", std::string(info.key));
        column.set("header", std::string(info.header));
        column.set("number", info.kind == CellKind::Number);
        column.set("width", std::string(info.widthSample));
        columns.call<void>("push", column);
    }
    return columns;
}

// The column a squadron chart shows unless another is chosen.
int squadronDefaultColumn()
{
    return static_cast<int>(charts::kSquadronDefaultColumn);
}

// The rows of the files with ids first..first+count-1, in one call:
// {text: their lines of vantrel-cli table's TSV, each ended by LF (a TSV field
// holds no tab and no line end), marks: a sign per row as the review window
// marks it, "!" the check fails, "?" only the total warning, "X" not loaded,
// "-" for any other}.
val tableRows(int first, int count)
{
    std::vector<const PilotTableEntry*> entries;
    std::string marks;
    for (int id = first; id < first + count; ++id) {
        const OpenedPilot* p = pilot(id);
        if (!p)
            break;
        entries.push_back(&p->table);
        const std::string_view sign = pilotMarkSign(p->table.mark());
        marks += sign.empty() ? '-' : sign.front();
    }
    val result = val::object();
    result.set("text", printed(app::squadronRows(entries, TableFormat::Tsv)));
    result.set("marks", marks);
    return result;
}

// The table's bytes for the files in this order, header first.
val tableBytes(const val& ids, bool csv)
{
    std::vector<const PilotTableEntry*> entries;
    const auto count = ids["length"].as<unsigned>();
    for (unsigned k = 0; k < count; ++k) {
        if (const OpenedPilot* p = pilot(ids[k].as<int>()))
            entries.push_back(&p->table);
    }
    return byteArray(printed(app::squadronTable(entries, csv ? TableFormat::Csv : TableFormat::Tsv)));
}

// A pilot's chart as vantrel-cli chart --kind missions|kills writes it; empty
// for a file that did not load.
std::string pilotChart(int id, const std::string& kind)
{
    const OpenedPilot* p = pilot(id);
    if (!p || !p->view.loaded())
        return {};
    const PilotRecord& record = p->view.record;
    return charts::renderSvg(kind == "kills" ? charts::killsChart(record) : charts::missionsChart(record));
}

// The squadron chart of the files `ids` over the table's number column
// `column`: largest first, as vantrel-cli chart --kind squadron draws it, or
// in the order given (a table the user sorted).
std::string squadronChart(const val& ids, int column, bool asGiven)
{
    if (column < 0 || static_cast<std::size_t>(column) >= kPilotTableColumns ||
        !pilotTableNumberColumn(static_cast<std::size_t>(column)))
        return {};
    std::vector<PilotTableEntry> entries;
    const auto count = ids["length"].as<unsigned>();
    for (unsigned k = 0; k < count; ++k) {
        if (const OpenedPilot* p = pilot(ids[k].as<int>()))
            entries.push_back(p->table);
    }
    return charts::renderSvg(
        charts::squadronChart(entries, static_cast<std::size_t>(column),
                              asGiven ? charts::RowOrder::AsGiven : charts::RowOrder::LargestFirst));
}

// {text, differ} as vantrel-cli diff prints them, or {error} naming the file
// that could not be loaded.
val diff(int older, int newer)
{
    val result = val::object();
    const OpenedPilot* a = pilot(older);
    const OpenedPilot* b = pilot(newer);
    if (!a || !b)
        return result;
    std::vector<std::string> errors;
    for (const OpenedPilot* p : {a, b}) {
        for (std::string& line : p->view.load.failureLines(p->view.given))
            errors.push_back(std::move(line));
    }
    if (!errors.empty()) {
        result.set("error", joinedLines(errors));
        return result;
    }
    const std::vector<std::string> lines = diffPilots(a->view.record, b->view.record);
    result.set("text", joinedLines(lines));
    result.set("differ", !lines.empty());
    return result;
}

// What the dialog's controls get after the load.
val details(int id)
{
    val result = val::object();
    const OpenedPilot* p = pilot(id);
    if (!p || !p->view.loaded())
        return result;
    const LoadResult& load = p->view.load;
    result.set("name", load.pilotNameText);
    result.set("rank", load.rankIndex);
    result.set("rating", load.ratingIndex);
    result.set("kalidor", load.kalidorIndex);
    result.set("activeMission", load.activeMissionIndex);
    return result;
}

// The settings the panel offers, with their defaults: the mission details
// group, the check, the pilot name source, score format and date.
val settingKeys()
{
    const std::pair<std::string_view, std::string_view> shown[] = {
        {keys::ShowMissionScore, defaults::ShowMissionScore},
        {keys::ShowMissionBonus, defaults::ShowMissionBonus},
        {keys::ShowMissionTotal, defaults::ShowMissionTotal},
        {keys::ShowMissionTime, defaults::ShowMissionTime},
        {keys::ShowZeroMissions, defaults::ShowZeroMissions},
        {keys::MegaDetails, defaults::MegaDetails},
        {keys::CheckCheat, defaults::CheckCheat},
        {keys::ShowErrorDetailes, defaults::ShowErrorDetailes},
        {keys::NameSource, defaults::NameSource},
        {keys::ScoreFormat, defaults::ScoreFormat},
        {keys::IncludeDate, defaults::IncludeDate},
    };
    val result = val::array();
    for (const auto& [key, fallback] : shown) {
        val setting = val::object();
        setting.set("key", std::string(key));
        setting.set("fallback", std::string(fallback));
        result.call<void>("push", setting);
    }
    return result;
}

val vocabularyLists()
{
    val result = val::object();
    result.set("rank", stringArray(vocabulary::rankNames()));
    result.set("rating", stringArray(vocabulary::ratingNames()));
    result.set("kalidor", stringArray(vocabulary::kalidorStates()));
    result.set("mission", stringArray(vocabulary::missionTitles()));
    return result;
}

// The changed file for the opened file's bytes, as vantrel-cli set writes it
// with the fields the edit names ({bytes, message}), or {refusal}. The edit's
// fields: name (absent: unchanged), rank, rating, kalidor, activeMission (rows,
// -1: unchanged).
val changedFile(const std::string& name, const val& array, const val& edit)
{
    val result = val::object();
    app::DetailsRequest request;
    if (edit["name"].isString())
        request.name = edit["name"].as<std::string>();
    const auto row = [&](const char* field) {
        const int value = edit[field].as<int>();
        return value >= 0 ? std::optional<std::int64_t>(value) : std::nullopt;
    };
    request.rank = row("rank");
    request.rating = row("rating");
    request.kalidor = row("kalidor");
    request.activeMission = row("activeMission");

    MemoryFileAccess files;
    files.put(name, bytesOf(array));
    app::PilotView view;
    const app::EditOutcome outcome = app::editDetails(view, name, request, settings, files);
    if (outcome.refusal) {
        result.set("refusal", outcome.refusal->text);
        return result;
    }
    if (!outcome.saved) {
        // The load's lines as vantrel-cli prints them, or the setting's message.
        result.set("refusal", view.loaded() ? view.settingError : joinedLines(view.errorLines()));
        return result;
    }
    const SaveResult& saved = *outcome.saved;
    if (!saved.ok()) {
        result.set("refusal", saved.message());
        return result;
    }
    result.set("message", saved.message());
    result.set("bytes", byteArray(*files.bytes(name)));
    return result;
}

// The main log: the in-memory text, one entry appended by the append rule,
// and the file's bytes both ways.
std::string logAppend(const std::string& text, const std::string& entry)
{
    std::string log = text;
    mainlog::appendLine(log, entry);
    return log;
}

val logBytes(const std::string& text)
{
    return byteArray(mainlog::encode(text));
}

// {text} for a log file's bytes, or {refusal} for a file that is no main log.
val logText(const val& array)
{
    val result = val::object();
    const std::string bytes = bytesOf(array);
    if (!mainlog::isTextLog(bytes))
        result.set("refusal", std::string("The file holds NUL bytes, so it is no main log; nothing was written."));
    else
        result.set("text", mainlog::decode(bytes));
    return result;
}

// The review's words for the rows of the files with ids first..first+count-1:
// each row's mark in words, as the review window's mark tooltip gives it.
val markDescriptions(int first, int count)
{
    val texts = val::array();
    for (int id = first; id < first + count; ++id) {
        const OpenedPilot* p = pilot(id);
        if (!p)
            break;
        texts.call<void>("push", pilotMarkDescription(p->table));
    }
    return texts;
}

std::string markColumnName()
{
    return std::string(kMarkColumnName);
}

std::string markLegend()
{
    return pilotMarkLegend();
}

std::string markedOnly()
{
    return markedOnlyHint();
}

// The review window's summary line for the files `ids`.
std::string tableSummary(const val& ids)
{
    std::size_t counts[4] = {};
    const auto count = ids["length"].as<unsigned>();
    std::size_t pilots = 0;
    for (unsigned k = 0; k < count; ++k) {
        if (const OpenedPilot* p = pilot(ids[k].as<int>())) {
            ++pilots;
            ++counts[static_cast<std::size_t>(p->table.mark())];
        }
    }
    return pilotTableSummary(pilots, counts[static_cast<std::size_t>(PilotMark::FailsCheck)],
                             counts[static_cast<std::size_t>(PilotMark::TotalWarningOnly)],
                             counts[static_cast<std::size_t>(PilotMark::NotLoaded)]);
}

// The score entries of the files `ids` that loaded, in the order given, as
// the review window adds them all to the main log: {entries, status}, or
// {error} when a setting stops them (then none is added).
val allEntries(const val& ids)
{
    val result = val::object();
    val entries = val::array();
    std::size_t added = 0;
    std::size_t skipped = 0;
    const auto count = ids["length"].as<unsigned>();
    try {
        for (unsigned k = 0; k < count; ++k) {
            const OpenedPilot* p = pilot(ids[k].as<int>());
            if (!p)
                continue;
            if (!p->view.loaded()) {
                ++skipped;
                continue;
            }
            entries.call<void>("push", BuildExportEntry(settings, p->view.record));
            ++added;
        }
    } catch (const ConversionError& e) {
        result.set("error", std::string(e.what()));
        return result;
    }
    result.set("entries", entries);
    result.set("status", entriesAddedText(added, skipped));
    return result;
}

// The pilot view's question before a save over a file that changed since it
// was opened.
std::string changedQuestion(const std::string& name)
{
    return changedSinceOpenedQuestion(name);
}

// Whether a file found in a dropped or picked folder is taken as a pilot file.
bool pilotFileName(const std::string& name)
{
    return isPilotFileName(name);
}

}  // namespace

EMSCRIPTEN_BINDINGS(vantrel)
{
    emscripten::function("receiveBytes", &receiveBytes);
    emscripten::function("openReceived", &openReceived);
    emscripten::function("openUnreadable", &openUnreadable);
    emscripten::function("closeAll", &closeAll);
    emscripten::function("loadErrors", &loadErrors);
    emscripten::function("loaded", &loaded);
    emscripten::function("setSettingsText", &setSettingsText);
    emscripten::function("settingsText", &settingsText);
    emscripten::function("readSetting", &readSetting);
    emscripten::function("writeSetting", &writeSetting);
    emscripten::function("report", &report);
    emscripten::function("missions", &missions);
    emscripten::function("tableColumns", &tableColumns);
    emscripten::function("squadronDefaultColumn", &squadronDefaultColumn);
    emscripten::function("tableRows", &tableRows);
    emscripten::function("tableBytes", &tableBytes);
    emscripten::function("diff", &diff);
    emscripten::function("pilotChart", &pilotChart);
    emscripten::function("squadronChart", &squadronChart);
    emscripten::function("details", &details);
    emscripten::function("settingKeys", &settingKeys);
    emscripten::function("vocabularyLists", &vocabularyLists);
    emscripten::function("changedFile", &changedFile);
    emscripten::function("logAppend", &logAppend);
    emscripten::function("logBytes", &logBytes);
    emscripten::function("logText", &logText);
    emscripten::function("isPilotFileName", &pilotFileName);
    emscripten::function("markDescriptions", &markDescriptions);
    emscripten::function("markColumnName", &markColumnName);
    emscripten::function("markLegend", &markLegend);
    emscripten::function("markedOnlyHint", &markedOnly);
    emscripten::function("tableSummary", &tableSummary);
    emscripten::function("allEntries", &allEntries);
    emscripten::function("changedQuestion", &changedQuestion);
}
