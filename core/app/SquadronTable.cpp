#include "core/app/SquadronTable.h"

#include "core/files/AtomicFile.h"

namespace vantrel::app {

std::optional<TableFormat> tableFormatNamed(std::string_view name)
{
    if (name == "tsv")
        return TableFormat::Tsv;
    if (name == "csv")
        return TableFormat::Csv;
    return std::nullopt;
}

std::string squadronRows(std::span<const PilotTableEntry* const> entries, TableFormat format)
{
    std::string text;
    for (const PilotTableEntry* entry : entries)
        text += tableLine(entry->cells, format);
    return text;
}

std::string squadronTable(std::span<const PilotTableEntry* const> entries, TableFormat format, bool byteOrderMark)
{
    return tableStart(format, byteOrderMark) + squadronRows(entries, format);
}

FileResult saveSquadronTable(const std::string& path, std::span<const PilotTableEntry* const> entries,
                             TableFormat format, bool byteOrderMark)
{
    const FileResult written = replaceFileAtomically(path, squadronTable(entries, format, byteOrderMark));
    if (!written)
        return FileResult::refused(cannotCreateFileMessage(path), written.cause());
    return written;
}

std::string rowsSavedText(std::size_t rows, const std::string& file)
{
    return std::to_string(rows) + " row(s) saved as " + file;
}

bool writeSquadronTable(std::span<const std::string> files, TableFormat format, bool byteOrderMark,
                        const std::function<void(const std::string& text)>& write, FileAccess& access)
{
    bool allLoaded = true;
    write(tableStart(format, byteOrderMark));
    for (const std::string& path : files) {
        const PilotTableEntry entry = pilotTableEntry(path, access);
        allLoaded = allLoaded && entry.loaded;
        write(tableLine(entry.cells, format));
    }
    return allLoaded;
}

}  // namespace vantrel::app
