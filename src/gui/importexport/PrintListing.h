#pragma once

class CDataBase;
class QFont;
class QPdfWriter;
class QPrinter;

// The font of the printed listing: "MS Sans Serif" where it is installed, otherwise the desktop's sans-serif face,
// 10 points high.
QFont PrintFont();

// Prints the text listing of every entry, passwords in clear, as a document named "Lockmere", in the print area
// that leaves 500 device pixels at the top and sides and 1000 at the bottom. An empty database prints nothing.
// Returns false when the printer refuses the document or a page; the document is then aborted. Throws what
// building or laying out the text throws.
bool PrintListing(QPrinter& printer, const CDataBase& database);
// The same listing as a PDF document named "Lockmere"; the caller drops the document when this returns false.
bool PrintListing(QPdfWriter& writer, const CDataBase& database);
