#pragma once
// "Description Editor": a title, a sub-title and three paragraphs for the chosen route's
// "Description.html" (written into RouteInfoFolder). Non-modal; each opening starts with empty
// boxes.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmDesc : public QWidget {
    Q_OBJECT
public:
    // The hub's "Add Route Description": lists the routes, asks for one, makes its
    // "RouteInformation\En" folder and opens a new editor for it.
    static void addRouteDescription();
    // The open editor, else null.
    static frmDesc* existing();

    explicit frmDesc(QWidget* parent = nullptr);
    ~frmDesc() override;

    QLineEdit* Text1 = nullptr;      // "Title:"
    QLineEdit* Text2 = nullptr;      // "Sub-Title:"
    QPlainTextEdit* Text3 = nullptr; // "Para1:"
    QPlainTextEdit* Text4 = nullptr; // "Para2:"
    QPlainTextEdit* Text5 = nullptr; // "Para3:"
    QPushButton* Command1 = nullptr; // "&OK"
    QPushButton* Command2 = nullptr; // "&Cancel"

    void Command1_Click();
    void Command2_Click();
};
