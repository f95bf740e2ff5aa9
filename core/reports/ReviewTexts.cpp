#include "core/reports/ReviewTexts.h"

namespace vantrel {

namespace {

std::string counted(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

std::string sign(PilotMark mark)
{
    return std::string(pilotMarkSign(mark));
}

}  // namespace

std::string pilotMarkDescription(const PilotTableEntry& entry)
{
    switch (entry.mark()) {
    case PilotMark::NotLoaded: return "Not loaded: " + entry.cells[kLoadErrorColumn];
    case PilotMark::None: return "Check passed";
    case PilotMark::TotalWarningOnly:
        return "Score total warning only: the stored scores do not add up to the missions' sum, "
               "which may not be a real error";
    case PilotMark::FailsCheck: break;
    }
    std::string findings;
    const auto add = [&findings](const std::string& finding) { findings += (findings.empty() ? "" : ", ") + finding; };
    if (const int errors = entry.check.errors())
        add(std::to_string(errors) + " integrity error(s)");
    if (entry.check.totalWarning)
        add("score total warning");
    if (!entry.otherCopies.empty())
        add(std::to_string(entry.otherCopies.size()) + " other copy(ies) differ");
    std::string described = "Fails the check: " + findings;
    for (const std::string& copy : entry.otherCopies)
        described += '\n' + copy;
    return described;
}

std::string pilotMarkLegend()
{
    return sign(PilotMark::FailsCheck) + ": the error/cheat check finds errors, or other copies differ; " +
           sign(PilotMark::TotalWarningOnly) + ": only the score total warning applies; " + sign(PilotMark::NotLoaded) +
           ": the file did not load";
}

std::string markedOnlyHint()
{
    return "Show only the rows marked " + sign(PilotMark::FailsCheck) + ", " + sign(PilotMark::TotalWarningOnly) +
           " or " + sign(PilotMark::NotLoaded);
}

std::string pilotTableSummary(std::size_t pilots, std::size_t failing, std::size_t warningOnly, std::size_t notLoaded)
{
    return counted(pilots, "pilot", "pilots") + ": " + counted(failing, "fails", "fail") + " the check, " +
           std::to_string(warningOnly) + " with the total warning only, " + std::to_string(notLoaded) + " did not load";
}

std::string entriesAddedText(std::size_t added, std::size_t skipped)
{
    std::string text = counted(added, "entry", "entries") + " added to the main log";
    if (skipped > 0)
        text += "; " + counted(skipped, "row", "rows") + " that did not load " + (skipped == 1 ? "was" : "were") +
                " skipped";
    return text;
}

}  // namespace vantrel
