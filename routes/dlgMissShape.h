#pragma once
// "Substitute for a missing Asset.": the modal dialog in which the user describes the
// blueprint in the route (picked, or typed as provider, product and path), the blueprint to
// put in its place, and the kind of item, which decides the folder of tiles. OK hides the
// dialog, so its fields stay for the next use; the close box cancels.

#include "routes/Substitution.h"

#include <QDialog>

#include <array>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class dlgMissShape : public QDialog {
    Q_OBJECT
public:
    explicit dlgMissShape(QWidget* parent = nullptr);
    ~dlgMissShape() override;

    // The dialog's one instance, created on first use and kept (hidden) between uses.
    static dlgMissShape& instance();
    // The instance when one has been made, else null.
    static dlgMissShape* existing();

    // Readies the dialog for a showing: until OK is pressed, it counts as cancelled.
    void prepareShowing() { confirmed_ = false; }
    // True when the last showing ended with OK.
    bool confirmed() const { return confirmed_; }
    // The old values from Text1 to Text3, the new ones from the captions of Label5.
    routes::SubstituteRequest request() const;

    QGroupBox* Frame1 = nullptr;                   // "This Asset is :-"
    std::array<QRadioButton*, 3> Option1{};        // "Scenery Item", "Loft Item", "Road Item"
    QLabel* Label7 = nullptr;                      // "Original Asset"
    QLineEdit* Text5 = nullptr;                    // the asset in the route, picked or typed
    QPushButton* Command2 = nullptr;               // "...." for Text5
    QLabel* Label1 = nullptr;                      // "Provider"
    QLabel* Label2 = nullptr;                      // "Product"
    QLabel* Label3 = nullptr;                      // "Path of missing Asset"
    QLineEdit* Text1 = nullptr;                    // old provider
    QLineEdit* Text2 = nullptr;                    // old product
    QLineEdit* Text3 = nullptr;                    // old path
    QLabel* Label4 = nullptr;                      // "Substitute With this Asset"
    QLineEdit* Text4 = nullptr;                    // the substitute's blueprint file
    QPushButton* Command1 = nullptr;               // "...." for Text4
    std::array<QLabel*, 3> Label5{};               // new provider, product and path
    QLabel* Label8 = nullptr;                      // the instructions
    QPushButton* OKButton = nullptr;

public slots:
    void Command1_Click();
    void Command2_Click();
    // A key pressed in Text5 (its key code): Enter (13) splits the typed path.
    void Text5_KeyDown(int keyCode);
    void Option1_Click(int index);
    void OKButton_Click();
    // Escape cancels, as the close box does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The blueprint file picker; "" when cancelled.
    QString pickBlueprint() const;

    bool confirmed_ = false;
};
