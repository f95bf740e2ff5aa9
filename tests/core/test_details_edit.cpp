// Checking and applying an edit of a pilot's details: every refusal with its
// code and text, the check against the loaded pilot, and the edit of a file.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/app/DetailsEdit.h"
#include "core/pilot/MemoryFileAccess.h"
#include "core/pilot/PilotLayout.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;

namespace {

using app::DetailsField;
using app::DetailsRequest;
using app::RefusalCode;

// Requests built member by member: GCC 12 takes the optional name that
// designated initializers leave out for uninitialized in an array of them
// (-Wmaybe-uninitialized at -O2, a false positive).
DetailsRequest named(std::string name)
{
    DetailsRequest request;
    request.name = std::move(name);
    return request;
}

DetailsRequest with(std::optional<std::int64_t> DetailsRequest::*field, std::int64_t value)
{
    DetailsRequest request;
    request.*field = value;
    return request;
}

TEST(DetailsEdit, EachRefusalHasItsCodeFieldAndText)
{
    struct Case {
        DetailsRequest request;
        RefusalCode code;
        DetailsField field;
        std::string text;
    };
    const Case cases[] = {
        {named("Two\nLines"), RefusalCode::NameHasControlCharacter, DetailsField::Name,
         "The name holds a control character. Nothing was written."},
        {named("Snow\xE2\x98\x83"), RefusalCode::NameNotStorable, DetailsField::Name,
         "The name holds characters a pilot file cannot store. Nothing was written."},
        {named("ThirteenChars"), RefusalCode::NameTooLong, DetailsField::Name,
         "The name is longer than 12 characters. Nothing was written."},
        {with(&DetailsRequest::rank, 9), RefusalCode::RankOutOfRange, DetailsField::Rank,
         "The rank must be between 0 and 8. Nothing was written."},
        {with(&DetailsRequest::rating, -1), RefusalCode::RatingOutOfRange, DetailsField::Rating,
         "The rating must be between 0 and 24. Nothing was written."},
        {with(&DetailsRequest::kalidor, 7), RefusalCode::KalidorOutOfRange, DetailsField::Kalidor,
         "The Kalidor Crescent state must be between 0 and 6. Nothing was written."},
        {with(&DetailsRequest::activeMission, 255), RefusalCode::ActiveMissionOutOfRange, DetailsField::ActiveMission,
         "The active mission must be between 1 and 255. Nothing was written."},
        {with(&DetailsRequest::activeMission, -2147483649LL), RefusalCode::ActiveMissionOutOfRange,
         DetailsField::ActiveMission, "The active mission must be between 1 and 255. Nothing was written."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto refused = app::checkDetails(c.request);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->code, c.code);
        EXPECT_EQ(refused->field, c.field);
        EXPECT_EQ(refused->text, c.text);
    }
    // The ends of every list, a 12-character name in the game's code page.
    EXPECT_FALSE(app::checkDetails({.name = "\xC3\x9C"
                                            "berpilot123",
                                    .rank = 8,
                                    .rating = 24,
                                    .kalidor = 0,
                                    .activeMission = 254}));
    EXPECT_FALSE(app::checkDetails({}));
}

TEST(DetailsEdit, AnActiveMissionMustComeAfterTheCompletedOnes)
{
    MemoryFileAccess files;
    files.put("Red.plt", scrambledPilot(5).bytes());
    MemorySettings settings;
    app::PilotView view;
    ASSERT_TRUE(app::openForViewing(view, "Red.plt", settings, files));
    for (const std::int64_t row : {0, 4}) {
        const auto refused = app::checkDetails({.activeMission = row}, view.record);
        ASSERT_TRUE(refused) << row;
        EXPECT_EQ(refused->code, RefusalCode::ActiveMissionNotAfterCompleted);
        EXPECT_EQ(refused->text, "Active mission " + std::to_string(row + 1) +
                                     " is not after the 5 completed missions of Red.plt; completed missions are "
                                     "never removed. Nothing was written.");
    }
    EXPECT_FALSE(app::checkDetails({.activeMission = 5}, view.record));
    // A refusal that needs no file comes first.
    EXPECT_EQ(app::checkDetails({.name = "Ab\tc", .activeMission = 0}, view.record)->code,
              RefusalCode::NameHasControlCharacter);
}

TEST(DetailsEdit, TheNameShownAsLoadedIsNoChange)
{
    PilotImage image = scrambledPilot(0);
    image.setText(L::PilotName, "ThirteenChars");
    MemoryFileAccess files;
    files.put("Red.plt", image.bytes());
    app::PilotView view;
    ASSERT_TRUE(app::loadForViewing(view, "Red.plt", files));
    EXPECT_EQ(app::nameChange(view.record, "ThirteenChars"), std::nullopt);
    EXPECT_EQ(app::nameChange(view.record, "Wedge"), std::optional<std::string>("Wedge"));
    // The 13-character name stays, and the other fields are saved.
    const app::EditOutcome saved = app::saveDetails(
        "Red.plt", view.record, {.name = app::nameChange(view.record, "ThirteenChars"), .rank = 3}, files);
    ASSERT_TRUE(saved.saved && saved.saved->ok()) << (saved.refusal ? saved.refusal->text : "");
    EXPECT_EQ(files.bytes("Red.plt")->substr(0, 13), "ThirteenChars");
}

TEST(DetailsEdit, AnEditWritesOnlyWhatItNamesAndNothingWhenItCannot)
{
    const PilotImage image = scrambledPilot(3);
    MemorySettings settings;
    {
        MemoryFileAccess files;
        files.put("Red.plt", image.bytes());
        app::PilotView view;
        const app::EditOutcome outcome = app::editDetails(view, "Red.plt", {.rank = 6}, settings, files);
        ASSERT_FALSE(outcome.refusal);
        ASSERT_TRUE(outcome.saved && outcome.saved->ok());
        EXPECT_EQ(outcome.saved->message(), "Update complete.");
        std::string expected = image.bytes();
        PilotImage changed;
        changed.bytes() = expected;
        changed.setInt(L::Rank, 6);
        EXPECT_TRUE(*files.bytes("Red.plt") == changed.bytes());
    }
    // Refused before the file is read, refused against it, a file that does
    // not load, a setting that is no whole number: the bytes stay.
    MemorySettings broken;
    broken.set("NameSource", "one");
    struct Case {
        DetailsRequest request;
        Settings* settings;
        bool refused;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {named("Bell\a"), &settings, true, {}},
        {with(&DetailsRequest::activeMission, 1), &settings, true, {}},
        {with(&DetailsRequest::rank, 1), &broken, false, {"'one' is not a valid integer value"}},
    };
    for (const Case& c : cases) {
        MemoryFileAccess files;
        files.put("Red.plt", image.bytes());
        app::PilotView view;
        const app::EditOutcome outcome = app::editDetails(view, "Red.plt", c.request, *c.settings, files);
        EXPECT_EQ(outcome.refusal.has_value(), c.refused);
        EXPECT_FALSE(outcome.saved);
        EXPECT_EQ(view.errorLines(), c.errors);
        EXPECT_TRUE(*files.bytes("Red.plt") == image.bytes());
    }
    MemoryFileAccess none;
    app::PilotView view;
    const app::EditOutcome missing = app::editDetails(view, "Gone.plt", {.rank = 1}, settings, none);
    EXPECT_FALSE(missing.refusal || missing.saved);
    EXPECT_EQ(view.errorLines(), std::vector<std::string>{"Gone.plt: no such file"});
}

}  // namespace
