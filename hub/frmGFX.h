#pragma once
// The image viewer ("PicView"): a folder tree and file list on the left, the picture on the
// right. A picked file is converted into the bitmap work file (ImageConvert.h) and shown; the
// Image menu rewrites the work file; printing and the full-screen view use it too. The Twain
// menu picks a scanning source and acquires a picture into the work file (Scanner.h).
// One instance, shown without waiting; "E&xit" deletes it, so the next opening starts afresh.

#include "common/PrinterDialogWidgets.h"
#include "hub/frmPicBrowser.h"

#include <QMainWindow>
#include <QPointer>

class DriveListWidget;
class FolderTreeWidget;
class QAction;
class QImage;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;

class frmGFX : public QMainWindow {
    Q_OBJECT
public:
    // The one viewer, made on first use.
    static frmGFX* instance();
    // The viewer when it exists, else nullptr.
    static frmGFX* existing();
    // "TgPcDx Viewer": makes the viewer when needed and shows it.
    static void showViewer();
    // "Show Image": hands the texture's path to Text3 (converting only when it changes) and
    // shows the viewer.
    static void showImage(const QString& path);
    // The main window goes: the viewer closes with its browser and full-screen view.
    static void unloadViewer();

    // The printer dialog the print command asks; by default Qt's print dialog. Tests put one
    // that prints into a PDF file.
    using PrinterDialog = ::PrinterDialog;
    static void setPrinterDialog(PrinterDialog dialog);

    ~frmGFX() override;

    DriveListWidget* Drive1 = nullptr;
    FolderTreeWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QLineEdit* Text1 = nullptr;  // file pattern
    QLineEdit* Text2 = nullptr;  // the folder
    QLineEdit* Text3 = nullptr;  // the path handed in by "Show Image"
    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* grey = nullptr;
    QAction* flip = nullptr;
    QAction* rot = nullptr;
    QAction* mnuBr = nullptr;
    QAction* mnuseltwain = nullptr;
    QAction* mnutwaq = nullptr;

    void Drive1_Change();
    void Dir1_Change();
    void Text1_Change();
    void File1_Click();
    void Text3_Change();
    void mnuFileOpen_Click();
    void grey_Click();
    void flip_Click();
    void rot_Click();
    void mnuFilePrint_Click();
    void Picture1_Click();
    void mnuBr_Click();
    void mnuseltwain_Click();
    void mnutwaq_Click();
    void mnuFileExit_Click();

    // The full-screen window while it is open.
    QWidget* fullScreenWindow() const { return fullScreen_; }
    // The picture browser while it is open.
    frmPicBrowser* browser() const { return browser_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing while a scan runs cancels the scan, and while the scanners are looked for waits
    // for the search; the window closes when it has stopped.
    void closeEvent(QCloseEvent* event) override;

private:
    frmGFX();
    void Form_Load();
    // Converts the source into the work file and shows it; the caption changes when asked.
    void showFile(const QString& source, bool setCaption);
    // Reloads the picture from the work file; false (and an empty picture) when it is missing.
    bool loadPicture();
    void imageCommand(int operation);
    bool haveImage();
    // The work file as an image for print and full screen; a missing or unreadable file
    // empties the picture box and gives the no-image message.
    bool workImage(QImage& image);

    void setScanning(bool on);
    bool scanning_ = false;
    bool cancelScan_ = false;
    bool closeAfterScan_ = false;
    QPointer<QWidget> fullScreen_;
    QPointer<frmPicBrowser> browser_;
};
