#pragma once

#include <QLineEdit>

#include "core/common/TextSource.h"

// The toolbar's search field. Escape empties a field that holds text and is otherwise left to the window; Down or
// ENTER hands the keyboard to the list of matches.
class SearchField : public QLineEdit
{
    Q_OBJECT
public:
    SearchField(const ITextSource& texts, QWidget* parent = nullptr);

    // Sets the translated hint again, after the language may have changed.
    void ApplyTexts();

signals:
    void listRequested();
    // The field has the keyboard: typing is about to begin.
    void focused();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    const ITextSource& texts;
};
