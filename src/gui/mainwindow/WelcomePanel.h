#pragma once

#include <QWidget>

#include "core/common/TextSource.h"

class QLabel;
class QPushButton;

// What the list area shows while no database is open: a short greeting and the two ways to begin.
class WelcomePanel : public QWidget
{
    Q_OBJECT
public:
    WelcomePanel(const ITextSource& texts, QWidget* parent = nullptr);

    // Sets the translated texts again, after the language may have changed.
    void ApplyTexts();

signals:
    void createRequested();
    void openRequested();

private:
    const ITextSource& texts;
    QLabel* greeting;
    QPushButton* createButton;
    QPushButton* openButton;
};
