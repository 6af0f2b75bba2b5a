#include <QTest>
#include <gtest/gtest.h>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDriver.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "gui/mainwindow/FormFiller.h"
#include "support/MessageRecorder.h"
#include "support/RecordingKeySender.h"
#include "support/TempDir.h"

namespace {
using namespace TestKeys;
using Events = std::vector<std::string>;

const std::u16string NeedsX11 =
    u"Paste and Auto-Login need an X11 session: under Wayland Lockmere cannot type into other programs.";
const std::u16string WaylandTarget =
    u"Under Wayland Lockmere can type only into programs that run on X11 (XWayland), and the window to type into is "
    u"not one of them. Copy the value and paste it there instead.";
const std::u16string NotReturned = u"Lockmere could not return to the previous window, so nothing was typed.";

class FixedSwitcher : public IWindowSwitcher
{
public:
    explicit FixedSwitcher(WindowReturn answer)
        : answer(answer)
    {}
    WindowReturn ReturnToPreviousWindow() override { return answer; }

private:
    WindowReturn answer;
};

struct FillCase
{
    const char* name;
    FillKind kind;
    Entry entry;
    WindowReturn windowReturn;
    ReturnWay way;
    Events expected;
    std::vector<std::u16string> messages;
};

void PrintTo(const FillCase& fill, std::ostream* out)
{
    *out << fill.name;
}

const Events AltTab = {"+64", "+23", "wait 10", "-64", "-23", "wait 100"};
const Events AltEsc = {"+64", "+9", "wait 5", "-9", "-64", "wait 100"};

Events Join(std::initializer_list<Events> parts)
{
    Events joined;
    for (const Events& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

const Events UserU = {"+120", "-120"};
const Events PasswordP = {"+115", "-115"};
const Events TabKey = {"+23", "-23"};
const Events EnterKey = {"+36", "-36"};

class FormFillerTest : public ::testing::TestWithParam<FillCase>
{};

TEST_P(FormFillerTest, ReturnsToThePreviousWindowAndTypesWhatTheCommandAsksFor)
{
    const FillCase& fill = GetParam();
    auto sender = std::make_unique<RecordingKeySender>();
    sender->keyboard = UsKeyboard();
    RecordingKeySender& events = *sender;
    MessageRecorder messages;
    BuiltinTextSource texts;
    FormFiller filler(std::move(sender), std::make_unique<FixedSwitcher>(fill.windowReturn), messages, texts);
    filler.Fill(fill.kind, fill.entry, fill.way);
    EXPECT_EQ(events.events, fill.expected);
    EXPECT_EQ(messages.Texts(), fill.messages);
}

const FillCase FillCases[] = {
    {"AutoLoginTypesUserTabPasswordEnter",
     FillKind::AutoLogin,
     MakeEntry(u"G", u"T", u"u", u"p"),
     WindowReturn::Returned,
     ReturnWay::AltTab,
     Join({UserU, TabKey, PasswordP, EnterKey}),
     {}},
    {"AutoLoginWithEmptyValuesStillTypesTabAndEnter",
     FillKind::AutoLogin,
     MakeEntry(u"G", u"T"),
     WindowReturn::Returned,
     ReturnWay::AltTab,
     Join({TabKey, EnterKey}),
     {}},
    {"MenuFallsBackToAltTab",
     FillKind::PastePassword,
     MakeEntry(u"G", u"T", u"u", u"p"),
     WindowReturn::NotSupported,
     ReturnWay::AltTab,
     Join({AltTab, PasswordP}),
     {}},
    {"TrayFallsBackToAltEsc",
     FillKind::AutoLogin,
     MakeEntry(u"G", u"T", u"u", u"p"),
     WindowReturn::NotSupported,
     ReturnWay::AltEsc,
     Join({AltEsc, UserU, TabKey, PasswordP, EnterKey}),
     {}},
    {"EmptyUserNameSwitchesAndTypesNothing",
     FillKind::PasteUsername,
     MakeEntry(u"G", u"T", u"", u"p"),
     WindowReturn::NotSupported,
     ReturnWay::AltTab,
     AltTab,
     {}},
    {"NoTypingWhenThePreviousWindowDidNotGetTheFocus",
     FillKind::AutoLogin,
     MakeEntry(u"G", u"T", u"u", u"p"),
     WindowReturn::Failed,
     ReturnWay::AltTab,
     {},
     {NotReturned}},
    {"NoTypingIntoAWaylandWindowFromTheMenu",
     FillKind::PastePassword,
     MakeEntry(u"G", u"T", u"u", u"p"),
     WindowReturn::WaylandWindow,
     ReturnWay::AltTab,
     {},
     {WaylandTarget}},
    {"NoTypingIntoAWaylandWindowFromTheTray",
     FillKind::AutoLogin,
     MakeEntry(u"G", u"T", u"u", u"p"),
     WindowReturn::WaylandWindow,
     ReturnWay::AltEsc,
     {},
     {WaylandTarget}},
};

INSTANTIATE_TEST_SUITE_P(Cases, FormFillerTest, ::testing::ValuesIn(FillCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormFillerTrayTest, PerEntryCommandsTakeTheEntryAtTheirIndexInCollectionOrder)
{
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database(messages, texts);
    AddEntries(database, {MakeEntry(u"Mail", u"C"), MakeEntry(u"Bank", u"B"), MakeEntry(u"Bank", u"A")});
    const struct
    {
        TrayEntryCommand command;
        std::size_t index;
        std::optional<FillKind> kind;
        const char16_t* title;
    } lookups[] = {
        {TrayEntryCommand::PastePassword, 0, FillKind::PastePassword, u"A"},
        {TrayEntryCommand::PastePassword, 1, FillKind::PastePassword, u"B"},
        {TrayEntryCommand::PastePassword, 2, FillKind::PastePassword, u"C"},
        {TrayEntryCommand::PasteUsername, 0, FillKind::PasteUsername, u"A"},
        {TrayEntryCommand::AutoLogin, 2, FillKind::AutoLogin, u"C"},
        {TrayEntryCommand::PastePassword, 3, std::nullopt, nullptr},
        {TrayEntryCommand::AutoLogin, static_cast<std::size_t>(-1), std::nullopt, nullptr},
    };
    for (const auto& lookup : lookups) {
        const std::optional<TrayFill> fill = FindTrayFill(database, lookup.command, lookup.index);
        ASSERT_EQ(fill.has_value(), lookup.kind.has_value()) << lookup.index;
        if (fill) {
            EXPECT_EQ(fill->kind, *lookup.kind) << lookup.index;
            EXPECT_EQ(fill->entry.title, ToSecure(lookup.title)) << lookup.index;
        }
    }
}

// Tests run on the offscreen platform, which, like Wayland, cannot type into other programs.
TEST(FormFillerSessionTest, WithoutX11EveryFormFillingCommandSaysWhyNothingIsTyped)
{
    EnsureApplication();
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database(messages, texts);
    TempDir folder;
    const auto path = folder / "lockmere.ldb";
    {
        CDataBase written(messages, texts);
        AddEntries(written, {MakeEntry(u"Web", u"Shop", u"me", u"secret")});
        ASSERT_TRUE(WriteDatabase(written, path, ToSecure(u"pw")));
    }
    COptions options;
    options.fLastDB = true;
    options.LastPath = path.u16string();
    CDlgMain window(database, options, texts, u"");
    ModalDriver driver;
    driver.Then(TypePassword(QStringLiteral("pw")));
    window.Start();
    ASSERT_TRUE(window.Session().IsOpen());
    window.EntryList()->SelectRow(0);
    for (int command : {CommandId::EditPasteUsername, CommandId::EditPastePassword, CommandId::EditAutoLogin}) {
        window.OnCommand(command);
    }
    // The tray's per-entry commands: the one entry, and an index the collection no longer has.
    window.OnTrayEntryCommand(TrayEntryCommand::AutoLogin, 0);
    window.OnTrayEntryCommand(TrayEntryCommand::AutoLogin, 1);
    QTest::qWait(20);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>(4, NeedsX11));
}
} // namespace
