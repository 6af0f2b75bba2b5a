#pragma once

#include <QString>
#include <vector>

#include "core/database/Entry.h"

class ITextSource;
class QTableWidget;
class QWidget;

// The table in which an import shows its first entries before anything is added: one column per field, the
// passwords masked as the entry list masks them, the notes by their first line.
QTableWidget* CreateEntryPreview(const ITextSource& texts, int rows, QWidget* parent);
// ShowEntryPreview fills it with the entries given, in their order.
void ShowEntryPreview(QTableWidget& preview, const std::vector<const Entry*>& entries);
