#include "gui/dialogs/PasswordStrengthBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

#include "core/health/StrengthEstimate.h"
#include "gui/common/QtText.h"

namespace {
// The bar is full at this many bits, well past the border of a strong password.
constexpr int FullBarBits = 100;

QColor ColourOf(StrengthLevel level)
{
    switch (level) {
    case StrengthLevel::VeryWeak:
        return QColor(0xc0, 0x1c, 0x28);
    case StrengthLevel::Weak:
        return QColor(0xe6, 0x61, 0x00);
    case StrengthLevel::Fair:
        return QColor(0xc8, 0xa2, 0x00);
    case StrengthLevel::Strong:
        break;
    }
    return QColor(0x26, 0xa2, 0x69);
}
} // namespace

PasswordStrengthBar::PasswordStrengthBar(const ITextSource& texts, QWidget* parent)
    : QWidget(parent)
    , texts(texts)
    , bar(new QProgressBar(this))
    , word(new QLabel(this))
{
    bar->setObjectName(QStringLiteral("strengthBar"));
    bar->setRange(0, FullBarBits);
    bar->setTextVisible(false);
    bar->setFixedHeight(8);
    word->setObjectName(QStringLiteral("strengthWord"));
    // Room for the longest word, so that the bar keeps its length while the user types.
    int widest = 0;
    for (StrengthLevel level :
         {StrengthLevel::VeryWeak, StrengthLevel::Weak, StrengthLevel::Fair, StrengthLevel::Strong}) {
        widest = std::max(widest, word->fontMetrics().horizontalAdvance(QtText(texts, StrengthWordId(level))));
    }
    word->setMinimumWidth(widest + 4);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar, 1);
    layout->addWidget(word);
    ShowStrengthOf(QString());
}

void PasswordStrengthBar::ShowStrengthOf(const QString& password)
{
    if (password.isEmpty()) {
        bar->setValue(0);
        word->clear();
        return;
    }
    // Read in place: no copy of the password to wipe.
    const double bits = EstimateStrengthBits(std::u16string_view(reinterpret_cast<const char16_t*>(password.utf16()),
                                                                 static_cast<std::size_t>(password.size())));
    const StrengthLevel level = StrengthLevelOf(bits);
    bar->setValue(std::min(static_cast<int>(std::lround(bits)), FullBarBits));
    QPalette colours = bar->palette();
    colours.setColor(QPalette::Highlight, ColourOf(level));
    bar->setPalette(colours);
    word->setText(QtText(texts, StrengthWordId(level)));
}

int PasswordStrengthBar::Value() const
{
    return bar->value();
}

QString PasswordStrengthBar::Word() const
{
    return word->text();
}
