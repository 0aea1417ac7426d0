#pragma once
// The track swap: a small window beside the main window that shows the provider, product
// and blueprint path of an original track and of a substitute, each picked as a ".bin" file
// below the game's "Assets" folder, in the form the game's XML names them, and finds a text
// in the text page. The swap itself is not offered: its button stays disabled.

#include <QDialog>
#include <QPointer>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class TextPageWidget;

class dlgSwapTrack : public QDialog {
    Q_OBJECT
public:
    // Shows the window on page without blocking, creating it on first use; a second call
    // brings the open window to the front with its texts as they are.
    static dlgSwapTrack* showDialog(TextPageWidget* page, QWidget* parent = nullptr);
    // The open window, or null when there is none.
    static dlgSwapTrack* existing();

    explicit dlgSwapTrack(TextPageWidget* page, QWidget* parent = nullptr);
    ~dlgSwapTrack() override;

    QLabel* Label1 = nullptr;         // the heading
    QLineEdit* Text6 = nullptr;       // "Look For:-"
    QPushButton* Command3 = nullptr;  // "Find"
    QPushButton* Command4 = nullptr;  // "Find Next"
    // "Original Track"
    QLineEdit* Text5 = nullptr;       // the chosen file
    QPushButton* Command2 = nullptr;  // "...."
    QLineEdit* Text1 = nullptr;       // "Provider"
    QLineEdit* Text2 = nullptr;       // "Product"
    QLineEdit* Text3 = nullptr;       // "Path of Original Track"
    // "Substitute With this Track"
    QLineEdit* Text4 = nullptr;       // the chosen file
    QPushButton* Command1 = nullptr;  // "...."
    std::array<QLabel*, 3> Label5{};  // provider, product, path
    QPushButton* OKButton = nullptr;  // "Replace All" (not available)
    QPushButton* Command5 = nullptr;  // "&Exit"

    void Form_Load();
    void Command2_Click(); // picks the original track
    void Command1_Click(); // picks the substitute
    void Command3_Click(); // Find
    void Command4_Click(); // Find Next
    void Command5_Click(); // Exit
    void OKButton_Click(); // Replace All: does nothing

public slots:
    // Escape and the window's close box unload the window as "Exit" does.
    void reject() override;

private:
    // The user's choice of a blueprint, split into provider, product and path; false, with a
    // message, when the file does not lie below Assets\provider\product, and false without
    // one when the dialog was cancelled.
    bool pickTrack(QString& file, QString& provider, QString& product, QString& path);

    QPointer<TextPageWidget> page_;
};
