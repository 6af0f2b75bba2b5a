#include "gui/settings/TabOptView.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"

namespace {
struct ColumnRow
{
    int textId;
    bool COptions::*setting;
};
const ColumnRow ColumnRows[] = {
    {TextId::UsernameField, &COptions::fColumn0},
    {TextId::PasswordField, &COptions::fColumn1},
    {TextId::UrlField, &COptions::fColumn2},
    {TextId::NotesField, &COptions::fColumn3},
};
} // namespace

CTabOptView::CTabOptView(const COptions& options, const CTranslate& translation, QWidget* parent)
    : OptionsPage(parent)
    , translation(translation)
    , language(new QComboBox(this))
    , top(MakeCheckBox(this, translation, TextId::AlwaysOnTop, "fTop", options.fTop))
    , hideUser(MakeCheckBox(this, translation, TextId::HideUsernames, "fHideUser", options.fHideUser))
    , hidePass(MakeCheckBox(this, translation, TextId::HidePasswords, "fHidePass", options.fHidePass))
    , groupsTree(MakeCheckBox(this, translation, TextId::ShowGroupTree, "fGroupsTree", options.fGroupsTree))
    , columns(new QTreeWidget(this))
{
    LanguageList list;
    translation.FillLanguageList(list, options.Language);
    language->setObjectName(QStringLiteral("Language"));
    for (const std::u16string& name : list.names) {
        language->addItem(ToQString(name));
    }
    language->setCurrentIndex(list.selected);

    columns->setObjectName(QStringLiteral("columns"));
    columns->setHeaderLabels({QtText(translation, TextId::ShowColumns)});
    columns->setRootIsDecorated(false);
    columns->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const ColumnRow& row : ColumnRows) {
        auto* item = new QTreeWidgetItem(columns, {QtText(translation, row.textId)});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(0, options.*row.setting ? Qt::Checked : Qt::Unchecked);
    }
    columns->setFixedHeight(columns->sizeHintForRow(0) * 4 + columns->header()->sizeHint().height() +
                            2 * columns->frameWidth() + 2);

    auto* languageRow = new QHBoxLayout;
    auto* label = new QLabel(QtText(translation, TextId::Language), this);
    label->setBuddy(language);
    languageRow->addWidget(label);
    languageRow->addWidget(language, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(languageRow);
    for (QCheckBox* box : {top, hideUser, hidePass, groupsTree}) {
        layout->addWidget(box);
    }
    layout->addWidget(columns);
    layout->addStretch();
}

void CTabOptView::Read(COptions& options) const
{
    LanguageList list;
    list.selected = language->currentIndex();
    translation.ReadLanguageChoice(list, options.Language);
    options.fTop = top->isChecked();
    options.fHideUser = hideUser->isChecked();
    options.fHidePass = hidePass->isChecked();
    options.fGroupsTree = groupsTree->isChecked();
    int index = 0;
    for (const ColumnRow& row : ColumnRows) {
        options.*row.setting = columns->topLevelItem(index++)->checkState(0) == Qt::Checked;
    }
}
