#include "gui/dialogs/DlgEdit.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <limits>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/passgen/GeneratorSettings.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"
#include "gui/common/ScreenBound.h"
#include "gui/common/SecureText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/dialogs/PasswordMasking.h"
#include "gui/dialogs/PasswordStrengthBar.h"

namespace {
constexpr char16_t NoSuchEntryText[] = u"Error. No such entry.";

// The platform chooser: Qt's own, so that it behaves alike on every desktop.
QString ChooseFileWithDialog(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), QString(), nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

CDlgEdit::FileChooser& ActiveFileChooser()
{
    static CDlgEdit::FileChooser chooser = ChooseFileWithDialog;
    return chooser;
}

QPushButton* SmallButton(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    // ENTER in a field belongs to OK, never to the buttons beside the fields.
    button->setAutoDefault(false);
    // As wide as the English "Generate" at least, so the buttons line up; wider where a translation needs it.
    const QFontMetrics metrics = button->fontMetrics();
    button->setFixedWidth(
        std::max(metrics.horizontalAdvance(QStringLiteral("Generate")), metrics.horizontalAdvance(text)) + 24);
    return button;
}

void MaskField(QLineEdit& field, bool masked)
{
    field.setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}
} // namespace

CDlgEdit::CDlgEdit(EditMode mode, const CDataBase& database, const COptions& options, const ITextSource& texts,
                   const std::optional<Entry>& values, const std::optional<EntryKey>& selected, QWidget* parent,
                   IRandomSource& randomSource)
    : QDialog(parent)
    , database(database)
    , options(options)
    , texts(texts)
    , mode(mode)
    , generator(randomSource)
{
    if (values) {
        TakeValues(*values);
        prefilled = true;
    }
    CreateControls();
    FillGroups();
    if (!prefilled) {
        if (mode == EditMode::Edit) {
            LookUpSelected(selected);
        } else if (options.fPassGenAuto) {
            GeneratePassword();
        }
    }
    MembersToFields();
    MaskField(*passwordField, options.fHidePass);
    MaskField(*repeatField, options.fHidePass);
    MaskField(*usernameField, options.fHideUser);
}

CDlgEdit::~CDlgEdit()
{
    WipeMembers();
    for (QLineEdit* field : {usernameField, passwordField, repeatField}) {
        field->clear();
    }
}

void CDlgEdit::CreateControls()
{
    setWindowTitle(QtText(texts, mode == EditMode::Add ? TextId::AddEntry : TextId::EditEntry));
    // The masked fields show asterisks, the masking character the program has always used.
    MaskWithAsterisks(*this);

    groupBox = new QComboBox(this);
    groupBox->setObjectName(QStringLiteral("group"));
    groupBox->setEditable(true);
    groupBox->setInsertPolicy(QComboBox::NoInsert);
    // Groups are told apart by exact text: completion must not turn "email" into "Email".
    groupBox->completer()->setCaseSensitivity(Qt::CaseSensitive);
    titleField = new QLineEdit(this);
    titleField->setObjectName(QStringLiteral("title"));
    usernameField = new QLineEdit(this);
    usernameField->setObjectName(QStringLiteral("username"));
    passwordField = new QLineEdit(this);
    passwordField->setObjectName(QStringLiteral("password"));
    repeatField = new QLineEdit(this);
    repeatField->setObjectName(QStringLiteral("repeat"));
    urlField = new QLineEdit(this);
    urlField->setObjectName(QStringLiteral("url"));
    notesField = new QPlainTextEdit(this);
    notesField->setObjectName(QStringLiteral("notes"));
    notesField->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    notesField->setTabChangesFocus(true);
    notesField->setMinimumHeight(90);

    auto* usernameMask = SmallButton(QStringLiteral("***"), "usernameMask", this);
    auto* passwordMask = SmallButton(QStringLiteral("***"), "passwordMask", this);
    auto* generate = SmallButton(QtText(texts, TextId::Generate), "generate", this);
    auto* browse = SmallButton(QStringLiteral("..."), "browse", this);
    connect(usernameMask, &QPushButton::clicked, this, [this] { ToggleMask({usernameField}); });
    connect(passwordMask, &QPushButton::clicked, this, [this] { ToggleMask({passwordField, repeatField}); });
    connect(generate, &QPushButton::clicked, this, &CDlgEdit::OnGenerate);
    connect(browse, &QPushButton::clicked, this, &CDlgEdit::OnBrowse);
    strengthBar = new PasswordStrengthBar(texts, this);
    connect(passwordField, &QLineEdit::textChanged, strengthBar, &PasswordStrengthBar::ShowStrengthOf);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 260);
    QWidget* const fields[] = {groupBox, titleField, usernameField, passwordField, repeatField, urlField, notesField};
    QPushButton* const beside[] = {nullptr, nullptr, usernameMask, passwordMask, generate, browse, nullptr};
    // The strength bar takes the grid row under the two password fields.
    constexpr int StrengthRow = 5;
    grid->addWidget(strengthBar, StrengthRow, 1);
    for (int row = 0; row < 7; ++row) {
        const int gridRow = row < StrengthRow ? row : row + 1;
        auto* label = new QLabel(QtText(texts, TextId::GroupLabel + row), this);
        label->setBuddy(fields[row]);
        const Qt::Alignment labelAlignment = row == 6 ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter;
        grid->addWidget(label, gridRow, 0, labelAlignment);
        if (beside[row] != nullptr) {
            grid->addWidget(fields[row], gridRow, 1);
            grid->addWidget(beside[row], gridRow, 2);
        } else {
            grid->addWidget(fields[row], gridRow, 1, 1, 2);
        }
    }
    grid->setRowStretch(7, 1);
    // A line edit cuts its text at 32767 characters by default; an entry's fields have no limit, and a long value
    // read from the database must come back from the dialog whole.
    for (QLineEdit* field : {groupBox->lineEdit(), titleField, usernameField, passwordField, repeatField, urlField}) {
        field->setMaxLength(std::numeric_limits<int>::max());
    }

    QDialogButtonBox* buttons = OkCancelButtons(*this, texts);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    resize(460, 360);
}

