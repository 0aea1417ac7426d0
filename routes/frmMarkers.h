#pragma once
// The marker converter. In mode 1 (MarkerToolMode 1, "Convert  Marker files") the user first
// picks the folder that receives the ".csv" files, presses "Proceed", then picks the folder
// and the marker files to convert; in mode 2 ("DCSV Precision") the user picks ".dcsv" files
// whose points get their full precision back from the Source ".csv" files. The work is done
// by routes/MarkerTool; the window reads its controls and hands them on.
//
// The window loads (Form_Load) when it is constructed, in the mode and package flags that the
// shared state holds at that moment; closing it clears both package flags.

#include <QWidget>

#include <functional>

class DriveListWidget;
class FolderTreeWidget;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmMarkers : public QWidget {
    Q_OBJECT
public:
    // Loads a new window, shows it modally and returns when it has closed.
    static void showModalWindow(QWidget* parent = nullptr);

    explicit frmMarkers(QWidget* parent = nullptr);
    ~frmMarkers() override;

    // This window's copy of the tag writer, whose searches are exact.
    static void PutDetail(QString& text, qsizetype& pos, const QString& tag, const QString& value);

    DriveListWidget* Drive1 = nullptr;
    FolderTreeWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr; // the files of Dir1's folder that match Text2; several may be selected
    QLineEdit* Text1 = nullptr;   // the folder whose files are processed
    QLineEdit* Text2 = nullptr;   // the pattern of File1 ("*.kml;*.gpx")
    QLabel* Label1 = nullptr;     // "Save In:"
    QLineEdit* Text3 = nullptr;   // the folder that receives the ".csv" files
    QPushButton* Command4 = nullptr; // "Proceed"
    QPushButton* Command1 = nullptr; // "Select All"
    QPushButton* Command3 = nullptr; // "Process"
    QPushButton* Command5 = nullptr; // "Process DCSV"
    QPushButton* Command2 = nullptr; // "Exit"

    // Set by "Proceed": folder clicks then choose the source folder instead of the save folder.
    bool SaveFolderSet = false;
    // The folder last clicked and its part from "Rail Simulator" on.
    QString ClickedFolder;
    QString ClickedItem;

    void Form_Load();
    void Form_Unload();
    void Dir1_Click();
    void Drive1_Change();
    void Text2_Change();
    void Command4_Click();
    void Command1_Click();
    void Command3_Click();
    void Command5_Click();
    void Command2_Click();

    // The selected entries of File1, in list order.
    QStringList selectedFiles() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void listFiles();
    // Runs a command with the window's commands disabled, showing anything it throws.
    void run(const char* handler, const std::function<void()>& work);

    int mode_ = 0;
    bool busy_ = false;
};
