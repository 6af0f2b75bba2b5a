#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "core/database/DataBase.h"
#include "core/passgen/PassGen.h"
#include "gui/dialogs/ExactPlainText.h"

class COptions;
class PasswordStrengthBar;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Whether the entry dialog adds a new entry or shows and edits an existing one.
enum class EditMode : unsigned char
{
    Edit = 0,
    Add = 1,
};

// Collects and checks the six values of one entry; never changes the database itself. A dialog constructed with
// values (a repeat after a refused store) shows them as given, without lookup or generation.
class CDlgEdit : public QDialog
{
    Q_OBJECT
public:
    // Asks for a file to take as URL/path; an empty result leaves the field alone.
    using FileChooser = std::function<QString(QWidget* parent)>;

    // `selected` is the key of the entry selected in the main window; the edit mode looks it up when not prefilled.
    CDlgEdit(EditMode mode, const CDataBase& database, const COptions& options, const ITextSource& texts,
             const std::optional<Entry>& values, const std::optional<EntryKey>& selected, QWidget* parent = nullptr,
             IRandomSource& randomSource = OsRandom());
    ~CDlgEdit() override;

    // Shows "Error. No such entry." and gives Rejected at once when the edited entry is not in the database.
    int exec() override;

    // The six values taken at OK; `repeat` equals `password` then.
    Entry Values() const;
    bool Prefilled() const { return prefilled; }
    EditMode Mode() const { return mode; }

    // Replaces the platform file chooser behind "...", for every dialog constructed afterwards.
    static void SetFileChooser(FileChooser chooser);

    SecureString group;
    SecureString title;
    SecureString username;
    SecureString password;
    SecureString repeat;
    SecureString url;
    SecureString notes;

protected:
    void accept() override;

private:
    void CreateControls();
    void FillGroups();
    void LookUpSelected(const std::optional<EntryKey>& selected);
    void TakeValues(const Entry& entry);
    void GeneratePassword();
    void FieldsToMembers();
    void MembersToFields();
    void ToggleMask(std::initializer_list<QLineEdit*> fields);
    void OnGenerate();
    void OnBrowse();
    void WipeMembers();

    const CDataBase& database;
    const COptions& options;
    const ITextSource& texts;
    EditMode mode;
    bool prefilled = false;
    bool noSuchEntry = false;
    CPassGen generator;
    // The notes exactly as shown and as typed, which the notes field alone does not keep.
    ExactPlainText notesText;

    QComboBox* groupBox = nullptr;
    QLineEdit* titleField = nullptr;
    QLineEdit* usernameField = nullptr;
    QLineEdit* passwordField = nullptr;
    QLineEdit* repeatField = nullptr;
    QLineEdit* urlField = nullptr;
    QPlainTextEdit* notesField = nullptr;
    PasswordStrengthBar* strengthBar = nullptr;
};
