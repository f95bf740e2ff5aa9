#include "core/reports/LogEntry.h"

#include "core/reports/PilotReport.h"
#include "core/reports/ReportDate.h"
#include "core/text/WholeNumber.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel {

namespace {

enum NameSourceChoice { NameInFile = 0, FullFileName = 1, TruncatedFileName = 2 };
enum ScoreFormatChoice { TotalOnly = 0, TotalWithParts = 1, PartsOnly = 2 };

std::string cutAtFirst(std::string text, char c)
{
    const auto at = text.find(c);
    if (at != std::string::npos)
        text.erase(at);
    return text;
}

// One entry is one line of the main log: a control character in the name
// (a line break in a file name, a stray byte in the file) becomes '?'. Such
// characters are single bytes in UTF-8, never part of another character.
std::string printable(std::string name)
{
    for (char& c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            c = '?';
    }
    return name;
}

}  // namespace

std::string PilotNameFromFileName(std::string_view path)
{
    const auto separator = path.find_last_of("\\/");
    std::string_view file = separator == std::string_view::npos ? path : path.substr(separator + 1);
    const auto dot = file.rfind('.');
    if (dot != std::string_view::npos)
        file = file.substr(0, dot);
    return std::string(file);
}

std::string markEntryWithErrors(std::string_view entry)
{
    return "! " + std::string(entry) + " ! Errors in file!";
}

std::string buildLogEntry(Settings& settings, const PilotRecord& record, const DateSource& today)
{
    std::string entry;
    if (settings.flag(keys::IncludeDate, defaults::IncludeDate)) {
        entry = today ? today() : localShortDate();
        if (!entry.empty())
            entry += ' ';
    }

    switch (toWholeNumber(settings.read(keys::NameSource, defaults::NameSource))) {
    case NameInFile: entry += printable(fieldText(record.PilotName)); break;
    case FullFileName: entry += printable(PilotNameFromFileName(record.PilotFileName)); break;
    case TruncatedFileName:
        entry += printable(cutAtFirst(cutAtFirst(PilotNameFromFileName(record.PilotFileName), ' '), '_'));
        break;
    default: entry += "John Doe"; break;
    }

    const std::int32_t total = CampaignScoreSum(record);
    const std::int32_t score = wrappingAdd(record.TODScoreA, record.AzzScoreB);
    const std::int32_t bonus = wrappingAdd(record.TODBonus, record.AzzBonus);
    switch (toWholeNumber(settings.read(keys::ScoreFormat, defaults::ScoreFormat))) {
    case TotalOnly: entry += " - Score: " + std::to_string(total); break;
    case TotalWithParts:
        entry +=
            " - Score: " + std::to_string(total) + " (" + std::to_string(score) + "+" + std::to_string(bonus) + ")";
        break;
    case PartsOnly: entry += " - Score: " + std::to_string(score) + "+" + std::to_string(bonus); break;
    default: break;
    }
    return entry;
}

}  // namespace vantrel
