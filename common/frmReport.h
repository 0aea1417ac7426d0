#pragma once
// The shared report window. Other tools fill it and show it: they set its caption and either
// put rows into its list (List1 shown, RTB1 hidden) or a text into its rich text box (RTB1
// shown, List1 hidden). The window saves the report as a text file, prints the rich text and
// removes adjacent duplicate rows from the list.

#include "common/PrinterDialogWidgets.h"

#include <QWidget>

class QListWidget;
class QPrinter;
class QPushButton;
class QTextEdit;

class frmReport : public QWidget {
    Q_OBJECT
public:
    explicit frmReport(QWidget* parent = nullptr);
    ~frmReport() override;

    // The window's one instance, created on first use. "Exit" (or closing it) deletes it, so
    // the next filler starts with an empty list and text and the first caption.
    static frmReport& instance();
    // The instance when one is open, else null.
    static frmReport* existing();

    // Shows the window: modally (returns once the user has closed it) or beside its filler.
    void showReport(bool modal);

    // The printer dialog: lets the user pick the printer (the printer's print range is preset
    // to the selection when text is selected) and answers whether to print. Null restores the
    // standard dialog; tests set one that prints to a PDF file.
    using PrinterDialog = ::PrinterDialog;
    static void setPrinterDialog(PrinterDialog dialog);

    QListWidget* List1 = nullptr; // report lines, one per row, unsorted
    QTextEdit* RTB1 = nullptr;    // report text
    QPushButton* Command1 = nullptr; // "Exit"
    QPushButton* Command2 = nullptr; // "Save"
    QPushButton* Command3 = nullptr; // "Print"
    QPushButton* Command4 = nullptr; // "Remove Dupes from List"

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
};
