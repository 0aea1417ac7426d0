#pragma once
// The print preview of the asset list, "Print Preview": opening it builds a paged document of
// the asset list window's grid at once (landscape, the grid's columns spread over the page in
// their proportions, header on every page, "Page n" at the right of every page's footer) and
// shows it. While the pages are made, "Saving Page n Of m" reports the progress and window
// events are processed after every page, so that "Cancel" can stop the output; "&Exit" ends
// the window. The document is a snapshot of the grid as it was when it was built. The toolbar
// prints that document through a printer dialog.
//
// There is one window, created on first use and shown non-modally; "&Exit" unloads it and the
// next opening builds the document anew.

#include "common/PrinterDialogWidgets.h"
#include "common/Twips.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QAction;
class QCloseEvent;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QPushButton;
class QResizeEvent;
class QToolBar;

class fEZPrint : public QWidget {
    Q_OBJECT
public:
    // Shows the loaded window, loading it (and so building the document) when there is none.
    static fEZPrint* showWindow(QWidget* parent = nullptr);
    // The loaded window, or nullptr.
    static fEZPrint* loaded();

    // The printer dialog of the toolbar's print command: sets up the printer and answers
    // whether to print. Null restores the standard dialog; tests set one that prints to PDF.
    using PrinterDialog = ::PrinterDialog;
    static void setPrinterDialog(PrinterDialog dialog);

    explicit fEZPrint(QWidget* parent = nullptr);
    ~fEZPrint() override;

    QPushButton* Command1 = nullptr; // "Pre&view"
    QPushButton* Command2 = nullptr; // "&Exit"
    QPushButton* Command5 = nullptr; // "Cancel"
    QLabel* Label1 = nullptr;        // page progress
    QToolBar* ToolBar1 = nullptr;    // print and zoom of the document
    QAction* PrintAction = nullptr;
    QPrintPreviewWidget* VSPrinter = nullptr;

    // Set by "Cancel"; cleared when a build starts.
    bool CancelRequested = false;

    void Form_Load();
    void Form_Resize();
    void Command1_Click(); // Pre&view
    void Command2_Click(); // &Exit
    void Command5_Click(); // Cancel
    // After each page of a build: shows the progress, processes window events and sets cancel
    // when "Cancel" was pressed.
    void VSPrinter_PageProgress(int page, int pageCount, bool& cancel);
    // The toolbar's print command.
    void printDocument();

    // The pages of the document built last (0 before any build).
    int documentPages() const { return documentPages_; }
    // The grid rows the document holds, below its header lines.
    int documentRows() const { return documentRows_; }
    bool isBuilding() const { return building_; }
    // The preview area's place in twips, as the last resize left it.
    const TwipsRect& previewArea() const { return previewArea_; }

signals:
    // Raised with every page progress, before window events are processed.
    void pageProgress(int page, int pageCount);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RenderAssetGrid();
    // Paints the document on a printer: during a build page by page with progress, else the
    // pages the build made.
    void paintDocument(QPrinter* printer);

    // The grid as it was when the build started.
    QList<int> columnWidths_;
    QStringList header_;
    QList<QStringList> rows_;
    bool haveDocument_ = false;
    int documentPages_ = 0;
    int documentRows_ = 0; // the rows on those pages
    bool building_ = false;
    bool exitRequested_ = false;
    QPrinter* previewPrinter_ = nullptr;
    TwipsRect previewArea_;
};
