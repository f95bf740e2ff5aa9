// What the vantrel-cli tests start from: a temporary home holding a settings
// file with only the program's section, and the program run in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "TestSupport.h"
#include "tests/support/PilotImage.h"

namespace vantrel::testing {

class CliFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini = dir.file("vantrel.ini");
        writeFile(ini, "[ZADAdeda]\n");
    }

    CliRun cli(const std::string& arguments) { return runCli(dir, arguments); }

    // A pilot of that name whose four TOD score fields all hold `tod`.
    static PilotImage namedPilot(std::string_view name, std::int32_t tod)
    {
        PilotImage image;
        image.setText(layout::PilotName, name);
        for (const auto& f : {layout::TODScoreA, layout::TODScoreB, layout::TODScoreC, layout::TODScoreD})
            image.setInt(f, tod);
        return image;
    }

    TempDir dir;
    std::string ini;
};

}  // namespace vantrel::testing
