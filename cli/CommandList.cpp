#include "cli/CommandList.h"

namespace vantrel::cli {

std::span<const Command* const> commandList()
{
    static const Command* const commands[] = {
        &reportCommand(), &missionsCommand(), &entryCommand(),   &setCommand(),     &tableCommand(),
        &diffCommand(),   &chartCommand(),    &backupsCommand(), &restoreCommand(),
    };
    return commands;
}

}  // namespace vantrel::cli
