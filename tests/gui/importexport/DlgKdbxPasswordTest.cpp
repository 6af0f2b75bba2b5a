#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/ModalDriver.h"
#include "gui/common/FileChooser.h"
#include "gui/importexport/DlgKdbxPassword.h"
#include "support/MessageRecorder.h"

namespace {
class NoFileChooser : public IFileChooser
{
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const QString&) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseFileToSave(const QString&) override { return std::nullopt; }
};

struct TabCase
{
    const char* name;
    CDlgKdbxPassword::Mode mode;
    // The object names Tab visits after the password field, in order.
    std::vector<const char*> order;
};

class KdbxPasswordTabTest : public ::testing::TestWithParam<TabCase>
{
protected:
    void SetUp() override { EnsureApplication(); }
    BuiltinTextSource texts;
    NoFileChooser files;
};

TEST_P(KdbxPasswordTabTest, TabGoesThroughTheFieldsBeforeTheHideBox)
{
    CDlgKdbxPassword dialog(GetParam().mode, texts, files, "keepass.kdbx");
    ModalDriver driver;
    std::vector<QString> visited;
    driver.Then([&](QWidget* shown) {
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("password"));
        for (std::size_t step = 0; step < GetParam().order.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.push_back(QApplication::focusWidget()->objectName());
        }
        static_cast<QDialog*>(shown)->reject();
    });
    dialog.exec();
    std::vector<QString> expected;
    for (const char* name : GetParam().order) {
        expected.push_back(QString::fromLatin1(name));
    }
    EXPECT_EQ(visited, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, KdbxPasswordTabTest,
    ::testing::Values(TabCase{"Export", CDlgKdbxPassword::Mode::New, {"repeat", "hide"}},
                      TabCase{"Import", CDlgKdbxPassword::Mode::Open, {"keyFile", "browseKeyFile", "hide"}}),
    [](const ::testing::TestParamInfo<TabCase>& info) { return std::string(info.param.name); });
} // namespace
