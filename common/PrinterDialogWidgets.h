#pragma once
// The printer dialog a window's print command asks before it prints: Qt's print dialog, or
// one a test puts in its place (one that prints into a PDF file). Each printing window has its
// own, kept under its class: PrinterDialogOf<frmGFX>.

#include <functional>
#include <utility>

class QPrinter;
class QWidget;

// Sets up the printer and answers whether to print.
using PrinterDialog = std::function<bool(QPrinter& printer, QWidget* parent)>;

// What Qt's print dialog offers besides the printer.
enum class PrintRangeChoice {
    Pages,     // its own choices, a range of pages among them
    Selection, // no range of pages; the selection when the printer's range was preset to it
};

// Asks `dialog`, or Qt's print dialog when it is null; true to print.
bool AskPrinterDialog(const PrinterDialog& dialog, QPrinter& printer, QWidget* parent, PrintRangeChoice choice);

template <typename Window>
class PrinterDialogOf {
public:
    // Null restores Qt's print dialog.
    static void set(PrinterDialog dialog) { slot() = std::move(dialog); }
    static bool ask(QPrinter& printer, QWidget* parent, PrintRangeChoice choice = PrintRangeChoice::Pages)
    {
        return AskPrinterDialog(slot(), printer, parent, choice);
    }

private:
    static PrinterDialog& slot()
    {
        static PrinterDialog dialog;
        return dialog;
    }
};
