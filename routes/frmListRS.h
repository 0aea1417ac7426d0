#pragma once
// "Rolling-Stock Required": the rolling stock a scenario uses, one line per distinct
// blueprint (provider, product and blueprint ID), with a report of the missing stock and a
// list of the blueprint files to print. The route list window fills it from the scenario's
// XML and shows it beside itself; "Exit" unloads it.

#include <QString>
#include <QWidget>

class QListWidget;
class QPushButton;

class frmListRS : public QWidget {
    Q_OBJECT
public:
    explicit frmListRS(QWidget* parent = nullptr);
    ~frmListRS() override;

    // The window's one instance, created on first use; "Exit" deletes it.
    static frmListRS& instance();
    // The instance when one is open, else null.
    static frmListRS* existing();

    // Builds the list from a scenario's XML (Form_Load) and shows the window, not modally,
    // in front. An open window gets the new list.
    void showStock(const QString& scenarioXml);

    QListWidget* List1 = nullptr;    // provider\product\blueprint ID, sorted
    QPushButton* Command1 = nullptr; // "Remove dupes from list"
    QPushButton* Command3 = nullptr; // "Check for Missing Stock"
    QPushButton* Command4 = nullptr; // "Prepare to Print"
    QPushButton* Command2 = nullptr; // "Exit"

public slots:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    QStringList entries() const;
    QString scenarioXml_;
};
