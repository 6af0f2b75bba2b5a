#pragma once

#include <QWidget>

#include "core/common/TextSource.h"

class QLabel;
class QProgressBar;

// A bar and a word that show how strong the typed password is, by the same estimate as the password health
// report. It never shows the password itself.
class PasswordStrengthBar : public QWidget
{
    Q_OBJECT
public:
    PasswordStrengthBar(const ITextSource& texts, QWidget* parent = nullptr);

    // The estimate of `password`; an empty password leaves the bar empty and the word blank.
    void ShowStrengthOf(const QString& password);

    int Value() const;
    QString Word() const;

private:
    const ITextSource& texts;
    QProgressBar* bar = nullptr;
    QLabel* word = nullptr;
};
