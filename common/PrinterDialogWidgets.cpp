#include "common/PrinterDialogWidgets.h"

#include <QPrintDialog>
#include <QPrinter>

bool AskPrinterDialog(const PrinterDialog& dialog, QPrinter& printer, QWidget* parent, PrintRangeChoice choice)
{
    if (dialog)
        return dialog(printer, parent);
    QPrintDialog standard(&printer, parent);
    if (choice == PrintRangeChoice::Selection) {
        standard.setOption(QAbstractPrintDialog::PrintPageRange, false);
        standard.setOption(QAbstractPrintDialog::PrintSelection, printer.printRange() == QPrinter::Selection);
    }
    return standard.exec() == QDialog::Accepted;
}