void CDlgEdit::FillGroups()
{
    std::vector<std::u16string> groups;
    for (int id = TextId::FirstSuggestedGroup; id <= TextId::LastSuggestedGroup; ++id) {
        groups.push_back(texts.Text(id));
    }
    database.CollectGroups(groups);
    // The list shows its items in alphabetical order, as a sorted combo box does; letters that differ only in case
    // stay apart, with capitals first.
    QStringList items;
    for (const std::u16string& name : groups) {
        items.push_back(ToQString(name));
    }
    std::stable_sort(items.begin(), items.end(), [](const QString& left, const QString& right) {
        const int folded = left.compare(right, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : left < right;
    });
    groupBox->addItems(items);
    groupBox->setCurrentIndex(-1);
    BoundComboBox(*groupBox);
}

void CDlgEdit::LookUpSelected(const std::optional<EntryKey>& selected)
{
    const std::optional<Entry> found = selected ? database.Find(*selected) : std::nullopt;
    if (!found) {
        noSuchEntry = true;
        return;
    }
    TakeValues(*found);
}

void CDlgEdit::TakeValues(const Entry& entry)
{
    group = entry.group;
    title = entry.title;
    username = entry.username;
    password = entry.password;
    repeat = entry.password;
    url = entry.url;
    notes = entry.notes;
}

int CDlgEdit::exec()
{
    if (noSuchEntry) {
        database.Reporter().ShowMessage(NoSuchEntryText, MessageIcon::Error);
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void CDlgEdit::GeneratePassword()
{
    // The generator follows the settings as they are now, which the options dialog may have changed.
    ApplyGeneratorSettings(generator, options);
    SecureString generated;
    try {
        generator.Generate(generated);
    } catch (const std::exception& error) {
        database.Reporter().ShowMessage(Utf8ToUtf16(error.what()), MessageIcon::Error);
        return;
    }
    WipeString(password);
    WipeString(repeat);
    password = generated;
    repeat = std::move(generated);
}

void CDlgEdit::FieldsToMembers()
{
    WipeMembers();
    group = ToSecureString(groupBox->currentText());
    title = ToSecureString(titleField->text());
    username = ToSecureString(usernameField->text());
    password = ToSecureString(passwordField->text());
    repeat = ToSecureString(repeatField->text());
    url = ToSecureString(urlField->text());
    notes = notesText.From(*notesField);
}

void CDlgEdit::MembersToFields()
{
    groupBox->setEditText(ToQString(group));
    titleField->setText(ToQString(title));
    usernameField->setText(ToQString(username));
    passwordField->setText(ToQString(password));
    repeatField->setText(ToQString(repeat));
    urlField->setText(ToQString(url));
    notesText.Show(*notesField, notes);
}

void CDlgEdit::ToggleMask(std::initializer_list<QLineEdit*> fields)
{
    // The first field decides, so that the password and its repetition always end up alike.
    const bool masked = (*fields.begin())->echoMode() != QLineEdit::Password;
    for (QLineEdit* field : fields) {
        MaskField(*field, masked);
    }
}

void CDlgEdit::OnGenerate()
{
    FieldsToMembers();
    GeneratePassword();
    // The other members hold what the fields show already; writing the notes back would also forget whether the
    // user changed them.
    passwordField->setText(ToQString(password));
    repeatField->setText(ToQString(repeat));
}

void CDlgEdit::OnBrowse()
{
    const QString chosen = ActiveFileChooser()(this);
    if (!chosen.isEmpty()) {
        urlField->setText(chosen);
    }
}

void CDlgEdit::accept()
{
    FieldsToMembers();
    if (password != repeat) {
        database.Reporter().ShowMessage(texts.Text(TextId::EntryPasswordsDiffer), MessageIcon::Error);
        return;
    }
    if (HoldsNul(Values())) {
        database.Reporter().ShowMessage(texts.Text(TextId::FieldHoldsNul), MessageIcon::Error);
        return;
    }
    QDialog::accept();
}

Entry CDlgEdit::Values() const
{
    return Entry(group, title, username, password, url, notes);
}

void CDlgEdit::SetFileChooser(FileChooser chooser)
{
    ActiveFileChooser() = chooser ? std::move(chooser) : FileChooser(ChooseFileWithDialog);
}

void CDlgEdit::WipeMembers()
{
    for (SecureString* member : {&group, &title, &username, &password, &repeat, &url, &notes}) {
        WipeString(*member);
    }
}
