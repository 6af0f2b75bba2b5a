#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/mainwindow/WindowMinimising.h"

namespace {
using Change = WindowMinimising::Change;

// One thing the window hears: its state ("minimised", "normal"), its activation ("active", "inactive"), or "shown"
// (the program shows it itself); with the change it should make of it.
struct Step
{
    std::string event;
    Change expected;
};

struct Case
{
    const char* name;
    bool stateReported;
    bool activeWhenMinimised;
    std::vector<Step> steps;
    bool minimisedAtTheEnd;
};

Change Hear(WindowMinimising& window, const std::string& event, bool active)
{
    if (event == "minimised" || event == "normal") {
        return window.StateChanged(event == "minimised", active);
    }
    if (event == "shown") {
        window.ShownAgain();
        return Change::None;
    }
    return window.ActivationChanged(event == "active");
}

TEST(WindowMinimisingTest, AMinimiseEndsWithTheReportedStateOrElseWithTheNextActivationAfterTheWindowWasInactive)
{
    const std::vector<Case> cases = {
        {"X11: the state decides",
         true,
         true,
         {{"minimised", Change::Minimised},
          {"inactive", Change::None},
          {"active", Change::None},
          {"minimised", Change::None},
          {"normal", Change::Restored},
          {"normal", Change::None}},
         false},
        {"Wayland: Qt's own report of a normal window right after the minimise is no return",
         false,
         true,
         {{"minimised", Change::Minimised}, {"normal", Change::None}, {"active", Change::None}},
         true},
        {"Wayland: the user activates the minimised window again",
         false,
         true,
         {{"minimised", Change::Minimised},
          {"normal", Change::None},
          {"inactive", Change::None},
          {"active", Change::Restored},
          {"inactive", Change::None},
          {"active", Change::None}},
         false},
        {"Wayland: minimised while another program was active, by the automatic lock",
         false,
         false,
         {{"minimised", Change::Minimised}, {"normal", Change::None}, {"active", Change::Restored}},
         false},
        {"Wayland: shown again from the notification area",
         false,
         true,
         {{"minimised", Change::Minimised},
          {"inactive", Change::None},
          {"shown", Change::None},
          {"active", Change::None}},
         false},
        {"Wayland: a second minimise after the return counts again",
         false,
         true,
         {{"minimised", Change::Minimised},
          {"inactive", Change::None},
          {"active", Change::Restored},
          {"minimised", Change::Minimised},
          {"normal", Change::None}},
         true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        WindowMinimising window(test.stateReported);
        bool active = test.activeWhenMinimised;
        for (std::size_t index = 0; index < test.steps.size(); ++index) {
            const Step& step = test.steps[index];
            if (step.event == "active" || step.event == "inactive") {
                active = step.event == "active";
            }
            EXPECT_EQ(Hear(window, step.event, active), step.expected) << "step " << index << ": " << step.event;
        }
        EXPECT_EQ(window.IsMinimised(), test.minimisedAtTheEnd);
    }
}
} // namespace
