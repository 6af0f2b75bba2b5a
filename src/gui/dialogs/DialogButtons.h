#pragma once

class ITextSource;
class QDialog;
class QDialogButtonBox;

// The OK and Cancel buttons of a dialog: OK accepts and Cancel rejects it. OK reads "OK" in every language, Cancel
// comes from the text table.
QDialogButtonBox* OkCancelButtons(QDialog& dialog, const ITextSource& texts);
